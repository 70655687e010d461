// A file's stored rows turned upright by its orientation (EXIF's and TIFF's
// tag, 1..8): upright pixel (x, y) is stored pixel (sx, sy), where
//   1: (x, y)            2: (w-1-x, y)        3: (w-1-x, h-1-y)    4: (x, h-1-y)
//   5: (y, x)            6: (y, h-1-x)        7: (w-1-y, h-1-x)    8: (w-1-y, x)
// for a stored image w wide and h high (5 to 8 are h wide and w high).
// A mirror (2) is made row by row as the rows stream past, and so is a turn
// upside down (3, 4) of rows that may be read in any order; the others are
// read whole once, in bands, into the upright picture that they then come
// from (HeldBytes counts it).
#pragma once

#include "image/rows/StoredRows.h"

#include <memory>

// `stored` itself when it is upright (or bottom-up, which no orientation
// comes with), else a view that gives its rows upright and owns it. Its
// resolution is turned with it; its orientation is then upright.
std::unique_ptr<RowSource> TurnedUpright(std::unique_ptr<RowSource> stored);
