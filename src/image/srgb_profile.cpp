#include "image/srgb_profile.h"

#include <lcms2.h>

#include <cstddef>
#include <cstdint>

namespace quorbix {
namespace {

constexpr char kDescription[] = "sRGB IEC61966-2.1";
constexpr char kCopyright[] = "No copyright, use freely. Made by Vellumora Quorbix with Little CMS.";
// Version 2.4, the first to have the chromatic adaptation tag that the
// profile carries.
constexpr double kVersion = 2.4;

// Header fields that Little CMS fills from the clock and from the system
// it was built for.
constexpr size_t kCreationDateOffset = 24;  // six big-endian 16-bit numbers
constexpr size_t kPlatformOffset = 40;
constexpr size_t kHeaderSize = 128;
constexpr uint16_t kCreationDate[6] = {2026, 12, 8, 0, 0, 0};

bool setText(cmsHPROFILE profile, cmsTagSignature tag, const char* text) {
  cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
  if (mlu == nullptr) return false;
  const bool ok = cmsMLUsetASCII(mlu, "en", "US", text) && cmsWriteTag(profile, tag, mlu);
  cmsMLUfree(mlu);
  return ok;
}

std::string save(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  if (!cmsSaveProfileToMem(profile, nullptr, &size) || size < kHeaderSize) return {};
  std::string bytes(size, '\0');
  if (!cmsSaveProfileToMem(profile, bytes.data(), &size) || size != bytes.size()) return {};
  return bytes;
}

std::string make() {
  cmsHPROFILE profile = cmsCreate_sRGBProfile();
  if (profile == nullptr) return {};
  std::string bytes;
  if (setText(profile, cmsSigProfileDescriptionTag, kDescription) && setText(profile, cmsSigCopyrightTag, kCopyright)) {
    cmsSetProfileVersion(profile, kVersion);
    bytes = save(profile);
  }
  cmsCloseProfile(profile);
  if (bytes.empty()) return bytes;
  // A version 2 profile has no ID (an MD5 over the header) that these
  // changes would have to follow.
  for (size_t i = 0; i < 6; ++i) {
    bytes[kCreationDateOffset + 2 * i] = static_cast<char>(kCreationDate[i] >> 8);
    bytes[kCreationDateOffset + 2 * i + 1] = static_cast<char>(kCreationDate[i] & 0xff);
  }
  bytes.replace(kPlatformOffset, 4, 4, '\0');  // no platform of its own
  return bytes;
}

}  // namespace

const std::string& srgbIccProfile() {
  static const std::string profile = make();
  return profile;
}

}  // namespace quorbix
