// The live status line, seen as a user sees it: a 30-file run under a
// pseudo-terminal shows it advancing and leaves no trace of it on the final
// screen, the per-file lines of -d stay whole, and the same run with its
// output redirected writes exactly what it always did (on standard error
// only the reason of the one file that is no picture). -q shows nothing but
// that reason; a stop takes the line away too.
#include <algorithm>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e_support.h"
#include "support/fake_converter.h"
#include "support/program_runner.h"
#include "support/pty_runner.h"
#include "support/test_paths.h"

namespace quorbix::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr int kFiles = 30;
constexpr int kColumns = 100;

// Each redraw of the status line: "\r", automatic margins off, the text,
// erase to the end of the line.
Lines statusDraws(const std::string& bytes) {
  static const std::string start = "\r\x1b[?7l";
  Lines draws;
  for (size_t at = bytes.find(start); at != std::string::npos; at = bytes.find(start, at + 1)) {
    const size_t end = bytes.find("\x1b[K", at);
    if (end == std::string::npos) break;
    draws.push_back(bytes.substr(at + start.size(), end - at - start.size()));
  }
  return draws;
}

// The files done a draw shows ("12/30 done, ..."), -1 when it shows none.
int doneCount(const std::string& draw) {
  std::string of = "/";
  of += std::to_string(kFiles);
  of += " done, ";
  const size_t slash = draw.find(of);
  if (slash == std::string::npos || slash == 0) return -1;
  return std::stoi(draw.substr(0, slash));
}

struct StatusLineFixture : ::testing::Test {
  TempFolder tmp;
  std::string program = tmp.path() + "prog/";
  std::string in = tmp.path() + "in/";
  std::string out = tmp.path() + "out/";

  void SetUp() override {
    for (const auto& folder : {program, in, out, program + "fake-targa/", program + "fake-delay/"}) {
      fs::create_directory(folder);
    }
    // Slow enough for several redraws; one file gets no picture and fails.
    for (int k = 0; k < kFiles; ++k) {
      std::string base = "p";
      base += std::to_string(k);
      std::ofstream(in + base + ".pcd") << "not a photo cd";
      std::ofstream(program + "fake-delay/" + base) << "0.1";
      if (k != 13) {
        ASSERT_TRUE(writeTarga(program + "fake-targa/" + base + ".tga", 8, 8));
      }
    }
    ASSERT_TRUE(writeFakeConverter(program, FakeConverterOptions{}));
  }
  RunOptions options(int terminalColumns) const {
    RunOptions options;
    options.programFolder = program;
    options.workingFolder = tmp.path();
    options.terminalColumns = terminalColumns;
    return options;
  }
  std::vector<std::string> args(const std::string& mode) const {
    return {mode, "-i", in, "-o", out, "--jobs=2"};
  }
};

TEST_F(StatusLineFixture, AdvancesOnATerminalAndLeavesTheUsualScreen) {
  RunResult terminal = runQuorbix(args("-d"), options(kColumns));
  ASSERT_EQ(terminal.exitCode, 0);
  EXPECT_EQ(terminal.err, "");

  const Lines draws = statusDraws(terminal.out);
  ASSERT_GE(draws.size(), 3u) << terminal.out;
  int previous = -1;
  for (const std::string& draw : draws) {
    EXPECT_LT(draw.size(), static_cast<size_t>(kColumns)) << draw;
    const int done = doneCount(draw);
    ASSERT_GE(done, previous) << draw;
    EXPECT_LE(done, kFiles) << draw;
    previous = done;
  }
  EXPECT_LT(doneCount(draws.front()), doneCount(draws.back())) << "the count never rose";
  EXPECT_NE(draws.back().find(" converted, "), std::string::npos) << draws.back();
  // The file in work, by its path below the input folder.
  EXPECT_NE(draws.back().find(": p"), std::string::npos) << draws.back();
  EXPECT_EQ(draws.back().substr(draws.back().size() - 4), ".pcd") << draws.back();

  // The same run redirected: on standard error only the reason of the file
  // that is no picture, no escape sequence on standard output, every file's
  // three lines in one piece.
  RunResult redirected = runQuorbix(args("-d"), options(0));
  ASSERT_EQ(redirected.exitCode, 0);
  const std::string reason = "Error: " + in + "p13.pcd not converted: not a PhotoCD picture (no Image Pac signature)";
  EXPECT_EQ(redirected.err, reason + "\n");
  EXPECT_EQ(redirected.out.find('\x1b'), std::string::npos);
  int files = 0;
  for (size_t k = 0; k < redirected.lines.size(); ++k) {
    if (redirected.lines[k].rfind("Processing: " + in + "p", 0) != 0) continue;
    ++files;
    ASSERT_LT(k + 2, redirected.lines.size());
    EXPECT_EQ(redirected.lines[k + 1].rfind("Saving As: " + out + "p", 0), 0u) << redirected.lines[k + 1];
    EXPECT_EQ(redirected.lines[k + 2], redirected.lines[k].find("/p13.pcd") == std::string::npos ? "OK" : "Not OK");
  }
  EXPECT_EQ(files, kFiles);
  ASSERT_FALSE(redirected.lines.empty());
  EXPECT_EQ(redirected.lines.back(), "Files converted: 29 of 30");

  // What the terminal shows in the end is exactly those lines, the reason
  // after its file's: no status remains, no line torn by it.
  Lines screen = redirected.lines;
  screen.insert(std::find(screen.begin(), screen.end(), "Not OK") + 1, reason);
  EXPECT_EQ(terminalScreen(terminal.out), screen);
}

TEST_F(StatusLineFixture, QuietShowsNothingOnATerminal) {
  RunResult r = runQuorbix(args("-q"), options(kColumns));
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.find("\x1b[K"), std::string::npos);
  EXPECT_EQ(terminalScreen(r.out),
            Lines{"Error: " + in + "p13.pcd not converted: not a PhotoCD picture (no Image Pac signature)"});
  EXPECT_EQ(namesIn(out).size(), static_cast<size_t>(kFiles - 1));
}

TEST_F(StatusLineFixture, AStopTakesTheLineAway) {
  auto run = startQuorbix(args("-d"), options(kColumns));
  ASSERT_TRUE(run);
  // Some files into the conversion, so the line has been drawn.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (readFakeConverterRuns(program).size() < 8 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(run->pid(), SIGINT);
  RunResult r = run->finish();
  EXPECT_EQ(r.signal, SIGINT);
  ASSERT_FALSE(statusDraws(r.out).empty()) << "stopped before the line was ever drawn";
  const Lines screen = terminalScreen(r.out);
  ASSERT_FALSE(screen.empty());
  for (const std::string& line : screen) EXPECT_EQ(doneCount(line), -1) << line;
  EXPECT_NE(screen.back().find(in), std::string::npos) << "not stopped within a file: " << screen.back();
}

}  // namespace
}  // namespace quorbix::test
