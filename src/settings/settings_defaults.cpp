#include "settings/settings_defaults.h"

#include "base/product.h"
#include "platform/clock.h"

namespace quorbix {

void resetJobFields(Settings& settings) { settings.job = JobOptions(); }

void setDefaults(Settings& s) {
  // The defaults live in one place, the member initialisers of the groups;
  // each group of conversion settings is copied from a fresh one.
  s.load = LoadOptions();
  s.save = SaveOptions();
  s.rotate = RotateOptions();
  s.resize = ResizeOptions();
  s.flip = FlipOptions();
  s.adjust = AdjustOptions();
  s.greyscale = GreyscaleOptions();
  s.threshold = ThresholdOptions();
  s.frame = FrameOptions();
  s.watermark = WatermarkOptions();
  s.watermark.text.wmText = product::kOwnershipNotice;
  s.naming = NamingOptions();
  s.naming.fileTimestampCustom =
      static_cast<int32_t>(platform::dateValueFromUnix(platform::unixNow()));
}

}  // namespace quorbix
