#include "image/srgb_profile.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quorbix {
namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;  // rows

// IEC 61966-2-1: chromaticities of the primaries and of the D65 white.
constexpr double kPrimaries[3][2] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
constexpr double kWhite[2] = {0.3127, 0.3290};
// The profile connection space's white (D50) as ICC gives it.
constexpr Vector kD50 = {0.9642, 1.0, 0.8249};
// The Bradford transform from XYZ to its cone responses.
constexpr Matrix kBradford = {{{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};

constexpr size_t kCurvePoints = 1024;
constexpr char kDescription[] = "sRGB IEC61966-2.1";
constexpr char kCopyright[] = "No copyright, use freely. Written by Vellumora Quorbix from the sRGB definition.";

Vector xyzOf(double x, double y) { return {x / y, 1.0, (1.0 - x - y) / y}; }

Vector times(const Matrix& m, const Vector& v) {
  Vector out{};
  for (size_t r = 0; r < 3; ++r) out[r] = m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2];
  return out;
}

Matrix times(const Matrix& a, const Matrix& b) {
  Matrix out{};
  for (size_t r = 0; r < 3; ++r)
    for (size_t c = 0; c < 3; ++c) out[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
  return out;
}

Matrix inverse(const Matrix& m) {
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  Matrix out{};
  for (size_t r = 0; r < 3; ++r) {
    for (size_t c = 0; c < 3; ++c) {
      // Cofactor of (c, r), for the transposed adjugate.
      const size_t r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
      out[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
    }
  }
  return out;
}

// Linear sRGB to XYZ (D65), columns the primaries scaled so that 1, 1, 1 is
// the white.
Matrix rgbToXyz() {
  Matrix primaries{};
  for (size_t c = 0; c < 3; ++c) {
    const Vector p = xyzOf(kPrimaries[c][0], kPrimaries[c][1]);
    for (size_t r = 0; r < 3; ++r) primaries[r][c] = p[r];
  }
  const Vector scale = times(inverse(primaries), xyzOf(kWhite[0], kWhite[1]));
  for (size_t r = 0; r < 3; ++r)
    for (size_t c = 0; c < 3; ++c) primaries[r][c] *= scale[c];
  return primaries;
}

// Bradford adaptation from D65 to D50.
Matrix adaptationToD50() {
  const Vector from = times(kBradford, xyzOf(kWhite[0], kWhite[1]));
  const Vector to = times(kBradford, kD50);
  Matrix gain{};
  for (size_t i = 0; i < 3; ++i) gain[i][i] = to[i] / from[i];
  return times(inverse(kBradford), times(gain, kBradford));
}

// The sRGB decoding curve: encoded value to linear light.
double srgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

class Writer {
 public:
  void u8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
  void u16(uint32_t v) {
    u8(static_cast<uint8_t>(v >> 8));
    u8(static_cast<uint8_t>(v));
  }
  void u32(uint32_t v) {
    u16(v >> 16);
    u16(v & 0xffff);
  }
  void s15Fixed16(double v) { u32(static_cast<uint32_t>(static_cast<int32_t>(std::lround(v * 65536.0)))); }
  void signature(const char (&s)[5]) {
    for (size_t i = 0; i < 4; ++i) u8(static_cast<uint8_t>(s[i]));
  }
  void text(const char* s, size_t withNul) {
    for (size_t i = 0; i < withNul; ++i) u8(static_cast<uint8_t>(s[i]));
  }
  void zeros(size_t n) { bytes_.append(n, '\0'); }
  void padTo4() { zeros((4 - bytes_.size() % 4) % 4); }
  size_t size() const { return bytes_.size(); }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

std::string xyzTag(const Vector& xyz) {
  Writer w;
  w.signature("XYZ ");
  w.zeros(4);
  for (double v : xyz) w.s15Fixed16(v);
  return w.bytes();
}

std::string build() {
  struct Tag {
    const char* signature;
    std::string data;
  };
  std::vector<Tag> tags;

  Writer desc;  // textDescriptionType: ASCII, then empty Unicode and ScriptCode parts
  desc.signature("desc");
  desc.zeros(4);
  desc.u32(sizeof kDescription);
  desc.text(kDescription, sizeof kDescription);
  desc.u32(0);   // Unicode language
  desc.u32(0);   // Unicode count
  desc.u16(0);   // ScriptCode code
  desc.u8(0);    // ScriptCode count
  desc.zeros(67);
  tags.push_back({"desc", desc.bytes()});

  Writer cprt;
  cprt.signature("text");
  cprt.zeros(4);
  cprt.text(kCopyright, sizeof kCopyright);
  tags.push_back({"cprt", cprt.bytes()});

  tags.push_back({"wtpt", xyzTag(kD50)});

  const Matrix adaptation = adaptationToD50();
  Writer chad;
  chad.signature("sf32");
  chad.zeros(4);
  for (const Vector& row : adaptation)
    for (double v : row) chad.s15Fixed16(v);
  tags.push_back({"chad", chad.bytes()});

  const Matrix colorants = times(adaptation, rgbToXyz());
  const char* names[3] = {"rXYZ", "gXYZ", "bXYZ"};
  for (size_t c = 0; c < 3; ++c) tags.push_back({names[c], xyzTag({colorants[0][c], colorants[1][c], colorants[2][c]})});

  Writer curve;
  curve.signature("curv");
  curve.zeros(4);
  curve.u32(kCurvePoints);
  for (size_t i = 0; i < kCurvePoints; ++i) {
    const double linear = srgbToLinear(static_cast<double>(i) / static_cast<double>(kCurvePoints - 1));
    curve.u16(static_cast<uint32_t>(std::lround(linear * 65535.0)));
  }
  // The three channels share one curve.
  for (const char* name : {"rTRC", "gTRC", "bTRC"}) tags.push_back({name, curve.bytes()});

  constexpr size_t kHeaderSize = 128;
  const size_t tableSize = 4 + 12 * tags.size();
  std::vector<uint32_t> offsets;
  Writer data;  // tag data, each at a 4-byte boundary; the curves stored once
  for (size_t i = 0; i < tags.size(); ++i) {
    if (i > 0 && tags[i].data == tags[i - 1].data) {
      offsets.push_back(offsets.back());
      continue;
    }
    data.padTo4();
    offsets.push_back(static_cast<uint32_t>(kHeaderSize + tableSize + data.size()));
    data.bytes() += tags[i].data;
  }
  data.padTo4();
  const uint32_t total = static_cast<uint32_t>(kHeaderSize + tableSize + data.size());

  Writer out;
  out.u32(total);
  out.u32(0);            // preferred CMM: none
  out.u32(0x02400000);   // version 2.4
  out.signature("mntr");
  out.signature("RGB ");
  out.signature("XYZ ");
  // Creation date, fixed so that every build writes the same bytes.
  for (uint32_t v : {2026u, 12u, 8u, 0u, 0u, 0u}) out.u16(v);
  out.signature("acsp");
  out.zeros(4 + 4 + 4 + 4 + 8);  // platform, flags, device maker and model, attributes
  out.u32(0);                    // rendering intent: perceptual
  for (double v : kD50) out.s15Fixed16(v);
  out.zeros(4 + 16 + 28);        // creator, profile id, reserved
  out.u32(static_cast<uint32_t>(tags.size()));
  for (size_t i = 0; i < tags.size(); ++i) {
    out.text(tags[i].signature, 4);
    out.u32(offsets[i]);
    out.u32(static_cast<uint32_t>(tags[i].data.size()));
  }
  return out.bytes() + data.bytes();
}

}  // namespace

const std::string& srgbIccProfile() {
  static const std::string profile = build();
  return profile;
}

}  // namespace quorbix
