// The watermark operation: a text or a picture rendered into a 32-bit block,
// then placed over the image by the shared placement.
#include <limits>
#include <utility>

#include "ops/image_watermark.h"
#include "ops/operations.h"
#include "ops/text_watermark.h"
#include "ops/watermark_composite.h"
#include "ops/watermark_placement.h"

namespace quorbix {

Bitmap watermarkImage(Bitmap image, int width, int height, const WatermarkOptions& settings,
                      const WatermarkInputs& inputs) {
  if (settings.watermark == WATERMARK_NONE || !image) return image;
  // Converted whether or not a watermark can be rendered.
  image = toRgb24(std::move(image));
  if (!image) return image;
  if (settings.watermark != WATERMARK_TEXT && settings.watermark != WATERMARK_IMAGE) return image;

  const bool text = settings.watermark == WATERMARK_TEXT;
  const WatermarkPlacement placement = text ? textPlacement(settings.text) : imagePlacement(settings.picture);
  const Room room = watermarkRoom(inputs.frame, placement.boundary, width, height);
  // A rotated watermark must be rendered whole before it is cropped.
  constexpr long long kUnlimited = std::numeric_limits<long long>::max();
  const Extent limit = rotatesWatermark(placement.rotation) ? Extent{kUnlimited, kUnlimited}
                                                            : visibleExtent(room, placement);

  Bitmap watermark;
  if (text) {
    RenderedText rendered = renderTextWatermark(settings.text, inputs.text, inputs.font, limit);
    // A font that fails at its size fails the file; a watermark that cannot
    // be rendered for any other reason is left out.
    if (rendered.fontFailed) return Bitmap();
    watermark = std::move(rendered.block);
  } else {
    watermark = renderImageWatermark(settings.picture, limit);
  }
  if (!watermark) return image;
  return placeWatermark(std::move(image), std::move(watermark), width, height, placement, room);
}

}  // namespace quorbix
