// tamrel-cli: the gamma tables of a parameter file exported, applied to
// images and printed for other tools, without the window.
#include "cli/CliArgs.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/Usage.h"
#include "image/rows/PixelMemory.h"
#include "io/AtomicWrite.h"

#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

namespace {

int Run(const CliCommand& command) {
    switch (command.kind) {
    case CommandKind::Export:
        return RunExport(command, std::cerr);
    case CommandKind::Apply:
        return RunApply(command, std::cerr);
    case CommandKind::Sane:
        return RunSane(command, std::cout, std::cerr);
    case CommandKind::Cube:
        return RunCube(command, std::cerr);
    case CommandKind::Table:
        return RunTable(command, std::cout, std::cerr);
    case CommandKind::Devices:
        return RunDevices(command, std::cout, std::cerr);
    case CommandKind::Auto:
        return RunAuto(command, std::cerr);
    case CommandKind::Scan:
        return RunScan(command, std::cout, std::cerr);
    case CommandKind::Calibrate:
        return RunCalibrate(command, std::cout, std::cerr);
    case CommandKind::Film:
        return RunFilm(command, std::cerr);
    case CommandKind::Roll:
        return RunRoll(command, std::cerr);
    case CommandKind::Assess:
        return RunAssess(command, std::cout, std::cerr);
    }
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeSignal();
    KeepFreedMemory();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        const ParsedArgs parsed = ParseArgs(args);
        switch (parsed.status) {
        case ParseStatus::Help:
            return PrintAll(HelpText(parsed.helpFor), std::cout, std::cerr);
        case ParseStatus::BadUsage:
            std::cerr << PlainError(parsed.message) << UsageHint();
            return kExitUsage;
        case ParseStatus::Run:
            return Run(parsed.command);
        }
    } catch (const std::exception& error) {
        // Only an exhausted heap or the like ends up here; no output was replaced.
        std::cerr << PlainError(error.what());
    }
    return kExitFailed;
}
