#include "platform/instance_lock.h"

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

// A named mutex, created already owned, in this logon session's namespace:
// another session (another user) has its own. Its handle is not inherited,
// so the converter never keeps it. Windows handles keep their meaning in 32
// bits (HandleToLong), which the stored int holds.
std::unique_ptr<InstanceLock> InstanceLock::acquire(const std::string& name, Outcome& outcome) {
  outcome = Outcome::HeldElsewhere;
  // "\" would name a namespace; the rest of the name is taken as it is.
  std::wstring wide = wideText(name);
  for (wchar_t& c : wide) {
    if (c == L'\\') c = L'_';
  }
  HANDLE mutex = ::CreateMutexW(nullptr, TRUE, wide.c_str());
  if (mutex == nullptr) return nullptr;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return nullptr;
  }
  outcome = Outcome::Taken;
  return std::unique_ptr<InstanceLock>(new InstanceLock(static_cast<int>(::HandleToLong(mutex))));
}

InstanceLock::~InstanceLock() {
  HANDLE mutex = ::LongToHandle(fd_);
  ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
}

}  // namespace quorbix::platform
