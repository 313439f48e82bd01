#include "pcd_writer/extension_writer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "pcd_writer/huffman_coder.h"
#include "pcd_writer/pcd_writer.h"

namespace quorbix::pcd_writer {

namespace {

using pcd::Plane;
using pcd::YccPicture;

constexpr int kMaxDifference = 63;

void put16(std::string& out, size_t at, uint32_t v) {
  out[at] = static_cast<char>(v >> 8 & 0xff);
  out[at + 1] = static_cast<char>(v & 0xff);
}
void put32(std::string& out, size_t at, uint32_t v) {
  put16(out, at, v >> 16);
  put16(out, at + 2, v & 0xffff);
}
void append16(std::string& out, uint32_t v) {
  out.resize(out.size() + 2);
  put16(out, out.size() - 2, v);
}
void append32(std::string& out, uint32_t v) {
  out.resize(out.size() + 4);
  put32(out, out.size() - 4, v);
}

struct Layer {
  int width = 0, height = 0, firstColumn = 0, sequenceLength = 0;
  std::vector<std::pair<uint16_t, uint32_t>> pointers;  // file, offset
  std::string table;
};

std::string fileName(int component, int part) {
  if (component == 0) return part == 0 ? "Y0001.ICR" : "Y0001_" + std::to_string(part) + ".ICR";
  return component == 1 ? "C1_0001.ICR" : "C2_0001.ICR";
}

}  // namespace

ExtensionFileBytes writeExtension(const YccPicture& prediction, const YccPicture& target,
                                  const ExtensionWriteOptions& options, YccPicture& rebuilt) {
  rebuilt = prediction;
  const Plane* predictions[3] = {&prediction.luma, &prediction.chroma1, &prediction.chroma2};
  const Plane* targets[3] = {&target.luma, &target.chroma1, &target.chroma2};
  Plane* results[3] = {&rebuilt.luma, &rebuilt.chroma1, &rebuilt.chroma2};
  const int components = options.chroma ? 3 : 1;
  const int codedWidth = options.codedWidth > 0 ? options.codedWidth : prediction.luma.width;

  std::vector<std::string> names;
  std::map<std::string, std::string> data;
  std::vector<Layer> layers;
  for (int c = 0; c < components; ++c) {
    const Plane& p = *predictions[c];
    const Plane& t = *targets[c];
    Plane& r = *results[c];
    Layer layer;
    layer.width = c == 0 ? codedWidth : codedWidth / 2;
    layer.height = p.height;
    layer.firstColumn = options.firstColumn;
    layer.sequenceLength = layer.width / options.sequencesPerRow;
    const int x0 = c == 0 ? options.firstColumn : options.firstColumn / 2;
    const auto diff = [&](int x, int y) {
      return std::clamp(t.at(x, y) - p.at(x, y), -kMaxDifference, kMaxDifference);
    };
    std::map<int, uint64_t> counts;
    {
      std::array<uint64_t, 2 * kMaxDifference + 1> histogram{};  // a map per pixel is slow in debug builds
      for (int y = 0; y < p.height; ++y)
        for (int x = x0; x < x0 + layer.width; ++x) ++histogram[static_cast<size_t>(diff(x, y) + kMaxDifference)];
      for (size_t i = 0; i < histogram.size(); ++i)
        if (histogram[i] > 0) counts[static_cast<int>(i) - kMaxDifference] = histogram[i];
    }
    const std::map<int, Code> codeOf = buildCode(counts);
    layer.table = tableBytes(codeOf);
    std::array<Code, 2 * kMaxDifference + 1> code{};
    for (const auto& [value, c] : codeOf) code[static_cast<size_t>(value + kMaxDifference)] = c;

    // Rows are spread evenly over the component's files, each file holding
    // a band of consecutive rows.
    const int parts = c == 0 ? std::max(1, options.lumaFiles) : 1;
    for (int part = 0; part < parts; ++part) {
      const std::string name = fileName(c, part);
      const uint16_t index = static_cast<uint16_t>(names.size());
      names.push_back(name);
      BitWriter bits;
      for (int i = 0; i < options.leadingBytes; ++i) bits.put(0, 8);
      const int rowBegin = p.height * part / parts, rowEnd = p.height * (part + 1) / parts;
      for (int y = rowBegin; y < rowEnd; ++y) {
        for (int place = 0; place < options.sequencesPerRow; ++place) {
          layer.pointers.push_back({index, static_cast<uint32_t>(bits.bytesWritten())});
          bits.put(0xfffffe, 24);
          bits.put(static_cast<uint32_t>(c << 20 | y << 6 | place << 1), 24);
          for (int i = 0; i < layer.sequenceLength; ++i) {
            const int x = x0 + place * layer.sequenceLength + i;
            const int d = diff(x, y);
            const Code& k = code[static_cast<size_t>(d + kMaxDifference)];
            bits.put(k.bits, k.length);
            r.row(y)[x] = static_cast<uint8_t>(std::clamp(p.at(x, y) + d, 0, 255));
          }
        }
      }
      data[name] = bits.finish();
    }
    layers.push_back(std::move(layer));
  }

  // INFO.IC: header, layer records, file list, pointers, tables.
  std::string info(0x40, '\0');
  const char title[] = "PHOTO_CD IMAGE PAC EXTENSION";
  std::memcpy(info.data(), title, sizeof title - 1);
  put16(info, 0x28, 1);
  put32(info, 0x2c, 0x40);
  append16(info, static_cast<uint32_t>(layers.size()));
  std::vector<size_t> pointerFields;
  for (size_t i = 0; i < layers.size(); ++i) {
    const size_t record = info.size();
    info.resize(record + 28, '\0');
    put16(info, record, 28);
    info[record + 2] = static_cast<char>(i);
    put16(info, record + 4, static_cast<uint32_t>(layers[i].width));
    put16(info, record + 6, static_cast<uint32_t>(layers[i].height));
    put16(info, record + 8, static_cast<uint32_t>(layers[i].firstColumn));
    put32(info, record + 10, static_cast<uint32_t>(layers[i].sequenceLength));
    pointerFields.push_back(record + 14);
  }
  put32(info, 0x30, static_cast<uint32_t>(info.size()));
  append16(info, static_cast<uint32_t>(names.size()));
  for (const std::string& name : names) {
    std::string padded = name;
    padded.resize(12, ' ');
    info += padded;
    append32(info, static_cast<uint32_t>(data[name].size()));
  }
  for (size_t i = 0; i < layers.size(); ++i) {
    put32(info, pointerFields[i], static_cast<uint32_t>(info.size()));
    for (const auto& [file, offset] : layers[i].pointers) {
      append16(info, file);
      append32(info, offset);
    }
  }
  put32(info, 0x38, static_cast<uint32_t>(info.size()));
  for (const Layer& layer : layers) info += layer.table;

  ExtensionFileBytes files = std::move(data);
  files[pcd::kExtensionInfoName] = std::move(info);
  return files;
}

ProPhotoCd writeProPhotoCd(const YccPicture& sixtyFourBase, pcd::Rotation rotation,
                           const ExtensionWriteOptions& options) {
  ProPhotoCd out;
  PcdWriteOptions pcdOptions;
  pcdOptions.topLevel = pcd::Level::SixteenBase;
  pcdOptions.rotation = rotation;
  out.imagePac = writePcd(halvePicture(sixtyFourBase), pcdOptions, &out.expected);
  const YccPicture& below = out.expected.back();
  const YccPicture prediction{pcd::upsample2x(below.luma), pcd::upsample2x(below.chroma1), pcd::upsample2x(below.chroma2)};
  out.expected.emplace_back();
  out.extension = writeExtension(prediction, sixtyFourBase, options, out.expected.back());
  return out;
}

std::unique_ptr<pcd::ByteSource> MemoryExtensionFiles::open(const std::string& name) const {
  const auto found = files_.find(name);
  if (found == files_.end()) return nullptr;
  return std::make_unique<pcd::MemoryByteSource>(reinterpret_cast<const uint8_t*>(found->second.data()),
                                                 found->second.size());
}

}  // namespace quorbix::pcd_writer
