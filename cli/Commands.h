// The commands of tamrel-cli; each returns the process's exit status and
// prints what it has to say on `out` and its failures on `err`.
#pragma once

#include "cli/CliArgs.h"

#include <iosfwd>

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int RunExport(const CliCommand& command, std::ostream& err);
int RunApply(const CliCommand& command, std::ostream& err);
int RunSane(const CliCommand& command, std::ostream& out, std::ostream& err);
int RunTable(const CliCommand& command, std::ostream& out, std::ostream& err);
int RunCube(const CliCommand& command, std::ostream& err);
int RunDevices(const CliCommand& command, std::ostream& out, std::ostream& err);
int RunAuto(const CliCommand& command, std::ostream& err);
int RunScan(const CliCommand& command, std::ostream& out, std::ostream& err);
int RunCalibrate(const CliCommand& command, std::ostream& out, std::ostream& err);
int RunAssess(const CliCommand& command, std::ostream& out, std::ostream& err);
int RunFilm(const CliCommand& command, std::ostream& err);
int RunRoll(const CliCommand& command, std::ostream& err);
