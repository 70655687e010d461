#include "io/AtomicWrite.h"
#include "io/File.h"
#include "io/MemoryWrite.h"
#include "io/ParamFileWriter.h"
#include "io/TableFile.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <optional>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace atomic_write_test {

namespace fs = std::filesystem;

namespace {

const std::string kGoodBytes = "the good file that a failed write must not touch\r\n";
const std::vector<std::string> kPieces = {"new\r\n", "contents\r\n"};

// 200 bytes in pieces of 50 written at their positions, last piece first.
constexpr std::size_t kPieceBytes = 50;
constexpr std::size_t kPieceCount = 4;

std::string PieceBytes(std::size_t piece) {
    return std::string(kPieceBytes, static_cast<char>('a' + piece));
}

bool WritePiece(PositionedWriter& writer, std::size_t piece) {
    const std::string bytes = PieceBytes(piece);
    return writer.WriteAt(static_cast<std::int64_t>(piece * kPieceBytes),
                          {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

WriteResult WriteBackToFront(const fs::path& path) {
    return WriteFileAtomically(path, [](PositionedWriter& writer) {
        for (std::size_t piece = kPieceCount; piece-- > 0;) {
            if (!WritePiece(writer, piece)) {
                return false;
            }
        }
        return true;
    });
}

// The writers go through the same replacement, so each failure is tried on all.
using Writer = WriteResult (*)(const fs::path&);
constexpr Writer kWriters[] = {
    [](const fs::path& path) -> WriteResult { return WriteTableFile(path, GammaTable{}, "t"); },
    [](const fs::path& path) -> WriteResult { return SaveParamFile(path, ParamPositionSet{}); },
    WriteBackToFront,
};

// The file-size limit makes the write fail for real, past the first 100 bytes.
int WriteUnderSizeLimit(Writer writer, const fs::path& path) {
    IgnoreFileSizeSignal();
    constexpr rlim_t kLimit = 100;
    const rlimit limit{kLimit, kLimit};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        return -1;
    }
    return static_cast<int>(writer(path));
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    for (Writer writer : kWriters) {
        ScratchDir dir;
        WriteBytes(dir / "old.tvk", kGoodBytes);
        const int result = RunInChild([&] { return WriteUnderSizeLimit(writer, dir / "old.tvk"); });
        EXPECT_EQ(result, static_cast<int>(WriteResult::WriteFailed));
        EXPECT_EQ(ReadBytes(dir / "old.tvk"), kGoodBytes);
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"old.tvk"});

        const int fresh = RunInChild([&] { return WriteUnderSizeLimit(writer, dir / "new.tvk"); });
        EXPECT_EQ(fresh, static_cast<int>(WriteResult::WriteFailed));
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"old.tvk"});
    }
}

TEST(AtomicWrite, AFailedWriteSaysWhetherTheDiskOrTheSizeLimitStoppedIt) {
    ScratchDir dir;
    const int code = RunInChild([&] {
        IgnoreFileSizeSignal();
        const rlimit limit{100, 100};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return -1;
        }
        return static_cast<int>(
            WriteFileAtomically(dir / "big", std::vector<std::string>{std::string(200, 'x')})
                .Why.Code);
    });
    EXPECT_EQ(code, static_cast<int>(ReasonCode::FileSizeLimit));
    EXPECT_EQ(WriteFailureReason(ENOSPC), Reason(ReasonCode::DiskFull, ENOSPC));
    EXPECT_EQ(WriteFailureReason(EDQUOT), Reason(ReasonCode::DiskFull, EDQUOT));
    EXPECT_EQ(WriteFailureReason(EIO), Reason(ReasonCode::WriteFailed, EIO));
    const WriteOutcome missing = WriteFileAtomically(dir / "no" / "x", kPieces);
    EXPECT_EQ(missing.Result, WriteResult::CannotOpen);
    EXPECT_EQ(missing.Why, Reason(ReasonCode::CannotCreate, ENOENT));
}

