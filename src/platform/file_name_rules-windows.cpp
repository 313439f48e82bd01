#include "platform/file_name_rules.h"

#include "base/ascii_text.h"

namespace quorbix::platform {
namespace {

// The device names, which every folder holds whatever follows them after a
// dot: CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 (the digits ¹ ² ³
// too), CONIN$ and CONOUT$.
bool isDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string upper = upperAscii(stem);
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
      upper == "CONOUT$") {
    return true;
  }
  if (upper.size() < 4 || (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0)) return false;
  const std::string_view digit = std::string_view(upper).substr(3);
  return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xC2\xB9" || digit == "\xC2\xB2" ||
         digit == "\xC2\xB3";
}

}  // namespace

std::string unholdableNameReason(std::string_view name) {
  std::string reason = "\"";
  reason += name;
  reason += "\" ";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) {
      return reason + "holds a control character, which Windows does not allow in a name";
    }
    if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
      reason += "holds \"";
      reason += c;
      return reason + "\", which Windows does not allow in a name";
    }
  }
  if (isDeviceName(name)) return reason + "is a device name on Windows";
  if (!name.empty() && name.back() == '.') return reason + "ends in a dot, which Windows drops";
  if (!name.empty() && name.back() == ' ') return reason + "ends in a space, which Windows drops";
  return "";
}

}  // namespace quorbix::platform
