#include "pcd/extension_residuals.h"

#include <memory>
#include <vector>

#include "pcd/bit_reader.h"

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

// Decodes one layer into `plane`: every announced sequence exactly once.
bool addLayer(const ExtensionLayer& layer, int component, const ExtensionSources& sources, Plane& plane) {
  const int firstColumn = component == 0 ? layer.firstColumn : layer.firstColumn / 2;
  if (layer.width > plane.width || layer.height > plane.height) return false;
  std::vector<bool> seen(static_cast<size_t>(plane.height) * kPlacesPerRow, false);

  size_t next = 0;
  while (next < layer.sequences.size()) {
    // A run of sequences in one file: read from its first pointer on.
    const ExtensionSequence& first = layer.sequences[next];
    size_t runEnd = next + 1;
    while (runEnd < layer.sequences.size() && layer.sequences[runEnd].file == first.file) ++runEnd;
    if (first.file >= sources.size() || !sources[first.file]) return false;
    const ByteSource& source = *sources[first.file];
    if (first.offset >= source.size()) return false;
    BitReader bits(source, first.offset, source.size());
    for (; next < runEnd; ++next) {
      if (!bits.findSync(kSequenceHeaderBits)) return false;
      const SequenceHeader header = splitHeader(bits.peek(kSequenceHeaderBits));
      bits.skip(kSequenceHeaderBits);
      const int x = firstColumn + header.place * layer.sequenceLength;
      if (header.component != component || header.row >= plane.height ||
          x + layer.sequenceLength > plane.width) {
        return false;
      }
      const size_t slot = static_cast<size_t>(header.row) * kPlacesPerRow + static_cast<size_t>(header.place);
      if (seen[slot]) return false;
      seen[slot] = true;
      if (!bits.addCodedRow(layer.table, plane.row(header.row) + x, layer.sequenceLength)) return false;
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

bool addExtensionResiduals(const ExtensionInfo& info, const ExtensionSources& sources, YccPicture& picture) {
  if (info.layers.size() > 3) return false;
  Plane* planes[3] = {&picture.luma, &picture.chroma1, &picture.chroma2};
  for (size_t i = 0; i < info.layers.size(); ++i) {
    if (!addLayer(info.layers[i], static_cast<int>(i), sources, *planes[i])) return false;
  }
  return true;
}

}  // namespace quorbix::pcd
