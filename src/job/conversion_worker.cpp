#include "job/conversion_worker.h"

#include <deque>

#include "convert/output_naming.h"
#include "job/job_progress.h"
#include "job/look_ahead.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folder_separator.h"

namespace quorbix {

int32_t ConversionWorker::run() {
  // As many helpers as files in work: while the worker waits for the oldest
  // file, all of them are being extracted; while it finishes one, the other
  // jobs_ - 1. With one job the worker does everything itself.
  LookAhead ahead(prepare_, jobs_ > 1 ? jobs_ : 0);
  // Files added to `ahead` and not finished yet, oldest first: at most
  // jobs_ of them, so at most that many pictures are held at once.
  std::deque<const InputSet::Entry*> inWork;
  auto finishOldest = [&] {
    const InputSet::Entry& entry = *inWork.front();
    inWork.pop_front();
    if (!stop_.empty()) {
      ahead.take();  // extracted ahead, but the run has ended
      return notTried(entry);
    }
    if (live_ != nullptr) live_->current.store(&entry.path, std::memory_order_relaxed);
    const FileOutcome outcome = finish(entry, ahead);
    if (live_ != nullptr) {
      (outcome.converted() ? live_->converted : live_->failed).fetch_add(1, std::memory_order_relaxed);
    }
    if (outcome.noRoomToWrite) {
      stop_ = outcome.reason;
      tally_.endedEarly = true;
    }
  };
  inputs_.forEach([&](const InputSet::Entry& entry) {
    if (!stop_.empty()) return notTried(entry);
    inWork.push_back(&entry);
    ahead.add(entry);
    if (inWork.size() >= static_cast<size_t>(jobs_)) finishOldest();
  });
  while (!inWork.empty()) finishOldest();
  return tally_.converted;
}

void ConversionWorker::count(const FileState& file, const FileOutcome& outcome) {
  if (outcome.converted()) {
    ++tally_.converted;
  } else if (outcome.status == FileStatus::Companion) {
    ++tally_.companions;
  } else {
    ++tally_.failed;
  }
  if (done_) done_(file, outcome);
}

void ConversionWorker::notTried(const InputSet::Entry& entry) {
  FileState file;
  file.inputFile = entry.path;
  file.relativeFolder = entry.relativeFolder;
  ++tally_.notTried;
  count(file, FileOutcome::failed("not tried: " + stop_));
}

FileOutcome ConversionWorker::finish(const InputSet::Entry& entry, LookAhead& ahead) {
  const bool debug = settings_.job.debug;
  // Nothing of the previous file reaches this one (its "Saving As" line
  // when it fails early shows only this file's values).
  FileState file;
  file.inputFile = entry.path;
  file.relativeFolder = entry.relativeFolder;
  file.targetBpp = run_.targetBpp;
  file.randomNumber = numbers_.randomNumber;
  file.fileCounter = numbers_.fileCounter;
  if (!settings_.naming.noSubfolders) createOutputSubfolders(settings_, file);
  if (debug) print_("Processing: " + file.inputFile);

  ConvertOneFile second = ahead.take();
  FileOutcome outcome = second ? second(file) : FileOutcome::failed("the conversion could not be prepared");
  if (!outcome.converted() && outcome.status != FileStatus::Companion && outcome.reason.empty()) {
    outcome.reason = "the conversion failed";
  }
  const bool ok = outcome.converted();
  if (debug) {
    // A file that failed before its output was named shows the path its
    // output would have had, not the previous file's.
    std::string shown = file.outputPath.empty() ? buildOutputPath(settings_, file)
                                                : file.outputPath;
    print_("Saving As: " + shown);
    print_(ok ? "OK" : "Not OK");
  }
  if (ok) {
    numbers_.randomNumber = random_();
    ++numbers_.fileCounter;
    // An output that was there already keeps its time too.
    if (outcome.status == FileStatus::Converted) applyFileTime(settings_, file);
  }
  count(file, outcome);
  return outcome;
}

void createOutputSubfolders(const Settings& settings, const FileState& file) {
  const std::string& output = settings.job.output;
  if (platform::isFolder(output + file.relativeFolder)) return;
  std::string path = output;
  size_t start = 0;
  for (size_t slash; (slash = platform::nextFolderSeparator(file.relativeFolder, start)) != std::string::npos;
       start = slash + 1) {
    path += file.relativeFolder.substr(start, slash - start + 1);
    if (!platform::isFolder(path)) platform::createFolder(path);
  }
}

void applyFileTime(const Settings& settings, const FileState& file) {
  if (file.outputPath.empty()) return;
  switch (settings.naming.fileTimestamp) {
    case TIMESTAMP_ORIGINAL:
      if (auto time = platform::lastWriteTime(file.inputFile)) {
        platform::setLastWriteTime(file.outputPath, *time);
      }
      break;
    case TIMESTAMP_CUSTOM:
      platform::setLastWriteTime(file.outputPath,
                                 platform::unixFromDateValue(settings.naming.fileTimestampCustom));
      break;
    default:
      break;
  }
}

}  // namespace quorbix
