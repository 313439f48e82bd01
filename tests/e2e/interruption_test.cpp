// Real signals on real runs: a folder run stopped by SIGINT, SIGTERM or
// SIGHUP while the converter works or while a picture is being saved leaves
// no temporary folder, no staging file and no running converter, prints
// nothing more, and ends by that signal; what a run killed outright left
// behind is gone after the next run.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "e2e_support.h"
#include "support/fake_converter.h"
#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;


bool anyNameStartsWith(const std::string& folder, const std::string& prefix) {
  for (const std::string& name : namesIn(folder)) {
    if (name.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// Polls `done` until it holds or a generous time limit runs out.
bool waitUntil(const std::function<bool()>& done, int seconds = 60) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// A process that exists and has not ended (zombies waiting for their reaper
// count as ended).
bool isRunning(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

// The running children of process `parent`.
std::vector<int> childrenOf(int parent) {
  std::vector<int> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    const size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    char state = 0;
    int ppid = 0;
    rest >> state >> ppid;
    if (ppid == parent && state != 'Z') children.push_back(std::stoi(name));
  }
  return children;
}

const char* signalName(int signal) { return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "SIGHUP"; }

// One quorbix copy beside a fake converter; each case gets its own input,
// output and temporary folder.
struct StopFixture : ::testing::Test {
  TempFolder tmp;
  std::string program = tmp.path() + "prog/";
  FakeConverterOptions converter;

  struct Case {
    std::string in, out, temp;
  };
  Case makeCase(const std::string& name, int inputs) {
    Case c{tmp.path() + name + "/in/", tmp.path() + name + "/out/", tmp.path() + name + "/tmp/"};
    for (const auto& f : {c.in, c.out, c.temp}) fs::create_directories(f);
    for (int k = 0; k < inputs; ++k) std::ofstream(c.in + "p" + std::to_string(k) + ".pcd") << "not a photo cd";
    return c;
  }
  void SetUp() override { fs::create_directories(program); }

  std::unique_ptr<RunningProgram> start(const Case& c, const std::vector<std::string>& extra = {},
                                        std::vector<int> ignored = {}) {
    std::error_code ignoredError;
    fs::remove(fakeConverterPidFile(program), ignoredError);
    EXPECT_TRUE(writeFakeConverter(program, converter));
    RunOptions options;
    options.programFolder = program;
    options.workingFolder = tmp.path();
    options.env = {{"TMPDIR", c.temp}};
    options.ignoredSignals = std::move(ignored);
    std::vector<std::string> args = {"-d", "-i", c.in, "-o", c.out, "--tiff-compression=LZW"};
    args.insert(args.end(), extra.begin(), extra.end());
    return startQuorbix(args, options);
  }
  // A run whose converter hangs, once that converter has started (its
  // process id; -1 when it never did).
  struct Hanging {
    std::unique_ptr<RunningProgram> run;
    int converter = -1;
  };
  Hanging startHanging(const Case& c, std::vector<int> ignored = {}) {
    converter.hang = true;
    Hanging hanging{start(c, {}, std::move(ignored))};
    std::string text;
    EXPECT_TRUE(hanging.run && waitUntil([&] {
      std::ifstream in(fakeConverterPidFile(program));
      return static_cast<bool>(std::getline(in, text));
    })) << "the converter never started";
    if (!text.empty()) hanging.converter = std::stoi(text);
    return hanging;
  }
  // The stop ended the converter (else it is killed here, not left behind).
  static void expectEnded(int converter) {
    EXPECT_FALSE(isRunning(converter)) << "the converter still runs";
    if (isRunning(converter)) ::kill(converter, SIGKILL);
  }
  // Nothing of the run is left, and what was saved is whole.
  static void expectTidy(const Case& c, int width) {
    EXPECT_EQ(namesIn(c.temp), Lines{}) << "temporary folder left behind";
    for (const std::string& name : namesIn(c.out)) {
      ASSERT_EQ(name.substr(name.size() - 5), ".tiff") << "left in the output folder: " << name;
      auto saved = readTiff(c.out + name);
      ASSERT_TRUE(saved.has_value()) << name;
      EXPECT_EQ(saved->width, width) << name;
    }
  }
};

TEST_F(StopFixture, StopWhileTheConverterWorks) {
  ASSERT_TRUE(writeTarga(tmp.path() + "small.tga", 64, 48));
  converter.targa = tmp.path() + "small.tga";  // delivered before it hangs
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signalName(signal));
    Case c = makeCase(std::string("extract-") + signalName(signal), 1);
    auto [run, child] = startHanging(c);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(anyNameStartsWith(c.temp, "quorbix-"));  // the Targa is in there
    ::kill(run->pid(), signal);
    RunResult r = run->finish();
    EXPECT_EQ(r.signal, signal);
    expectEnded(child);
    // The file in work gets no result line.
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Processing: " + c.in + "p0.pcd");
    expectTidy(c, 0);
  }
}

TEST_F(StopFixture, StopWhileSaving) {
  // Big enough that saving takes a while even on a fast machine; the
  // picture is encoded before the save, which then only writes its bytes,
  // so there are files enough that the stop comes before the last of them.
  ASSERT_TRUE(writeTarga(tmp.path() + "big.tga", 4000, 3000));
  converter.targa = tmp.path() + "big.tga";
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signalName(signal));
    Case c = makeCase(std::string("save-") + signalName(signal), 8);
    auto run = start(c);
    ASSERT_TRUE(run);
    ASSERT_TRUE(waitUntil([&] { return anyNameStartsWith(c.out, ".quorbix-tmp-"); }))
        << "no file was ever being saved";
    ::kill(run->pid(), signal);
    RunResult r = run->finish();
    EXPECT_EQ(r.signal, signal);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_NE(r.lines.back(), "Files converted: 8 of 8");
    expectTidy(c, 4000);
  }
}

