// The one file writer: what was there before a write is never destroyed.
// Each case in a temporary folder; a FIFO stands in for a device.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>

#include "platform/machine/FileWrite.h"

namespace fs = std::filesystem;
using torvex::platform::WriteFileSafely;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

class FileWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("torvex-write-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Temporary files the writer leaves behind, if any.
    int Leftovers() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename().string().rfind(".", 0) == 0) ++n;
        return n;
    }

    fs::path dir;
};

TEST_F(FileWriteTest, NewAndPlainFilesAreReplacedKeepingModeAndOwner) {
    fs::path fresh = dir / "new.txt";
    EXPECT_EQ(WriteFileSafely(fresh, "first\r\n"), "");
    EXPECT_EQ(ReadAll(fresh), "first\r\n");

    fs::path secret = dir / "secret.ini";
    Put(secret, "old text that is longer than the new one");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    struct stat before {};
    ASSERT_EQ(::stat(secret.c_str(), &before), 0);
    EXPECT_EQ(WriteFileSafely(secret, "new"), "");
    EXPECT_EQ(ReadAll(secret), "new");
    struct stat after {};
    ASSERT_EQ(::stat(secret.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_NE(after.st_ino, before.st_ino) << "a plain file is replaced, not rewritten in place";
    EXPECT_EQ(Leftovers(), 0);

    if (::geteuid() == 0) {
        // Root keeps another user's file that user's.
        ASSERT_EQ(::chown(secret.c_str(), 65534, 65534), 0);
        EXPECT_EQ(WriteFileSafely(secret, "again"), "");
        ASSERT_EQ(::stat(secret.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, 65534u);
        EXPECT_EQ(after.st_gid, 65534u);
        EXPECT_EQ(after.st_mode & 07777, 0600u);
    }
}

TEST_F(FileWriteTest, ALinkStaysALinkAndItsTargetIsWritten) {
    fs::create_directories(dir / "real");
    fs::path target = dir / "real" / "Norvo.INI";
    Put(target, "old");
    ::chmod(target.c_str(), 0640);
    // Relative, through a second link, as folders of links are kept.
    fs::create_symlink("real/Norvo.INI", dir / "hop");
    fs::create_symlink("hop", dir / "link.ini");
    EXPECT_EQ(WriteFileSafely(dir / "link.ini", "new"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "hop"));
    EXPECT_EQ(ReadAll(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A link to a file still to be made makes that file.
    fs::create_symlink("real/made.txt", dir / "dangling");
    EXPECT_EQ(WriteFileSafely(dir / "dangling", "made"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_EQ(ReadAll(dir / "real" / "made.txt"), "made");

    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_EQ(WriteFileSafely(dir / "loop1", "x"), "Too many levels of symbolic links");
}

TEST_F(FileWriteTest, AFifoIsWrittenThroughAndStaysAFifo) {
    fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string text(200000, 'x');   // more than a pipe holds at once
    auto reader = std::async(std::launch::async, [&] { return ReadAll(fifo); });
    EXPECT_EQ(WriteFileSafely(fifo, text), "");
    EXPECT_EQ(reader.get(), text);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Leftovers(), 0);
    // Through a link to it, too.
    fs::create_symlink("pipe", dir / "to-pipe");
    auto again = std::async(std::launch::async, [&] { return ReadAll(fifo); });
    EXPECT_EQ(WriteFileSafely(dir / "to-pipe", "small"), "");
    EXPECT_EQ(again.get(), "small");
    EXPECT_TRUE(fs::is_symlink(dir / "to-pipe"));
}

TEST_F(FileWriteTest, AFullDeviceGivesTheReasonAndStaysADevice) {
    // A device node of the kind of /dev/full in the temporary folder, so
    // that a writer that replaced devices could not harm the system's.
    fs::path full = dir / "full";
    if (::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) != 0)
        GTEST_SKIP() << "cannot make a device node here (needs root): " << std::strerror(errno);
    EXPECT_EQ(WriteFileSafely(full, "report"), "No space left on device");
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_EQ(Leftovers(), 0);
    EXPECT_EQ(WriteFileSafely(dir, "x"), "Is a directory");
    EXPECT_EQ(WriteFileSafely(dir / "no" / "such" / "folder.txt", "x"), "No such file or directory");
}

TEST_F(FileWriteTest, AProtectedFileIsRefusedForAUserAndWrittenByRoot) {
    fs::path locked = dir / "locked.ini";
    Put(locked, "kept");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(WriteFileSafely(locked, "lost"), "Permission denied");
        EXPECT_EQ(ReadAll(locked), "kept");
        GTEST_SKIP() << "not root: the root half of this case cannot run";
    }
    // A user without root rights, in a folder everyone may write to: the
    // folder alone would let the rename through.
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        std::string reason = WriteFileSafely(locked, "lost");
        ::_exit(reason == "Permission denied" ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the user was not refused with the reason";
    EXPECT_EQ(ReadAll(locked), "kept");
    EXPECT_EQ(Leftovers(), 0);

    // Root may write it, as cp does, and it stays read-only.
    EXPECT_EQ(WriteFileSafely(locked, "root"), "");
    EXPECT_EQ(ReadAll(locked), "root");
    struct stat st {};
    ASSERT_EQ(::stat(locked.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

}  // namespace
