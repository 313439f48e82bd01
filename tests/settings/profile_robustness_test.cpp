// Random and hostile input for the profile parser and the option loop: any
// bytes and any parameters give an answer, never a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "app/command_line.h"
#include "settings/profile_reader.h"
#include "settings/settings_defaults.h"

namespace quorbix {
namespace {

// Pieces that steer random input towards the interesting paths.
const char* const kPieces[] = {"[CLI]", "[cli", "]", "\r\n", "\r", "\n", "=", "\"", ";", " ", "\t",
                               "--WIDTH", "--WM-TEXT", "--FILENAME-MASK", "--PROFILE", "--GAMMA",
                               "--TIFF-COMPRESSION", "$", "%", "-", "nan", "\xEF\xBB\xBF", "\xC3",
                               "\xFF", "\x00", "99999999999999999999", "LZW"};

std::string randomText(std::mt19937& random, size_t pieces) {
  std::string text;
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces));
  for (size_t k = 0; k < pieces; ++k) {
    size_t choice = pick(random);
    if (choice == std::size(kPieces)) text += static_cast<char>(random() & 0xFF);
    else text += std::string(kPieces[choice], choice == 24 ? 1 : std::strlen(kPieces[choice]));
  }
  return text;
}

TEST(ProfileRobustness, RandomBytesParseAndApply) {
  std::mt19937 random(12345);
  size_t recognised = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = (round % 2 ? "[CLI]\n" : "\xEF\xBB\xBF[CLI]\n") + randomText(random, 40);
    Settings s;
    setDefaults(s);
    for (const ProfileEntry& entry : parseProfile(bytes)) {
      // Every text taken from a profile is whole lines' pieces: no line breaks.
      EXPECT_EQ(entry.key.find_first_of("\r\n"), std::string::npos);
      EXPECT_EQ(entry.value.find_first_of("\r\n"), std::string::npos);
      if (applyProfileEntry(entry, s)) ++recognised;
    }
  }
  // The generator does reach the key table.
  EXPECT_GT(recognised, 100u);
}

TEST(OptionLoopRobustness, RandomParametersGiveAnAnswer) {
  std::mt19937 random(777);
  const std::string options[] = {"-i", "-o", "-c", "--input=", "--width=", "--wm-text=", "--gamma=",
                                 "--profile=", "--invert", "-p", "-d", "--resize-algorithm="};
  for (int round = 0; round < 3000; ++round) {
    Parameters parameters;
    size_t count = random() % 8;
    for (size_t k = 0; k < count; ++k) {
      std::string p = random() % 2 ? options[random() % std::size(options)] : "";
      p += randomText(random, random() % 4);
      // Profiles named at random must not be found on disk.
      if (p.rfind("--profile=", 0) == 0) p += "/nonexistent";
      parameters.push_back(p);
    }
    Settings s;
    resetJobFields(s);
    setDefaults(s);
    std::string error = readOptions(parameters, s);
    EXPECT_TRUE(error.empty() || error == kIncorrectParameters || error == kInvalidProfile) << error;
  }
}

}  // namespace
}  // namespace quorbix
