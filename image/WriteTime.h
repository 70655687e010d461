// When a file is written, for the date it carries. (No C++20 here: the PDF
// writer, built as C++17 for qpdf's headers, takes it too.)
#pragma once

#include <ctime>

// The time SOURCE_DATE_EPOCH gives (whole seconds since 1970, in UTC) where it is set,
// so that the same input writes the same bytes whenever it is written (as
// reproducible builds have it); otherwise now, in local time.
struct WriteTime {
    std::time_t when = 0;
    bool utc = false;
};
WriteTime TimeOfWriting();

// The time's calendar fields, in UTC or local time as it says.
std::tm CalendarOf(const WriteTime& time);
