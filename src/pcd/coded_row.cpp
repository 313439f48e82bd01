#include "pcd/coded_row.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "pcd/pcd_layout.h"

namespace quorbix::pcd {

namespace {

// The most codes a flipped bit or two can add to or take from a row: rows
// further off than this are not shifted but mixed with other data.
constexpr int kMaxShift = 32;
// A sync pattern with up to this many bits wrong is still taken for one,
// where a whole row ends right before it.
constexpr int kSyncSlack = 3;
constexpr int kLongestCode = 16;
constexpr uint64_t kSectorBits = kSectorSize * 8;

}  // namespace

CodedRowReader::Outcome CodedRowReader::read(const HuffmanTable& table, uint8_t* row, int width,
                                             const uint8_t* reference) {
  syncTaken_ = false;
  const uint64_t start = bits_.position();
  saved_.assign(row, row + width);
  if (bits_.addCodedRow(table, row, width)) {
    if (bits_.remaining() >= BitReader::kSyncBits && bits_.peek(BitReader::kSyncBits) == BitReader::kSync) {
      bits_.skip(BitReader::kSyncBits);
      syncTaken_ = true;
      return Outcome::Clean;
    }
    // The last row of the data, with nothing after it but padding (less
    // than a sector: more zeros than that are a sector read as zeros).
    if (bits_.remaining() < kSectorBits && zeroBitsUntil(bits_.size())) return Outcome::Clean;
  }
  std::copy(saved_.begin(), saved_.end(), row);
  return repair(table, row, width, reference, start);
}

bool CodedRowReader::zeroBitsUntil(uint64_t end) {
  const uint64_t from = bits_.position();
  while (bits_.position() < end) {
    const int n = static_cast<int>(std::min<uint64_t>(32, end - bits_.position()));
    if (bits_.peek(n) != 0) {
      bits_.seek(from);
      return false;
    }
    bits_.skip(n);
  }
  return true;
}

bool CodedRowReader::nearSyncAt(uint64_t position) {
  if (bits_.size() - position < BitReader::kSyncBits) return false;
  bits_.seek(position);
  return std::popcount(bits_.peek(BitReader::kSyncBits) ^ BitReader::kSync) <= kSyncSlack;
}

CodedRowReader::Outcome CodedRowReader::repair(const HuffmanTable& table, uint8_t* row, int width,
                                               const uint8_t* reference, uint64_t start) {
  // Where the row must end: the next sync pattern, or the end of the data.
  bits_.seek(start);
  const bool syncFound = bits_.findSync(0);
  const uint64_t end = syncFound ? bits_.position() - BitReader::kSyncBits : bits_.size();
  // A row is never longer than this; beyond it lies other data.
  const uint64_t longest = static_cast<uint64_t>(width + kMaxShift) * kLongestCode;
  const bool longSpan = end - start > longest;
  const uint64_t stop = std::min(end, start + longest);

  // Every code between the start and the end; a bit pattern that is no code
  // is stepped over a bit at a time until the codes fall in step again.
  bits_.seek(start);
  codes_.clear();
  int firstBad = -1;
  int afterLastBad = 0;
  uint64_t afterWidth = 0;  // where the row's last code ends when read straight
  // A run of all-zero codes longer than a row is filler (a sector the drive
  // could not read, given as zeros), not coded data: it stands for no
  // difference at all, whatever value the all-zero code has, and what
  // follows it belongs to other rows, so the codes cannot be counted back
  // from the end.
  int zeroCodes = 0;
  int fillerFrom = -1;  // the first code of the filler
  while (bits_.position() < stop) {
    const uint64_t left = stop - bits_.position();
    const uint32_t window = bits_.peek(kLongestCode);
    const HuffmanTable::Entry entry = table.lookup(window);
    if (entry.length == 0 || entry.length > left) {
      if (firstBad < 0) firstBad = static_cast<int>(codes_.size());
      afterLastBad = static_cast<int>(codes_.size());
      zeroCodes = 0;
      bits_.skip(1);
      continue;
    }
    zeroCodes = window >> (kLongestCode - entry.length) == 0 ? zeroCodes + 1 : 0;
    if (zeroCodes > width && fillerFrom < 0) fillerFrom = static_cast<int>(codes_.size()) + 1 - zeroCodes;
    bits_.skip(entry.length);
    codes_.push_back(entry.value);
    if (static_cast<int>(codes_.size()) == width && firstBad < 0 && fillerFrom < 0) afterWidth = bits_.position();
  }
  const int count = static_cast<int>(codes_.size());
  const int shift = count - width;

  if (afterWidth != 0 && (fillerFrom < 0 || fillerFrom >= width)) {
    // The row itself read whole: what follows it was damaged instead, the
    // next row's sync pattern beyond recognition or the data's end.
    bool whole = !syncFound && [&] {
      bits_.seek(afterWidth);
      return zeroBitsUntil(end);
    }();
    if (!whole && (longSpan || std::abs(shift) > kMaxShift) && nearSyncAt(afterWidth)) {
      whole = true;
      bits_.skip(BitReader::kSyncBits);
      syncTaken_ = true;
    }
    if (whole) {
      for (int i = 0; i < width; ++i) row[i] = addClamped(row[i], codes_[static_cast<size_t>(i)]);
      if (syncTaken_) return Outcome::Repaired;  // whole, but the data after it was damaged
      bits_.seek(bits_.size());
      return Outcome::Clean;
    }
  }

  // The codes read forward are right up to the damage; those counted back
  // from the end are right after it, when the damage only shifted them.
  const int forwardEnd = std::min({firstBad < 0 ? count : firstBad, fillerFrom < 0 ? count : fillerFrom, width});
  const bool fromEnd = syncFound && !longSpan && fillerFrom < 0 && std::abs(shift) <= std::min(kMaxShift, width / 2);
  const auto forward = [&](int i) { return i < forwardEnd ? codes_[static_cast<size_t>(i)] : 0; };
  const auto backward = [&](int i) {
    const int j = i + shift;
    return fromEnd && j >= afterLastBad && j < count ? codes_[static_cast<size_t>(j)] : 0;
  };
  // Where one gives way to the other: the split that fits the neighbouring
  // row best, the damage being where the forward reading stops matching it.
  int split = forwardEnd;
  if (fromEnd) {
    const uint8_t* near = reference != nullptr ? reference : saved_.data();
    long long sum = 0;
    long long best = 0;
    split = 0;
    for (int i = 0; i < width; ++i) {
      const int f = std::abs(addClamped(saved_[static_cast<size_t>(i)], forward(i)) - near[i]);
      const int b = std::abs(addClamped(saved_[static_cast<size_t>(i)], backward(i)) - near[i]);
      sum += f - b;
      if (sum < best) {
        best = sum;
        split = i + 1;
      }
    }
  }
  for (int i = 0; i < width; ++i) row[i] = addClamped(row[i], i < split ? forward(i) : backward(i));

  bits_.seek(end);
  if (syncFound) {
    bits_.skip(BitReader::kSyncBits);
    syncTaken_ = true;
  }
  return Outcome::Repaired;
}

}  // namespace quorbix::pcd
