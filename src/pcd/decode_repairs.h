// What the decoder repaired in a damaged picture: per coded level (4Base,
// 16Base, 64Base), the rows whose coded data could not be read as it was
// written. Such a row keeps every difference that could be read and takes
// the level below, enlarged, where none could; a level whose code tables are
// unreadable takes the level below everywhere.
#pragma once

#include <string>
#include <vector>

#include "pcd/pcd_header.h"
#include "pcd/pcd_layout.h"

namespace quorbix::pcd {

class DecodeRepairs {
 public:
  // Rows first..last of `level` (its luma rows, stored orientation).
  void addRows(Level level, int first, int last);
  // The whole level: its tables could not be read.
  void addLevel(Level level);
  bool empty() const { return levels_.empty(); }
  // How many rows of `level` were repaired.
  int rowCount(Level level) const;
  // One line for people, in the upright picture's terms, e.g.
  // "16Base rows 1204-1219 and 2010 (17 of 2048)" or, for a picture stored
  // turned, "... columns ...". Levels lowest first, "; " between them.
  std::string describe(Rotation rotation) const;

 private:
  struct LevelRows {
    Level level;
    std::vector<bool> rows;  // one per luma row of the level
  };
  LevelRows& rowsOf(Level level);
  std::vector<LevelRows> levels_;
};

}  // namespace quorbix::pcd
