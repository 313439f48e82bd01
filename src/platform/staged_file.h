// StagedFile: the program's one way of writing a file atomically. The file is
// written under a temporary name beside its final path and moved into place
// only when commit() succeeds, so whoever looks at the final path sees either
// nothing (or the earlier file) or the complete new file, never a
// half-written one, even if the writer dies midway.
//
// The temporary name is hidden (a leading dot; on Windows the hidden
// attribute too) and carries the run's process id
// (".quorbix-tmp-<pid>-XXXXXXXX"); the run holds it while it is open
// (platform/dead_runs.h); a stop of the run removes the file, and
// the first file staged in a folder removes there what runs that died left
// behind. One writer per object; nothing throws.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/memory_advice.h"

namespace quorbix::platform {

class StagedFile {
 public:
  StagedFile() = default;
  // Deletes the temporary file unless commit() succeeded.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Creates the temporary sibling of `finalPath` (same folder), new and
  // empty, with the permissions any newly written file gets. False when the
  // folder is not writable.
  bool open(const std::string& finalPath);
  // The temporary file's path; empty when none is open.
  const std::string& stagingPath() const { return stagingPath_; }

  bool write(const void* data, size_t length);
  // The temporary file as a C stream for reading and writing, with a buffer
  // of `bufferSize` bytes, for libraries that write through FILE*. It stays
  // this object's: commit() or abandon() closes it. nullptr when no file is
  // open or no stream can be had.
  std::FILE* stream(size_t bufferSize);

  enum class Flush { No, ToDisk };
  // Closes the temporary file and renames it over the final path; with
  // Flush::ToDisk only once the system reports its data on the disk (fsync),
  // so that after a power cut the final path never holds a partial file.
  // False (and the temporary file deleted) when a write, the flush or the
  // rename failed.
  bool commit(Flush flush = Flush::No);
  // Closes and deletes the temporary file (also done by the destructor).
  void abandon();

  // The system's error number (errno) of the first step that failed since
  // open(): 0 while none did. A full disk shows here as ENOSPC. For a write
  // through stream() that failed inside a library, `seen` is errno as the
  // caller found it right after the library gave up; 0 asks the system
  // once more.
  int systemError(int seen = 0);

 private:
  bool close();
  // Remembers errno as the reason of a failed step, unless one is known;
  // returns false for the caller to pass on.
  bool failed();

  int fd_ = -1;
  std::FILE* stream_ = nullptr;
  AlignedBlock buffer_;
  std::string finalPath_;
  std::string stagingPath_;
  int error_ = 0;
};

}  // namespace quorbix::platform
