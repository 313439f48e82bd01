#include "pcd/extension_residuals.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "pcd/bit_reader.h"
#include "pcd/coded_row_set.h"

namespace quorbix::pcd {

namespace {

constexpr int kSequenceHeaderBits = 24;
constexpr int kPlacesPerRow = 16;  // the header's 4-bit place field

struct SequenceHeader {
  int component;
  int row;
  int place;
};

SequenceHeader splitHeader(uint32_t bits) {
  return SequenceHeader{static_cast<int>((bits >> 20) & 0x3), static_cast<int>((bits >> 6) & 0x3fff),
                        static_cast<int>((bits >> 1) & 0xf)};
}

// Decodes one layer into `plane`; the rows of its damaged and missing
// sequences are added to `repairs` (when given), a chroma row as two luma rows.
bool addLayer(const ExtensionLayer& layer, int component, const ExtensionSources& sources, Plane& plane,
              DecodeRepairs* repairs) {
  const int firstColumn = component == 0 ? layer.firstColumn : layer.firstColumn / 2;
  if (layer.width > plane.width || layer.height > plane.height || layer.sequenceLength <= 0) return false;
  const int places = layer.width / layer.sequenceLength;
  if (places > kPlacesPerRow || firstColumn + places * layer.sequenceLength > plane.width) return false;

  // The sequences in order along the rows: index = row * places + place.
  RowLayout layout;
  layout.headerBits = kSequenceHeaderBits;
  layout.placeBits = 0x3fffde;  // component, row and place; not the spare bits
  layout.counts = {layer.height * places};
  layout.parse = [&](uint32_t bits) -> std::optional<RowSlot> {
    const SequenceHeader header = splitHeader(bits);
    if (header.component != component || header.place >= places) return std::nullopt;
    return RowSlot{0, header.row * places + header.place};
  };
  layout.header = [&](const RowSlot& slot) {
    return static_cast<uint32_t>(component) << 20 | static_cast<uint32_t>(slot.index / places) << 6 |
           static_cast<uint32_t>(slot.index % places) << 1;
  };
  layout.target = [&](const RowSlot& slot) {
    const int row = slot.index / places;
    const int x = firstColumn + (slot.index % places) * layer.sequenceLength;
    const int neighbour = row > 0 ? row - 1 : std::min(1, plane.height - 1);
    return RowTarget{&layer.table, plane.row(row) + x, layer.sequenceLength, plane.row(neighbour) + x};
  };
  CodedRowSet sequences(std::move(layout));

  size_t next = 0;
  while (next < layer.sequences.size()) {
    // A run of sequences in one file: read from its first pointer on.
    const ExtensionSequence& first = layer.sequences[next];
    size_t runEnd = next + 1;
    while (runEnd < layer.sequences.size() && layer.sequences[runEnd].file == first.file) ++runEnd;
    const size_t runLength = runEnd - next;
    next = runEnd;
    if (first.file >= sources.size() || !sources[first.file]) continue;
    const ByteSource& source = *sources[first.file];
    if (first.offset >= source.size()) continue;
    BitReader bits(source, first.offset, source.size());
    sequences.read(bits, runLength);
  }
  if (repairs != nullptr) {
    const int scale = component == 0 ? 1 : 2;
    for (int index : sequences.unsound(0)) {
      const int row = index / places;
      repairs->addRows(Level::SixtyFourBase, scale * row, scale * row + scale - 1);
    }
  }
  return true;
}

}  // namespace

std::optional<ExtensionSources> openExtensionSources(const ExtensionInfo& info, const ExtensionFiles& files) {
  ExtensionSources sources(info.fileNames.size());
  for (const ExtensionLayer& layer : info.layers) {
    for (const ExtensionSequence& sequence : layer.sequences) {
      if (sequence.file >= sources.size()) return std::nullopt;
      auto& source = sources[sequence.file];
      if (!source) source = files.open(info.fileNames[sequence.file]);
      if (!source) return std::nullopt;
    }
  }
  return sources;
}

bool addExtensionResiduals(const ExtensionInfo& info, const ExtensionSources& sources, YccPicture& picture,
                           DecodeRepairs* repairs) {
  if (info.layers.size() > 3) return false;
  Plane* planes[3] = {&picture.luma, &picture.chroma1, &picture.chroma2};
  for (size_t i = 0; i < info.layers.size(); ++i) {
    if (!addLayer(info.layers[i], static_cast<int>(i), sources, *planes[i], repairs)) return false;
  }
  return true;
}

}  // namespace quorbix::pcd
