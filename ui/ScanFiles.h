// A scanned page into its file, as the window writes it: the format the
// name or the save dialog's filter says, the resolution the page was
// scanned at and the device's input profile; and the messages a scan ends
// with (a failure with the device's reason, a save that failed).
#pragma once

#include "image/formats/FormatTable.h"
#include "image/rows/SampleImage.h"
#include "platform/AskUser.h"
#include "scan/ScanJob.h"
#include "ui/FileFilters.h"
#include "ui/PictureOrigin.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

class ScanMemory;

// The save dialog of a scan: the formats the table offers for scans; the
// chosen one decides where the typed name says nothing (ScanSaveTarget).
FileDialogRequest ScanSaveRequest(int* chosenFilter);

// Whether the save may go on: true unless the name written exists, the
// file dialog did not ask about it (an extension was added to the typed
// name, or the dialog was told not to ask), and the user keeps it.
bool MayReplaceFile(AskUser& ask, const SaveTarget& target, const std::filesystem::path& typed,
                    bool asked);

// Writes the page into its own file; a format of pages (PDF) takes it as
// its one page.
Reason SaveScan(const SaveTarget& target, const SampleImage& image,
                const std::optional<Resolution>& resolution,
                const std::vector<std::uint8_t>& profile);
// 「取り込んだ画像を保存...」: a name asked for, then the page written with
// the resolution it was scanned at and the device's profile. The file
// written; nullopt when the user cancelled, or the save failed and was told.
std::optional<std::filesystem::path> SaveScannedPage(AskUser& ask, const ScanMemory& memory,
                                                     const ScannedPage& page);

// The page as the next of a document's; a document's page without a
// resolution of its own is sized at the document's, which one line on
// standard error says (true when it did).
Reason AddScanPage(PageWriter& pages, const SaveTarget& target, const SampleImage& image,
                   const std::optional<Resolution>& resolution,
                   const std::vector<std::uint8_t>& profile, bool& dpiTold);
// The document written whole in place of its name.
Reason FinishDocument(PageWriter& pages, const std::filesystem::path& path);

// The input profile the device's scans carry (kept by the chart dialog's
// 保存), for a scan of `depth` bits through `curves` (none: a linear scan):
// as it is, or rewritten for the curves. Empty when the device has none; a
// profile that can no longer be read is told and left out.
std::vector<std::uint8_t> DeviceProfile(const ScanMemory& memory, AskUser& ask,
                                        const std::string& device,
                                        const std::optional<ChannelParamsSet>& curves, int depth);

// The device's profiles for a batch's pages, made before it starts (the
// pages are saved on the worker): one for 8-bit pages, one for 16-bit ones.
struct BatchProfiles {
    std::vector<std::uint8_t> narrow;
    std::vector<std::uint8_t> wide;

    const std::vector<std::uint8_t>& For(const SampleImage& page) const {
        return page.layout.depth == kWordDepth ? wide : narrow;
    }
};
BatchProfiles ProfilesForBatch(const ScanMemory& memory, AskUser& ask,
                               const ScanSettings& settings);

// False when the user cancelled or the scan failed; a failure is told in
// one message with the device's reason.
bool ScanSucceeded(AskUser& ask, const ScanOutcome& outcome);
// 「ファイルを保存できません。」 with the file and why, and more lines under them.
void TellCannotSave(AskUser& ask, const std::filesystem::path& file, const Reason& why,
                    const QString& more = {});
// 「スキャンできません。」 with the device and its reason, and more lines under them.
void TellCannotScan(AskUser& ask, const ScanOutcome& outcome, const QString& more = {});
// Where a scan went, with the line that a device's 8-bit tables cannot
// hold a negative's dense parts when they could not.
QString WithNarrowNegativeNote(const QString& where, bool narrowNegative);
