// What a TIFF says about its picture beyond the pixels: the sRGB profile of
// a colour picture and the facts of the Image Pac it came from, in the tags
// that common tools read.
//
//   colour (RGB, palette, JPEG's YCbCr): the sRGB ICC profile; XMP
//     exif:ColorSpace sRGB. Grey, bilevel and CMYK pictures get no profile
//     (exif:ColorSpace "uncalibrated"): their values are not sRGB colours,
//     and grey is left to the reader's default.
//   scan time:       XMP exif:DateTimeDigitized and xmp:CreateDate (UTC)
//   scanner:         TIFF Make and Model; XMP tiff:Make, tiff:Model,
//                    exifEX:BodySerialNumber, aux:SerialNumber, aux:Firmware
//   original:        XMP exif:FileSource (film or print scanner) and
//                    dc:source naming the kind of original and the film
//   picture number:  XMP aux:ImageNumber
//
// The EXIF facts go into the XMP packet, not into an EXIF directory: the
// TIFF reader of FreeImage 3.18 reads an EXIF directory after it has taken
// the ICC profile's address and before it copies the profile, so reading a
// TIFF with both uses freed memory - in every program built on it, this
// one's picture watermark included.
#pragma once

#include "image/tiff_memory.h"
#include "pcd/byte_buffer.h"
#include "pcd/image_pac_facts.h"

namespace quorbix {

// Sets the profile (for a colour picture) and the facts on `tiff`, a TIFF
// whose directory is being written and whose photometric interpretation is
// set. False when libtiff refused a tag.
bool setTiffMetadata(TIFF* tiff, const pcd::ImagePacFacts& facts);

// Adds the profile and the facts to the one-picture TIFF in `bytes`, as a
// TIFF writer left it. The pixels are not touched: the main directory is
// rewritten at the end. True when done or when there is nothing to add;
// false when the TIFF could not be read or written.
bool addTiffMetadata(pcd::ByteBuffer& bytes, const pcd::ImagePacFacts& facts);

}  // namespace quorbix
