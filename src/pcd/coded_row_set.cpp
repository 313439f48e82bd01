#include "pcd/coded_row_set.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace quorbix::pcd {

CodedRowSet::CodedRowSet(RowLayout layout) : layout_(std::move(layout)) {
  for (int count : layout_.counts) states_.emplace_back(static_cast<size_t>(std::max(count, 0)), State::Unseen);
  expected_.assign(layout_.counts.size(), 0);
}

bool CodedRowSet::inRange(const RowSlot& slot) const {
  return slot.component >= 0 && static_cast<size_t>(slot.component) < states_.size() && slot.index >= 0 &&
         static_cast<size_t>(slot.index) < states_[static_cast<size_t>(slot.component)].size();
}

std::optional<CodedRowSet::Placed> CodedRowSet::place(uint32_t header) const {
  std::optional<RowSlot> named = layout_.parse(header);
  if (named && !inRange(*named)) named.reset();
  if (named && named->index == expected_[static_cast<size_t>(named->component)] &&
      stateOf(*named) != State::Clean) {
    return Placed{*named, false, std::nullopt};
  }
  std::optional<RowSlot> nearExpected;
  for (size_t c = 0; c < states_.size() && !nearExpected; ++c) {
    const RowSlot next{static_cast<int>(c), expected_[c]};
    if (!inRange(next) || stateOf(next) != State::Unseen) continue;
    if (std::popcount((header ^ layout_.header(next)) & layout_.placeBits) == 1) nearExpected = next;
  }
  const bool ahead = named && stateOf(*named) != State::Clean &&
                     named->index > expected_[static_cast<size_t>(named->component)];
  if (nearExpected && !ahead) return Placed{*nearExpected, true, std::nullopt};
  if (named && stateOf(*named) != State::Clean) return Placed{*named, false, nearExpected};
  return std::nullopt;
}

void CodedRowSet::readRow(CodedRowReader& reader, const RowSlot& slot, bool corrected) {
  const RowTarget target = layout_.target(slot);
  State& rowState = state(slot);
  const auto key = std::make_pair(slot.component, slot.index);
  if (rowState == State::Repaired) {
    const std::vector<uint8_t>& prediction = predictions_[key];
    std::copy(prediction.begin(), prediction.end(), target.pixels);
  }
  const bool clean =
      reader.read(*target.table, target.pixels, target.width, target.reference) == CodedRowReader::Outcome::Clean &&
      !corrected;
  if (clean) {
    rowState = State::Clean;
    predictions_.erase(key);
  } else {
    if (rowState == State::Unseen) predictions_[key] = reader.prediction();
    rowState = State::Repaired;
  }
  expected_[static_cast<size_t>(slot.component)] = slot.index + 1;
}

void CodedRowSet::read(BitReader& bits, size_t maxHeaders) {
  CodedRowReader reader(bits);
  std::optional<Pending> pending;
  const int headerBits = layout_.headerBits;
  bool atRow = bits.findSync(headerBits);
  for (size_t n = 0; n < maxHeaders && atRow && bits.remaining() >= static_cast<uint64_t>(headerBits); ++n) {
    const uint32_t header = bits.peek(headerBits);
    bits.skip(headerBits);
    const uint64_t afterHeader = bits.position();
    if (pending) {
      // This header continues from the row the last one was one bit away
      // from: the last row was that one. Undo it and read it again there.
      const std::optional<RowSlot> next = layout_.parse(header);
      if (next && next->component == pending->alternative.component &&
          next->index == pending->alternative.index + 1) {
        const RowTarget wrong = layout_.target(pending->slot);
        std::copy(pending->pixelsBefore.begin(), pending->pixelsBefore.end(), wrong.pixels);
        state(pending->slot) = pending->stateBefore;
        if (pending->stateBefore == State::Unseen) {
          predictions_.erase(std::make_pair(pending->slot.component, pending->slot.index));
        }
        expected_[static_cast<size_t>(pending->slot.component)] = pending->expectedBefore;
        bits.seek(pending->dataStart);
        readRow(reader, pending->alternative, true);
        bits.seek(afterHeader);
      }
      pending.reset();
    }
    if (layout_.isEnd && layout_.isEnd(header)) {
      endSeen_ = true;
      const std::vector<State>& first = states_.front();
      if (std::all_of(first.begin(), first.end(), [](State s) { return s == State::Clean; })) break;
      atRow = bits.findSync(headerBits);
      continue;
    }
    const std::optional<Placed> placed = place(header);
    if (!placed) {
      atRow = bits.findSync(headerBits);
      continue;
    }
    if (placed->alternative) {
      const RowTarget target = layout_.target(placed->slot);
      pending = Pending{placed->slot,
                        *placed->alternative,
                        afterHeader,
                        stateOf(placed->slot),
                        expected_[static_cast<size_t>(placed->slot.component)],
                        std::vector<uint8_t>(target.pixels, target.pixels + target.width)};
    }
    readRow(reader, placed->slot, placed->corrected);
    atRow = reader.syncTaken() || bits.findSync(headerBits);
  }
}

void CodedRowSet::restoreRepairedRows() {
  for (const auto& [key, prediction] : predictions_) {
    const RowTarget target = layout_.target(RowSlot{key.first, key.second});
    std::copy(prediction.begin(), prediction.end(), target.pixels);
  }
}

bool CodedRowSet::anyRead(int component) const {
  const std::vector<State>& states = states_[static_cast<size_t>(component)];
  return std::any_of(states.begin(), states.end(), [](State s) { return s != State::Unseen; });
}

std::vector<int> CodedRowSet::unsound(int component) const {
  std::vector<int> rows;
  const std::vector<State>& states = states_[static_cast<size_t>(component)];
  for (size_t i = 0; i < states.size(); ++i) {
    if (states[i] != State::Clean) rows.push_back(static_cast<int>(i));
  }
  return rows;
}

}  // namespace quorbix::pcd
