#include "pcd/converter_arguments.h"

#include <span>

#include "base/ascii_text.h"

namespace quorbix::pcd {

std::optional<ConverterRequest> parseConverterArguments(const std::vector<std::string>& given) {
  ToneRendering tone = ToneRendering::Display;
  std::span<const std::string> parameters(given);
  if (parameters.size() == 7 && parameters[0] == kToneOption) {
    const std::string keyword = upperAscii(parameters[1]);
    if (keyword == kToneFullRange) {
      tone = ToneRendering::FullRange;
    } else if (keyword != kToneDisplay) {
      return std::nullopt;
    }
    parameters = parameters.subspan(2);
  }
  if (parameters.size() != 5 || parameters[0] != "-quiet" || parameters[1] != "-colorspace" ||
      parameters[2] != "sRGB") {
    return std::nullopt;
  }
  const std::string& selected = parameters[3];
  const size_t open = selected.rfind('[');
  if (open == std::string::npos || open == 0 || selected.back() != ']') return std::nullopt;
  const std::string digits = selected.substr(open + 1, selected.size() - open - 2);
  if (digits.size() != 1 || digits[0] < '0' || digits[0] > '6') return std::nullopt;

  ConverterRequest request;
  request.input = selected.substr(0, open);
  request.subImage = digits[0] - '0';
  request.output = parameters[4];
  request.tone = tone;
  if (request.output.empty()) return std::nullopt;
  return request;
}

std::optional<ConverterRequest> parseConverterArguments(int argc, const char* const* argv) {
  std::vector<std::string> parameters;
  for (int i = 1; i < argc; ++i) parameters.emplace_back(argv[i]);
  return parseConverterArguments(parameters);
}

}  // namespace quorbix::pcd
