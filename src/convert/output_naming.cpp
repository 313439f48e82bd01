#include "convert/output_naming.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "base/ascii_text.h"
#include "base/file_names.h"
#include "platform/clock.h"
#include "platform/text_case.h"

namespace quorbix {
namespace {

// The placeholders in the order they are replaced. A value that contains a
// later placeholder is expanded again when that placeholder's turn comes.
constexpr std::array<std::string_view, 18> kPlaceholders = {
    "%filename%", "%filename[u]%", "%filename[l]%", "%filename[t]%", "%ext%", "%ext[u]%",
    "%ext[t]%",   "%yyyy%",        "%mm%",          "%dd%",          "%hh%",  "%ii%",
    "%ss%",       "%bpp%",         "%width%",       "%height%",      "%rnd%", "%n%"};

std::string twoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

// Right-aligned in five characters filled with "0"; a longer number keeps its
// first five characters.
std::string fiveDigits(int32_t value) {
  std::string digits = std::to_string(value < 0 ? -static_cast<int64_t>(value) : value);
  if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
  if (value < 0) digits.insert(0, 1, '-');
  return digits.substr(0, 5);
}

std::string inputBaseName(const FileState& f) { return nameWithoutExtension(fileNamePart(f.inputFile)); }

// The value of one placeholder for the current file; the clock is read anew
// for each date or time placeholder.
std::string placeholderValue(std::string_view placeholder, const Settings& s, const FileState& f) {
  if (placeholder == "%filename%") return inputBaseName(f);
  if (placeholder == "%filename[u]%") return platform::upperCase(inputBaseName(f));
  if (placeholder == "%filename[l]%") return platform::lowerCase(inputBaseName(f));
  if (placeholder == "%filename[t]%") return platform::firstUpperRestLower(inputBaseName(f));
  if (placeholder == "%ext%") return s.job.conversion;
  if (placeholder == "%ext[u]%") return platform::upperCase(s.job.conversion);
  if (placeholder == "%ext[t]%") return platform::firstUpperRestLower(s.job.conversion);
  if (placeholder == "%yyyy%") {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d", platform::localNow().year);
    return buffer;
  }
  if (placeholder == "%mm%") return twoDigits(platform::localNow().month);
  if (placeholder == "%dd%") return twoDigits(platform::localNow().day);
  if (placeholder == "%hh%") return twoDigits(platform::localNow().hour);
  if (placeholder == "%ii%") return twoDigits(platform::localNow().minute);
  if (placeholder == "%ss%") return twoDigits(platform::localNow().second);
  if (placeholder == "%bpp%") return std::to_string(f.targetBpp);
  if (placeholder == "%width%") return std::to_string(f.resizedWidth);
  if (placeholder == "%height%") return std::to_string(f.resizedHeight);
  if (placeholder == "%rnd%") return fiveDigits(f.randomNumber);
  if (placeholder == "%n%") return fiveDigits(f.fileCounter);
  return std::string(placeholder);
}

// Position of `placeholder` (lower-case ASCII) in `text` at or after `from`,
// matched without regard to ASCII case; npos when absent.
size_t findIgnoringCase(const std::string& text, std::string_view placeholder, size_t from) {
  if (placeholder.size() > text.size()) return std::string::npos;
  for (size_t i = from; i + placeholder.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < placeholder.size() && lowerAscii(text[i + k]) == placeholder[k]) ++k;
    if (k == placeholder.size()) return i;
  }
  return std::string::npos;
}

// Every occurrence of `placeholder`, in any case, replaced by its value. The
// inserted value is not searched again by this call.
std::string replacePlaceholder(const std::string& text, std::string_view placeholder,
                               const Settings& s, const FileState& f) {
  std::string result;
  size_t done = 0;
  for (size_t at = findIgnoringCase(text, placeholder, 0); at != std::string::npos;
       at = findIgnoringCase(text, placeholder, done)) {
    result.append(text, done, at - done);
    result += placeholderValue(placeholder, s, f);
    done = at + placeholder.size();
  }
  result.append(text, done, std::string::npos);
  return result;
}

// Whether `text` (lower case) holds one of the placeholders of the run's
// numbers.
bool showsRunNumbers(const std::string& text) {
  return text.find("%rnd%") != std::string::npos || text.find("%n%") != std::string::npos;
}

}  // namespace

std::string buildOutputPath(const Settings& s, const FileState& f) {
  std::string folder = s.job.output;
  if (!s.naming.noSubfolders) folder += f.relativeFolder;
  return folder + expandFilenameMask(s, f);
}

std::string expandFilenameMask(const Settings& s, const FileState& f) {
  std::string mask = platform::lowerCase(s.naming.filenameMask);
  if (mask.empty()) mask = "%filename%.%ext%";
  for (std::string_view placeholder : kPlaceholders) {
    if (mask.find(placeholder) != std::string::npos) mask = replacePlaceholder(mask, placeholder, s, f);
  }
  return mask;
}

std::string expandWatermarkText(const Settings& s, const FileState& f) {
  std::string text = s.watermark.text.wmText;
  size_t percentSigns = 0;
  for (char c : text) percentSigns += c == '%';
  if (percentSigns < 2) return text;
  // Only placeholders written in the text itself are looked for: the probe
  // is not updated as values go in.
  const std::string probe = platform::lowerCase(text);
  for (std::string_view placeholder : kPlaceholders) {
    if (probe.find(placeholder) != std::string::npos) text = replacePlaceholder(text, placeholder, s, f);
  }
  return text;
}

bool filenameMaskDependsOnOrder(const Settings& s) { return showsRunNumbers(platform::lowerCase(s.naming.filenameMask)); }

bool watermarkTextDependsOnOrder(const Settings& s) {
  return s.watermark.watermark == WATERMARK_TEXT && showsRunNumbers(platform::lowerCase(s.watermark.text.wmText));
}

}  // namespace quorbix
