#include "platform/system_error.h"

#include <cerrno>
#include <system_error>

namespace quorbix::platform {

int lastSystemError() { return errno; }

std::string systemErrorText(int error) {
  if (error == 0) return "an unknown system error";
  // The generic category's message is the C library's text, and safe on any
  // thread (unlike strerror).
  return std::generic_category().message(error);
}

bool meansNoRoomToWrite(int error) {
#ifdef EDQUOT
  if (error == EDQUOT) return true;
#endif
  return error == ENOSPC || error == EROFS;
}

}  // namespace quorbix::platform
