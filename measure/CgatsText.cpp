// CGATS as LittleCMS's parser reads it: words of the bytes 33..126 (but
// '#' and quotes), strings in double or single quotes that end on their
// line, '#' comments to the end of the line, lines ended by LF, CR LF or
// CR. Keywords are matched in any letter case, as the parser matches them.
#include "measure/CgatsText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kMostCount = 0x7ffe; // LittleCMS's own limit on fields and sets
constexpr char kFirstWordByte = '!';
constexpr char kLastWordByte = '~';
constexpr std::string_view kReserved[] = {
    ".INCLUDE",        "BEGIN_DATA", "BEGIN_DATA_FORMAT",     "END_DATA",
    "END_DATA_FORMAT", "KEYWORD",    "DATA_FORMAT_IDENTIFIER"};

struct Token {
    std::string text;
    bool quoted = false;
    std::int32_t line = 0;
};

bool IsWordByte(char c) {
    return c >= kFirstWordByte && c <= kLastWordByte && c != '#' && c != '"' && c != '\'';
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool Is(const Token& token, std::string_view keyword) {
    return !token.quoted && Upper(token.text) == keyword;
}

bool IsReserved(const Token& token) {
    return std::any_of(std::begin(kReserved), std::end(kReserved),
                       [&](std::string_view word) { return Is(token, word); });
}

std::string_view TextOf(std::span<const std::uint8_t> bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return text;
}

Reason SyntaxAt(std::int32_t line) {
    return {ReferenceProblem::Syntax, std::to_string(line)};
}

// The line ends at `at`, if one does: where the next line starts, else npos.
std::size_t NextLine(std::string_view text, std::size_t at) {
    if (text[at] == '\n') {
        return at + 1;
    }
    if (text[at] == '\r') {
        return at + 1 < text.size() && text[at + 1] == '\n' ? at + 2 : at + 1;
    }
    return std::string_view::npos;
}

// The quoted string opened at `at`: its token and the position after it.
Outcome<std::size_t> TakeString(std::string_view text, std::size_t at, std::int32_t line,
                                std::vector<Token>& tokens) {
    const char quote = text[at];
    const std::size_t end = text.find_first_of(std::string{quote, '\r', '\n', '\0'}, at + 1);
    if (end == std::string_view::npos || text[end] != quote) {
        return SyntaxAt(line);
    }
    tokens.push_back({std::string(text.substr(at + 1, end - at - 1)), true, line});
    return end + 1;
}

// The tokens up to the first fault, and the fault: the walk reports an
// earlier problem first.
struct Tokenized {
    std::vector<Token> tokens;
    Reason failed;
};

Tokenized Tokens(std::string_view text) {
    std::vector<Token> tokens;
    std::int32_t line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (const std::size_t next = NextLine(text, i); next != std::string_view::npos) {
            ++line;
            i = next;
        } else if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '#') {
            i = std::min(text.find_first_of("\r\n", i), text.size());
        } else if (c == '"' || c == '\'') {
            const Outcome<std::size_t> after = TakeString(text, i, line, tokens);
            if (!after) {
                return {std::move(tokens), after.Why()};
            }
            i = *after;
        } else if (IsWordByte(c)) {
            const std::size_t end =
                std::find_if_not(text.begin() + std::ptrdiff_t(i), text.end(), IsWordByte) -
                text.begin();
            tokens.push_back({std::string(text.substr(i, end - i)), false, line});
            i = end;
        } else {
            return {std::move(tokens), SyntaxAt(line)};
        }
    }
    return {std::move(tokens), {}};
}

struct Count {
    int value = -1;
    std::int32_t line = 0;
};

enum class Part { Header, Format, Data, After };

// The walk through the tokens, keeping the one table line for line.
class TableWalk {
public:
    Reason Take(const std::vector<Token>& tokens);
    Reason Finish() const;
    std::string Table() const;

private:
    Reason InHeader(const std::vector<Token>& tokens, std::size_t& i);
    Reason InFormat(const Token& token);
    Reason InData(const Token& token);
    Reason TakeCount(const std::vector<Token>& tokens, std::size_t& i, Count& count);
    void Put(std::int32_t line, const std::string& word);

    Part part_ = Part::Header;
    bool formatRead_ = false;
    Count fields_;
    Count sets_;
    std::int32_t formatLine_ = 0;
    std::size_t names_ = 0;
    std::size_t values_ = 0;
    std::vector<std::string> lines_;
};

void TableWalk::Put(std::int32_t line, const std::string& word) {
    if (lines_.size() < static_cast<std::size_t>(line)) {
        lines_.resize(static_cast<std::size_t>(line));
    }
    std::string& text = lines_[static_cast<std::size_t>(line - 1)];
    text += (text.empty() ? "" : " ") + word;
}

Reason TableWalk::TakeCount(const std::vector<Token>& tokens, std::size_t& i, Count& count) {
    const Token& keyword = tokens[i];
    if (count.value >= 0 || i + 1 >= tokens.size() || tokens[i + 1].line != keyword.line ||
        tokens[i + 1].quoted) {
        return SyntaxAt(keyword.line);
    }
    const std::string& digits = tokens[++i].text;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), count.value);
    if (error != std::errc() || end != digits.data() + digits.size() || count.value < 0 ||
        count.value > kMostCount) {
        return SyntaxAt(keyword.line);
    }
    count.line = keyword.line;
    Put(keyword.line, Upper(keyword.text) + " " + std::to_string(count.value));
    return {};
}

