// Reads a parameter file: CR, LF or CR LF end a line, empty lines are skipped,
// bytes after the last line end are ignored, and a line keeps 127 bytes.
#pragma once

#include "curve/FilmSettings.h"
#include "io/FilmLines.h"
#include "io/ParamKeys.h"
#include "io/ParamLine.h"
#include "io/Reason.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>

// A line keeps at most this many bytes, the rest up to its end dropped: the
// reader has always collected a line in a 128-byte buffer with its closing
// zero, and files that relied on the cut must keep reading the same.
inline constexpr std::size_t kMaxParamLineLength = 127;

// Takes the bytes of a file in any number of pieces and parses each line as
// soon as its end arrives, so the file never has to be held whole.
class ParamFileParser {
public:
    void Feed(std::span<const unsigned char> bytes);
    // The twelve positions when every key was found with an in-range value.
    std::optional<ParamPositionSet> Result() const;
    // The film lines' film, or the key that is missing or wrong.
    FilmRead Film() const { return film_.Result(); }

private:
    void EndLine();

    std::array<char, kMaxParamLineLength> line_{};
    std::size_t length_ = 0;
    PendingParams pending_{};
    FoundKeys found_ = 0;
    FilmLineParser film_;
};

// The whole parse of an in-memory file.
std::optional<ParamPositionSet> ReadParamBytes(std::span<const unsigned char> bytes);

enum class LoadResult {
    Ok,
    CannotOpen, // missing, a directory, no rights, or a writer holds it
    ReadFailed, // the file layer reported a read error
    Incomplete, // some key never had an in-range value, or a film line is
                // missing or wrong; nothing is to be applied
};

struct ParamLoad {
    LoadResult result = LoadResult::CannotOpen;
    ParamPositionSet positions{}; // meaningful only when result is Ok
    FilmSettings film;            // a positive for a file without film lines
    Reason why; // what went wrong, unless result is Ok; for a film line, its key in Text
};

// The whole parse of an in-memory file, with its film.
ParamLoad ParseParamBytes(std::span<const unsigned char> bytes);

// Reads the file whole, in chunks, holding a shared lock that keeps writers out.
ParamLoad LoadParamFile(const std::filesystem::path& path);
