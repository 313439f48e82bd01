#include "support/test_paths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace quorbix::test {

std::string samplesDir() {
  std::error_code ec;
  std::filesystem::path dir(QUORBIX_SAMPLES_DIR);
  if (std::filesystem::is_directory(dir, ec)) return std::filesystem::canonical(dir).string() + "/";
  return "";
}

#ifdef _WIN32
// Windows has no mkdtemp: a random name in the temporary folder, made anew
// until one is free.
TempFolder::TempFolder() {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return;
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "quorbix-test-";
    for (int i = 0; i < 8; ++i) name += "abcdefghijklmnopqrstuvwxyz0123456789"[device() % 36];
    const std::filesystem::path folder = base / name;
    if (std::filesystem::create_directory(folder, ec)) {
      path_ = folder.string() + "/";
      return;
    }
  }
}
#else
TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorbix-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (char* made = ::mkdtemp(buffer.data())) path_ = std::string(made) + "/";
}
#endif

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quorbix::test
