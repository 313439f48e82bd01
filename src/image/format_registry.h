// The table of image formats: which input extensions are accepted, which
// output extensions the conversion may name, their FreeImage identifiers and
// allowed bit depths. The driver builds one at start-up and hands it down;
// read-only afterwards.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quorbix {

struct InputFormatEntry {
  std::string formatGroup;
  std::string description;
};

struct OutputFormatEntry {
  int32_t formatId = 0;
  std::string extension;
  std::string description;
  std::string allowedDepths;  // "1,4,8,24"
};

class FormatRegistry {
 public:
  void build();

  // Exact, case-sensitive lookup; unknown extensions give the empty entry.
  OutputFormatEntry outputEntry(const std::string& extension) const;
  std::vector<std::string> extensionsOfGroups(const std::vector<std::string>& groups) const;
  bool isDepthAllowed(const std::string& extension, int32_t depth) const;
  int32_t autoDepth(const std::string& extension, int32_t sourceDepth) const;

  std::vector<std::string> featuredInputExtensions;
  std::vector<std::string> featuredOutputExtensions;
  std::vector<std::string> acceptedInputExtensions;
  std::map<std::string, InputFormatEntry> inputFormats;
  std::map<std::string, OutputFormatEntry> outputFormats;
  std::vector<std::string> inputOrder;  // input keys in filling order
};

}  // namespace quorbix