TEST(MemoryFile, KeepsWhatSucceededContentsWroteAndNothingOfAFailure) {
    MemoryFile file;
    const auto write = [](std::size_t last) {
        return [last](PositionedWriter& writer) {
            for (std::size_t piece = 0; piece < kPieceCount; ++piece) {
                if (piece == last || !WritePiece(writer, piece)) {
                    return false;
                }
            }
            return true;
        };
    };
    EXPECT_EQ(file.Replace(write(kPieceCount)).Result, WriteResult::Ok);
    const std::vector<std::uint8_t> whole = file.Bytes();
    EXPECT_EQ(whole.size(), kPieceBytes * kPieceCount);
    EXPECT_EQ(file.Replace(write(2)).Result, WriteResult::WriteFailed);
    EXPECT_EQ(file.Bytes(), whole);
}

TEST(AtomicWrite, TargetsThatCannotBeWrittenGiveCannotOpen) {
    ScratchDir dir;
    fs::create_directory(dir / "folder.tvk");
    WriteBytes(dir / "plain", kGoodBytes);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0666), 0);
    for (const fs::path& target :
         {dir / "folder.tvk", dir / "missing" / "x.tvk", dir / "plain" / "x.tvk", dir / "fifo"}) {
        EXPECT_EQ(WriteFileAtomically(target, kPieces), WriteResult::CannotOpen) << target;
    }
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"fifo", "folder.tvk", "plain"}));
}

TEST(AtomicWrite, AFileHeldByAReaderOrWriterIsNotReplaced) {
    ScratchDir dir;
    const fs::path target = dir / "held.tvp";
    WriteBytes(target, kGoodBytes);
    for (auto open : {&File::OpenForReading, &File::OpenExistingForWriting}) {
        std::error_code error;
        std::optional<File> holder = open(target, error);
        ASSERT_TRUE(holder);
        EXPECT_EQ(WriteFileAtomically(target, kPieces), WriteResult::CannotOpen);
        EXPECT_EQ(ReadBytes(target), kGoodBytes);
    }
    EXPECT_EQ(WriteFileAtomically(target, kPieces), WriteResult::Ok);
    EXPECT_EQ(ReadBytes(target), "new\r\ncontents\r\n");
}

TEST(AtomicWrite, PiecesWrittenAtTheirPositionsByTwoThreadsMakeTheWholeFile) {
    ScratchDir dir;
    WriteBytes(dir / "out.bin", kGoodBytes);
    const auto result = WriteFileAtomically(dir / "out.bin", [](PositionedWriter& writer) {
        bool oddOk = true;
        std::thread odd([&] { oddOk = WritePiece(writer, 3) && WritePiece(writer, 1); });
        const bool evenOk = WritePiece(writer, 2) && WritePiece(writer, 0);
        odd.join();
        return oddOk && evenOk;
    });
    EXPECT_EQ(result, WriteResult::Ok);
    EXPECT_EQ(ReadBytes(dir / "out.bin"),
              PieceBytes(0) + PieceBytes(1) + PieceBytes(2) + PieceBytes(3));
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"out.bin"});
}

TEST(AtomicWrite, AWriterThatGivesUpLeavesTheOldFileAndNoTemporary) {
    ScratchDir dir;
    WriteBytes(dir / "out.bin", kGoodBytes);
    const auto result = WriteFileAtomically(dir / "out.bin", [](PositionedWriter& writer) {
        EXPECT_TRUE(WritePiece(writer, 1));
        return false; // gives up after one piece
    });
    EXPECT_EQ(result, WriteResult::WriteFailed);
    EXPECT_EQ(ReadBytes(dir / "out.bin"), kGoodBytes);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"out.bin"});
}

TEST(AtomicWrite, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    ScratchDir dir;
    const mode_t saved = ::umask(027);
    EXPECT_EQ(WriteFileAtomically(dir / "new", kPieces), WriteResult::Ok);
    ::umask(saved);
    EXPECT_EQ(fs::status(dir / "new").permissions(), fs::perms(0640));

    WriteBytes(dir / "old", kGoodBytes);
    fs::permissions(dir / "old", fs::perms(0604));
    EXPECT_EQ(WriteFileAtomically(dir / "old", kPieces), WriteResult::Ok);
    EXPECT_EQ(fs::status(dir / "old").permissions(), fs::perms(0604));
}

