// Random letters and digits for the names the program makes on Windows
// (the temporary folder, the staged file). Unpredictable enough for a name;
// creating with "exclusive" keeps a collision harmless. One case only:
// Windows names ignore case. Only the *-windows.cpp sources include this.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>

namespace quorbix::platform {

inline std::string randomName(size_t length) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<unsigned> counter{0};
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  unsigned long long mix = static_cast<unsigned long long>(now.QuadPart) ^
                           (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                           (static_cast<unsigned long long>(++counter) * 2654435761u);
  std::string name;
  for (size_t i = 0; i < length; ++i) {
    mix = mix * 6364136223846793005ull + 1442695040888963407ull;
    name += kLetters[(mix >> 33) % (sizeof kLetters - 1)];
  }
  return name;
}

}  // namespace quorbix::platform
