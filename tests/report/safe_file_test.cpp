#include "report/safe_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "report/report_writer.h"

using namespace tesral;
namespace fs = std::filesystem;

namespace {

/** A fresh folder per test, removed afterwards. */
class SafeFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "safe_file_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

unsigned modeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

ReflectionTable manyRows(std::size_t n) {
    ReflectionTable table(n);
    for (std::size_t i = 0; i < n; ++i) table[i].v[kTheta] = static_cast<float>(i) * 0.001f;
    return table;
}

/** Runs `write` in a child process as a user without root's right to write anywhere (the
 *  nobody user when the test runs as root); true when it returned true. */
bool asOrdinaryUser(const std::function<bool()>& write) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        ::_exit(write() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

/** The number of a process that has ended. */
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

const ReportOptions kAllColumns{ReportColumns::all(5)};

}  // namespace

TEST_F(SafeFileTest, NewFileGetsUmaskModeAndReplacedFileKeepsItsMode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const std::string fresh = path("new.hkl");
    EXPECT_EQ(writeFileSafely(fresh, "abc"), std::nullopt);
    EXPECT_EQ(contents(fresh), "abc");
    EXPECT_EQ(modeOf(fresh), 0666u & ~mask);

    const std::string old = path("old.hkl");
    put(old, "old text");
    ASSERT_EQ(::chmod(old.c_str(), 0640), 0);
    EXPECT_EQ(writeFileSafely(old, "new"), std::nullopt);
    EXPECT_EQ(contents(old), "new");
    EXPECT_EQ(modeOf(old), 0640u);
    EXPECT_EQ(entries(), 2u);  // no temporary file left

    if (::geteuid() == 0) {  // only root may give a file away
        ASSERT_EQ(::chown(old.c_str(), 65534, 65534), 0);
        EXPECT_EQ(writeFileSafely(old, "again"), std::nullopt);
        struct stat st;
        ASSERT_EQ(::stat(old.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

TEST_F(SafeFileTest, LinkToARegularFileReplacesTheFileAndKeepsTheLink) {
    put(path("real.png"), "old");
    fs::create_symlink("real.png", path("link.png"));
    EXPECT_EQ(writeFileSafely(path("link.png"), "picture"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(path("link.png")));
    EXPECT_EQ(contents(path("real.png")), "picture");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(SafeFileTest, NamedPipeIsWrittenInPlace) {
    const std::string pipe = path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("pipe", path("link.hkl"));
    std::string received;
    std::thread reader([&] { received = contents(pipe); });
    const std::string bytes(300000, 'x');  // more than a pipe holds at once
    const auto error = writeFileSafely(path("link.hkl"), bytes);
    reader.join();
    EXPECT_EQ(error, std::nullopt);
    EXPECT_EQ(received, bytes);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_symlink(path("link.hkl")));
}

TEST_F(SafeFileTest, FailedWritesKeepTheOldFileAndGiveTheReason) {
    const std::string old = path("keep.hkl");
    put(old, "keep");

    {  // an abandoned write
        SafeFile file;
        ASSERT_TRUE(file.open(old));
        ASSERT_TRUE(file.write("partial"));
    }
    EXPECT_EQ(contents(old), "keep");
    EXPECT_EQ(entries(), 1u);

    // A file-size limit stands in for a full disk; the report spans several blocks.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = writeReportFile(old, manyRows(50000), {}, kAllColumns);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(contents(old), "keep");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFileTest, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    const std::string writable = path("writable.hkl"), readOnly = path("read-only.hkl");
    put(writable, "old text");
    put(readOnly, "keep");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    if (::geteuid() == 0) {
        for (const fs::path& p : {dir_, fs::path(writable), fs::path(readOnly)})
            ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    EXPECT_TRUE(asOrdinaryUser([&] { return writeFileSafely(writable, "new") == std::nullopt; }));
    EXPECT_TRUE(asOrdinaryUser(
        [&] { return writeFileSafely(readOnly, "x") == std::string("Permission denied"); }));
    ::chmod(dir_.c_str(), 0755);
    EXPECT_EQ(contents(writable), "new");
    EXPECT_EQ(contents(readOnly), "keep");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(SafeFileTest, DescriptorNamesAreWrittenWhereTheDescriptorStands) {
    // Appending keeps the earlier lines; a pipe is written, not looked up as a file.
    const std::string log = path("log.txt");
    put(log, "before\n");
    const int appending = ::open(log.c_str(), O_WRONLY | O_APPEND);
    int pipeEnds[2];
    ASSERT_TRUE(appending >= 0 && ::pipe(pipeEnds) == 0);
    const std::string fd = std::to_string(appending);
    for (const std::string& name : {"/dev/fd/" + fd, "/proc/self/fd/" + fd,
                                    "/proc/" + std::to_string(::getpid()) + "/fd/" + fd})
        EXPECT_EQ(writeFileSafely(name, name + "\n"), std::nullopt) << name;
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(appending, STDOUT_FILENO);
    EXPECT_EQ(writeFileSafely("/dev/stdout", "/dev/stdout\n"), std::nullopt);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    EXPECT_EQ(contents(log), "before\n/dev/fd/" + fd + "\n/proc/self/fd/" + fd + "\n/proc/" +
                                 std::to_string(::getpid()) + "/fd/" + fd + "\n/dev/stdout\n");
    EXPECT_EQ(entries(), 1u);

    EXPECT_EQ(writeFileSafely("/dev/fd/" + std::to_string(pipeEnds[1]), "piped"), std::nullopt);
    char got[8] = {};
    EXPECT_EQ(::read(pipeEnds[0], got, sizeof got), 5);
    EXPECT_STREQ(got, "piped");
    for (const int open : {appending, pipeEnds[0], pipeEnds[1]}) ::close(open);
}

TEST_F(SafeFileTest, TemporaryFilesOfEndedWritersAreRemovedByTheNextWrite) {
    const std::string dead = std::to_string(endedProcess());
    const std::string alive = std::to_string(::getpid());
    const char* removed[] = {".a.hkl.tesral-", ".other.png.tesral-"};
    const std::string kept[] = {".a.hkl.tesral-" + alive + "-3", "a.hkl.tesral-" + dead + "-1",
                                ".a.hkl.tesral-" + dead + "-x", ".a.hkl.tesral-" + dead};
    for (const char* name : removed) put(path((name + dead + "-0").c_str()), "litter");
    for (const std::string& name : kept) put(path(name.c_str()), "kept");
    EXPECT_EQ(writeFileSafely(path("b.hkl"), "new"), std::nullopt);
    for (const char* name : removed) EXPECT_FALSE(fs::exists(path((name + dead + "-0").c_str())));
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(path(name.c_str()))) << name;
}

TEST_F(SafeFileTest, FullDeviceAndStandardOutput) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(writeFileSafely("/dev/full", "x"), "No space left on device");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int full = ::open("/dev/full", O_WRONLY);
    ::dup2(full, STDOUT_FILENO);
    const auto error = writeStandardOutputSafely("x");
    ::dup2(saved, STDOUT_FILENO);
    ::close(full);
    ::close(saved);
    EXPECT_EQ(error, "No space left on device");
}

TEST_F(SafeFileTest, StreamBufferWritesInBlocks) {
    SafeFile file;
    ASSERT_TRUE(file.open(path("groups.txt")));
    SafeFileBuffer buffer(file);
    std::ostream out(&buffer);
    for (int i = 0; i < 20000; ++i) out << i << '\n';
    out.flush();
    ASSERT_TRUE(file.commit());
    std::ostringstream expected;
    for (int i = 0; i < 20000; ++i) expected << i << '\n';
    EXPECT_EQ(contents(path("groups.txt")), expected.str());
}