TEST(AtomicWrite, WritingThroughALinkReplacesTheFileItNames) {
    ScratchDir dir;
    WriteBytes(dir / "real", kGoodBytes);
    fs::create_symlink("real", dir / "link");
    EXPECT_EQ(WriteFileAtomically(dir / "link", kPieces), WriteResult::Ok);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadBytes(dir / "real"), "new\r\ncontents\r\n");
}

TEST(AtomicWrite, ALinkToNothingIsKeptAndTheFileMadeWhereItPoints) {
    ScratchDir dir;
    fs::create_directory(dir / "sub");
    fs::create_symlink("sub/made", dir / "link");     // relative to the link's folder
    fs::create_symlink("link", dir / "link-to-link"); // and through a second link
    EXPECT_EQ(WriteFileAtomically(dir / "link-to-link", kPieces), WriteResult::Ok);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_TRUE(fs::is_symlink(dir / "link-to-link"));
    EXPECT_EQ(ReadBytes(dir / "sub" / "made"), "new\r\ncontents\r\n");

    fs::create_symlink("missing-folder/x", dir / "nowhere");
    EXPECT_EQ(WriteFileAtomically(dir / "nowhere", kPieces), WriteResult::CannotOpen);
    EXPECT_TRUE(fs::is_symlink(dir / "nowhere")) << "a failed write keeps the link too";

    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    EXPECT_EQ(WriteFileAtomically(dir / "loop-a", kPieces), WriteResult::CannotOpen);
}

// Root may write anything, so these run as `nobody` in a child process.
constexpr int kCannotDropPrivileges = 99;
constexpr int kCannotReachFolder = 98;

template <typename Body> int AsUnprivileged(Body body) {
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
            ::setuid(nobody->pw_uid) != 0) {
            return kCannotDropPrivileges;
        }
    }
    return body();
}

TEST(AtomicWrite, AReadOnlyFileOrAnUnwritableFolderGivesCannotOpen) {
    ScratchDir dir;
    fs::create_directory(dir / "open");
    fs::create_directory(dir / "closed");
    WriteBytes(dir / "open" / "readonly.tvk", kGoodBytes);
    fs::permissions(dir.Path(), fs::perms(0755));
    fs::permissions(dir / "open", fs::perms(0777)); // a temporary could be made here
    fs::permissions(dir / "open" / "readonly.tvk", fs::perms(0444));
    fs::permissions(dir / "closed", fs::perms(0555));
    const int result = RunInChild([&] {
        return AsUnprivileged([&] {
            if (ReadBytes(dir / "open" / "readonly.tvk") != kGoodBytes) {
                return kCannotReachFolder; // CannotOpen would prove nothing
            }
            const bool readOnly = WriteFileAtomically(dir / "open" / "readonly.tvk", kPieces) ==
                                  WriteResult::CannotOpen;
            const bool closed =
                WriteFileAtomically(dir / "closed" / "new.tvk", kPieces) == WriteResult::CannotOpen;
            return (readOnly ? 0 : 1) | (closed ? 0 : 2);
        });
    });
    if (result == kCannotDropPrivileges || result == kCannotReachFolder) {
        GTEST_SKIP() << (result == kCannotReachFolder
                             ? "user nobody cannot reach the temporary folder " +
                                   dir.Path().string()
                             : "running as root and cannot switch to user nobody");
    }
    EXPECT_EQ(result, 0) << "1: read-only file written, 2: unwritable folder written";
    EXPECT_EQ(ReadBytes(dir / "open" / "readonly.tvk"), kGoodBytes);
    EXPECT_EQ(EntriesOf(dir / "open"), std::set<std::string>{"readonly.tvk"});
    EXPECT_TRUE(fs::is_empty(dir / "closed"));
}

} // namespace

}  // namespace atomic_write_test
