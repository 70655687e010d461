#include "io/File.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace file_test {

namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        char name[] = "/tmp/tamrel-file-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempDir() { fs::remove_all(path); }
};

TEST(File, OnlyRegularFilesOpenAndNothingHangs) {
    TempDir dir;
    const fs::path fifo = dir.path / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const fs::path plain = dir.path / "plain";
    std::ofstream(plain) << "bytes";
    std::error_code error;
    // A FIFO without a writer would block a plain open for reading for ever.
    EXPECT_FALSE(File::OpenForReading(fifo, error));
    EXPECT_TRUE(error);
    EXPECT_FALSE(File::OpenExistingForWriting(fifo, error));
    EXPECT_FALSE(File::OpenForReading("/dev/zero", error)); // a read would never end
    EXPECT_FALSE(File::OpenForReading(dir.path, error));
    std::optional<File> file = File::OpenForReading(plain, error);
    ASSERT_TRUE(file);
    char buffer[8] = {};
    EXPECT_EQ(file->Read(buffer, sizeof buffer), 5);
    EXPECT_EQ(::fcntl(file->Descriptor(), F_GETFL) & O_NONBLOCK, 0) << "reads block as usual";
}

} // namespace

}  // namespace file_test
