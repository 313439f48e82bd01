// What a run tells about every file, seen from outside: the reason of each
// file not converted on standard error, the JSON Lines report checked against
// the files it names, the exit statuses of --exit-codes, a disc's companion
// files, a second run, a run stopped and resumed with --skip-existing, and a
// full output disk. Real PhotoCD files (written by the test) and the built
// converter.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "pcd/byte_source.h"
#include "pcd/pcd_header.h"
#include "pcd_writer/pcd_writer.h"
#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Lines = std::vector<std::string>;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// "p<n>.pcd", built by appending: GCC 12's restrict check misreads
// "p" + to_string() in optimised builds.
std::string pictureName(int n) {
  std::string name = "p";
  name += std::to_string(n);
  name += ".pcd";
  return name;
}

// sha256sum's digest of a file, to check the report's against.
std::string sha256sum(const std::string& path) {
  std::string digest;
  if (std::FILE* pipe = ::popen(("sha256sum '" + path + "'").c_str(), "r")) {
    char text[65] = {};
    if (std::fread(text, 1, 64, pipe) == 64) digest = text;
    ::pclose(pipe);
  }
  return digest;
}

struct RunOutcomeFixture : ::testing::Test {
  TempFolder tmp;
  std::string in, out, runtime;
  std::string picture;  // a 4Base Image Pac with its scan facts

  void SetUp() override {
    if (builtConverter().empty()) GTEST_SKIP() << "the converter is not built";
    in = tmp.path() + "in/";
    out = tmp.path() + "out/";
    runtime = tmp.path() + "run/";
    for (const auto& f : {in, out, runtime, tmp.path() + "tmp/"}) fs::create_directory(f);
    pcd_writer::PcdWriteOptions write;
    write.facts = pcd_writer::sampleFacts();
    picture = pcd_writer::writePcd(pcd_writer::syntheticPicture(pcd::Level::FourBase), write);
  }
  void add(const std::string& name, const std::string& contents) {
    std::ofstream(in + name, std::ios::binary) << contents;
  }
  RunOptions options() const {
    RunOptions o;
    o.withConverter = true;
    o.env = {{"TMPDIR", tmp.path() + "tmp/"}, {"XDG_RUNTIME_DIR", runtime}};
    return o;
  }
  RunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), {"-q", "-i", in, "-o", out});
    return runQuorbix(args, options());
  }
  static std::vector<Json> reportOf(const std::string& path) {
    std::vector<Json> lines;
    std::ifstream report(path);
    for (std::string line; std::getline(report, line);) lines.push_back(Json::parse(line));
    return lines;
  }
  // Every output file's name and bytes.
  static std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
      files[entry.path().filename().string()] = readAll(entry.path().string());
    }
    return files;
  }
};

