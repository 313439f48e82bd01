#include "job/conversion_worker.h"

#include "convert/output_naming.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace quorbix {

int32_t ConversionWorker::run() {
  const bool debug = settings_.debug;
  int32_t successes = 0;
  inputs_.forEach([&](const InputSet::Entry& entry) {
    settings_.inputFile = entry.path;
    settings_.relativeFolder = entry.relativeFolder;
    if (!settings_.noSubfolders) createOutputSubfolders(settings_);
    if (debug) print_("Processing: " + settings_.inputFile);

    // Per-file values of the previous file must not leak into this one's
    // "Saving As" line when it fails early.
    settings_.outputPath.clear();
    settings_.resizedWidth = 0;
    settings_.resizedHeight = 0;
    bool ok = convert_(settings_);
    if (debug) {
      // A file that failed before its output was named shows the path its
      // output would have had, not the previous file's.
      std::string shown = settings_.outputPath.empty() ? buildOutputPath(settings_)
                                                       : settings_.outputPath;
      print_("Saving As: " + shown);
      print_(ok ? "OK" : "Not OK");
    }
    if (!ok) return;
    ++successes;
    settings_.randomNumber = random_();
    ++settings_.fileCounter;
    applyFileTime(settings_);
  });
  return successes;
}

void createOutputSubfolders(const Settings& settings) {
  if (platform::isFolder(settings.output + settings.relativeFolder)) return;
  std::string path = settings.output;
  size_t start = 0;
  for (size_t slash; (slash = settings.relativeFolder.find('/', start)) != std::string::npos;
       start = slash + 1) {
    path += settings.relativeFolder.substr(start, slash - start + 1);
    if (!platform::isFolder(path)) platform::createFolder(path);
  }
}

void applyFileTime(const Settings& settings) {
  if (settings.outputPath.empty()) return;
  switch (settings.fileTimestamp) {
    case TIMESTAMP_ORIGINAL:
      if (auto time = platform::lastWriteTime(settings.inputFile)) {
        platform::setLastWriteTime(settings.outputPath, *time);
      }
      break;
    case TIMESTAMP_CUSTOM:
      platform::setLastWriteTime(settings.outputPath,
                                 platform::unixFromDateValue(settings.fileTimestampCustom));
      break;
    default:
      break;
  }
}

}  // namespace quorbix
