#include "platform/interruption.h"

#include <vector>

#include "platform/stop_registry.h"
#include "platform/tree_removal-windows.h"

namespace quorbix::platform {
namespace {

// Ctrl+C, Ctrl+Break, a closed console window, log-off or shut-down: runs
// on a thread the system starts for it.
BOOL WINAPI onConsoleControl(DWORD) {
  StopRegistry& r = beginStop();
  // The converters have no console, so the Ctrl+C never reached them.
  std::vector<HANDLE> running;
  for (long child : r.children) {
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(child));
    if (process == nullptr) continue;
    ::TerminateProcess(process, STATUS_CONTROL_C_EXIT);
    running.push_back(process);
  }
  for (HANDLE process : running) {
    ::WaitForSingleObject(process, INFINITE);
    ::CloseHandle(process);
  }
  for (auto path = r.paths.rbegin(); path != r.paths.rend(); ++path) removeTree(*path);
  ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace

InterruptionHandling::InterruptionHandling() { ::SetConsoleCtrlHandler(onConsoleControl, TRUE); }

InterruptionHandling::~InterruptionHandling() { holdIfStopping(); }

}  // namespace quorbix::platform
