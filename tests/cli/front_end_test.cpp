// Runs the built quorbix as a user would and compares the printed lines of
// everything that happens before a conversion job: version, help, option
// errors, the banner, the pause, the uninstall prompt and the lock.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/file_system.h"
#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

using test::runQuorbix;
using Lines = std::vector<std::string>;

const Lines kBanner = {"Vellumora Quorbix 2.8",
                       "Copyright (C) Vellumora Software. All rights reserved.",
                       "https://www.vellumora.com/quorbix", " "};
const std::string kIncorrect = "Error: Incorrect number of parameters";
const std::string kInvalidProfile = "Error: Invalid profile file";

Lines help(const std::string& prog) {
  return {
      " ",
      "Usage: " + prog + " -i <filename> [options]",
      " ",
      "  " + prog + " -i example.pcd",
      "  " + prog + " -i c:\\tmp\\example.pcd",
      "  " + prog + " -i c:\\tmp\\example.pcd -o d:\\converted",
      "  " + prog + " -i c:\\tmp\\filelist.txt",
      "  " + prog + " -i c:\\tmp\\ -o d:\\converted --jpg-quality=95",
      "  " + prog + " -i c:\\tmp\\ -o d:\\converted -c tiff --jpg-quality=95",
      " ",
      "Options:",
      " ",
      "  -h, -?, --help            Display this help and exit",
      "  -i FILE, --input=FILE     Set input file/list/folder",
      "  -o PATH, --output=PATH    Set output folder",
      "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
      " ",
      "Advanced options:",
      " ",
      "  --width=NUM               Set output image width",
      "  --height=NUM              Set output image height",
      "  --filename-mask=STR       Define output filename format",
      "  --flip-horizontal         Flip output image horizontally",
      "  --flip-vertical           Flip output image vertically",
      "  --brightness=NUM          Set output image brightness, NUM = -100..100",
      "  --contrast=NUM            Set output image contrast, NUM = -100..100",
      "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
      "  --invert                  Invert output image",
      "  --greyscale               Greyscale output image",
      "  --profile=FILE            Set configuration file with required settings",
      "    ...                     Refer documentation for all available options",
      " ",
      "Other options:",
      " ",
      "  -q, --quiet               Don't print status messages to stdout",
      "  -d, --debug               Print debug information to stdout",
      "  -p, --pause               Pause at exit",
      "  -v, --version             Display version information and exit",
  };
}

test::RunOptions options(std::string stdinText, std::string path = "") {
  test::RunOptions o;
  o.stdinText = std::move(stdinText);
  if (!path.empty()) o.env = {{"PATH", path}};
  return o;
}

Lines firstLines(const Lines& lines, size_t count) {
  return Lines(lines.begin(), lines.begin() + static_cast<long>(std::min(count, lines.size())));
}

TEST(FrontEnd, VersionAsFirstParameterOnly) {
  for (const char* option : {"-v", "--version", "--Version=anything", "-V"}) {
    auto run = runQuorbix({option, "-i", "x.pcd"});
    EXPECT_EQ(run.lines, Lines{"2.8"}) << option;
    EXPECT_EQ(run.exitCode, 0);
  }
  EXPECT_TRUE(runQuorbix({"-d", "-v"}).out.empty());
}

TEST(FrontEnd, HelpShowsTheExecutablesOwnName) {
  for (const char* option : {"-h", "-?", "--help", "--HELP=x"}) {
    auto run = runQuorbix({option, "-i"});
    EXPECT_EQ(run.lines, help("quorbix")) << option;
    EXPECT_EQ(run.exitCode, 0);
  }
  test::RunOptions renamed;
  renamed.programName = "pcd2tiff";
  EXPECT_EQ(runQuorbix({"-h"}, renamed).lines, help("pcd2tiff"));
  renamed.programName = "photo.converter.bin";
  EXPECT_EQ(runQuorbix({"-h"}, renamed).lines, help("photo.converter"));
}

TEST(FrontEnd, NothingPrintedWithoutWorkOrAnswer) {
  const std::vector<std::vector<std::string>> runs = {
      {}, {"-d"}, {"-q", "-p"}, {"-T"}, {"-t", "-i", "x.pcd"}, {"stray", "--unknown=3", "-h"},
      {"--width=5", "--wm-text=\"a", "b\""}};
  for (const auto& args : runs) {
    auto run = runQuorbix(args);
    EXPECT_EQ(run.out, "") << (args.empty() ? "(none)" : args[0]);
    EXPECT_EQ(run.exitCode, 0);
  }
}

