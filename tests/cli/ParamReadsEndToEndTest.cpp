// Every command that takes PARAMS reads the parameter file once, whatever
// it makes of it (tables, curves, positions, the film): the kernel counts
// the file's opens (inotify) while the built program runs.
#include "io/ParamFileWriter.h"
#include "tests/cli/CliRun.h"
#include "tests/image/ScanFiles.h"
#include "tests/measure/SyntheticNegative.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>

namespace param_reads_end_to_end_test {

namespace {

using clitest::RunCli;
namespace fs = std::filesystem;

const ParamPositionSet kPositions = {ParamPositions{10, 240, 50, 180},
                                     ParamPositions{0, 255, 99, 200},
                                     ParamPositions{37, 213, 0, 222}};

// The opens of `path` while `run` runs. The closes are watched too: the
// kernel folds an event into an unread one just like it, so two opens in a
// row would count as one.
int OpensDuring(const fs::path& path, const std::function<void()>& run) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch < 0 || ::inotify_add_watch(watch, path.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ADD_FAILURE() << "inotify: " << std::strerror(errno);
        return -1;
    }
    run();
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got = 0; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            opens += (event->mask & IN_OPEN) != 0 ? 1 : 0;
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    return opens;
}

struct Command {
    const char* name;
    std::vector<std::string> args; // "P" stands for the parameter file, "S/" for the scratch folder
};

void PrintTo(const Command& c, std::ostream* out) {
    *out << c.name;
}

class ParamReads : public testing::TestWithParam<Command> {};

// A negative's film makes every command build its curves from the film and
// the positions together, where a second read used to hide.
TEST_P(ParamReads, ReadTheParameterFileOnce) {
    ScratchDir scratch;
    const filmtest::Negative frame =
        filmtest::MakeNegative(filmtest::CheckerScene(filmtest::LabSpace()), filmtest::Film());
    const auto pnm =
        scantest::EncodePnm(frame.width, frame.height, 3, 65535, [&](auto x, auto y, int c) {
            return frame.samples[(std::size_t(y) * frame.width + x) * 3 + std::size_t(c)];
        });
    WriteBytes(scratch / "frame.pnm", std::string(pnm.begin(), pnm.end()));
    WriteBytes(scratch / "second.pnm", std::string(pnm.begin(), pnm.end()));
    ASSERT_EQ(
        SaveParamFile(scratch / "p.tvp", kPositions, UnmeasuredFilm(FilmMode::ColourNegative)),
        WriteResult::Ok);
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().args) {
        args.push_back(arg == "P"                ? (scratch / "p.tvp").string()
                       : arg.rfind("S/", 0) == 0 ? (scratch / arg.substr(2)).string()
                                                 : arg);
    }
    clitest::CliResult result;
    EXPECT_EQ(OpensDuring(scratch / "p.tvp", [&] { result = RunCli(scratch, args); }), 1);
    EXPECT_EQ(result.status, 0) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ParamReads,
    testing::Values(
        Command{"export", {"export", "P", "S/curve.tvk"}},
        Command{"apply", {"apply", "P", "S/frame.pnm", "S/positive.png"}},
        Command{"applyToPages", {"apply", "P", "S/frame.pnm", "S/second.pnm", "S/roll.pdf"}},
        Command{"applyIntoFolder",
                {"apply", "P", "-o", "S/", "--png", "S/frame.pnm", "S/second.pnm"}},
        Command{"sane", {"sane", "P"}},
        Command{"saneFromDevice", {"sane", "P", "--device", "test:0"}},
        Command{"cube", {"cube", "P", "S/curve.cube"}},
        Command{"table", {"table", "P", "--size", "16"}},
        Command{"auto", {"auto", "P", "S/frame.pnm", "S/auto.tvp"}},
        Command{"film", {"film", "P", "S/frame.pnm", "S/roll.tvp", "--base", "0,0,8,2"}},
        Command{"scan", {"scan", "P", "S/page.pnm", "--device", "test:0", "--resolution", "25"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace param_reads_end_to_end_test
