// The built quorbix run as a user would: a copy of the program beside a fake
// converter script, real files, exact console lines, and the saved TIFF
// files read back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "e2e_support.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/fake_converter.h"
#include "support/program_runner.h"
#include "support/test_paths.h"
#include "support/utf16_bytes.h"

namespace quorbix::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

void writeFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

// A program folder with quorbix and a fake converter, an input and an
// output folder, and a private TMPDIR that must be empty after each run.
struct RunFixture : ::testing::Test {
  TempFolder tmp;
  std::string program, in, out, temp;
  FakeConverterOptions converter;

  void SetUp() override {
    program = tmp.path() + "prog/";
    in = tmp.path() + "in/";
    out = tmp.path() + "out/";
    temp = tmp.path() + "tmp/";
    for (const auto& f : {program, in, out, temp, program + "fake-targa/"}) fs::create_directory(f);
  }
  // The picture the converter delivers for input base name `base`.
  void deliver(const std::string& base, int width, int height) {
    ASSERT_TRUE(writeTarga(program + "fake-targa/" + base + ".tga", width, height));
  }
  // An input file that is no PhotoCD at all: only the converter makes it a picture.
  std::string input(const std::string& relative, const std::string& contents = "not a photo cd") {
    writeFile(in + relative, contents);
    return in + relative;
  }
  RunResult run(const std::vector<std::string>& args,
                const std::vector<std::pair<std::string, std::string>>& env = {},
                const std::string& workingFolder = "") {
    EXPECT_TRUE(writeFakeConverter(program, converter));
    RunOptions options;
    options.programFolder = program;
    options.workingFolder = workingFolder.empty() ? tmp.path() : workingFolder;
    options.env = {{"TMPDIR", temp}};
    options.env.insert(options.env.end(), env.begin(), env.end());
    RunResult result = runQuorbix(args, options);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(namesIn(temp), Lines{}) << "temporary files left behind";
    return result;
  }
  // The lines after the four banner lines.
  static Lines afterBanner(const RunResult& r) {
    EXPECT_GE(r.lines.size(), 4u);
    if (r.lines.size() < 4) return r.lines;
    EXPECT_EQ(r.lines[0], "Vellumora Quorbix 2.8");
    EXPECT_EQ(r.lines[3], " ");
    return Lines(r.lines.begin() + 4, r.lines.end());
  }
};

TEST_F(RunFixture, TwoOfThreeConvertedAndReadBack) {
  deliver("a", 64, 48);
  deliver("b", 30, 100);
  input("a.pcd");
  input("b.PCD");
  input("c.pcd");  // the converter delivers nothing for it
  input("notes.txt");
  RunResult r = run({"-i", in, "-o", out, "--tiff-compression=LZW"});
  EXPECT_EQ(afterBanner(r), (Lines{"Preparing...", "Importing...", "Import complete, new files added: 3",
                                   "Converting...", "Conversion complete", "Files converted: 2 of 3"}));
  EXPECT_EQ(namesIn(out), (Lines{"a.tiff", "b.tiff"}));
  auto a = readTiff(out + "a.tiff");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->width, 64);
  EXPECT_EQ(a->height, 48);
  EXPECT_EQ(a->bpp, 24);
  EXPECT_EQ(a->compression, 5);  // LZW
  // A Targa carries no resolution; the loader's 72 dpi is kept.
  EXPECT_EQ(a->dotsPerMeterX, 2835u);
  EXPECT_EQ(a->dotsPerMeterY, 2835u);
  auto b = readTiff(out + "b.tiff");
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->width, 30);
  EXPECT_EQ(b->height, 100);
}

TEST_F(RunFixture, SavedWithTheRequestedDepthCompressionAndSize) {
  deliver("p", 200, 100);
  input("p.pcd");
  RunResult r = run({"-q", "-i", in, "-o", out, "--tiff-bpp=8", "--tiff-compression=PACKBITS",
                     "--width=50", "--height=50", "--width-unit=PERCENT", "--height-unit=PERCENT"});
  EXPECT_EQ(r.lines, Lines{});
  auto p = readTiff(out + "p.tiff");
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->width, 100);
  EXPECT_EQ(p->height, 50);
  EXPECT_EQ(p->bpp, 8);
  EXPECT_EQ(p->compression, 32773);  // PackBits
}

