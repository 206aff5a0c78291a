// The block of grid cells that lie within a distance of one cell, where the
// distance is the larger of the column and row gaps, as the variety rules
// measure it.
#pragma once

#include <algorithm>

namespace tesselor {

struct CellWindow {
  int firstColumn, lastColumn, firstRow, lastRow;
};

// Clipped to a grid of columns x rows.
inline CellWindow CellsWithin(int column, int row, int distance, int columns, int rows) {
  return {std::max(0, column - distance), std::min(columns - 1, column + distance),
          std::max(0, row - distance), std::min(rows - 1, row + distance)};
}

}  // namespace tesselor
