// The frames of a strip go out together (image/ApplyCrops): each through
// its own tables, all from one read of the strip. An output that would
// replace a strip of the roll is refused and the others go on.
#include "cli/RollOutputs.h"

#include "cli/FrameTables.h"
#include "cli/Messages.h"
#include "cli/RectArgument.h"
#include "image/formats/FileRows.h"
#include "image/rows/ParallelRows.h"
#include "io/ParamFileWriter.h"

#include <algorithm>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLeastDigits = 2;

bool IsAStrip(const fs::path& output, const std::vector<fs::path>& strips) {
    return std::any_of(strips.begin(), strips.end(), [&](const fs::path& strip) {
        std::error_code error;
        return fs::equivalent(strip, output, error) && !error;
    });
}

// The output, or false after saying that it would replace a strip.
bool MayWrite(const fs::path& output, const RollTarget& target, std::ostream& err) {
    if (IsAStrip(output, target.strips)) {
        err << FileError(output, kReasonIsInput);
        return false;
    }
    return true;
}

bool SaveFilm(const fs::path& path, const RollTarget& target, const FilmSettings& film,
              std::ostream& err) {
    if (!MayWrite(path, target, err)) {
        return false;
    }
    const WriteOutcome written = SaveParamFile(path, target.positions, film);
    if (written.Result != WriteResult::Ok) {
        err << FileError(path, ReasonText(written.Why));
    }
    return written.Result == WriteResult::Ok;
}

fs::path ImageOf(const RollTarget& target, const RollFrame& frame) {
    const std::string_view extension = EntryOf(target.format).Names.front().Extension;
    return target.folder / (frame.number + std::string(extension));
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

// The positives of `frames` from one read of the strip; false when any
// failed (said on `err`).
bool WritePositives(const RollTarget& target, const fs::path& strip,
                    const std::vector<const RollFrame*>& frames, std::ostream& err) {
    bool ok = true;
    const Reason read = UseFileRows(strip, ReadFormatOf(strip), [&](const RowSource& rows) {
        const std::vector<FrameTables> tables =
            TablesOfFrames(target, frames, !rows.Meta().profile.empty());
        std::vector<CropOutput> outputs;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            outputs.push_back(
                {frames[i]->rect, tables[i].Apply(), ImageOf(target, *frames[i]), target.format});
        }
        const std::vector<Reason> written = ApplyCrops(rows, outputs, target.options);
        for (std::size_t i = 0; i < written.size(); ++i) {
            if (written[i]) {
                err << FileError(IsAboutOutput(written[i]) ? outputs[i].Path : strip,
                                 ReasonText(written[i]));
                ok = false;
            }
        }
        return Reason();
    });
    if (read) {
        err << FileError(strip, ReasonText(read));
    }
    return ok && !read;
}

} // namespace

std::vector<RollFrame> NumberFrames(const std::vector<std::vector<PixelRect>>& frames,
                                    const RollFit& fit) {
    std::vector<RollFrame> numbered;
    for (std::size_t s = 0; s < frames.size(); ++s) {
        for (std::size_t k = 0; k < frames[s].size(); ++k) {
            numbered.push_back({s, frames[s][k], fit.frames[s][k], {}});
        }
    }
    const std::size_t digits = std::max(kLeastDigits, std::to_string(numbered.size()).size());
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        numbered[i].number = std::string(digits - number.size(), '0') + number;
    }
    return numbered;
}

bool WriteRollFiles(const RollTarget& target, const FilmSettings& roll,
                    std::span<const RollFrame> frames, std::ostream& err) {
    bool ok = SaveFilm(target.folder / "roll.tvp", target, roll, err);
    std::vector<std::string> lines;
    for (const RollFrame& frame : frames) {
        lines.push_back(target.strips[frame.strip].string() + " " + frame.number + " " +
                        RectArgumentText(frame.rect) + "\n");
        ok = SaveFilm(target.folder / (frame.number + ".tvp"), target, frame.film, err) && ok;
    }
    const fs::path listing = target.folder / "frames.txt";
    if (!MayWrite(listing, target, err)) {
        return false;
    }
    const WriteOutcome written = WriteFileAtomically(listing, lines);
    if (written.Result != WriteResult::Ok) {
        err << FileError(listing, ReasonText(written.Why));
    }
    return ok && written.Result == WriteResult::Ok;
}

bool WriteStripPositives(const RollTarget& target, std::size_t strip,
                         std::span<const RollFrame> frames, std::ostream& err) {
    bool ok = true;
    std::vector<const RollFrame*> positives;
    for (const RollFrame& frame : frames) {
        if (MayWrite(ImageOf(target, frame), target, err)) {
            positives.push_back(&frame);
        } else {
            ok = false;
        }
    }
    return WritePositives(target, target.strips[strip], positives, err) && ok;
}