TEST_F(RunFixture, DebugEchoAndPerFileLines) {
  deliver("a", 8, 8);
  std::string a = input("a.pcd");
  std::string c = input("c.pcd");
  RunResult r = run({"-d", "-i", in, "-o", out, "--tiff-compression=DEFLATE", "--gamma=2"});
  Lines expected = {"Preparing...",
                    "Input: " + in,
                    "Output: " + out,
                    "Conversion: tiff",
                    "PCD Tone: DISPLAY",
                    "TIFF BPP: 0",
                    "TIFF Compression: DEFLATE",
                    "TIFF Color Model: RGB",
                    "Flip Horizontal: 0",
                    "Flip Vertical: 0",
                    "Brightness: 0",
                    "Contrast: 0",
                    "Gamma: 2.00",
                    "Invert: 0",
                    "Greyscale: 0",
                    "Frame: NONE",
                    "Watermark: NONE",
                    "Filename Mask: %filename%.%ext%",
                    "File Timestamp: CURRENT",
                    "Keep Subfolders: 1",
                    "Importing...",
                    "Import complete, new files added: 2",
                    "Converting..."};
  for (const std::string& path : {a, c}) {  // in name order
    expected.push_back("Processing: " + path);
    expected.push_back("Saving As: " + out + (path == a ? "a.tiff" : "c.tiff"));
    expected.push_back(path == a ? "OK" : "Not OK");
  }
  expected.push_back("Conversion complete");
  expected.push_back("Files converted: 1 of 2");
  EXPECT_EQ(afterBanner(r), expected);
}

TEST_F(RunFixture, TextWatermarkRunGetsItsFont) {
  deliver("a", 120, 80);
  input("a.pcd");
  RunResult r = run({"-i", in, "-o", out, "--wm-text=%filename% (c)", "--wm-font=Arial",
                     "--wm-font-size=10", "--wm-font-style=BOLD"});
  EXPECT_EQ(r.lines.back(), "Files converted: 1 of 1");
  auto a = readTiff(out + "a.tiff");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->width, 120);
}

TEST_F(RunFixture, LibrariesSpeakOnlyThroughDebugLines) {
  deliver("a", 120, 80);
  input("a.pcd");
  const Lines converted = {"Preparing...", "Importing...", "Import complete, new files added: 1",
                           "Converting...", "Conversion complete", "Files converted: 1 of 1"};
  auto contents = [](const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  };

  // libtiff warns about the codec identifier that DEFLATE writes; the file
  // keeps that identifier.
  RunResult r = run({"-i", in, "-o", out, "--tiff-compression=DEFLATE"});
  EXPECT_EQ(afterBanner(r), converted);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(tiffCompressionTag(out + "a.tiff"), 32946);
  r = run({"-d", "-i", in, "-o", out, "--tiff-compression=DEFLATE"});
  EXPECT_EQ(r.errLines, (Lines{"Library message: libtiff warning: TIFFWriteDirectorySec: Creating TIFF with "
                               "legacy Deflate codec identifier, COMPRESSION_ADOBE_DEFLATE is more widely "
                               "supported"}));

  // Characters larger than the font engine can draw are drawn at its
  // largest size, where the block is larger than any canvas: the picture
  // converts as it is, without a watermark. Fontconfig, for its part, does
  // not know the locale's language.
  ASSERT_EQ(run({"-q", "-i", in, "-o", out}).err, "");
  const std::string plain = contents(out + "a.tiff");
  const std::vector<std::pair<std::string, std::string>> unknownLanguage = {{"FC_LANG", ""},
                                                                           {"LC_ALL", "bogus"}};
  for (const char* points : {"49152", "60000", "2147483647"}) {
    r = run({"-i", in, "-o", out, "--wm-text=Huge", std::string("--wm-font-size=") + points},
            unknownLanguage);
    EXPECT_EQ(afterBanner(r), converted) << points;
    EXPECT_EQ(r.err, "") << points;
    EXPECT_EQ(contents(out + "a.tiff"), plain) << points;
  }
  r = run({"-d", "-i", in, "-o", out, "--wm-text=Huge", "--wm-font-size=60000"}, unknownLanguage);
  EXPECT_EQ(r.errLines, (Lines{"Library message: fontconfig: Fontconfig warning: ignoring bogus: not a "
                               "valid language tag"}));
  EXPECT_EQ(r.lines.back(), "Files converted: 1 of 1");
}

