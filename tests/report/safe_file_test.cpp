#include "report/safe_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

const ReportOptions kAllColumns{ReportColumns::fromChoices(true, true, true, true, true, 5)};

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

    if (::geteuid() != 0) {  // root writes anywhere
        ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
        EXPECT_EQ(writeFileSafely(old, "x"), "Permission denied");
        ::chmod(dir_.c_str(), 0755);
        EXPECT_EQ(contents(old), "keep");
    }
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
