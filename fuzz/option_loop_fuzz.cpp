// Fuzz target for the option loop: the input is the parameter list, cut at
// NUL bytes into parameters, read into fresh settings. --profile can name
// the four profiles the target writes at start into a private folder,
// the current folder while the options are read: "a" (ISO 8859-1), "b" (UTF-8 with its
// mark), "c" (UTF-16 little-endian) and "d" (UTF-16 big-endian). Inputs
// with a "/" in a parameter are skipped, so no other file is ever read. The
// answer must be one of the loop's two error texts or none.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/command_line.h"
#include "settings/settings_defaults.h"
#include "text_fuzz_support.h"

namespace {

std::string privateFolder;
int startFolder = -1;  // the current folder the fuzzer was started in

void removePrivateFolder() {
  std::error_code ec;
  std::filesystem::remove_all(privateFolder, ec);
}

void writeFile(const std::string& name, const std::string& bytes) {
  std::ofstream(privateFolder + name, std::ios::binary) << bytes;
}

std::string utf16(const std::string& ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/option-loop-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  startFolder = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (startFolder < 0) std::abort();
  privateFolder = pattern + "/";
  std::atexit(removePrivateFolder);
  const std::string options =
      "[CLI]\r\n--JPG-QUALITY=80\r\n--WM-TEXT=\"(c) 2024\"\r\n--FILENAME-MASK=\"%filename%-%n%\"\r\n"
      "--RESIZE-ALGORITHM = LANCZOS\r\n--WIDTH=1024\r\n--KEEP-ASPECT-RATIO\r\n--WM-SOLID-OPACITY=50\r\n";
  writeFile("a", options + "--WM-FONT=Caf\xE9\r\n");
  writeFile("b", "\xEF\xBB\xBF" + options + "--WM-FONT=Caf\xC3\xA9\r\n");
  writeFile("c", utf16(options, false));
  writeFile("d", utf16(options, true));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorbix;
  Parameters parameters = fuzz::splitAtNul(data, size);
  for (const std::string& p : parameters) {
    if (p.find('/') != std::string::npos) return 0;
  }
  Settings settings;
  resetJobFields(settings);
  setDefaults(settings);
  if (::chdir(privateFolder.c_str()) != 0) std::abort();
  const std::string error = readOptions(parameters, settings);
  if (::fchdir(startFolder) != 0) std::abort();
  fuzz::require(error.empty() || error == kIncorrectParameters || error == kInvalidProfile);
  return 0;
}
