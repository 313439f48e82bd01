#include "base/message_catalogue.h"

#include <gtest/gtest.h>

namespace quorbix {
namespace {

constexpr char kNone[] = "%NO_STRING_ERROR%";

MessageCatalogue loaded(const CatalogueTable& table) {
  MessageCatalogue catalogue;
  catalogue.load(table);
  return catalogue;
}

TEST(MessageCatalogue, BuiltInTableHoldsTheProgramsTexts) {
  MessageCatalogue catalogue = loaded(MessageCatalogue::builtInTable());
  EXPECT_EQ(catalogue.text("General", "Preparing"), "Preparing...");
  EXPECT_EQ(catalogue.text("General", "Importing"), "Importing...");
  EXPECT_EQ(catalogue.text("General", "Converting"), "Converting...");
  EXPECT_EQ(catalogue.text("Msg", "Import complete"), "Import complete, new files added: %s1%");
  EXPECT_EQ(catalogue.text("Msg", "Empty input files"),
            "No input file(s) found. Please, add valid file(s) and try again!");
  EXPECT_EQ(catalogue.text("Msg", "Conversion complete"), "Conversion complete");
  EXPECT_EQ(catalogue.text("Msg", "Conversion is not complete"), "Conversion stopped");
  EXPECT_EQ(catalogue.text("Msg", "Files converted"), "Files converted: %s1% of %s2%");
  EXPECT_EQ(catalogue.text("Uninstall", "Title"), "Uninstall");
  EXPECT_EQ(catalogue.text("Uninstall", "Uninstall Text"), "Full Uninstall - Visit Uninstall Center");
  EXPECT_EQ(catalogue.text("Uninstall", "Next"), "Next");
}

TEST(MessageCatalogue, GroupAndKeyIgnoreCase) {
  MessageCatalogue catalogue = loaded(MessageCatalogue::builtInTable());
  EXPECT_EQ(catalogue.text("msg", "files converted"), catalogue.text("Msg", "Files converted"));
  EXPECT_EQ(catalogue.text("MSG", "FILES CONVERTED"), "Files converted: %s1% of %s2%");
}

TEST(MessageCatalogue, MissingTextsGiveTheErrorMarker) {
  MessageCatalogue catalogue = loaded(MessageCatalogue::builtInTable());
  EXPECT_EQ(catalogue.text("Nothing", "Title"), kNone);
  EXPECT_EQ(catalogue.text("Msg", "Title"), kNone);
  EXPECT_EQ(catalogue.text("Msg", ""), kNone);
  EXPECT_EQ(catalogue.text("", ""), kNone);
  EXPECT_EQ(catalogue.text("Msg", "Zzz after every key"), kNone);
  EXPECT_EQ(catalogue.text("Msg", "Files converted "), kNone);
  EXPECT_EQ(catalogue.text("Msg", "\xC3\xA9t\xC3\xA9"), kNone);
  // A first character beyond U+00FF has no slot in the index.
  EXPECT_EQ(catalogue.text("Msg", "\xE2\x82\xAC"), kNone);
  EXPECT_EQ(catalogue.text("Msg", "\xFF\xFE"), kNone);
}

TEST(MessageCatalogue, AlternatingGroupsAreSearchedAgain) {
  MessageCatalogue catalogue = loaded(MessageCatalogue::builtInTable());
  EXPECT_EQ(catalogue.text("General", "Converting"), "Converting...");
  EXPECT_EQ(catalogue.text("Uninstall", "Next"), "Next");
  EXPECT_EQ(catalogue.text("General", "Converting"), "Converting...");
  EXPECT_EQ(catalogue.text("Missing", "Next"), kNone);
  EXPECT_EQ(catalogue.text("Uninstall", "Next"), "Next");
}

TEST(MessageCatalogue, UnsortedEntriesPrefixKeysAndEmptyGroups) {
  MessageCatalogue catalogue = loaded({
      {"_GROUP_", "Empty"},
      {"_group_", "Words"},
      {"zeta", "z"},
      {"Alpha Beta", "ab"},
      {"beta", "b"},
      {"Alpha", "a"},
      {"alpha b", "a-b"},
      {"_GROUP_", "Other"},
      {"Alpha", "other a"},
      {"_GROUP_", "Empty at end"},
      {"_END_", ""},
      {"After", "never loaded"},
  });
  EXPECT_EQ(catalogue.text("Words", "alpha"), "a");
  EXPECT_EQ(catalogue.text("Words", "ALPHA B"), "a-b");
  EXPECT_EQ(catalogue.text("Words", "alpha beta"), "ab");
  EXPECT_EQ(catalogue.text("Words", "beta"), "b");
  EXPECT_EQ(catalogue.text("Words", "zeta"), "z");
  EXPECT_EQ(catalogue.text("Words", "alp"), kNone);
  EXPECT_EQ(catalogue.text("Other", "alpha"), "other a");
  EXPECT_EQ(catalogue.text("Other", "beta"), kNone);
  EXPECT_EQ(catalogue.text("Empty", "alpha"), kNone);
  EXPECT_EQ(catalogue.text("Empty at end", "alpha"), kNone);
  EXPECT_EQ(catalogue.text("Empty at end", "After"), kNone);
  EXPECT_EQ(catalogue.text("Other", "after"), kNone);
}

TEST(MessageCatalogue, TableWithoutEndOrGroups) {
  MessageCatalogue noEnd = loaded({{"_GROUP_", "G"}, {"k", "v"}});
  EXPECT_EQ(noEnd.text("g", "K"), "v");
  MessageCatalogue noGroup = loaded({{"k", "v"}, {"_END_", ""}});
  EXPECT_EQ(noGroup.text("", "k"), kNone);
  MessageCatalogue empty = loaded({});
  EXPECT_EQ(empty.text("G", "k"), kNone);
  MessageCatalogue never;
  EXPECT_EQ(never.text("G", "k"), kNone);
}

TEST(MessageCatalogue, SortsByUtf16CodeUnits) {
  // In UTF-16 the surrogate pair of U+10000 sorts below U+E000, the reverse
  // of their UTF-8 byte order; both keys must be found.
  const std::string high = "a\xF0\x90\x80\x80";  // a U+10000
  const std::string private_use = "a\xEE\x80\x80";  // a U+E000
  MessageCatalogue catalogue = loaded({{"_GROUP_", "G"}, {private_use, "pua"}, {high, "supp"},
                                       {"a", "plain"}, {"\xC3\xA9t\xC3\xA9", "latin"}});
  EXPECT_EQ(catalogue.text("G", high), "supp");
  EXPECT_EQ(catalogue.text("G", private_use), "pua");
  EXPECT_EQ(catalogue.text("G", "A"), "plain");
  // A key beginning with a character in U+0080..U+00FF has its own slot.
  EXPECT_EQ(catalogue.text("G", "\xC3\xA9T\xC3\xA9"), "latin");
}

TEST(FormatMessage, FillsPlaceholdersInOrder) {
  EXPECT_EQ(formatMessage("Files converted: %s1% of %s2%", "3", "5", "", ""),
            "Files converted: 3 of 5");
  EXPECT_EQ(formatMessage("%S1% and %s1%", "x"), "x and x");
  EXPECT_EQ(formatMessage("left %s1% here", ""), "left %s1% here");
  EXPECT_EQ(formatMessage("", "a", "b", "c", "d"), "");
  // An earlier argument's placeholder is filled by a later step; a later
  // argument's placeholder stays.
  EXPECT_EQ(formatMessage("%s1%", "<%s2%>", "two"), "<two>");
  EXPECT_EQ(formatMessage("%s2%", "one", "<%s1%>"), "<%s1%>");
  // The inserted text is not scanned again within the same step.
  EXPECT_EQ(formatMessage("%s1%", "%s1%%s1%"), "%s1%%s1%");
  EXPECT_EQ(formatMessage("%s4%%s3%", "", "", "c", "d"), "dc");
  EXPECT_EQ(formatMessage("%s", "x"), "%s");
}

}  // namespace
}  // namespace quorbix
