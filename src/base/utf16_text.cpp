#include "base/utf16_text.h"

namespace quorbix {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::optional<Utf16Order> utf16Order(std::string_view start) {
  using namespace std::string_view_literals;
  if (start.substr(0, 4) == "\xFF\xFE\x00\x00"sv) return std::nullopt;
  if (start.substr(0, 2) == "\xFF\xFE"sv) return Utf16Order::LittleEndian;
  if (start.substr(0, 2) == "\xFE\xFF"sv) return Utf16Order::BigEndian;
  return std::nullopt;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void Utf16Decoder::decode(std::string_view bytes, std::string& out) {
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!haveByte_) {
      firstByte_ = byte;
      haveByte_ = true;
      continue;
    }
    haveByte_ = false;
    take(static_cast<char16_t>(bigEndian_ ? (firstByte_ << 8 | byte) : (byte << 8 | firstByte_)), out);
  }
}

void Utf16Decoder::take(char16_t unit, std::string& out) {
  if (highSurrogate_ != 0) {
    if (isLowSurrogate(unit)) {
      appendUtf8(out, 0x10000 + ((char32_t{highSurrogate_} - 0xD800) << 10) + (unit - 0xDC00));
      highSurrogate_ = 0;
      return;
    }
    appendUtf8(out, kReplacement);
    highSurrogate_ = 0;
  }
  if (isHighSurrogate(unit)) {
    highSurrogate_ = unit;
  } else {
    appendUtf8(out, isLowSurrogate(unit) ? kReplacement : char32_t{unit});
  }
}

void Utf16Decoder::finish(std::string& out) {
  if (highSurrogate_ != 0) appendUtf8(out, kReplacement);
  highSurrogate_ = 0;
  haveByte_ = false;
}

std::string decodeUtf16(std::string_view bytes, Utf16Order order) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  Utf16Decoder decoder(order);
  decoder.decode(bytes, out);
  decoder.finish(out);
  return out;
}

}  // namespace quorbix
