#include "platform/stop_registry.h"

#include <algorithm>
#include <atomic>

#include "platform/interruption.h"

namespace quorbix::platform {
namespace {

StopRegistry& registry() {
  static StopRegistry* const instance = new StopRegistry;
  return *instance;
}

std::atomic<void (*)()> firstOnStop{nullptr};

}  // namespace

StopRegistry& beginStop() {
  StopRegistry& r = registry();
  r.mutex.lock();  // never unlocked
  if (void (*action)() = firstOnStop.load()) action();
  return r;
}

std::string makeRemovedOnStop(const std::function<std::string()>& make) {
  StopRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::string path = make();
  if (!path.empty()) r.paths.push_back(path);
  return path;
}

void forgetRemovedOnStop(const std::string& path) {
  StopRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = std::find(r.paths.begin(), r.paths.end(), path);
  if (found != r.paths.end()) r.paths.erase(found);
}

long startEndedOnStop(const std::function<long()>& start) {
  StopRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  long process = start();
  if (process > 0) r.children.push_back(process);
  return process;
}

void forgetEndedOnStop(long process) {
  StopRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = std::find(r.children.begin(), r.children.end(), process);
  if (found != r.children.end()) r.children.erase(found);
}

void holdIfStopping() { std::lock_guard<std::mutex> lock(registry().mutex); }

void runFirstOnStop(void (*action)()) { firstOnStop = action; }

}  // namespace quorbix::platform