TEST_F(RunFixture, EveryFileFailingQuietly) {
  input("a.pcd");
  input("b.pcd");
  RunResult r = run({"-q", "-i", in, "-o", out});
  EXPECT_EQ(r.lines, (Lines{"Conversion stopped"}));
  EXPECT_EQ(namesIn(out), Lines{});
}

// --jobs takes a whole number from 1 to 64, on the command line and in a
// profile; it is never echoed, so a run prints the same whatever it is.
TEST_F(RunFixture, JobsValuesAreCheckedAndNeverEchoed) {
  deliver("a", 8, 8);
  input("a.pcd");
  for (const std::string value : {"0", "65", "100", "-1", "+4", "abc", "2.5", "4x", " 4", "$10", "064"}) {
    RunResult r = run({"-q", "-i", in, "-o", out, "--jobs=" + value});
    EXPECT_EQ(r.lines, (Lines{"Error: Invalid jobs value"})) << "'" << value << "'";
  }
  // An empty value in a profile (on the command line "--jobs=" is a wrong
  // command line, as for every option).
  writeFile(tmp.path() + "jobs.ini", "[CLI]\n--jobs=\n");
  RunResult r = run({"-q", "-i", in, "-o", out, "--profile=" + tmp.path() + "jobs.ini"});
  EXPECT_EQ(r.lines, (Lines{"Error: Invalid jobs value"}));
  EXPECT_EQ(namesIn(out), Lines{});

  const Lines plain = run({"-d", "-i", in, "-o", out}).lines;
  EXPECT_EQ(plain.back(), "Files converted: 1 of 1");
  for (const std::string value : {"1", "7", "64"}) {
    EXPECT_EQ(run({"-d", "-i", in, "-o", out, "--jobs=" + value}).lines, plain) << value;
  }
  writeFile(tmp.path() + "jobs.ini", "[CLI]\n--JOBS=3\n");
  EXPECT_EQ(run({"-d", "-i", in, "-o", out, "--profile=" + tmp.path() + "jobs.ini"}).lines, plain);
}

TEST_F(RunFixture, EmptyInputFolder) {
  RunResult r = run({"-i", in, "-o", out});
  EXPECT_EQ(afterBanner(r), (Lines{"Preparing...", "Importing...", "Import complete, new files added: 0",
                                   "Conversion stopped",
                                   "No input file(s) found. Please, add valid file(s) and try again!"}));
}

TEST_F(RunFixture, ValidationErrorsEndTheRun) {
  input("a.pcd");
  RunResult r = run({"-i", in, "-c", "TIFF"});
  EXPECT_EQ(afterBanner(r), (Lines{"Preparing...", "Error: Invalid conversion type"}));
  r = run({"-q", "-i", "../in"});
  EXPECT_EQ(r.lines, (Lines{"Error: Incorrect input folder"}));
  r = run({"-q", "-i", in, "--gamma=nan"});
  EXPECT_EQ(r.lines, (Lines{"Error: Invalid gamma value"}));
  r = run({"-q", "-i", in, "--width=10"});
  EXPECT_EQ(r.lines, (Lines{"Error: Invalid height value"}));
  EXPECT_TRUE(readFakeConverterRuns(program).empty());
}