// With several files in work, a stop ends every converter, with one grace
// time for all of them (started with SIGTERM ignored, they ignore the stop's
// SIGTERM and are killed when it is up), and leaves no temporary folder.
TEST_F(StopFixture, StopEndsEveryConverterInWork) {
  converter.hang = true;
  Case c = makeCase("several", 3);
  auto run = start(c, {"--jobs=3"}, {SIGTERM});
  ASSERT_TRUE(run);
  std::vector<int> children;
  const bool three = waitUntil([&] { return (children = childrenOf(run->pid())).size() == 3; }, 20);
  if (!three) {
    for (int child : children) ::kill(child, SIGKILL);
    ::kill(run->pid(), SIGKILL);
  }
  ASSERT_TRUE(three) << "not three converters at once";
  const auto before = std::chrono::steady_clock::now();
  ::kill(run->pid(), SIGINT);
  RunResult r = run->finish();
  EXPECT_EQ(r.signal, SIGINT);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(6));
  for (int child : children) expectEnded(child);
  expectTidy(c, 0);
}

TEST_F(StopFixture, IgnoredSignalsStayIgnored) {
  Case c = makeCase("ignored", 1);
  auto [run, child] = startHanging(c, {SIGHUP});
  ASSERT_GT(child, 0);
  ::kill(run->pid(), SIGHUP);
  ::kill(run->pid(), SIGTERM);
  RunResult r = run->finish();
  EXPECT_EQ(r.signal, SIGTERM);
  expectEnded(child);
  expectTidy(c, 0);
}

TEST_F(StopFixture, SecondSignalEndsTheStopAtOnce) {
  // Started with SIGTERM ignored, the converter ignores the stop's SIGTERM
  // too, so the stop would wait out its grace time and then kill it.
  auto [run, child] = startHanging(makeCase("second", 1), {SIGTERM});
  ASSERT_GT(child, 0);
  ::kill(run->pid(), SIGINT);
  ::kill(run->pid(), SIGHUP);
  RunResult r = run->finish();
  EXPECT_TRUE(r.signal == SIGINT || r.signal == SIGHUP) << r.signal;
  // Ended before the grace time was up: the stubborn converter still runs.
  EXPECT_TRUE(isRunning(child));
  ::kill(child, SIGKILL);
}

TEST_F(StopFixture, NextRunRemovesWhatAKilledRunLeft) {
  ASSERT_TRUE(writeTarga(tmp.path() + "big.tga", 4000, 3000));
  converter.targa = tmp.path() + "big.tga";
  Case c = makeCase("killed", 2);
  auto run = start(c);
  ASSERT_TRUE(run);
  ASSERT_TRUE(waitUntil([&] { return anyNameStartsWith(c.out, ".quorbix-tmp-"); }));
  const std::string dead = std::to_string(run->pid());
  ::kill(run->pid(), SIGKILL);
  EXPECT_EQ(run->finish().signal, SIGKILL);
  ASSERT_TRUE(anyNameStartsWith(c.temp, "quorbix-" + dead + "-"));
  ASSERT_TRUE(anyNameStartsWith(c.out, ".quorbix-tmp-" + dead + "-"));

  // What a live run holds stays (this test stands in for one); what no one
  // holds goes even when its process id is a running process's (a reused
  // id); links stay, even when named like a dead run's folder.
  const std::string alive = std::to_string(::getpid());
  fs::create_directory(c.temp + "quorbix-" + alive + "-Keep01");
  fs::create_directory(c.temp + "quorbix-" + alive + "-Reused");
  std::ofstream(c.out + ".quorbix-tmp-" + alive + "-Keep0001") << "x";
  std::ofstream(c.out + ".quorbix-tmp-" + alive + "-Reused01") << "x";
  const int heldFolder = ::open((c.temp + "quorbix-" + alive + "-Keep01").c_str(), O_RDONLY | O_CLOEXEC);
  const int heldFile = ::open((c.out + ".quorbix-tmp-" + alive + "-Keep0001").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_TRUE(::flock(heldFolder, LOCK_SH) == 0 && ::flock(heldFile, LOCK_SH) == 0);
  fs::create_directory_symlink(c.in, c.temp + "quorbix-" + dead + "-Link01");

  ASSERT_TRUE(writeTarga(tmp.path() + "big.tga", 40, 30));
  RunResult next = start(c)->finish();
  ::close(heldFolder);
  ::close(heldFile);
  EXPECT_EQ(next.exitCode, 0);
  EXPECT_EQ(next.lines.back(), "Files converted: 2 of 2");
  EXPECT_EQ(namesIn(c.temp), (Lines{"quorbix-" + alive + "-Keep01", "quorbix-" + dead + "-Link01"}));
  EXPECT_EQ(namesIn(c.out), (Lines{".quorbix-tmp-" + alive + "-Keep0001", "p0.tiff", "p1.tiff"}));
  EXPECT_EQ(namesIn(c.in), (Lines{"p0.pcd", "p1.pcd"}));  // not followed
}

}  // namespace
}  // namespace quorbix::test
