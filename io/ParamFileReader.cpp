// Parameter file reader: CR and LF each end a line (so CR LF, LF and CR all
// work) and the empty lines between are skipped; a line keeps its first 127
// bytes; bytes after the last line end are not a line. Accepted only when all
// twelve keys had an in-range value.
#include "io/ParamFileReader.h"

#include "io/File.h"

#include <cerrno>
#include <system_error>

namespace {

constexpr unsigned char kCarriageReturn = 0x0D;
constexpr unsigned char kLineFeed = 0x0A;
// The file is read in pieces of this size, however long it is.
constexpr std::size_t kReadChunkSize = 16 * 1024;

} // namespace

void ParamFileParser::Feed(std::span<const unsigned char> bytes) {
    for (const unsigned char byte : bytes) {
        if (byte == kCarriageReturn || byte == kLineFeed) {
            EndLine();
        } else if (length_ < line_.size()) {
            line_[length_++] = static_cast<char>(byte);
        }
        // Bytes beyond the 127th are dropped up to the line end; the cut
        // line is still parsed.
    }
}

void ParamFileParser::EndLine() {
    if (length_ == 0) {
        return;
    }
    const std::string_view line(line_.data(), length_);
    ParseParamLine(line, pending_, found_);
    if (const std::optional<KeyAndValue> split = SplitParamLine(line)) {
        film_.Take(split->key, split->value);
    }
    length_ = 0;
}

std::optional<ParamPositionSet> ParamFileParser::Result() const {
    if (found_ != kAllKeysFound) {
        return std::nullopt;
    }
    return pending_;
}

namespace {

// The twelve first: a file without them says so, whatever its film lines.
ParamLoad LoadOf(const ParamFileParser& parser) {
    const std::optional<ParamPositionSet> positions = parser.Result();
    if (!positions) {
        return {LoadResult::Incomplete, {}, {}, Reason(ReasonCode::MissingParams)};
    }
    FilmRead film = parser.Film();
    if (!film.badKey.empty()) {
        return {LoadResult::Incomplete, {}, {}, Reason(ReasonCode::MissingParams, 0, film.badKey)};
    }
    return {LoadResult::Ok, *positions, film.film, {}};
}

} // namespace

std::optional<ParamPositionSet> ReadParamBytes(std::span<const unsigned char> bytes) {
    ParamFileParser parser;
    parser.Feed(bytes);
    return parser.Result();
}

ParamLoad ParseParamBytes(std::span<const unsigned char> bytes) {
    ParamFileParser parser;
    parser.Feed(bytes);
    return LoadOf(parser);
}

ParamLoad LoadParamFile(const std::filesystem::path& path) {
    std::error_code error;
    std::optional<File> file = File::OpenForReading(path, error);
    if (!file) {
        return {LoadResult::CannotOpen, {}, {}, Reason(ReasonCode::CannotOpen, error.value())};
    }
    ParamFileParser parser;
    std::array<unsigned char, kReadChunkSize> chunk;
    for (;;) {
        const std::int64_t count = file->Read(chunk.data(), chunk.size());
        if (count < 0) {
            return {LoadResult::ReadFailed, {}, {}, Reason(ReasonCode::ReadFailed, errno)};
        }
        if (count == 0) {
            break;
        }
        parser.Feed({chunk.data(), static_cast<std::size_t>(count)});
    }
    return LoadOf(parser);
}