TEST_F(RunFixture, RelativeFoldersAreBelowTheProgramFolder) {
  deliver("a", 8, 8);
  fs::create_directory(program + "photos");
  writeFile(program + "photos/a.pcd", "x");
  // The current folder is tmp/, which has no "photos": the program folder counts.
  RunResult r = run({"-q", "-i", "photos", "-o", "./photos"});
  EXPECT_EQ(r.lines, Lines{});
  EXPECT_TRUE(readTiff(program + "photos/a.tiff").has_value());
}

// Output paths are judged by where they really lead (through "..", "." and
// links to folders): a picture is never written over another one of the same
// run, over an input, or outside the output folder; such a file is not
// converted and one line on standard error says why.
TEST_F(RunFixture, SecondFileForOneOutputIsNotConverted) {
  deliver("a", 64, 48);
  deliver("b", 30, 100);
  fs::create_directory(in + "a");
  fs::create_directory(in + "b");
  const std::string a = input("a/a.pcd");
  const std::string b = input("b/b.pcd");
  writeFile(out + "same.tiff", "left by an earlier run");  // replaced as always
  // "a/../same.tiff" and "b/../same.tiff" are one file.
  RunResult r = run({"-d", "-i", in, "-o", out, "--filename-mask=../same.%ext%"});
  // In name order: a/a.pcd before b/b.pcd.
  const std::string& first = a;
  const std::string& second = b;
  auto shown = [&](const std::string& path) {
    return out + (path == a ? "a" : "b") + "/../same.tiff";
  };
  ASSERT_GE(r.lines.size(), 8u);
  EXPECT_EQ(Lines(r.lines.end() - 8, r.lines.end()),
            (Lines{"Processing: " + first, "Saving As: " + shown(first), "OK",
                   "Processing: " + second, "Saving As: " + shown(second), "Not OK",
                   "Conversion complete", "Files converted: 1 of 2"}));
  EXPECT_EQ(r.err, "Error: " + second + " not converted: " + shown(second) +
                       " was already written for " + first + "\n");
  auto kept = readTiff(out + "same.tiff");
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->width, first == a ? 64 : 30);
  EXPECT_EQ(namesIn(out), (Lines{"a", "b", "same.tiff"}));
}

TEST_F(RunFixture, MaskCannotReplaceAnInputOrLeaveTheOutputFolder) {
  deliver("self", 8, 8);
  const std::string self = input("self.pcd", "the only copy");
  auto selfContents = [&] {
    std::string contents;
    EXPECT_TRUE(platform::readWholeFile(self, contents));
    return contents;
  };
  // With no -o the output folder is the input folder.
  RunResult r = run({"-q", "-i", in, "--filename-mask=%filename%.pcd"});
  EXPECT_EQ(r.lines, (Lines{"Conversion stopped"}));
  EXPECT_EQ(r.err, "Error: " + self + " not converted: " + self + " is an input file of this run\n");
  EXPECT_EQ(selfContents(), "the only copy");
  EXPECT_EQ(namesIn(in), (Lines{"self.pcd"}));

  fs::create_directory(tmp.path() + "elsewhere");
  fs::create_directory_symlink(tmp.path() + "elsewhere", out + "away");
  for (const std::string mask : {"../escaped.%ext%", "away/escaped.%ext%"}) {
    r = run({"-q", "-i", in, "-o", out, "--filename-mask=" + mask});
    EXPECT_EQ(r.lines, (Lines{"Conversion stopped"})) << mask;
    const std::string shown = out + mask.substr(0, mask.size() - 5) + "tiff";
    EXPECT_EQ(r.err, "Error: " + self + " not converted: " + shown + " is outside the output folder\n");
  }
  EXPECT_EQ(namesIn(tmp.path()), (Lines{"elsewhere", "in", "out", "prog", "tmp"}));
  EXPECT_EQ(namesIn(tmp.path() + "elsewhere"), Lines{});
  EXPECT_EQ(namesIn(out), (Lines{"away"}));
  EXPECT_EQ(selfContents(), "the only copy");
}

