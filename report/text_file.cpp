#include "report/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace tesral {

namespace {

void appendUtf8(std::string& out, unsigned c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    constexpr unsigned kLead[] = {0, 0xC0, 0xE0, 0xF0};
    const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += static_cast<char>(kLead[continuations] | (c >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6)
        out += static_cast<char>(0x80 | ((c >> shift) & 0x3f));
}

}  // namespace

std::string utf8Text(const std::string& bytes) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0;
    if (!little && bytes.compare(0, 2, "\xFE\xFF") != 0) return bytes;
    const auto unit = [&](std::size_t i) -> unsigned {
        return little ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1);
    };
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        unsigned c = unit(i);
        if ((c & 0xFC00) == 0xD800 && i + 3 < bytes.size() && (unit(i + 2) & 0xFC00) == 0xDC00) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if ((c & 0xF800) == 0xD800) {
            c = 0xFFFD;
        }
        appendUtf8(text, c);
    }
    return text;
}

std::optional<std::string> readRegularFile(const std::string& path, std::size_t limit,
                                           std::string& reason) {
    reason.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::generic_category().message(errno);
        return {};
    }
    struct stat st;
    int error = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    std::string bytes;
    if (error == 0 && S_ISREG(st.st_mode)) {
        bytes.resize(std::min<std::size_t>(limit, st.st_size > 0 ? st.st_size + 1 : 1 << 16));
        std::size_t got = 0;
        while (got < limit) {
            if (got == bytes.size()) bytes.resize(std::min(limit, 2 * bytes.size()));
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = n < 0 ? errno : 0;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
    } else if (error == 0) {
        reason = "not a regular file";
    }
    ::close(fd);
    if (error != 0) reason = std::generic_category().message(error);
    if (!reason.empty()) return {};
    return bytes;
}

}  // namespace tesral
