#include "pcd/converter_arguments.h"

#include <cstring>

namespace quorbix::pcd {

std::optional<ConverterRequest> parseConverterArguments(int argc, const char* const* argv) {
  if (argc != 6 || std::strcmp(argv[1], "-quiet") != 0 || std::strcmp(argv[2], "-colorspace") != 0 ||
      std::strcmp(argv[3], "sRGB") != 0) {
    return std::nullopt;
  }
  const std::string selected = argv[4];
  const size_t open = selected.rfind('[');
  if (open == std::string::npos || open == 0 || selected.back() != ']') return std::nullopt;
  const std::string digits = selected.substr(open + 1, selected.size() - open - 2);
  if (digits.size() != 1 || digits[0] < '0' || digits[0] > '6') return std::nullopt;

  ConverterRequest request;
  request.input = selected.substr(0, open);
  request.subImage = digits[0] - '0';
  request.output = argv[5];
  if (request.output.empty()) return std::nullopt;
  return request;
}

}  // namespace quorbix::pcd
