// The converter's command line: exactly
//   -quiet -colorspace sRGB <input>[N] <output>
// with N a sub-image number from 0 to 6 in decimal. The last bracket pair of
// the input argument is the selector, so the path itself may hold brackets.
#pragma once

#include <optional>
#include <string>

namespace quorbix::pcd {

struct ConverterRequest {
  std::string input;
  int subImage = 0;
  std::string output;
};

// Nothing when the arguments are not of that form.
std::optional<ConverterRequest> parseConverterArguments(int argc, const char* const* argv);

}  // namespace quorbix::pcd
