// The converter's command line: exactly
//   [-pcd-tone DISPLAY|FULLRANGE] -quiet -colorspace sRGB <input>[N] <output>
// with N a sub-image number from 0 to 6 in decimal. The last bracket pair of
// the input argument is the selector, so the path itself may hold brackets.
// The tone keyword (any letter case) is ours: quorbix gives it only to our
// own converter, and only for FULLRANGE, so any other converter sees the
// arguments it always saw.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pcd/ycc_to_srgb.h"

namespace quorbix::pcd {

// Exit statuses: 0 when the Targa is there; otherwise there is no file, and
// the status tells why. kExitNoPicture: the file has no such sub-image, or it
// cannot be read or decoded (a lower level may still be there).
// kExitCannotWrite: the picture was decoded but could not be written (a full
// disk, a name the file system refuses); a lower level would fail the same
// way. kExitUsage: the arguments are not of the form above.
constexpr int kExitNoPicture = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCannotWrite = 3;

// A picture rebuilt from damaged coded data is still written with status 0;
// beside it, at <output> followed by this suffix, the converter leaves one
// line of text saying what it repaired (pcd/decode_repairs.h). No such file:
// nothing was repaired.
constexpr char kRepairsSuffix[] = ".repairs";

struct ConverterRequest {
  std::string input;
  int subImage = 0;
  std::string output;
  ToneRendering tone = ToneRendering::Display;
};

// The converter's option that selects the tone rendering, and its keywords.
constexpr char kToneOption[] = "-pcd-tone";
constexpr char kToneDisplay[] = "DISPLAY";
constexpr char kToneFullRange[] = "FULLRANGE";

// Nothing when the parameters (after the program name) are not of that form.
std::optional<ConverterRequest> parseConverterArguments(const std::vector<std::string>& parameters);

// The same for an argument vector whose first entry is the program name.
std::optional<ConverterRequest> parseConverterArguments(int argc, const char* const* argv);

}  // namespace quorbix::pcd
