// The structure of a CGATS text, checked by a tokenizer of our own before
// LittleCMS parses a byte of it: one data format whose NUMBER_OF_FIELDS is
// its count of field names, one table whose NUMBER_OF_SETS times the fields
// is its count of values, and nothing after it. LittleCMS then reads a copy
// that holds that one table alone, each word on the line it stood on, so
// its line numbers are the file's and none of its faults with several data
// formats or tables can be reached (Debian 12's LittleCMS 2.14 crashes on
// some). A UTF-8 byte-order mark is skipped; a value that holds one comma
// and no point is a decimal comma, copied with a point.
#pragma once

#include "image/Outcome.h"

#include <cstdint>
#include <span>
#include <string>

struct CgatsText {
    // The first line's one word, the file's kind ("IT8.7/2", "CTI3"),
    // empty when the first line holds something else.
    std::string kind;
    // The one table for LittleCMS: the kind, NUMBER_OF_FIELDS, the data
    // format, NUMBER_OF_SETS and the data, each on its line of the file.
    std::string table;
};

// The file's first word, the BOM and blank lines passed over: its kind
// when it names one ("BOXES" for a chart recognition layout).
std::string FirstWord(std::span<const std::uint8_t> bytes);

// BadReference: NotCgats (no data format before any other fault), Syntax
// (a byte CGATS does not allow, an open quote, a keyword without its
// number or out of its place), Includes, SecondTable, FieldCount, SetCount,
// Missing (the keyword).
Outcome<CgatsText> CheckCgats(std::span<const std::uint8_t> bytes);