TEST(FrontEnd, OptionErrorsPrintOneLine) {
  const std::vector<std::vector<std::string>> runs = {
      {"-i"}, {"--input", "x.pcd"}, {"-o", "-x", "-i", "x.pcd"}, {"--width=--3", "-i", "x.pcd"},
      {"-i", "x.pcd", "--jpg-quality"}, {"-c"}, {"-d", "-q", "--gamma="}};
  for (const auto& args : runs) {
    auto run = runQuorbix(args);
    EXPECT_EQ(run.lines, Lines{kIncorrect}) << args[0];
    EXPECT_EQ(run.exitCode, 0);
  }
  EXPECT_EQ(runQuorbix({"--profile=missing.ini", "-i", "x.pcd"}).lines, Lines{kInvalidProfile});
  EXPECT_EQ(runQuorbix({"--profile=\"\"", "-i", "x.pcd"}).lines, Lines{kInvalidProfile});
}

TEST(FrontEnd, BannerBeforeTheJobUnlessQuiet) {
  auto run = runQuorbix({"-i", "missing.pcd"});
  EXPECT_EQ(firstLines(run.lines, 4), kBanner);
  EXPECT_EQ(run.exitCode, 0);
  auto quiet = runQuorbix({"-q", "--input=missing.pcd"});
  EXPECT_TRUE(quiet.lines.empty() || quiet.lines[0] != kBanner[0]);
  EXPECT_EQ(quiet.exitCode, 0);
}

TEST(FrontEnd, PauseNeverHangsAtEndOfInput) {
  auto error = runQuorbix({"-p", "-i"});
  EXPECT_EQ(error.lines, Lines{kIncorrect});
  EXPECT_EQ(error.exitCode, 0);
  auto job = runQuorbix({"-i", "missing.pcd", "-p"});
  ASSERT_FALSE(job.lines.empty());
  EXPECT_EQ(job.lines.back(), "Press any key to exit.");
  EXPECT_EQ(job.exitCode, 0);
  auto keyed = runQuorbix({"-q", "-i", "missing.pcd", "-p"}, options("k"));
  ASSERT_FALSE(keyed.lines.empty());
  EXPECT_EQ(keyed.lines.back(), "Press any key to exit.");
  EXPECT_EQ(keyed.exitCode, 0);
}

TEST(FrontEnd, SecondInstanceEndsSilently) {
  test::TempFolder runtime;
  const std::string lockPath = runtime.path() + "Vellumora Quorbix 2.8.lock";
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  test::RunOptions lockOptions;
  lockOptions.env = {{"XDG_RUNTIME_DIR", runtime.path()}};
  auto blocked = runQuorbix({"-v"}, lockOptions);
  EXPECT_EQ(blocked.out, "");
  EXPECT_EQ(blocked.exitCode, 0);
  ::close(fd);
  EXPECT_EQ(runQuorbix({"-v"}, lockOptions).lines, Lines{"2.8"});
}

TEST(FrontEnd, UnusableRuntimeFolderFallsBackToAPrivateFolder) {
  const std::string kLockName = "quorbix/Vellumora Quorbix 2.8.lock";
  test::TempFolder folder;
  const std::string cache = folder.path() + "cache/";
  const std::string home = folder.path() + "home/";
  ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);
  test::RunOptions lockOptions;
  // XDG_CACHE_HOME first, else ~/.cache; both made when missing, private.
  for (const auto& [cacheVariable, lockFolder] :
       {std::pair{cache, cache}, std::pair{std::string(), home + ".cache/"}}) {
    lockOptions.env = {{"XDG_RUNTIME_DIR", "/nonexistent/folder"}, {"XDG_CACHE_HOME", cacheVariable},
                       {"HOME", home}};
    auto run = runQuorbix({"-v"}, lockOptions);
    EXPECT_EQ(run.lines, Lines{"2.8"});
    EXPECT_EQ(run.err, "");
    struct stat st {};
    ASSERT_EQ(::lstat((lockFolder + "quorbix").c_str(), &st), 0) << lockFolder;
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // It is the lock: held, a second instance ends silently.
    int fd = ::open((lockFolder + kLockName).c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(runQuorbix({"-v"}, lockOptions).out, "");
    ::close(fd);
  }
}

TEST(FrontEnd, LockFolderOthersCouldControlIsNeverUsed) {
  const std::string kWarning = "Warning: No private folder for the instance lock, running without it\n";
  test::TempFolder folder;
  struct Attempt {
    std::string name;
    std::function<bool(const std::string&)> prepare;  // makes "<cache>/quorbix"
  };
  std::vector<Attempt> attempts = {
      {"group-writable", [](const std::string& f) { return ::mkdir(f.c_str(), 0700) == 0 && ::chmod(f.c_str(), 0770) == 0; }},
      {"other-writable", [](const std::string& f) { return ::mkdir(f.c_str(), 0700) == 0 && ::chmod(f.c_str(), 0703) == 0; }},
      {"link", [&](const std::string& f) { return ::symlink(folder.path().c_str(), f.c_str()) == 0; }},
  };
  if (::getuid() == 0) {
    // As root a folder of someone else's can be had: nobody's.
    attempts.push_back({"foreign", [](const std::string& f) {
                          return ::mkdir(f.c_str(), 0700) == 0 && ::chown(f.c_str(), 65534, 65534) == 0;
                        }});
  }
  for (const Attempt& attempt : attempts) {
    const std::string cache = folder.path() + attempt.name + "/";
    ASSERT_EQ(::mkdir(cache.c_str(), 0700), 0);
    ASSERT_TRUE(attempt.prepare(cache + "quorbix")) << attempt.name;
    test::RunOptions lockOptions;
    lockOptions.env = {{"XDG_RUNTIME_DIR", cache + "quorbix"}, {"XDG_CACHE_HOME", cache}};
    // The run goes on, unguarded, and says so.
    auto run = runQuorbix({"-v"}, lockOptions);
    EXPECT_EQ(run.lines, Lines{"2.8"}) << attempt.name;
    EXPECT_EQ(run.err, kWarning) << attempt.name;
    EXPECT_FALSE(std::filesystem::exists(cache + "quorbix/Vellumora Quorbix 2.8.lock")) << attempt.name;
  }
}