TEST_F(RunFixture, MaskSubFolderInsideTheOutputFolder) {
  deliver("a", 8, 8);
  input("a.pcd");
  fs::create_directory(out + "sub");
  // The output folder reached through a link, the sub-folder through "./".
  fs::create_directory_symlink(out, tmp.path() + "link-to-out");
  RunResult r = run({"-i", in, "-o", tmp.path() + "link-to-out/", "--filename-mask=./sub/%filename%.%ext%"});
  EXPECT_EQ(r.lines.back(), "Files converted: 1 of 1");
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(readTiff(out + "sub/a.tiff").has_value());
}

TEST_F(RunFixture, RelativeInputFileWritesBesideIt) {
  deliver("x", 8, 8);
  deliver("y", 8, 8);
  const std::string photos = tmp.path() + "photos/";
  fs::create_directory(photos);
  writeFile(photos + "x.pcd", "x");
  writeFile(photos + "y.pcd", "y");
  RunResult r = run({"-q", "-i", "photos/x.pcd"});  // from tmp/
  EXPECT_EQ(r.lines, Lines{});
  r = run({"-q", "-i", "y.pcd"}, {}, photos);
  EXPECT_EQ(r.lines, Lines{});
  EXPECT_EQ(namesIn(photos), (Lines{"x.pcd", "x.tiff", "y.pcd", "y.tiff"}));
  EXPECT_FALSE(fs::exists(program + "y.tiff"));
}

TEST_F(RunFixture, SubFoldersAndTheOriginalTime) {
  deliver("x", 8, 8);
  deliver("y", 8, 8);
  deliver("z", 8, 8);
  fs::create_directories(in + "2019/summer");
  input("x.pcd");
  input("2019/y.pcd");
  std::string z = input("2019/summer/z.pcd");
  ASSERT_TRUE(platform::setLastWriteTime(z, 1000000007));
  RunResult r = run({"-q", "-i", in, "-o", out, "--file-timestamp=ORIGINAL"});
  EXPECT_EQ(r.lines, Lines{});
  EXPECT_TRUE(platform::isFile(out + "x.tiff"));
  EXPECT_TRUE(platform::isFile(out + "2019/y.tiff"));
  EXPECT_TRUE(platform::isFile(out + "2019/summer/z.tiff"));
  EXPECT_EQ(platform::lastWriteTime(out + "2019/summer/z.tiff"), 1000000007);
}

TEST_F(RunFixture, NoSubFoldersAndACustomTime) {
  deliver("y", 8, 8);
  fs::create_directories(in + "2019");
  input("2019/y.pcd");
  RunResult r = run({"-q", "-i", in, "-o", out, "--no-subfolders", "--file-timestamp=CUSTOM",
                     "--file-timestamp-custom=1262347200"});
  EXPECT_EQ(r.lines, Lines{});
  EXPECT_EQ(namesIn(out), (Lines{"y.tiff"}));
  EXPECT_EQ(platform::lastWriteTime(out + "y.tiff"), platform::unixFromDateValue(1262347200));
}

// Files are converted in name order, folder by folder and without regard to
// case ('_' after the letters), from a folder tree and from a list file
// alike; %n% follows that order.
TEST_F(RunFixture, FilesInNameOrder) {
  ASSERT_TRUE(writeTarga(tmp.path() + "any.tga", 8, 8));
  converter.targa = tmp.path() + "any.tga";
  for (const char* folder : {"a", "Sub", "sub2"}) fs::create_directory(in + folder);
  const Lines ordered = {"a/z.pcd",   "A.pcd",    "a_1.pcd",  "b.pcd",     "Img10.pcd",
                         "img2.pcd", "imga.pcd", "img_3.pcd", "Sub/c.pcd", "sub2/B.PCD"};
  for (const std::string& name : {ordered[6], ordered[9], ordered[0], ordered[4], ordered[2], ordered[8],
                                  ordered[7], ordered[3], ordered[1], ordered[5]}) {
    input(name);
  }
  auto linesStarting = [](const RunResult& r, const std::string& head) {
    Lines found;
    for (const auto& line : r.lines) {
      if (line.rfind(head, 0) == 0) found.push_back(line.substr(head.size()));
    }
    return found;
  };

  RunResult r = run({"-d", "-i", in, "-o", out, "--filename-mask=%n%_%filename%.%ext%"});
  Lines processing, saving;
  int counter = 0;
  for (const std::string& name : ordered) {
    processing.push_back(in + name);
    const size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    const std::string base = name.substr(folder.size(), name.rfind('.') - folder.size());
    std::string number = std::to_string(++counter);
    number.insert(0, 5 - number.size(), '0');
    saving.push_back(out + folder + number + "_" + base + ".tiff");
  }
  EXPECT_EQ(linesStarting(r, "Processing: "), processing);
  EXPECT_EQ(linesStarting(r, "Saving As: "), saving);
  EXPECT_EQ(r.lines.back(), "Files converted: 10 of 10");

  // The same files named by a list in another order.
  std::string list;
  for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) list += in + *it + "\n";
  writeFile(tmp.path() + "list.txt", list);
  fs::create_directory(tmp.path() + "from-list");
  r = run({"-d", "-i", tmp.path() + "list.txt", "-o", tmp.path() + "from-list/"});
  EXPECT_EQ(linesStarting(r, "Processing: "), processing);
}

