#include "gallery_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pcd_writer/pcd_writer.h"

namespace quorbix::sample {

namespace {

// The scene is laid out on a 768 x 512 grid (the Base size) and scaled to
// the level; each pixel is the mean of 2 x 2 samples.
constexpr double kSceneWidth = 768.0;
constexpr double kSceneHeight = 512.0;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

const Rgb kPaper{236, 232, 222};
const Rgb kInk{28, 36, 84};

// Fully saturated colour of a hue from 0 to 1 (red, yellow, green, cyan,
// blue, magenta and back to red).
Rgb hue(double h) {
  const double k = 6.0 * (h - std::floor(h));
  const int sector = static_cast<int>(k);
  const double f = k - sector;
  switch (sector) {
    case 0: return {255, 255 * f, 0};
    case 1: return {255 * (1 - f), 255, 0};
    case 2: return {0, 255, 255 * f};
    case 3: return {0, 255 * (1 - f), 255};
    case 4: return {255 * f, 0, 255};
    default: return {255, 0, 255 * (1 - f)};
  }
}

// Block letters on a 5 x 7 grid, one row of five bits per line, top row first.
struct Glyph {
  char letter;
  uint8_t rows[7];
};

constexpr Glyph kGlyphs[] = {
    {'Q', {0x0e, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0d}}, {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0e}},
    {'O', {0x0e, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0e}}, {'R', {0x1e, 0x11, 0x11, 0x1e, 0x14, 0x12, 0x11}},
    {'B', {0x1e, 0x11, 0x11, 0x1e, 0x11, 0x11, 0x1e}}, {'I', {0x0e, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0e}},
    {'X', {0x11, 0x11, 0x0a, 0x04, 0x0a, 0x11, 0x11}}, {'P', {0x1e, 0x11, 0x11, 0x1e, 0x10, 0x10, 0x10}},
    {'C', {0x0e, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0e}}, {'D', {0x1c, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1c}},
};

constexpr char kWord[] = "QUORBIX PCD";
constexpr double kCell = 8.0;          // one dot of a letter
constexpr double kPitch = 6 * kCell;   // letter to letter
constexpr double kWordTop = 444.0;
constexpr double kWordLeft = (kSceneWidth - (sizeof(kWord) - 1) * kPitch + kCell) / 2;

bool inWord(double x, double y) {
  const int column = static_cast<int>(std::floor((x - kWordLeft) / kCell));
  const int row = static_cast<int>(std::floor((y - kWordTop) / kCell));
  if (column < 0 || row < 0 || row >= 7) return false;
  const int letter = column / 6, dot = column % 6;
  if (letter >= static_cast<int>(sizeof(kWord) - 1) || dot == 5) return false;
  for (const Glyph& g : kGlyphs)
    if (g.letter == kWord[letter]) return (g.rows[row] >> (4 - dot) & 1) != 0;
  return false;
}

// The hue ramp: pale at the top, saturated at its foot.
Rgb hueRamp(double x, double y) { return mix({255, 255, 255}, hue(x / kSceneWidth), std::pow(y / 88.0, 0.6)); }

// Sixteen grey steps from black to white.
Rgb greyWedge(double x) {
  const double level = 17.0 * std::min(15, static_cast<int>(x / 48.0));
  return {level, level, level};
}

// Stripes whose period grows from 2 at the left to 16 at the right.
Rgb stripes(double x) {
  const double period = 2.0 + 14.0 * x / kSceneWidth;
  return std::fmod(x, period) < period / 2 ? Rgb{20, 20, 20} : Rgb{245, 245, 245};
}

// A fan of 48 black and white wedges meeting in one point.
bool inFan(double x, double y, Rgb& out) {
  const double dx = x - 144.0, dy = y - 292.0;
  const double radius = std::hypot(dx, dy);
  if (radius > 124.0) return false;
  if (radius > 120.0) {
    out = kInk;
  } else {
    const double turn = (std::atan2(dy, dx) + kPi) / (2 * kPi);
    out = static_cast<int>(turn * 48) % 2 == 0 ? Rgb{15, 15, 15} : Rgb{250, 250, 250};
  }
  return true;
}

bool inTriangle(double x, double y, double ax, double ay, double bx, double by, double cx, double cy) {
  const auto side = [&](double px, double py, double qx, double qy) { return (qx - px) * (y - py) - (qy - py) * (x - px); };
  const double s1 = side(ax, ay, bx, by), s2 = side(bx, by, cx, cy), s3 = side(cx, cy, ax, ay);
  return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

// A red disc, a blue square, a green triangle and an orange diamond.
bool inShapes(double x, double y, Rgb& out) {
  if (std::hypot(x - 340.0, y - 214.0) < 44.0) {
    out = {220, 40, 40};
  } else if (x >= 410.0 && x < 490.0 && y >= 172.0 && y < 252.0) {
    out = {40, 80, 200};
  } else if (inTriangle(x, y, 300.0, 408.0, 396.0, 408.0, 348.0, 292.0)) {
    out = {40, 170, 70};
  } else if (std::fabs(x - 452.0) + std::fabs(y - 350.0) < 48.0) {
    out = {240, 150, 30};
  } else {
    return false;
  }
  return true;
}

// A framed landscape: sky, a sun with a halo, two green hills.
bool inLandscape(double x, double y, Rgb& out) {
  if (x < 512.0 || x >= 752.0 || y < 168.0 || y >= 416.0) return false;
  if (x < 515.0 || x >= 749.0 || y < 171.0 || y >= 413.0) {
    out = kInk;
    return true;
  }
  const double hill = 352.0 - 56.0 * std::exp(-std::pow((x - 580.0) / 56.0, 2)) - 30.0 * std::exp(-std::pow((x - 705.0) / 44.0, 2));
  if (y >= hill) {
    out = mix({70, 150, 60}, {20, 70, 30}, std::min(1.0, (y - hill) / 70.0));
    return true;
  }
  out = mix({50, 100, 185}, {200, 222, 240}, (y - 171.0) / (352.0 - 171.0));
  const double sun = std::hypot(x - 690.0, y - 224.0);
  if (sun < 20.0) {
    out = {255, 250, 225};
  } else if (sun < 52.0) {
    out = mix(out, {255, 205, 110}, 1.0 - (sun - 20.0) / 32.0);
  }
  return true;
}

Rgb scene(double x, double y) {
  if (y < 88.0) return hueRamp(x, y);
  if (y < 136.0) return greyWedge(x);
  if (y < 152.0) return stripes(x);
  Rgb c;
  if (inFan(x, y, c) || inShapes(x, y, c) || inLandscape(x, y, c)) return c;
  return inWord(x, y) ? kInk : kPaper;
}

}  // namespace

pcd::YccPicture galleryPicture(pcd::Level level) {
  const int w = pcd::levelWidth(level);
  const int h = pcd::levelHeight(level);
  pcd::YccPicture full{pcd::Plane(w, h), pcd::Plane(w, h), pcd::Plane(w, h)};
  const double sx = kSceneWidth / w, sy = kSceneHeight / h;
  for (int py = 0; py < h; ++py) {
    for (int px = 0; px < w; ++px) {
      Rgb sum{0, 0, 0};
      for (int sub = 0; sub < 4; ++sub) {
        const Rgb c = scene((px + 0.25 + 0.5 * (sub % 2)) * sx, (py + 0.25 + 0.5 * (sub / 2)) * sy);
        sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
      }
      const auto channel = [](double v) { return std::clamp(static_cast<int>(std::lround(v / 4)), 0, 255); };
      pcd_writer::srgbToYcc(channel(sum.r), channel(sum.g), channel(sum.b), full.luma.row(py)[px], full.chroma1.row(py)[px],
                            full.chroma2.row(py)[px]);
    }
  }
  pcd::YccPicture halved = pcd_writer::halvePicture(full);
  return pcd::YccPicture{std::move(full.luma), std::move(halved.chroma1), std::move(halved.chroma2)};
}

}  // namespace quorbix::sample
