#include "platform/thread.h"

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

int onlineProcessorCount() {
  const DWORD count = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return count < 1 ? 1 : count > 4096 ? 4096 : static_cast<int>(count);
}

void sleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace quorbix::platform
