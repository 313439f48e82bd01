#include "platform/interruption.h"

#include <pthread.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "platform/stop_registry.h"
#include "platform/thread.h"

namespace quorbix::platform {
namespace {

// A stop waits this long for the converters to end after SIGTERM, then kills them.
constexpr int kGraceMilliseconds = 3000;

sigset_t handledSignals;  // written before the signal thread starts

// Whether `child` has ended (is a zombie); with `wait`, waits for that. The
// child is not reaped: its owner does that after forgetting it.
bool hasEnded(pid_t child, bool wait) {
  for (;;) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT | (wait ? 0 : WNOHANG)) == 0) {
      return wait || info.si_pid == child;
    }
    if (errno != EINTR) return true;  // no such child any more
  }
}

// SIGTERM to every child at once, then one grace time for all of them, then
// SIGKILL to those still there; waits for every one to end.
void endChildren(const std::vector<long>& processes) {
  const std::vector<pid_t> children(processes.begin(), processes.end());
  for (pid_t child : children) ::kill(child, SIGTERM);
  for (int waited = 0; waited < kGraceMilliseconds; waited += 10) {
    if (std::all_of(children.begin(), children.end(), [](pid_t child) { return hasEnded(child, false); })) return;
    sleepMilliseconds(10);
  }
  for (pid_t child : children) {
    if (!hasEnded(child, false)) ::kill(child, SIGKILL);
  }
  for (pid_t child : children) hasEnded(child, true);
}

void* waitForSignals(void*) {
  int received = 0;
  while (::sigwait(&handledSignals, &received) != 0) {
  }
  // From here on a signal takes its default action, on this thread, at once.
  for (int s : {SIGINT, SIGTERM, SIGHUP}) {
    if (::sigismember(&handledSignals, s) == 1) ::signal(s, SIG_DFL);
  }
  ::pthread_sigmask(SIG_UNBLOCK, &handledSignals, nullptr);

  StopRegistry& r = beginStop();
  endChildren(r.children);
  for (auto path = r.paths.rbegin(); path != r.paths.rend(); ++path) {
    std::error_code ignored;
    std::filesystem::remove_all(*path, ignored);  // does not follow symbolic links
  }
  ::raise(received);
  ::_exit(128 + received);  // not reached: the default action ends the process
}

}  // namespace

InterruptionHandling::InterruptionHandling() {
  sigset_t wanted;
  sigemptyset(&wanted);
  bool any = false;
  for (int s : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(s, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
      sigaddset(&wanted, s);
      any = true;
    }
  }
  if (!any) return;
  handledSignals = wanted;
  sigset_t previous;
  if (::pthread_sigmask(SIG_BLOCK, &wanted, &previous) != 0) return;
  pthread_t thread;
  if (::pthread_create(&thread, nullptr, waitForSignals, nullptr) != 0) {
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return;
  }
  ::pthread_detach(thread);
}

InterruptionHandling::~InterruptionHandling() { holdIfStopping(); }

}  // namespace quorbix::platform