TEST_F(RunOutcomeFixture, EveryFileIsAccountedForOnStandardErrorAndInTheReport) {
  add("a.pcd", picture);
  add("b.pcd", std::string(4096, 'x'));  // no Image Pac
  add("INFO.PCD", "disc information");   // a disc's companions
  add("._a.pcd", "macOS resource fork");
  const std::string report = tmp.path() + "report.jsonl";
  RunResult r = run({"--report=" + report, "--exit-codes"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Skipped: " + in + "._a.pcd: a file macOS leaves beside a copied file, not a picture\n" +
                       "Error: " + in + "b.pcd not converted: not a PhotoCD picture (no Image Pac signature)\n" +
                       "Skipped: " + in + "INFO.PCD: a PhotoCD disc's information file, not a picture\n");

  const std::vector<Json> lines = reportOf(report);
  ASSERT_EQ(lines.size(), 4u);
  const Json& a = lines[1];
  EXPECT_EQ(a["input"], in + "a.pcd");
  EXPECT_EQ(a["output"], out + "a.tiff");
  EXPECT_EQ(a["status"], "converted");
  EXPECT_EQ(a["reason"], nullptr);
  EXPECT_EQ(a["warnings"], Json::array());
  EXPECT_EQ(a["width"], 1536);
  EXPECT_EQ(a["height"], 1024);
  EXPECT_EQ(a["level"], "4Base");
  EXPECT_EQ(a["sha256"], sha256sum(out + "a.tiff"));
  EXPECT_TRUE(a.contains("scan_time") && a.contains("scanner") && a.contains("film")) << a.dump();
  for (size_t k : {0u, 2u, 3u}) {
    EXPECT_EQ(lines[k]["output"], nullptr);
    EXPECT_EQ(lines[k]["sha256"], nullptr);
    EXPECT_FALSE(lines[k]["reason"].get<std::string>().empty());
  }
  EXPECT_EQ(lines[0]["status"], "skipped");
  EXPECT_EQ(lines[2]["status"], "failed");
  EXPECT_EQ(lines[3]["input"], in + "INFO.PCD");
  EXPECT_EQ(lines[3]["status"], "skipped");

  // Without --exit-codes the status stays 0; companions alone fail nothing.
  fs::remove(in + "b.pcd");
  EXPECT_EQ(run({}).exitCode, 0);
  EXPECT_EQ(run({"--exit-codes"}).exitCode, 0);
}

TEST_F(RunOutcomeFixture, DamagedOrIncompletePicturesAreSavedWithAWarning) {
  // A 16Base Image Pac cut at the end of its 4Base data: 4Base is the best
  // that can be had. A copy with a sector of its 16Base rows unreadable
  // (zeros, as a disc rescue leaves it): 16Base with those rows repaired.
  // The clean file: no warning.
  pcd_writer::PcdWriteOptions write;
  write.topLevel = pcd::Level::SixteenBase;
  const std::string full = pcd_writer::writePcd(pcd_writer::syntheticPicture(pcd::Level::SixteenBase), write);
  const pcd::MemoryByteSource source(reinterpret_cast<const uint8_t*>(full.data()), full.size());
  const std::optional<pcd::PcdHeader> header = pcd::readPcdHeader(source);
  ASSERT_TRUE(header);
  add("cut.pcd", full.substr(0, (header->fourBaseStopSector + 1) * pcd::kSectorSize));
  std::string zeroed = full;
  const size_t rows = (header->fourBaseStopSector + pcd::kSixteenBaseDataAfterStop) * pcd::kSectorSize;
  zeroed.replace(rows + 20 * pcd::kSectorSize, pcd::kSectorSize, pcd::kSectorSize, '\0');
  add("zeroed.pcd", zeroed);
  add("clean.pcd", full);
  const std::string report = tmp.path() + "report.jsonl";
  RunResult r = run({"--report=" + report, "--exit-codes"});
  EXPECT_EQ(r.exitCode, 0);
  const std::string cutWarning =
      "saved at 4Base (1536 x 1024) although its Image Pac holds 16Base: the higher levels could not be decoded";
  const std::string repaired = "Warning: " + in + "zeroed.pcd: repaired damaged data: 16Base rows ";
  EXPECT_EQ(r.err.find("Warning: " + in + "cut.pcd: " + cutWarning + "\n"), 0u) << r.err;
  EXPECT_NE(r.err.find(repaired), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("clean.pcd"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2);

  const std::vector<Json> lines = reportOf(report);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]["warnings"], Json::array());  // clean.pcd
  EXPECT_EQ(lines[1]["level"], "4Base");
  EXPECT_EQ(lines[1]["warnings"], Json::array({cutWarning}));
  EXPECT_EQ(lines[2]["status"], "converted");
  EXPECT_EQ(lines[2]["level"], "16Base");
  EXPECT_EQ(lines[2]["width"], 3072);
  ASSERT_EQ(lines[2]["warnings"].size(), 1u);
  EXPECT_EQ("Warning: " + in + "zeroed.pcd: " + lines[2]["warnings"][0].get<std::string>(),
            r.err.substr(r.err.find(repaired), r.err.size() - r.err.find(repaired) - 1));
}