Reason TableWalk::InHeader(const std::vector<Token>& tokens, std::size_t& i) {
    const Token& token = tokens[i];
    if (Is(token, ".INCLUDE")) {
        return {ReferenceProblem::Includes};
    }
    if (Is(token, "NUMBER_OF_FIELDS")) {
        return TakeCount(tokens, i, fields_);
    }
    if (Is(token, "NUMBER_OF_SETS")) {
        return TakeCount(tokens, i, sets_);
    }
    if (Is(token, "BEGIN_DATA_FORMAT") && !formatRead_) {
        part_ = Part::Format;
        formatLine_ = token.line;
    } else if (Is(token, "BEGIN_DATA") && formatRead_) {
        part_ = Part::Data;
    } else if (Is(token, "BEGIN_DATA_FORMAT") || Is(token, "BEGIN_DATA")) {
        return formatRead_ ? Reason(ReferenceProblem::SecondTable, std::to_string(token.line))
                           : Reason(ReferenceProblem::Missing, "BEGIN_DATA_FORMAT");
    } else if (Is(token, "END_DATA_FORMAT") || Is(token, "END_DATA")) {
        return SyntaxAt(token.line);
    } else {
        return {}; // the header's keywords and values are not needed
    }
    Put(token.line, Upper(token.text));
    return {};
}

Reason TableWalk::InFormat(const Token& token) {
    if (Is(token, "END_DATA_FORMAT")) {
        part_ = Part::Header;
        formatRead_ = true;
    } else if (token.quoted || IsReserved(token)) {
        return SyntaxAt(token.line);
    } else {
        ++names_;
    }
    Put(token.line, token.quoted ? token.text : Upper(token.text));
    return {};
}

// A value with one comma and no point was written with a decimal comma.
std::string ValueWord(const Token& token) {
    if (token.quoted) {
        const char quote = token.text.find('"') == std::string::npos ? '"' : '\'';
        return quote + token.text + quote;
    }
    std::string word = token.text;
    if (std::count(word.begin(), word.end(), ',') == 1 && word.find('.') == std::string::npos) {
        word[word.find(',')] = '.';
    }
    return word;
}

Reason TableWalk::InData(const Token& token) {
    if (Is(token, "END_DATA")) {
        part_ = Part::After;
        Put(token.line, "END_DATA");
        return {};
    }
    if (IsReserved(token) || (token.quoted && token.text.find('"') != std::string::npos &&
                              token.text.find('\'') != std::string::npos)) {
        return SyntaxAt(token.line);
    }
    ++values_;
    Put(token.line, ValueWord(token));
    return {};
}

Reason TableWalk::Take(const std::vector<Token>& tokens) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        Reason failed;
        switch (part_) {
        case Part::Header:
            failed = InHeader(tokens, i);
            break;
        case Part::Format:
            failed = InFormat(tokens[i]);
            break;
        case Part::Data:
            failed = InData(tokens[i]);
            break;
        case Part::After:
            failed = Reason(ReferenceProblem::SecondTable, std::to_string(tokens[i].line));
            break;
        }
        if (failed) {
            return failed;
        }
    }
    return {};
}

// What the whole file must have once every token is walked.
Reason TableWalk::Finish() const {
    const char* missing = part_ == Part::Format ? "END_DATA_FORMAT"
                          : part_ == Part::Data ? "END_DATA"
                          : part_ == Part::Header
                              ? (formatRead_ ? "BEGIN_DATA" : "BEGIN_DATA_FORMAT")
                              : nullptr;
    if (missing != nullptr) {
        return {ReferenceProblem::Missing, missing};
    }
    if (fields_.value < 0) {
        return {ReferenceProblem::Missing, "NUMBER_OF_FIELDS"};
    }
    if (names_ == 0 || static_cast<std::size_t>(fields_.value) != names_) {
        return {ReferenceProblem::FieldCount, std::to_string(fields_.line)};
    }
    if (sets_.value < 0) {
        return {ReferenceProblem::Missing, "NUMBER_OF_SETS"};
    }
    if (static_cast<std::size_t>(sets_.value) * names_ != values_) {
        return {ReferenceProblem::SetCount, std::to_string(sets_.line)};
    }
    return {};
}

std::string TableWalk::Table() const {
    std::string table;
    for (const std::string& line : lines_) {
        table += line + "\n";
    }
    return table;
}

bool NamesTables(std::string_view text) {
    return Upper(text).find("BEGIN_DATA_FORMAT") != std::string::npos;
}

// The first token, when it stands alone on its line and is no keyword.
std::string KindOf(const std::vector<Token>& t) {
    const bool alone = t.size() > 1 && t[1].line != t[0].line;
    if (!alone || t[0].quoted || IsReserved(t[0]) || Is(t[0], "NUMBER_OF_FIELDS") ||
        Is(t[0], "NUMBER_OF_SETS")) {
        return {};
    }
    return t[0].text;
}

} // namespace

std::string FirstWord(std::span<const std::uint8_t> bytes) {
    const std::string_view text = TextOf(bytes);
    const auto start = std::find_if_not(text.begin(), text.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    });
    return {start, std::find_if_not(start, text.end(), IsWordByte)};
}

Outcome<CgatsText> CheckCgats(std::span<const std::uint8_t> bytes) {
    const std::string_view text = TextOf(bytes);
    if (!NamesTables(text)) {
        return Reason(ReferenceProblem::NotCgats);
    }
    const Tokenized tokenized = Tokens(text);
    TableWalk walk;
    if (Reason failed = walk.Take(tokenized.tokens)) {
        return failed;
    }
    if (tokenized.failed) {
        return tokenized.failed;
    }
    if (Reason failed = walk.Finish()) {
        return failed;
    }
    CgatsText cgats;
    cgats.kind = KindOf(tokenized.tokens);
    cgats.table = walk.Table();
    if (!cgats.kind.empty()) {
        cgats.table.replace(0, cgats.table.find('\n'), cgats.kind);
    }
    return cgats;
}
