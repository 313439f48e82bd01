// Adds the coded differences of a 64Base extension to the picture predicted
// from 16Base. Layer i of the table of contents codes component i (luma,
// chroma 1, chroma 2), split into sequences of a fixed number of pixels. A
// sequence opens with the sync pattern FFFFFE and a 24-bit header:
//   2 bits spare, 2 bits component (0 luma, 1 and 2 chroma), 14 bits row in
//   the component's own rows, 1 bit spare, 4 bits the sequence's place in
//   its row, 1 bit spare,
// then one code per pixel. The pointers give the file of every sequence and
// where the coded data of a run of sequences in one file begins; within such
// a run the sequences follow one another.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "pcd/decode_repairs.h"
#include "pcd/extension_files.h"
#include "pcd/extension_info.h"
#include "pcd/plane.h"

namespace quorbix::pcd {

// The files the table of contents names, opened; indexed like its file list,
// with nullptr for a file no layer uses.
using ExtensionSources = std::vector<std::unique_ptr<ByteSource>>;

// Opens every file a layer uses; nothing when one of them is missing.
std::optional<ExtensionSources> openExtensionSources(const ExtensionInfo& info, const ExtensionFiles& files);

// `picture` holds the prediction (chroma at half size). Every sequence the
// table of contents announces should be there once; a luma-only extension
// leaves the chroma prediction as it is. Damaged data costs only the
// sequences it touches (see coded_row.h), and a sequence that is not there
// keeps its prediction; their rows are added to `repairs` (when given) under
// 64Base. False when the table of contents does not fit the picture.
bool addExtensionResiduals(const ExtensionInfo& info, const ExtensionSources& sources, YccPicture& picture,
                           DecodeRepairs* repairs = nullptr);

}  // namespace quorbix::pcd
