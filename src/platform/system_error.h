// The system's error numbers (errno values, on every system the program is
// built for) in words, and which of them mean the output cannot take any
// more files. The one place where system errors become text.
#pragma once

#include <string>

namespace quorbix::platform {

// The error number of the last failed C library or system call of this
// thread (errno).
int lastSystemError();

// The system's message for `error` ("No space left on device"); a generic
// text for 0.
std::string systemErrorText(int error);

// True when `error` says no file can be written there any more: the disk
// or the user's quota is full, or the file system is read-only.
bool meansNoRoomToWrite(int error);

}  // namespace quorbix::platform
