// Places the coded rows of a level (or the sequences of a 64Base layer) by
// their headers, reads each with CodedRowReader, and keeps track of which
// were read soundly. Writers store each component's rows in order, which is
// what lets a damaged header be told from rows that went missing:
// - the next row of its component, as named, is read;
// - a header one bit away from the next row of a component, whose own name
//   is impossible, already read, or behind its component, is that row;
// - any other row not read soundly yet is read as named. When its name is
//   also one bit away from the row that should have come, and the header
//   after it continues from that row instead, it was that row after all,
//   and it is read again there;
// - a row already read soundly is not read again; one that was repaired is,
//   from its prediction, when a sound copy turns up.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "pcd/bit_reader.h"
#include "pcd/coded_row.h"
#include "pcd/huffman_table.h"

namespace quorbix::pcd {

struct RowSlot {
  int component = 0;
  int index = 0;  // in the component's order of rows (or sequences)
  bool operator==(const RowSlot&) const = default;
};

// Where a row's codes go.
struct RowTarget {
  const HuffmanTable* table = nullptr;
  uint8_t* pixels = nullptr;
  int width = 0;
  const uint8_t* reference = nullptr;  // a neighbouring run of `width` pixels
};

struct RowLayout {
  int headerBits = 16;
  uint32_t placeBits = 0;     // the header bits that name the row
  std::vector<int> counts;    // rows per component
  // The row a header names; nothing when no row can have that name.
  std::function<std::optional<RowSlot>(uint32_t header)> parse;
  // The header of a row.
  std::function<uint32_t(const RowSlot&)> header;
  std::function<RowTarget(const RowSlot&)> target;
  // True for the header that ends the rows (optional).
  std::function<bool(uint32_t header)> isEnd;
};

class CodedRowSet {
 public:
  explicit CodedRowSet(RowLayout layout);

  // Reads rows from `bits`, from its next sync pattern on, until the data
  // ends, `maxHeaders` headers have been read, or the end header comes
  // after every row of component 0 was read soundly.
  void read(BitReader& bits, size_t maxHeaders = SIZE_MAX);

  // The rows of `component` not read soundly (repaired or missing).
  std::vector<int> unsound(int component) const;
  // True when some row of `component` was there at all.
  bool anyRead(int component) const;
  // True once the end header was read.
  bool endSeen() const { return endSeen_; }
  // Puts back the prediction of every row that was repaired.
  void restoreRepairedRows();

 private:
  enum class State : uint8_t { Unseen, Repaired, Clean };
  struct Placed {
    RowSlot slot;
    bool corrected = false;                // the header was damaged
    std::optional<RowSlot> alternative;    // the row it may have been instead
  };
  struct Pending {  // the last row read, while its name is in doubt
    RowSlot slot;
    RowSlot alternative;
    uint64_t dataStart = 0;
    State stateBefore = State::Unseen;
    int expectedBefore = 0;
    std::vector<uint8_t> pixelsBefore;
  };

  std::optional<Placed> place(uint32_t header) const;
  State& state(const RowSlot& slot) { return states_[static_cast<size_t>(slot.component)][static_cast<size_t>(slot.index)]; }
  State stateOf(const RowSlot& slot) const {
    return states_[static_cast<size_t>(slot.component)][static_cast<size_t>(slot.index)];
  }
  bool inRange(const RowSlot& slot) const;
  void readRow(CodedRowReader& reader, const RowSlot& slot, bool corrected);

  RowLayout layout_;
  std::vector<std::vector<State>> states_;
  std::vector<int> expected_;  // per component, the row that should come next
  bool endSeen_ = false;
  std::map<std::pair<int, int>, std::vector<uint8_t>> predictions_;  // of rows repaired so far
};

}  // namespace quorbix::pcd
