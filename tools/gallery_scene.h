// The gallery scene of make-sample-pcd: a picture that shows at a glance what
// each operation does. A hue ramp, a grey wedge of sixteen steps, stripes
// that get finer to the left, a fan of fine lines, plain shapes, a small
// landscape with a sun and the word QUORBIX PCD in block letters (drawn here,
// no fonts), all on a light background. Nothing in it is symmetric, so every
// turn and flip can be told apart.
#pragma once

#include "pcd/pcd_layout.h"
#include "pcd/plane.h"

namespace quorbix::sample {

// The scene, landscape, at a level's size.
pcd::YccPicture galleryPicture(pcd::Level level);

}  // namespace quorbix::sample