// A stand-in for xdg-open that records the address it was given.
struct FakeBrowser {
  test::TempFolder folder;
  std::string record = folder.path() + "opened.txt";
  FakeBrowser() {
    const std::string script = folder.path() + "xdg-open";
    platform::writeWholeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + record + ".part\"\nmv \"" +
                                         record + ".part\" \"" + record + "\"\n");
    ::chmod(script.c_str(), 0755);
  }
  std::string opened(int waitMs) const {
    std::string text;
    for (int t = 0; t < waitMs; t += 50) {
      if (platform::readWholeFile(record, text)) return text;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
  }
};

TEST(FrontEnd, UninstallPromptOpensTheFeedbackPageWhenTicked) {
  const Lines prompt = {
      "Uninstall", " ", "  [x] Full Uninstall - Visit Uninstall Center",
      "  < Next >   (Space: tick or untick, Enter: Next, Esc: close)"};
  {
    FakeBrowser browser;
    auto run = runQuorbix({"-U"}, options("\n", browser.folder.path() + ":/usr/bin:/bin"));
    EXPECT_EQ(run.lines, prompt);
    EXPECT_EQ(browser.opened(10000), "https://www.vellumora.com/quorbix/uninstall");
  }
  {
    FakeBrowser browser;
    auto run = runQuorbix({"-u"}, options(" \n", browser.folder.path() + ":/usr/bin:/bin"));
    Lines unticked = prompt;
    unticked.push_back("  [ ] Full Uninstall - Visit Uninstall Center");
    EXPECT_EQ(run.lines, unticked);
    EXPECT_EQ(browser.opened(500), "");
  }
  {
    FakeBrowser browser;
    auto closed = runQuorbix({"-U"}, options("", browser.folder.path() + ":/usr/bin:/bin"));
    EXPECT_EQ(closed.lines, prompt);
    EXPECT_EQ(closed.exitCode, 0);
    EXPECT_EQ(browser.opened(500), "");
  }
  // Without any browser the address is shown instead.
  auto noBrowser = runQuorbix({"-U"}, options("\n", "/nonexistent"));
  Lines shown = prompt;
  shown.push_back("https://www.vellumora.com/quorbix/uninstall");
  EXPECT_EQ(noBrowser.lines, shown);
}

TEST(FrontEnd, ProfilesThatCannotBeReadAreRefusedAndAnyOtherIsAccepted) {
  test::TempFolder folder;
  const std::string& dir = folder.path();
  std::string junk;
  for (int i = 0; i < 300000; ++i) junk += static_cast<char>((i * 2654435761u) >> 13);
  ASSERT_TRUE(platform::writeWholeFile(dir + "junk.ini", junk));
  ASSERT_TRUE(platform::writeWholeFile(dir + "empty.ini", ""));
  ASSERT_TRUE(platform::writeWholeFile(dir + "long.ini", "[CLI]\n--WM-TEXT=" + std::string(4 << 20, 'y')));
  ASSERT_TRUE(platform::writeWholeFile(dir + "utf8.ini", "\xEF\xBB\xBF[CLI]\n--WM-TEXT=\xFF\xFE\xC0\x80\n\xF8"));
  ASSERT_TRUE(platform::writeWholeFile(dir + "big.ini", "[CLI]\n"));
  ASSERT_EQ(::truncate((dir + "big.ini").c_str(), 100 << 20), 0);

  for (const char* accepted : {"junk.ini", "empty.ini", "long.ini", "utf8.ini"}) {
    auto run = runQuorbix({"--profile=" + dir + accepted});
    EXPECT_EQ(run.out, "") << accepted;
    EXPECT_EQ(run.exitCode, 0) << accepted;
  }
  for (const std::string& refused : {dir + "big.ini", dir, dir + "missing.ini", std::string("/dev/zero")}) {
    auto run = runQuorbix({"--profile=" + refused, "-i", "x.pcd"});
    EXPECT_EQ(run.lines, Lines{kInvalidProfile}) << refused;
    EXPECT_EQ(run.exitCode, 0) << refused;
  }
}

}  // namespace
}  // namespace quorbix
