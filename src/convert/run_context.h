// What a run derives from its settings, and the state of one file's
// conversion.
//
// RunContext is built once by the job's preparation on the main thread,
// before any background thread exists, and is only read afterwards.
// FileState is made by the worker for each file and belongs to that file's
// conversion alone; nothing of it outlives the file but the running counter
// and random number, which the worker keeps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "drawing/font.h"
#include "pcd/ycc_to_srgb.h"

namespace quorbix {

struct RunContext {
  std::string programFolder;   // folder of the executable, ends in a separator
  std::string inputFile;       // the job's input when -i names one file, else empty
  std::string inputFormat;
  int32_t outputFormatId = 0;  // FREE_IMAGE_FORMAT of CONVERSION
  int32_t targetBpp = 0;       // 0: each file keeps its depth (keepSourceDepth)
  bool keepSourceDepth = false;
  int32_t saveFlags = 0;
  int32_t jobs = 1;            // files in work at once (--jobs, else the processors, at most 16)
  pcd::ToneRendering tone = pcd::ToneRendering::Display;  // --pcd-tone
  std::shared_ptr<drawing::Font> watermarkFont;  // set for a text watermark
};

struct FileState {
  std::string inputFile;       // the file being converted
  std::string relativeFolder;  // sub-folder below the input folder, ends in a separator, or empty
  std::string outputPath;      // set once the output's name is known
  int32_t sourceDepth = 0;     // bits per pixel as extracted
  int32_t targetBpp = 0;       // the run's, or settled from sourceDepth when the run keeps it
  int32_t resizedWidth = 0;    // size after resizing ("%width%", "%height%")
  int32_t resizedHeight = 0;
  int32_t randomNumber = 1;    // "%rnd%"
  int32_t fileCounter = 1;     // "%n%"
};

}  // namespace quorbix
