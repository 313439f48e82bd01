// The font behind the opaque FontDescription on Windows: the GDI logical font
// as asked for. Each use creates its own GDI font from it, so one Font can be
// shared by threads. Only the drawing sources include this.
#pragma once

#include <windows.h>

namespace quorbix::drawing {

struct FontDescription {
  LOGFONTW logFont{};
};

}  // namespace quorbix::drawing