TEST_F(RunOutcomeFixture, ExitCodesTellHowTheRunEnded) {
  EXPECT_EQ(run({"--exit-codes"}).exitCode, 2);  // no input file found
  add("b.pcd", "not a picture");
  EXPECT_EQ(run({"--exit-codes"}).exitCode, 2);  // none converted
  EXPECT_EQ(run({"--exit-codes", "--jobs=0"}).exitCode, 3);
  RunResult unwritable = run({"--exit-codes", "--report=" + tmp.path() + "missing/report.jsonl"});
  EXPECT_EQ(unwritable.exitCode, 3);
  EXPECT_NE(unwritable.err.find("Error: The report file " + tmp.path() + "missing/report.jsonl cannot be written: "),
            std::string::npos)
      << unwritable.err;
  EXPECT_TRUE(fs::is_empty(out));

  // Another run of the same user holds the lock.
  const int fd = ::open((runtime + "Vellumora Quorbix 2.8.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  add("a.pcd", picture);
  RunResult second = runQuorbix({"-i", in, "-o", out, "--exit-codes"}, options());
  EXPECT_EQ(second.exitCode, 4);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err, "Another run of this program is active for this user: nothing was done\n");
  EXPECT_EQ(runQuorbix({"-i", in, "-o", out}, options()).exitCode, 0);
  ::close(fd);
  EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(RunOutcomeFixture, AStoppedRunResumedWithSkipExistingWritesWhatOneRunWould) {
  constexpr int kFiles = 16;
  for (int i = 0; i < kFiles; ++i) add(pictureName(100 + i), picture);
  const std::vector<std::string> common = {"-i", in, "--jobs=1", "--filename-mask=%filename%_%n%.%ext%"};
  auto withOutput = [&](const std::string& folder, std::vector<std::string> extra) {
    std::vector<std::string> args = common;
    args.push_back("-o");
    args.push_back(folder);
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };

  auto stopped = startQuorbix(withOutput(out, {}), options());
  ASSERT_TRUE(stopped);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  auto saved = [&] {
    return std::count_if(fs::directory_iterator(out), fs::directory_iterator(),
                         [](const fs::directory_entry& e) { return e.path().extension() == ".tiff"; });
  };
  while (saved() < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(stopped->pid(), SIGINT);
  EXPECT_EQ(stopped->finish().signal, SIGINT);
  std::map<std::string, std::pair<ino_t, long>> firstRun;  // name -> inode, modification time
  for (const auto& entry : fs::directory_iterator(out)) {
    struct stat st {};
    ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
    firstRun[entry.path().filename().string()] = {st.st_ino, st.st_mtim.tv_nsec};
  }
  ASSERT_GE(firstRun.size(), 3u);
  ASSERT_LT(firstRun.size(), static_cast<size_t>(kFiles)) << "the run ended before it was stopped";

  const std::string report = tmp.path() + "resume.jsonl";
  RunResult resumed = runQuorbix(withOutput(out, {"--skip-existing", "--report=" + report}), options());
  EXPECT_EQ(resumed.lines.back(), "Files converted: 16 of 16");
  const std::string whole = tmp.path() + "whole/";
  fs::create_directory(whole);
  ASSERT_EQ(runQuorbix(withOutput(whole, {}), options()).exitCode, 0);
  EXPECT_EQ(filesIn(out), filesIn(whole));
  for (const auto& [name, identity] : firstRun) {
    struct stat st {};
    ASSERT_EQ(::stat((out + name).c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, identity.first) << name << " was written again";
    EXPECT_EQ(st.st_mtim.tv_nsec, identity.second) << name << " was touched";
  }
  size_t skipped = 0;
  for (const Json& line : reportOf(report)) skipped += line["status"] == "skipped" ? 1 : 0;
  EXPECT_EQ(skipped, firstRun.size());
}

TEST_F(RunOutcomeFixture, AFullOutputDiskEndsTheRunAtItsFirstFailure) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const std::string disk = tmp.path() + "disk/";
  fs::create_directory(disk);
  // Room for one 4Base TIFF (4.7 MB), not two.
  if (std::system(("mount -t tmpfs -o size=6m quorbix-test '" + disk + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "no tmpfs can be mounted here";
  }
  for (int i = 0; i < 4; ++i) add(pictureName(i), picture);
  const std::string report = tmp.path() + "report.jsonl";
  RunResult r = runQuorbix({"-i", in, "-o", disk, "--report=" + report, "--exit-codes"}, options());
  const Lines names = namesIn(disk);
  std::system(("umount '" + disk + "'").c_str());

  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.lines.back(), "Files converted: 1 of 4");
  EXPECT_EQ(names, Lines{"p0.tiff"}) << "a partial or staged file was left";
  EXPECT_NE(r.err.find("Error: " + in + "p1.pcd not converted: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Error: " + in + "p2.pcd not converted: not tried: "), std::string::npos) << r.err;
  const std::vector<Json> lines = reportOf(report);
  ASSERT_EQ(lines.size(), 4u);
  for (size_t k = 1; k < 4; ++k) {
    EXPECT_EQ(lines[k]["status"], "failed");
    EXPECT_NE(lines[k]["reason"].get<std::string>().find("No space left on device"), std::string::npos);
  }
}

}  // namespace
}  // namespace quorbix::test
