#include "platform/interruption.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/tree_removal-windows.h"

namespace quorbix::platform {
namespace {

// What a stop undoes. The mutex is held while an item is made or forgotten;
// a stop takes it and never gives it back, so from then on nothing new is
// made and every thread that comes here waits for the end of the process.
// Never destroyed: the console's control thread may use it until the end.
struct Registry {
  std::mutex mutex;
  std::vector<std::string> paths;
  std::vector<long> children;  // process ids
};

Registry& registry() {
  static Registry* const instance = new Registry;
  return *instance;
}

std::atomic<void (*)()> firstOnStop{nullptr};

// Ctrl+C, Ctrl+Break, a closed console window, log-off or shut-down: runs
// on a thread the system starts for it.
BOOL WINAPI onConsoleControl(DWORD) {
  Registry& r = registry();
  r.mutex.lock();  // never unlocked
  if (void (*action)() = firstOnStop.load()) action();
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

std::string makeRemovedOnStop(const std::function<std::string()>& make) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::string path = make();
  if (!path.empty()) r.paths.push_back(path);
  return path;
}

void forgetRemovedOnStop(const std::string& path) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = std::find(r.paths.begin(), r.paths.end(), path);
  if (found != r.paths.end()) r.paths.erase(found);
}

long startEndedOnStop(const std::function<long()>& start) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  long process = start();
  if (process > 0) r.children.push_back(process);
  return process;
}

void forgetEndedOnStop(long process) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = std::find(r.children.begin(), r.children.end(), process);
  if (found != r.children.end()) r.children.erase(found);
}

void holdIfStopping() { std::lock_guard<std::mutex> lock(registry().mutex); }

void runFirstOnStop(void (*action)()) { firstOnStop = action; }

}  // namespace quorbix::platform
