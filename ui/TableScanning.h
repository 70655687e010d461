// 「テーブルでスキャン...」 once the device and its choices are picked: the
// save dialog asks where the pages go, then one page is scanned through the
// device's tables into its file, or a feeder's batch into numbered files or
// one document (PDF) until the feeder is empty, a page fails or the user
// stops it. One message ends it, however it ended: where the pages went,
// and for a batch how many were kept and which pages an earlier batch of
// the numbering left beyond them.
#pragma once

#include "scan/ScanBatch.h"

#include <QString>

#include <filesystem>
#include <optional>

class AskUser;
class ScanMemory;
class ScanRunner;
struct SaveTarget;

// A source that is no flatbed feeds pages until it runs out.
bool FeedsPages(const ScanSettings& settings);

class TableScanning {
public:
    TableScanning(ScanRunner& runner, AskUser& ask, const ScanMemory& memory)
        : runner_(runner), ask_(ask), memory_(memory) {}

    // Asks where, then scans with `settings` (their curves the tables').
    void Run(const SaneSession& session, const ScanSettings& settings);

private:
    // Where the scan goes, asked in the save dialog; nullopt when the user
    // cancelled.
    std::optional<SaveTarget> AskTarget(bool feeder);
    void OnePage(const SaneSession& session, const ScanSettings& settings,
                 const SaveTarget& target);
    // Numbered pages after the question about those already there.
    void IntoPages(const SaneSession& session, const ScanSettings& settings,
                   const SaveTarget& target);
    void IntoDocument(const SaneSession& session, const ScanSettings& settings,
                      const SaveTarget& target);
    // The one message a batch ends with; `kept` says where its pages went.
    void TellBatchEnd(const BatchOutcome& batch, const Reason& saveFailure,
                      const std::filesystem::path& failed, const QString& kept);

    ScanRunner& runner_;
    AskUser& ask_;
    const ScanMemory& memory_;
};
