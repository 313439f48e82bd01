#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "convert/convert_file.h"
#include "convert/process_converter_runner.h"
#include "pcd_writer/pcd_writer.h"
#include "platform/process.h"
#include "platform/temp_folder.h"
#include "support/fake_converter_runner.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

namespace fs = std::filesystem;

void writeScript(const std::string& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body;
  fs::permissions(path, fs::perms::owner_all);
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Sets PATH for one test and puts the old one back.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& value) {
    const char* old = std::getenv("PATH");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    ::setenv("PATH", value.c_str(), 1);
  }
  ~ScopedPath() {
    if (hadOld_) ::setenv("PATH", old_.c_str(), 1);
    else ::unsetenv("PATH");
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

TEST(FindProgram, ProgramFolderFirstThenPath) {
  test::TempFolder root;
  const std::string own = root.path() + "own/", onPath = root.path() + "bin/", other = root.path() + "other/";
  for (const std::string& f : {own, onPath, other}) fs::create_directory(f);
  writeScript(onPath + "convert", "exit 0\n");
  ScopedPath path(other + ":" + onPath);

  EXPECT_EQ(platform::findProgram("convert", own), onPath + "convert");
  writeScript(own + "convert", "exit 0\n");
  EXPECT_EQ(platform::findProgram("convert", own), own + "convert");
  // A file that may not be run is passed over; so is a folder of that name.
  fs::permissions(own + "convert", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directory(other + "convert");
  EXPECT_EQ(platform::findProgram("convert", own), onPath + "convert");
  EXPECT_EQ(platform::findProgram("no-such-program", own), "");
}

TEST(RunProgram, ArgumentsArriveUntouchedAndStreamsAreClosedOff) {
  test::TempFolder root;
  const std::string script = root.path() + "echo-args";
  // Writes each argument followed by a NUL, then where stdin and stdout lead.
  writeScript(script,
              "in=$(readlink /proc/$$/fd/0); o=$(readlink /proc/$$/fd/1)\n"
              "out=\"$1\"; shift\n"
              "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out\"\n"
              "echo \"$in\" >> \"$out\"; echo \"$o\" >> \"$out\"\n"
              "echo noise; echo noise >&2; exit 3\n");
  const std::vector<std::string> hostile = {"$(touch " + root.path() + "pwned)", "a b", "\"q\"", "'s'",
                                            "line\nbreak", "`id`", "*", "\xC3\xA9t\xC3\xA9", ""};
  std::vector<std::string> arguments = {root.path() + "out"};
  arguments.insert(arguments.end(), hostile.begin(), hostile.end());
  EXPECT_EQ(platform::runProgram(script, arguments), 3);

  std::string expected;
  for (const std::string& a : hostile) expected += a + '\0';
  expected += "/dev/null\n/dev/null\n";
  EXPECT_TRUE(readBytes(root.path() + "out") == expected) << readBytes(root.path() + "out");
  EXPECT_FALSE(fs::exists(root.path() + "pwned"));
}

TEST(RunProgram, CrashesAndMissingProgramsAreReported) {
  test::TempFolder root;
  writeScript(root.path() + "crash", "kill -SEGV $$\n");
  EXPECT_EQ(platform::runProgram(root.path() + "crash", {}), 128 + SIGSEGV);
  EXPECT_EQ(platform::runProgram(root.path() + "missing", {}), -1);
}

class ProcessRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programFolder = root.path() + "program/";
    fs::create_directory(programFolder);
    fs::create_directory(root.path() + "out");
    fs::create_directory(root.path() + "tmp");
    ASSERT_TRUE(test::writeTarga(root.path() + "prepared.tga", 768, 512));
    registry.build();
    settings.job.conversion = "tiff";
    run.outputFormatId = FIF_TIFF;
    run.saveFlags = TIFF_NONE;
    run.keepSourceDepth = true;
    settings.job.output = root.path() + "out/";
    file.inputFile = root.path() + "scan $(x) \"1\".pcd";
    std::ofstream(file.inputFile) << "x";
  }
  bool convert() {
    std::unique_ptr<ConverterRunner> runner = makeProcessConverterRunner(programFolder);
    ConvertContext context{settings, run, file, registry, *runner, root.path() + "tmp/"};
    return static_cast<bool>(convertFile(context));
  }
  test::TempFolder root;
  std::string programFolder;
  FormatRegistry registry;
  Settings settings;
  RunContext run;
  FileState file;
};

TEST_F(ProcessRunnerTest, ConverterBesideTheProgramDeliversAtLevelFive) {
  // Knows sub-images up to 5 only, like an ordinary Image Pac.
  writeScript(programFolder + "convert",
              "echo \"$4\" >> '" + root.path() + "log'\n"
              "case \"$4\" in *'[6]') exit 1;; esac\n"
              "/bin/cp '" + root.path() + "prepared.tga' \"$5\"\n");
  ScopedPath path("/nonexistent");
  ASSERT_TRUE(convert());
  EXPECT_EQ(readBytes(root.path() + "log"),
            file.inputFile + "[6]\n" + file.inputFile + "[5]\n");
  EXPECT_EQ(file.outputPath, root.path() + "out/scan $(x) \"1\".tiff");
  EXPECT_TRUE(fs::is_empty(root.path() + "tmp"));
}

TEST_F(ProcessRunnerTest, OurConverterIsAskedOnlyForLevelsTheImagePacHolds) {
  // A 4Base Image Pac: ours could only answer "no such sub-image" to 6 and 5,
  // so it starts at 4. A converter found on PATH is still asked from 6.
  pcd_writer::PcdWriteOptions options;
  options.topLevel = pcd::Level::FourBase;
  std::ofstream(file.inputFile, std::ios::binary)
      << pcd_writer::writePcd(pcd_writer::syntheticPicture(pcd::Level::FourBase), options);
  const std::string logAndDeliver =
      "echo \"$4\" >> '" + root.path() + "log'\n/bin/cp '" + root.path() + "prepared.tga' \"$5\"\n";
  writeScript(programFolder + "convert", logAndDeliver);
  ScopedPath path("/nonexistent");
  ASSERT_TRUE(convert());
  EXPECT_EQ(readBytes(root.path() + "log"), file.inputFile + "[4]\n");

  fs::remove(programFolder + "convert");
  fs::remove(root.path() + "log");
  fs::create_directory(root.path() + "bin");
  writeScript(root.path() + "bin/convert", logAndDeliver);
  ScopedPath onPath(root.path() + "bin");
  ASSERT_TRUE(convert());
  EXPECT_EQ(readBytes(root.path() + "log"), file.inputFile + "[6]\n");
}

TEST_F(ProcessRunnerTest, CrashingOrMissingConverterIsSurvived) {
  writeScript(programFolder + "convert", "printf 'half' > \"$5\"; kill -SEGV $$\n");
  ScopedPath path("/nonexistent");
  EXPECT_FALSE(convert());
  fs::remove(programFolder + "convert");
  EXPECT_FALSE(convert());
  EXPECT_TRUE(fs::is_empty(root.path() + "out"));
  EXPECT_TRUE(fs::is_empty(root.path() + "tmp"));
}

TEST(TemporaryFolder, PrivateAndRemovedWithItsContents) {
  std::string path;
  {
    platform::TemporaryFolder folder;
    path = folder.path();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.back(), '/');
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    fs::create_directory(path + "sub");
    std::ofstream(path + "sub/file.tga") << "x";
    std::ofstream(path + "IMG0001.tga") << "x";
  }
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace quorbix
