// The manual page and the bash completion against the option table: every
// option and every keyword is documented and completed, the page is clean
// under mandoc's lint, the completion works in bash, and an installation
// puts both in place beside a working bin/quorbix.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "settings/keyword_tables.h"
#include "settings/option_table.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

const std::string kSourceDir = QUORBIX_SOURCE_DIR;
const std::string kManPage = kSourceDir + "/docs/quorbix.1";
const std::string kCompletion = kSourceDir + "/completion/quorbix.bash";

// Names that act only as the first parameter and so are no rows of the table.
const std::set<std::string> kFirstParameterNames = {"-h", "-?", "--help", "-v", "--version", "-u", "-t"};

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::set<std::string> asSet(const std::vector<std::string_view>& list) { return {list.begin(), list.end()}; }

// The shell's exit status of `command`, or -1.
int run(const std::string& command) {
  const int status = std::system(command.c_str());
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool haveCommand(const std::string& name) { return run("command -v " + name + " >/dev/null 2>&1") == 0; }

// --- The manual page -------------------------------------------------------

// One option entry of the page: the names on its ".It Fl ..." line and the
// keywords ("Cm" arguments) of its text, up to the next entry or section.
struct ManEntry {
  std::set<std::string> names;
  std::set<std::string> keywords;
};

std::vector<std::string> tokens(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string token; in >> token;) out.push_back(token);
  return out;
}

// Roff's escapes as they appear in option names: "\-" is a dash, "\&" nothing.
std::string unescaped(const std::string& token) {
  std::string out;
  for (size_t i = 0; i < token.size(); ++i) {
    if (token[i] == '\\' && i + 1 < token.size() && (token[i + 1] == '-' || token[i + 1] == '&')) {
      if (token[i + 1] == '-') out += '-';
      ++i;
    } else {
      out += token[i];
    }
  }
  return out;
}

