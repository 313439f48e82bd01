// What a TIFF says about its picture beyond the pixels: the sRGB profile of
// a colour picture and the facts of the Image Pac it came from, in the tags
// that common tools read.
//
//   colour (RGB, palette, JPEG's YCbCr): the sRGB ICC profile, EXIF
//     ColorSpace sRGB. Grey, bilevel and CMYK pictures get no profile (EXIF
//     ColorSpace "uncalibrated" when there is an EXIF directory): their
//     values are not sRGB colours, and grey is left to the reader's default.
//   scan time:       EXIF DateTimeDigitized (UTC) with OffsetTimeDigitized
//                    "+00:00"; XMP xmp:CreateDate
//   scanner:         TIFF Make and Model; EXIF BodySerialNumber; XMP
//                    tiff:Make, tiff:Model, aux:SerialNumber, aux:Firmware
//   original:        EXIF FileSource (film or print scanner); XMP dc:source
//                    naming the kind of original and the film's product
//   picture number:  XMP aux:ImageNumber
#pragma once

#include <cstdio>

#include "pcd/image_pac_facts.h"

namespace quorbix {

// Adds the profile and the facts to the one-picture TIFF that `stream`
// holds (open for reading and writing; the TIFF writer has finished with
// it). The pixels are not touched: the new directories are appended and the
// first one re-linked. True when done or when there is nothing to add;
// false when the file could not be read or written.
bool addTiffMetadata(std::FILE* stream, const pcd::ImagePacFacts& facts);

}  // namespace quorbix
