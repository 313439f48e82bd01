// Fuzz target for the placeholder expansion of the filename mask and the
// watermark text. The input is cut at NUL bytes into the mask, the
// watermark text, the input file's name (at most 255 bytes, as a file
// system allows) and the relative folder; bytes 0 to 15 of the input set the
// counter, the random number and the picture's size. The conversion type is
// "tiff", the only one the job accepts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "convert/output_naming.h"
#include "text_fuzz_support.h"

namespace {

int32_t numberAt(const uint8_t* data, size_t size, size_t at) {
  uint32_t value = 0;
  for (size_t k = 0; k < 4; ++k) value = value << 8 | (at + k < size ? data[at + k] : 0);
  int32_t result;
  std::memcpy(&result, &value, sizeof result);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorbix;
  std::vector<std::string> texts = fuzz::splitAtNul(data, size);
  texts.resize(std::max<size_t>(texts.size(), 4));
  Settings s;
  FileState f;
  s.job.conversion = "tiff";
  s.job.output = "/out/";
  s.naming.filenameMask = texts[0];
  s.watermark.text.wmText = texts[1];
  f.inputFile = "/in/" + texts[2].substr(0, 255);
  f.relativeFolder = texts[3];
  s.naming.noSubfolders = size > 0 && (data[0] & 1) != 0;
  f.fileCounter = numberAt(data, size, 0);
  f.randomNumber = numberAt(data, size, 4);
  f.resizedWidth = numberAt(data, size, 8);
  f.resizedHeight = numberAt(data, size, 12);
  f.targetBpp = size > 16 ? data[16] : 24;
  buildOutputPath(s, f);
  expandWatermarkText(s, f);
  return 0;
}