bool isKeywordToken(const std::string& token) {
  if (token.empty()) return false;
  for (char c : token) {
    if (!std::isupper(static_cast<unsigned char>(c)) && !std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::vector<ManEntry> manEntries(const std::string& page) {
  std::vector<ManEntry> entries;
  ManEntry* current = nullptr;
  std::istringstream in(page);
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> words = tokens(line);
    if (words.empty()) continue;
    if (words[0] == ".Sh" || words[0] == ".Ss") {
      current = nullptr;
      continue;
    }
    if (words[0] == ".It" && words.size() > 2 && words[1] == "Fl") {
      current = &entries.emplace_back();
      // "Fl x" is the option "-x": the macro adds one dash.
      for (size_t i = 1; i + 1 < words.size(); ++i) {
        if (words[i] == "Fl") current->names.insert("-" + unescaped(words[i + 1]));
      }
      continue;
    }
    if (current == nullptr) continue;
    for (size_t i = 0; i < words.size(); ++i) {
      if (words[i] != "Cm" && words[i] != ".Cm") continue;
      for (size_t k = i + 1; k < words.size() && (words[k] == "," || isKeywordToken(words[k])); ++k) {
        if (words[k] != ",") current->keywords.insert(words[k]);
      }
    }
  }
  return entries;
}

const ManEntry* entryNaming(const std::vector<ManEntry>& entries, const std::string& name) {
  for (const ManEntry& entry : entries) {
    if (entry.names.count(name) != 0) return &entry;
  }
  return nullptr;
}

TEST(ManualPage, DocumentsEveryOptionOfTheTable) {
  const std::vector<ManEntry> entries = manEntries(readText(kManPage));
  ASSERT_FALSE(entries.empty()) << kManPage;
  std::set<std::string> tableNames;
  for (const OptionRow& row : optionTable()) {
    tableNames.insert(lower(row.longName));
    EXPECT_NE(entryNaming(entries, lower(row.longName)), nullptr) << row.longName;
    if (!row.shortName.empty()) {
      tableNames.insert(lower(row.shortName));
      EXPECT_NE(entryNaming(entries, lower(row.shortName)), nullptr) << row.shortName;
    }
  }
  // Nor does it document an option the program no longer has.
  for (const ManEntry& entry : entries) {
    for (const std::string& name : entry.names) {
      EXPECT_TRUE(tableNames.count(lower(name)) != 0 || kFirstParameterNames.count(lower(name)) != 0) << name;
    }
  }
}

TEST(ManualPage, ListsTheKeywordsOfEveryKeywordOption) {
  const std::vector<ManEntry> entries = manEntries(readText(kManPage));
  for (const OptionRow& row : optionTable()) {
    if (row.keywordTable == kNoKeywordTable) continue;
    const ManEntry* entry = entryNaming(entries, lower(row.longName));
    ASSERT_NE(entry, nullptr) << row.longName;
    for (std::string_view keyword : keywordList(row.keywordTable, row.keywordGroup)) {
      EXPECT_EQ(entry->keywords.count(std::string(keyword)), 1u) << row.longName << " " << keyword;
    }
  }
}

// Every keyword of a table that options use is offered by one of them (the
// compression table is split by format among five options), so the checks
// per option above and below cover every keyword.
TEST(KeywordOptions, TogetherOfferEveryKeywordOfTheirTables) {
  std::map<int, std::set<std::string>> offered;
  for (const OptionRow& row : optionTable()) {
    if (row.keywordTable == kNoKeywordTable) continue;
    for (std::string_view keyword : keywordList(row.keywordTable, row.keywordGroup)) {
      offered[row.keywordTable].insert(std::string(keyword));
    }
  }
  ASSERT_FALSE(offered.empty());
  for (const auto& [table, keywords] : offered) {
    std::set<std::string> all;
    for (std::string_view keyword : keywordList(table)) all.insert(std::string(keyword));
    EXPECT_EQ(keywords, all) << "table " << table;
  }
}

TEST(ManualPage, IsCleanUnderMandocLint) {
  if (!haveCommand("mandoc")) GTEST_SKIP() << "mandoc is not installed (scripts/setup.sh installs it)";
  test::TempFolder folder;
  const std::string log = folder.path() + "lint.txt";
  EXPECT_EQ(run("mandoc -Tlint '" + kManPage + "' >'" + log + "' 2>&1"), 0);
  EXPECT_EQ(readText(log), "");
}

TEST(ManualPage, ShowsWithManL) {
  if (!haveCommand("man")) GTEST_SKIP() << "man is not installed";
  test::TempFolder folder;
  const std::string out = folder.path() + "page.txt";
  EXPECT_EQ(run("MANPAGER=cat MANWIDTH=80 man -l '" + kManPage + "' >'" + out + "' 2>&1"), 0);
  const std::string page = readText(out);
  EXPECT_NE(page.find("SYNOPSIS"), std::string::npos) << page.substr(0, 400);
  EXPECT_NE(page.find("Files converted: D of N"), std::string::npos);
}

// --- The bash completion ---------------------------------------------------

// Completes each request (the words of a command line, the last one being
// completed) as bash would, with the completion file sourced and its
// function found through `complete -p quorbix`. `binding` receives that line.
std::vector<std::set<std::string>> complete(const std::vector<std::vector<std::string>>& requests,
                                            std::string& binding) {
  test::TempFolder folder;
  const std::string script = folder.path() + "driver.sh";
  const std::string input = folder.path() + "requests";
  const std::string output = folder.path() + "replies";
  std::ofstream(script) << R"(source "$1" || exit 2
binding=$(complete -p quorbix) || exit 3
printf '%s\n' "$binding"
function=${binding#*-F }
function=${function%% *}
while IFS=$'\t' read -r -a COMP_WORDS; do
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" quorbix "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  echo "#request"
  if ((${#COMPREPLY[@]})); then printf '%s\n' "${COMPREPLY[@]}"; fi
done < "$2"
)";
  {
    std::ofstream requestFile(input);
    for (const std::vector<std::string>& words : requests) {
      for (size_t i = 0; i < words.size(); ++i) requestFile << (i ? "\t" : "") << words[i];
      requestFile << "\n";
    }
  }
  std::vector<std::set<std::string>> replies;
  const int status = run("bash '" + script + "' '" + kCompletion + "' '" + input + "' >'" + output + "' 2>&1");
  EXPECT_EQ(status, 0) << readText(output);
  std::istringstream in(readText(output));
  std::getline(in, binding);
  for (std::string line; std::getline(in, line);) {
    if (line == "#request") replies.emplace_back();
    else if (!replies.empty()) replies.back().insert(line);
  }
  EXPECT_EQ(replies.size(), requests.size());
  replies.resize(requests.size());
  return replies;
}

class Completion : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveCommand("bash")) GTEST_SKIP() << "bash is not installed";
  }
};

TEST_F(Completion, IsDefinedAndOffersEveryOptionName) {
  std::string binding;
  const auto replies = complete({{"quorbix", "-"}, {"quorbix", "--TIFF-C"}}, binding);
  EXPECT_NE(binding.find("complete -F "), std::string::npos) << binding;
  EXPECT_NE(binding.find(" quorbix"), std::string::npos) << binding;

  std::set<std::string> expected;
  for (const OptionRow& row : optionTable()) {
    // An option with a value is offered with its "=", ready for the value.
    expected.insert(lower(row.longName) + (row.way == ValueWay::Switch ? "" : "="));
    if (!row.shortName.empty()) expected.insert(lower(row.shortName));
  }
  for (const std::string& name : expected) EXPECT_EQ(replies[0].count(name), 1u) << name;
  for (const std::string& name : replies[0]) {
    EXPECT_TRUE(expected.count(name) != 0 || kFirstParameterNames.count(name) != 0) << name;
  }
  // Names are matched whatever their case, as the program matches them.
  EXPECT_EQ(replies[1], (std::set<std::string>{"--tiff-color-model=", "--tiff-compression="}));
}

// Both ways bash may hand over "--option=value": split at "=" (bash's
// default COMP_WORDBREAKS) with bare values as completions, or whole, with
// whole words as completions.
TEST_F(Completion, OffersTheKeywordsOfEveryKeywordOption) {
  std::vector<std::vector<std::string>> requests;
  std::vector<std::set<std::string>> expected;
  for (const OptionRow& row : optionTable()) {
    if (row.keywordTable == kNoKeywordTable) continue;
    const std::string name = lower(row.longName);
    const std::set<std::string> keywords = asSet(keywordList(row.keywordTable, row.keywordGroup));
    requests.push_back({"quorbix", name, "="});
    expected.push_back(keywords);
    requests.push_back({"quorbix", name + "="});
    std::set<std::string> whole;
    for (const std::string& keyword : keywords) whole.insert(name + "=" + keyword);
    expected.push_back(whole);
  }
  requests.push_back({"quorbix", "--tiff-compression", "=", "lz"});
  expected.push_back({"LZW"});
  requests.push_back({"quorbix", "--wm-text-position=bottom"});
  expected.push_back({"--wm-text-position=BOTTOMLEFT", "--wm-text-position=BOTTOMCENTER",
                      "--wm-text-position=BOTTOMRIGHT"});

  std::string binding;
  const auto replies = complete(requests, binding);
  for (size_t i = 0; i < requests.size(); ++i) {
    std::string line;
    for (const std::string& word : requests[i]) line += word + " ";
    EXPECT_EQ(replies[i], expected[i]) << line;
  }
}

TEST_F(Completion, OffersFilesAndFoldersAfterThePathOptions) {
  test::TempFolder folder;
  const std::string& dir = folder.path();
  for (const char* name : {"pic1.pcd", "pic2.pcd", "other.txt"}) std::ofstream(dir + name) << "x";
  ASSERT_EQ(::mkdir((dir + "pics").c_str(), 0700), 0);

  const std::set<std::string> pictures = {dir + "pic1.pcd", dir + "pic2.pcd", dir + "pics"};
  std::string binding;
  const auto replies = complete({{"quorbix", "-i", dir + "pic"},
                                 {"quorbix", "--input", "=", dir + "pic"},
                                 {"quorbix", "--input=" + dir + "pic"},
                                 {"quorbix", "-o", dir + "p"},
                                 {"quorbix", "--output", "=", dir + "p"},
                                 {"quorbix", "--profile", "=", dir + "oth"},
                                 {"quorbix", "--wm-image=" + dir + "pic1"},
                                 {"quorbix", "--wm-text", "=", dir + "pic"}},
                                binding);
  EXPECT_EQ(replies[0], pictures);
  EXPECT_EQ(replies[1], pictures);
  EXPECT_EQ(replies[2], (std::set<std::string>{"--input=" + dir + "pic1.pcd", "--input=" + dir + "pic2.pcd",
                                               "--input=" + dir + "pics/"}));
  EXPECT_EQ(replies[3], std::set<std::string>{dir + "pics"});  // folders only
  EXPECT_EQ(replies[4], std::set<std::string>{dir + "pics"});
  EXPECT_EQ(replies[5], std::set<std::string>{dir + "other.txt"});
  EXPECT_EQ(replies[6], std::set<std::string>{"--wm-image=" + dir + "pic1.pcd"});
  EXPECT_TRUE(replies[7].empty());  // a text, not a file
}

// --- Installation ----------------------------------------------------------

TEST(Installation, PutsThePageAndTheCompletionInPlace) {
  test::TempFolder prefix, runtime;
  const std::string log = runtime.path() + "install.txt";
  ASSERT_EQ(run(std::string("'") + QUORBIX_CMAKE_COMMAND + "' --install '" + QUORBIX_BINARY_DIR + "' --prefix '" +
                prefix.path() + "' >'" + log + "' 2>&1"),
            0)
      << readText(log);

  EXPECT_EQ(readText(prefix.path() + "share/man/man1/quorbix.1"), readText(kManPage));
  EXPECT_EQ(readText(prefix.path() + "share/bash-completion/completions/quorbix"), readText(kCompletion));

  // bin/quorbix is still the relative link to the program beside its
  // converter, and the program runs through it.
  const std::string link = prefix.path() + "bin/quorbix";
  std::error_code error;
  EXPECT_EQ(std::filesystem::read_symlink(link, error).string(), "../lib/quorbix/quorbix");
  EXPECT_TRUE(std::filesystem::exists(prefix.path() + "lib/quorbix/convert"));
  const std::string out = runtime.path() + "version.txt";
  const std::string err = runtime.path() + "errors.txt";
  EXPECT_EQ(run("XDG_RUNTIME_DIR='" + runtime.path() + "' TMPDIR='" + runtime.path() + "' '" + link + "' -v >'" +
                out + "' 2>'" + err + "'"),
            0)
      << readText(err);
  EXPECT_EQ(readText(out), "2.8\n");
}

}  // namespace
}  // namespace quorbix
