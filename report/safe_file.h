#pragma once

#include <cstddef>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

struct stat;

namespace tesral {

/**
 * Writes one file so that a failure never leaves it half written.
 *
 * A regular file (or a new one) is written to a temporary file in the same folder, flushed
 * to the disk and renamed over it by commit(); on any failure the temporary file is removed
 * and the old file stays byte for byte. A symbolic link to a regular file replaces the file
 * it points to and keeps the link. Anything else (a device, a named pipe) is written in
 * place, as the bytes come. Names of descriptors already open ("/dev/stdout", "/dev/fd/N",
 * "/proc/self/fd/N") write to that descriptor where it stands: nothing is truncated, so
 * appending output keeps what was there and a pipe works.
 *
 * A writable file in a folder that is not (no temporary file can be made there) is
 * truncated and written in place; a failure there cannot keep the old contents.
 *
 * A new file gets 0666 less the umask; a replaced file keeps its permission bits and, where
 * the user may set them, its owner and group. Temporary files of writes ended by a kill
 * (".NAME.tesral-PID-N" of a process no longer running, owned by the user) are removed by
 * the next write to the same folder.
 *
 * Errors are the operating system's reason ("No space left on device"). The program
 * should ignore SIGPIPE and SIGXFSZ, so that a closed pipe or a file-size limit shows as
 * an error instead of ending it.
 *
 * Paths are bytes as the operating system takes them (QFile::encodeName in Qt code).
 */
class SafeFile {
  public:
    SafeFile() = default;
    /** Removes the temporary file of an uncommitted write; the target stays as it was. */
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    /** Which existing files open() writes to. */
    enum class Accept { AnyFile, RegularFilesOnly };

    /** With RegularFilesOnly, anything but a regular file (or a link to one) fails with
     *  "not a regular file" and is left alone: a named pipe would block until read. */
    bool open(const std::string& path, Accept accept = Accept::AnyFile);
    /** Writes to standard output (in place, with the same checks). */
    bool openStandardOutput();

    /** Writes all bytes; after a failure every later write fails too. */
    bool write(const char* data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }

    /** Closes and, for a temporary file, renames it over the target. */
    bool commit();

    bool failed() const { return !error_.empty(); }
    /** Why the file could not be written; empty while all went well. */
    const std::string& error() const { return error_; }
    /** The errno value behind error(), or 0. */
    int errorNumber() const { return errorNumber_; }

  private:
    bool fail(int errorNumber, const char* reason = nullptr);
    void discard();
    bool openTemporary(const struct stat* old);

    int fd_ = -1;
    bool ownsFd_ = false;
    bool durable_ = false;   // a regular file: flushed to the disk before commit() ends
    int slot_ = -1;          // entry in the list removed on a fatal signal
    std::string target_;     // the file renamed over (links resolved)
    std::string temporary_;  // empty when written in place
    std::string error_;
    int errorNumber_ = 0;
};

/** Writes `bytes` to `path` through SafeFile; returns the reason on failure. */
std::optional<std::string> writeFileSafely(const std::string& path, std::string_view bytes,
                                           SafeFile::Accept accept = SafeFile::Accept::AnyFile);

/** True when both paths exist and name the same file (links followed). */
bool sameFile(const std::string& first, const std::string& second);

/** Writes `bytes` to standard output; returns the reason on failure. */
std::optional<std::string> writeStandardOutputSafely(std::string_view bytes);

/**
 * Removes the temporary files of writes still in progress. Safe to call from a signal
 * handler (SIGINT, SIGTERM) before the program ends, so an interrupt leaves no litter.
 */
void removeUnfinishedTemporaryFiles() noexcept;

/**
 * A std::streambuf over a SafeFile: bytes go out in blocks of 64 KiB. Flush the stream
 * before SafeFile::commit().
 */
class SafeFileBuffer : public std::streambuf {
  public:
    explicit SafeFileBuffer(SafeFile& file);
    ~SafeFileBuffer() override = default;

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    SafeFile& file_;
    std::string block_;
};

}  // namespace tesral
