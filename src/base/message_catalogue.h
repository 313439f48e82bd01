// The user-visible texts, addressed by group and key, and the "%s1%".."%s4%"
// substitution. The driver loads one at start-up on the main thread and hands
// it down for the run; lookups remember the last group, so a catalogue is
// used from one thread at a time.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorbix {

using CatalogueTable = std::vector<std::pair<std::string, std::string>>;

class MessageCatalogue {
 public:
  // The program's own table: "_GROUP_" pairs open groups, "_END_" ends it.
  static const CatalogueTable& builtInTable();

  // Builds the catalogue from `table` (two passes, per-group sort).
  void load(const CatalogueTable& table = builtInTable());

  // The text for group and key (matched without regard to case), or
  // "%NO_STRING_ERROR%".
  std::string text(std::string_view group, std::string_view key);

 private:
  struct Group {
    std::string name;
    int first = 1;
    int last = 0;
    int firstByChar[256] = {};
  };
  std::vector<Group> groups_;        // [0] stands for no group
  std::vector<std::string> keys_;    // [0] unused
  std::vector<std::string> values_;  // [0] unused
  int rememberedGroup_ = 0;
};

// Fills "%s1%".."%s4%" (placeholder matched without regard to case), in that
// order; an empty argument leaves its placeholder.
std::string formatMessage(std::string_view text, std::string_view s1 = {},
                          std::string_view s2 = {}, std::string_view s3 = {},
                          std::string_view s4 = {});

}  // namespace quorbix
