#include "safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

namespace tesral {
namespace {

// Temporary files of writes in progress, for removeUnfinishedTemporaryFiles(). A slot is
// free (0), being filled (1) or holds a path (2).
struct TemporarySlot {
    std::atomic<int> state{0};
    char path[PATH_MAX];
};
std::array<TemporarySlot, 8> temporarySlots;

int rememberTemporary(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < static_cast<int>(temporarySlots.size()); ++i) {
        int expected = 0;
        if (temporarySlots[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(temporarySlots[i].path, path.c_str(), path.size() + 1);
            temporarySlots[i].state = 2;
            return i;
        }
    }
    return -1;  // not remembered: an interrupt may leave this one behind
}

void forgetTemporary(int slot) {
    if (slot >= 0) temporarySlots[slot].state = 0;
}

std::string reasonOf(int errorNumber) {
    return std::error_code(errorNumber, std::generic_category()).message();
}

/** The path a chain of symbolic links finally names (which need not exist yet). */
bool followLinks(std::string& path, int& errorNumber) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) {
            errorNumber = errno;
            return errno == ENOENT;
        }
        if (!S_ISLNK(st.st_mode)) return true;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), link, sizeof link);
        if (n < 0 || n == static_cast<ssize_t>(sizeof link)) {
            errorNumber = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        const std::string to(link, static_cast<size_t>(n));
        const auto slash = path.rfind('/');
        path = (to[0] == '/' || slash == std::string::npos) ? to : path.substr(0, slash + 1) + to;
    }
    errorNumber = ELOOP;
    return false;
}

}  // namespace

SafeFile::~SafeFile() {
    discard();
}

bool SafeFile::fail(int errorNumber) {
    if (error_.empty()) {
        error_ = reasonOf(errorNumber);
        errorNumber_ = errorNumber;
    }
    return false;
}

void SafeFile::discard() {
    if (ownsFd_ && fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ownsFd_ = false;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    forgetTemporary(slot_);
    slot_ = -1;
}

bool SafeFile::openStandardOutput() {
    discard();
    error_.clear();
    errorNumber_ = 0;
    fd_ = STDOUT_FILENO;
    return true;
}

bool SafeFile::open(const std::string& path) {
    discard();
    error_.clear();
    errorNumber_ = 0;
    if (path.empty()) return fail(ENOENT);
    target_ = path;
    int errorNumber = 0;
    if (!followLinks(target_, errorNumber)) return fail(errorNumber);

    struct stat st;
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return fail(errno);
    if (exists && !S_ISREG(st.st_mode)) {
        // A device, a named pipe or the like: written in place, never replaced.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) return fail(errno);
        ownsFd_ = true;
        return true;
    }
    // A read-only file is not replaced behind its owner's back.
    if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) return fail(errno);

    const auto slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    // The temporary name stays within the 255 bytes a file name may have.
    const std::string base = target_.substr(slash == std::string::npos ? 0 : slash + 1, 200);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = folder + "." + base + ".tesral-" + std::to_string(::getpid()) +
                                 "-" + std::to_string(counter++);
        // Mode 0666 for a new file, so that the umask applies as to any new file.
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd_ >= 0) {
            ownsFd_ = true;
            temporary_ = name;
            slot_ = rememberTemporary(name);
            break;
        }
        if (errno != EEXIST) return fail(errno);
    }
    if (fd_ < 0) return fail(EEXIST);
    if (exists && ::fchmod(fd_, st.st_mode & 07777) != 0) {
        fail(errno);
        discard();
        return false;
    }
    return true;
}

bool SafeFile::write(const char* data, std::size_t size) {
    if (failed()) return false;
    if (fd_ < 0) return fail(EBADF);
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, std::min<std::size_t>(size, 1u << 30));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) return fail(ENOSPC);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SafeFile::commit() {
    if (!failed() && fd_ < 0) fail(EBADF);
    if (failed()) {
        discard();
        return false;
    }
    if (ownsFd_) {
        const int closed = ::close(fd_);
        fd_ = -1;
        ownsFd_ = false;
        // After EINTR the descriptor is gone on Linux and the data was handed over.
        if (closed != 0 && errno != EINTR) {
            fail(errno);
            discard();
            return false;
        }
    }
    fd_ = -1;
    if (!temporary_.empty()) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            fail(errno);
            discard();
            return false;
        }
        temporary_.clear();
    }
    forgetTemporary(slot_);
    slot_ = -1;
    return true;
}

std::optional<std::string> writeFileSafely(const std::string& path, std::string_view bytes) {
    SafeFile file;
    if (file.open(path) && file.write(bytes) && file.commit()) return std::nullopt;
    return file.error();
}

std::optional<std::string> writeStandardOutputSafely(std::string_view bytes) {
    SafeFile file;
    if (file.openStandardOutput() && file.write(bytes) && file.commit()) return std::nullopt;
    return file.error();
}

void removeUnfinishedTemporaryFiles() noexcept {
    for (TemporarySlot& slot : temporarySlots)
        if (slot.state == 2) ::unlink(slot.path);
}

SafeFileBuffer::SafeFileBuffer(SafeFile& file) : file_(file), block_(1u << 16, '\0') {
    setp(block_.data(), block_.data() + block_.size());
}

SafeFileBuffer::int_type SafeFileBuffer::overflow(int_type c) {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int SafeFileBuffer::sync() {
    const bool written = file_.write(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(block_.data(), block_.data() + block_.size());
    return written ? 0 : -1;
}

}  // namespace tesral