TEST_F(RunFixture, FileCounterCountsSuccessesOnly) {
  for (const char* base : {"a", "b", "c", "d"}) {
    deliver(base, 8, 8);
    input(std::string(base) + ".pcd");
  }
  fs::remove(program + "fake-targa/b.tga");  // b fails
  RunResult r = run({"-q", "-i", in, "-o", out, "--filename-mask=%n%.tif"});
  EXPECT_EQ(r.lines, Lines{});
  EXPECT_EQ(namesIn(out), (Lines{"00001.tif", "00002.tif", "00003.tif"}));
}

TEST_F(RunFixture, HostileFileNames) {
  ASSERT_TRUE(writeTarga(tmp.path() + "any.tga", 8, 8));
  converter.targa = tmp.path() + "any.tga";
  const Lines names = {"with space.pcd", "q\"uote's.pcd", "$(touch pwned).pcd", "new\nline.pcd",
                       "-dash.pcd", "M\xC3\xBCller \xE5\x86\x99.pcd"};
  for (const auto& n : names) input(n);
  RunResult r = run({"-q", "-i", in, "-o", out});
  EXPECT_EQ(r.lines, Lines{});
  Lines expected;
  for (const auto& n : names) expected.push_back(n.substr(0, n.size() - 3) + "tiff");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(namesIn(out), expected);
  EXPECT_FALSE(fs::exists(tmp.path() + "pwned"));
  EXPECT_FALSE(fs::exists(program + "pwned"));
  Lines asked;
  for (const auto& run : readFakeConverterRuns(program)) asked.push_back(run.at(3));
  for (const auto& n : names) {
    EXPECT_NE(std::find(asked.begin(), asked.end(), in + n + "[6]"), asked.end()) << n;
  }
}

TEST_F(RunFixture, BadInputsCountAsNotConverted) {
  deliver("good", 8, 8);
  writeFile(program + "fake-targa/garbage.tga", std::string(5000, '\x7f'));  // converter writes garbage
  writeFile(program + "fake-targa/nothing.tga", "");                         // an empty result
  input("good.pcd");
  input("garbage.pcd");
  input("nothing.pcd");
  input("truncated.pcd", std::string(2048, '\0') + "PCD_IPI");  // a PhotoCD cut short
  input("empty.pcd", "");                                         // never imported
  RunResult r = run({"-i", in, "-o", out});
  Lines tail(r.lines.end() - 2, r.lines.end());
  EXPECT_EQ(tail, (Lines{"Conversion complete", "Files converted: 1 of 4"}));
  EXPECT_EQ(namesIn(out), (Lines{"good.tiff"}));
}

