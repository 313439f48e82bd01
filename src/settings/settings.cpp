#include "settings/settings.h"

namespace quorbix {

Settings& globalSettings() {
  static Settings settings;
  return settings;
}

}  // namespace quorbix
