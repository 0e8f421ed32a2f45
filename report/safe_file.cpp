#include "safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
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

constexpr const char* kNotRegular = "not a regular file";
constexpr std::string_view kTemporaryMark = ".tesral-";

/** A whole non-negative decimal number filling `text`, or -1. */
long long wholeNumber(std::string_view text) {
    long long value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && text[0] != '-' && error == std::errc() &&
                   end == text.data() + text.size()
               ? value
               : -1;
}

/** The descriptor that "/dev/stdout", "/dev/fd/N", "/proc/self/fd/N" and the like stand
 *  for; -1 for any other name. */
int descriptorNamed(const std::string& path) {
    if (path == "/dev/stdin") return STDIN_FILENO;
    if (path == "/dev/stdout") return STDOUT_FILENO;
    if (path == "/dev/stderr") return STDERR_FILENO;
    const std::string folders[] = {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/",
                                   "/proc/" + std::to_string(::getpid()) + "/fd/"};
    for (const std::string& folder : folders) {
        if (path.compare(0, folder.size(), folder) != 0) continue;
        const long long fd = wholeNumber(std::string_view(path).substr(folder.size()));
        if (fd >= 0 && fd <= INT_MAX) return static_cast<int>(fd);
    }
    return -1;
}

/** The process that wrote a temporary file ".NAME.tesral-PID-N"; 0 for any other name. */
pid_t writerOfTemporary(std::string_view name) {
    const auto mark = name.rfind(kTemporaryMark);
    if (name.size() < 2 || name[0] != '.' || mark == std::string_view::npos || mark < 2) return 0;
    const std::string_view tail = name.substr(mark + kTemporaryMark.size());
    const auto dash = tail.find('-');
    if (dash == std::string_view::npos || wholeNumber(tail.substr(dash + 1)) < 0) return 0;
    const long long pid = wholeNumber(tail.substr(0, dash));
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

/** Removes the user's temporary files in `folder` whose writer no longer runs (killed
 *  before it could clean up). A process of the same number started since keeps them. */
void removeStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t pid = writerOfTemporary(entry->d_name);
        if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == user)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

/** The path a chain of symbolic links finally names (which need not exist yet). A name of
 *  an open descriptor ends the chain. */
bool followLinks(std::string& path, int& errorNumber) {
    for (int hops = 0; hops < 40; ++hops) {
        if (descriptorNamed(path) >= 0) return true;
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

bool SafeFile::fail(int errorNumber, const char* reason) {
    if (error_.empty()) {
        error_ = reason ? reason : reasonOf(errorNumber);
        errorNumber_ = errorNumber;
    }
    return false;
}

void SafeFile::discard() {
    if (ownsFd_ && fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ownsFd_ = false;
    durable_ = false;
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

bool SafeFile::open(const std::string& path, Accept accept) {
    discard();
    error_.clear();
    errorNumber_ = 0;
    if (path.empty()) return fail(ENOENT);
    target_ = path;
    int errorNumber = 0;
    if (!followLinks(target_, errorNumber)) return fail(errorNumber);
    const bool regularOnly = accept == Accept::RegularFilesOnly;

    if (const int named = descriptorNamed(target_); named >= 0) {
        if (regularOnly) return fail(0, kNotRegular);
        // Where the shell left it: ">>" keeps appending, a pipe stays the pipe.
        fd_ = ::fcntl(named, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) return fail(errno);
        ownsFd_ = true;
        return true;
    }
    struct stat st;
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return fail(errno);
    if (exists && !S_ISREG(st.st_mode)) {
        if (regularOnly) return fail(0, kNotRegular);
        // A device, a named pipe or the like: written in place, never replaced.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) return fail(errno);
        ownsFd_ = true;
        return true;
    }
    // A read-only file is not replaced behind its owner's back.
    if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) return fail(errno);
    return openTemporary(exists ? &st : nullptr);
}

bool SafeFile::openTemporary(const struct stat* old) {
    const auto slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    removeStaleTemporaries(folder);
    // The temporary name stays within the 255 bytes a file name may have.
    const std::string base = target_.substr(slash == std::string::npos ? 0 : slash + 1, 200);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const std::string name = folder + "." + base + std::string(kTemporaryMark) +
                                 std::to_string(::getpid()) + "-" + std::to_string(counter++);
        // Remembered before it exists: an interrupt right after the file appears removes it.
        const int slot = rememberTemporary(name);
        // Mode 0666 for a new file, so that the umask applies as to any new file.
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old ? 0600 : 0666);
        const int reason = errno;
        if (fd_ >= 0) {
            ownsFd_ = true;
            durable_ = true;
            temporary_ = name;
            slot_ = slot;
            continue;
        }
        forgetTemporary(slot);
        if (reason != EEXIST) {
            if (!old || (reason != EACCES && reason != EPERM && reason != EROFS))
                return fail(reason);
            // The folder takes no new file but the file is writable: it is truncated and
            // written in place, so a write stopped there cannot keep the old contents.
            fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
            if (fd_ < 0) return fail(errno);
            ownsFd_ = true;
            durable_ = true;
            return true;
        }
    }
    if (fd_ < 0) return fail(EEXIST);
    if (old) {
        // The owner as before where the user may give it away (root), else at least the
        // group where the user belongs to it; the mode after, as a change of owner clears
        // the set-id bits.
        if (::fchown(fd_, old->st_uid, old->st_gid) != 0)
            (void)!::fchown(fd_, static_cast<uid_t>(-1), old->st_gid);
        if (::fchmod(fd_, old->st_mode & 07777) != 0) {
            fail(errno);
            discard();
            return false;
        }
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
    if (durable_ && ::fsync(fd_) != 0) {
        fail(errno);
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
    durable_ = false;
    forgetTemporary(slot_);
    slot_ = -1;
    return true;
}

std::optional<std::string> writeFileSafely(const std::string& path, std::string_view bytes,
                                           SafeFile::Accept accept) {
    SafeFile file;
    if (file.open(path, accept) && file.write(bytes) && file.commit()) return std::nullopt;
    return file.error();
}

bool sameFile(const std::string& first, const std::string& second) {
    struct stat a, b;
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
