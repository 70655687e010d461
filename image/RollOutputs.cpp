// The frames of a strip go out together (ApplyCrops): each through its own
// tables, all from one read of the strip. An output that would replace a
// strip of the roll is refused and the others go on.
#include "image/RollOutputs.h"

#include "image/FrameTables.h"
#include "image/formats/FileRows.h"
#include "image/rows/ParallelRows.h"
#include "io/AtomicWrite.h"
#include "io/ParamFileWriter.h"

#include <algorithm>
#include <future>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLeastDigits = 2;

using Problems = std::vector<RollProblem>;

bool IsAStrip(const fs::path& output, const std::vector<fs::path>& strips) {
    return std::any_of(strips.begin(), strips.end(), [&](const fs::path& strip) {
        std::error_code error;
        return fs::equivalent(strip, output, error) && !error;
    });
}

// The output may be written; else the refusal is added to `problems`.
bool MayWrite(const fs::path& output, const RollTarget& target, Problems& problems) {
    if (IsAStrip(output, target.strips)) {
        problems.push_back({output, {}, {}, true});
        return false;
    }
    return true;
}

void SaveFilm(const fs::path& path, const RollTarget& target, const FilmSettings& film,
              Problems& problems) {
    if (!MayWrite(path, target, problems)) {
        return;
    }
    const WriteOutcome written = SaveParamFile(path, target.positions, film);
    if (written.Result != WriteResult::Ok) {
        problems.push_back({path, {}, written.Why, false});
    }
}

// "LEFT,TOP,WIDTH,HEIGHT", as the tool's picks take a rectangle.
std::string RectText(const PixelRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) +
           "," + std::to_string(r.height);
}

Problems WriteRollFiles(const RollTarget& target, const FilmSettings& roll,
                        std::span<const RollFrame> frames) {
    Problems problems;
    SaveFilm(target.folder / "roll.tvp", target, roll, problems);
    std::vector<std::string> lines;
    for (const RollFrame& frame : frames) {
        lines.push_back(target.strips[frame.strip].string() + " " + frame.number + " " +
                        RectText(frame.rect) + "\n");
        SaveFilm(target.folder / (frame.number + ".tvp"), target, frame.film, problems);
    }
    const fs::path listing = target.folder / "frames.txt";
    if (MayWrite(listing, target, problems)) {
        const WriteOutcome written = WriteFileAtomically(listing, lines);
        if (written.Result != WriteResult::Ok) {
            problems.push_back({listing, {}, written.Why, false});
        }
    }
    return problems;
}

// Each frame's tables, made on every core (each takes a few hundred
// thousand powers).
std::vector<FrameTables> TablesOfFrames(const RollTarget& target,
                                        const std::vector<const RollFrame*>& frames,
                                        bool profiled) {
    std::vector<FrameTables> tables(frames.size());
    ForRowChunks(std::int32_t(frames.size()), 1, kMaxRowThreads,
                 [&](int, std::int32_t begin, std::int32_t end) {
                     for (std::int32_t i = begin; i < end; ++i) {
                         tables[std::size_t(i)] = TablesOfFrame(
                             target.positions, frames[std::size_t(i)]->film, profiled);
                     }
                     return true;
                 });
    return tables;
}

// The positives of `frames` from one read of the strip.
void WritePositives(const RollTarget& target, std::size_t strip,
                    const std::vector<const RollFrame*>& frames, const CropControl& control,
                    Problems& problems) {
    const fs::path& scan = target.strips[strip];
    const Reason read = UseFileRows(scan, ReadFormatOf(scan), [&](const RowSource& rows) {
        const std::vector<FrameTables> tables =
            TablesOfFrames(target, frames, !rows.Meta().profile.empty());
        std::vector<CropOutput> outputs;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            outputs.push_back({frames[i]->rect, tables[i].Apply(), PositiveOf(target, *frames[i]),
                               target.format});
        }
        const std::vector<Reason> written = ApplyCrops(rows, outputs, target.options, control);
        for (std::size_t i = 0; i < written.size(); ++i) {
            if (written[i]) {
                problems.push_back({outputs[i].Path, scan, written[i], false});
            }
        }
        return Reason();
    });
    if (read) {
        problems.push_back({{}, scan, read, false});
    }
}

// NN.EXT of the frames of one strip, the strip read once for all of them.
void WriteStripPositives(const RollTarget& target, std::size_t strip,
                         std::span<const RollFrame> frames, const RollControl& control,
                         Problems& problems) {
    std::vector<const RollFrame*> positives;
    for (const RollFrame& frame : frames) {
        if (frame.strip == strip && MayWrite(PositiveOf(target, frame), target, problems)) {
            positives.push_back(&frame);
        }
    }
    if (positives.empty()) {
        return;
    }
    CropControl crops{control.cancel, {}};
    if (control.rowsRead) {
        crops.rowsRead = [&](std::int32_t done, std::int32_t total) {
            control.rowsRead(strip, done, total);
        };
    }
    WritePositives(target, strip, positives, crops, problems);
}

bool Cancelled(const RollControl& control) {
    return control.cancel != nullptr && control.cancel->load();
}

} // namespace

std::vector<RollFrame> NumberFrames(const std::vector<std::vector<PixelRect>>& frames,
                                    const std::vector<std::vector<FilmSettings>>& films) {
    std::vector<RollFrame> numbered;
    for (std::size_t s = 0; s < frames.size(); ++s) {
        for (std::size_t k = 0; k < frames[s].size(); ++k) {
            numbered.push_back({s, frames[s][k], films[s][k], {}});
        }
    }
    const std::size_t digits = std::max(kLeastDigits, std::to_string(numbered.size()).size());
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        numbered[i].number = std::string(digits - number.size(), '0') + number;
    }
    return numbered;
}

fs::path PositiveOf(const RollTarget& target, const RollFrame& frame) {
    const std::string_view extension = EntryOf(target.format).Names.front().Extension;
    return target.folder / (frame.number + std::string(extension));
}

std::vector<RollProblem> WriteRoll(const RollTarget& target, const FilmSettings& roll,
                                   std::span<const RollFrame> frames, const RollControl& control) {
    std::future<Problems> files =
        std::async(std::launch::async, [&] { return WriteRollFiles(target, roll, frames); });
    Problems problems;
    for (std::size_t s = 0; s < target.strips.size(); ++s) {
        if (Cancelled(control)) {
            for (const RollFrame& frame : frames) {
                if (frame.strip == s) {
                    problems.push_back({PositiveOf(target, frame), target.strips[s],
                                        Reason{ReasonCode::Cancelled}, false});
                }
            }
        } else {
            WriteStripPositives(target, s, frames, control, problems);
        }
    }
    Problems small = files.get();
    small.insert(small.end(), problems.begin(), problems.end());
    return small;
}
