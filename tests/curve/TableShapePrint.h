// Table shapes in test failures as "4096 entries of 0..255".
#pragma once

#include "curve/CurveTable.h"

#include <ostream>

inline void PrintTo(const TableShape& shape, std::ostream* os) {
    *os << shape.entries << " entries of 0.." << shape.maxLevel;
}
