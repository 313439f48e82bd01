#include "pcd/extension_info.h"

#include "pcd/byte_buffer.h"
#include "pcd/extension_files.h"

namespace quorbix::pcd {

namespace {

constexpr size_t kDescriptionsOffsetAt = 0x2c;
constexpr size_t kFileListOffsetAt = 0x30;
constexpr size_t kTablesOffsetAt = 0x38;
constexpr size_t kLayerRecordMinimum = 18;  // through the sequence pointers' offset
constexpr size_t kFileEntryBytes = 16;
constexpr size_t kFileNameBytes = 12;
constexpr size_t kSequenceEntryBytes = 6;
constexpr int kMaxFiles = 10;

// Bounds-checked big-endian reads from the file's bytes.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool has(size_t offset, size_t length) const { return offset <= size_ && length <= size_ - offset; }
  std::optional<uint32_t> u16(size_t offset) const {
    if (!has(offset, 2)) return std::nullopt;
    return static_cast<uint32_t>(data_[offset] << 8 | data_[offset + 1]);
  }
  std::optional<uint32_t> u32(size_t offset) const {
    if (!has(offset, 4)) return std::nullopt;
    return static_cast<uint32_t>(data_[offset]) << 24 | static_cast<uint32_t>(data_[offset + 1]) << 16 |
           static_cast<uint32_t>(data_[offset + 2]) << 8 | static_cast<uint32_t>(data_[offset + 3]);
  }
  const uint8_t* at(size_t offset) const { return data_ + offset; }
  size_t size() const { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
};

bool readFileNames(const Reader& in, ExtensionInfo& info) {
  const auto listAt = in.u32(kFileListOffsetAt);
  if (!listAt) return false;
  const auto count = in.u16(*listAt);
  if (!count || *count < 1 || *count > kMaxFiles) return false;
  const size_t first = size_t{*listAt} + 2;
  if (!in.has(first, *count * kFileEntryBytes)) return false;
  for (size_t i = 0; i < *count; ++i) {
    const char* raw = reinterpret_cast<const char*>(in.at(first + i * kFileEntryBytes));
    std::string name(raw, kFileNameBytes);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    if (!isPlainExtensionFileName(name)) return false;
    info.fileNames.push_back(std::move(name));
  }
  return true;
}

bool readLayers(const Reader& in, ExtensionInfo& info) {
  const auto descriptionsAt = in.u32(kDescriptionsOffsetAt);
  if (!descriptionsAt) return false;
  const auto count = in.u16(*descriptionsAt);
  if (!count || (*count != 1 && *count != 3) || *count > info.fileNames.size()) return false;
  size_t record = size_t{*descriptionsAt} + 2;
  for (uint32_t i = 0; i < *count; ++i) {
    const auto length = in.u16(record);
    if (!length || *length < kLayerRecordMinimum || !in.has(record, *length)) return false;
    ExtensionLayer layer;
    layer.width = static_cast<int>(*in.u16(record + 4));
    layer.height = static_cast<int>(*in.u16(record + 6));
    layer.firstColumn = static_cast<int>(*in.u16(record + 8));
    const uint32_t sequenceLength = *in.u32(record + 10);
    const uint32_t pointersAt = *in.u32(record + 14);
    if (layer.width == 0 || layer.height == 0 || sequenceLength == 0 ||
        sequenceLength > static_cast<uint32_t>(layer.width)) {
      return false;
    }
    layer.sequenceLength = static_cast<int>(sequenceLength);
    // At most 65535 x 65535 pixels, so the count fits; the pointers must
    // then be in the file, which bounds what is allocated here.
    const uint64_t sequences = static_cast<uint64_t>(layer.width) * static_cast<uint64_t>(layer.height) / sequenceLength;
    if (sequences > in.size() / kSequenceEntryBytes || !in.has(pointersAt, static_cast<size_t>(sequences) * kSequenceEntryBytes)) {
      return false;
    }
    layer.sequences.resize(static_cast<size_t>(sequences));
    for (size_t s = 0; s < layer.sequences.size(); ++s) {
      const size_t entry = size_t{pointersAt} + s * kSequenceEntryBytes;
      layer.sequences[s].file = static_cast<uint16_t>(*in.u16(entry));
      layer.sequences[s].offset = *in.u32(entry + 2);
      if (layer.sequences[s].file >= info.fileNames.size()) return false;
    }
    info.layers.push_back(std::move(layer));
    record += *length;
  }
  return true;
}

bool readTables(const Reader& in, ExtensionInfo& info) {
  const auto tablesAt = in.u32(kTablesOffsetAt);
  if (!tablesAt || !in.has(*tablesAt, 0)) return false;
  size_t offset = *tablesAt;
  for (ExtensionLayer& layer : info.layers) {
    const size_t used = layer.table.parse(in.at(offset), in.size() - offset);
    if (used == 0) return false;
    offset += used;
  }
  return true;
}

}  // namespace

std::optional<ExtensionInfo> parseExtensionInfo(const ByteSource& source) {
  if (source.size() > kMaxExtensionInfoBytes) return std::nullopt;
  ByteBuffer bytes(static_cast<size_t>(source.size()));
  if (!source.read(0, bytes.data(), bytes.size())) return std::nullopt;
  const Reader in(bytes.data(), bytes.size());
  ExtensionInfo info;
  if (!readFileNames(in, info) || !readLayers(in, info) || !readTables(in, info)) return std::nullopt;
  return info;
}

}  // namespace quorbix::pcd
