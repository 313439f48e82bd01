#include "platform/text_case_system.h"

#include "base/ascii_text.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform::letter_case {
namespace {

// The text in UTF-16 when it is valid UTF-8 without a NUL (as on Linux, a
// NUL makes a text invalid); nothing otherwise.
bool toUtf16(std::string_view text, std::wstring& wide) {
  if (text.find('\0') != std::string_view::npos) return false;
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) return false;
  wide.assign(static_cast<size_t>(length), L'\0');
  return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length) == length;
}

// The length in bytes of the UTF-8 sequence that `lead` begins.
size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

}  // namespace

// Windows's own case mapping without a language's rules (the one its file
// systems use): every UTF-16 unit for one, so the length stays.
std::string mapped(std::string_view text, bool upper) {
  if (text.empty()) return std::string();
  std::wstring wide;
  if (!toUtf16(text, wide)) return upper ? upperAscii(text) : lowerAscii(text);
  const DWORD flags = upper ? LCMAP_UPPERCASE : LCMAP_LOWERCASE;
  const int size = static_cast<int>(wide.size());
  std::wstring out(wide.size(), L'\0');
  const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, flags, wide.data(), size, out.data(), size, nullptr,
                                     nullptr, 0);
  if (length <= 0) return upper ? upperAscii(text) : lowerAscii(text);
  out.resize(static_cast<size_t>(length));
  return narrowText(out);
}

size_t firstCharacterLength(std::string_view text) {
  std::wstring wide;
  return toUtf16(text, wide) ? sequenceLength(static_cast<unsigned char>(text.front())) : 1;
}

}  // namespace quorbix::platform::letter_case