TEST_F(RunFixture, CrashingConverterIsSurvived) {
  converter.crash = true;
  input("a.pcd");
  RunResult r = run({"-q", "-i", in, "-o", out});
  EXPECT_EQ(r.lines, (Lines{"Conversion stopped"}));
  EXPECT_EQ(readFakeConverterRuns(program).size(), 7u);  // every index tried

  // A converter that delivers and then crashes still delivered.
  ASSERT_TRUE(writeTarga(tmp.path() + "any.tga", 8, 8));
  converter.targa = tmp.path() + "any.tga";
  r = run({"-q", "-i", in, "-o", out});
  EXPECT_EQ(r.lines, Lines{});
  EXPECT_TRUE(readTiff(out + "a.tiff").has_value());
}

TEST_F(RunFixture, BlockedOutputPlacesFailWithoutHarm) {
  deliver("x", 8, 8);
  deliver("y", 8, 8);
  deliver("w", 8, 8);
  fs::create_directories(in + "2019");
  input("x.pcd");
  input("2019/y.pcd");
  input("w.pcd");
  writeFile(out + "2019", "a file where the sub-folder should go");
  fs::create_directory(out + "w.tiff");  // a folder where the output should go
  writeFile(out + "w.tiff/keep", "kept");
  RunResult r = run({"-i", in, "-o", out});
  Lines tail(r.lines.end() - 2, r.lines.end());
  EXPECT_EQ(tail, (Lines{"Conversion complete", "Files converted: 1 of 3"}));
  EXPECT_EQ(namesIn(out), (Lines{"2019", "w.tiff", "x.tiff"}));  // nothing half-written
  EXPECT_EQ(namesIn(out + "w.tiff"), (Lines{"keep"}));
}

TEST_F(RunFixture, UnwritableOutputFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  deliver("a", 8, 8);
  input("a.pcd");
  ::chmod(out.c_str(), 0555);
  RunResult r = run({"-q", "-i", in, "-o", out});
  ::chmod(out.c_str(), 0755);
  EXPECT_EQ(r.lines, (Lines{"Conversion stopped"}));
  EXPECT_EQ(namesIn(out), Lines{});
}

TEST_F(RunFixture, ListFileInput) {
  deliver("a", 8, 8);
  deliver("b", 8, 8);
  std::string a = input("a.pcd");
  fs::create_directory(tmp.path() + "more");
  writeFile(tmp.path() + "more/b.pcd", "x");
  writeFile(tmp.path() + "list.txt", "\xEF\xBB\xBF  " + a + "  \r\n\r\n" + tmp.path() + "more\r\n" +
                                         a + "\rno such file\n\t" + a + "\n");
  RunResult r = run({"-i", tmp.path() + "list.txt", "-o", out});
  EXPECT_EQ(afterBanner(r), (Lines{"Preparing...", "Importing...", "Import complete, new files added: 2",
                                   "Converting...", "Conversion complete", "Files converted: 2 of 2"}));
  // Files from a list keep no sub-folders.
  EXPECT_EQ(namesIn(out), (Lines{"a.tiff", "b.tiff"}));
}

TEST_F(RunFixture, Utf16ListFileAndProfile) {
  // As a Windows editor saves "Unicode" text: the list little-endian with
  // CR LF, the profile big-endian.
  deliver("M\xC3\xBCller", 8, 8);
  const std::string picture = input("M\xC3\xBCller.pcd");
  std::u16string list = u"  ";
  for (char c : in) list += static_cast<char16_t>(c);
  writeFile(tmp.path() + "list.txt", utf16Bytes(list + u"M\u00fcller.pcd\r\n", false));
  writeFile(tmp.path() + "p.ini", utf16Bytes(u"[CLI]\r\n--FILENAME-MASK=\u00a9-%filename%.%ext%\r\n", true));
  RunResult r = run({"-i", tmp.path() + "list.txt", "-o", out, "--profile=" + tmp.path() + "p.ini"});
  EXPECT_EQ(afterBanner(r), (Lines{"Preparing...", "Importing...", "Import complete, new files added: 1",
                                   "Converting...", "Conversion complete", "Files converted: 1 of 1"}));
  EXPECT_EQ(namesIn(out), Lines{"\xC2\xA9-M\xC3\xBCller.tiff"});
}

}  // namespace
}  // namespace quorbix::test
