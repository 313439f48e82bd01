#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/interruption.h"

extern char** environ;

namespace quorbix::platform {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return "./" + name;  // an empty PATH entry is the current folder
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::string findProgram(const std::string& name, const std::string& firstFolder) {
  if (name.empty()) return "";
  if (!firstFolder.empty() && isExecutableFile(joined(firstFolder, name))) {
    return joined(firstFolder, name);
  }
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  std::string folders = path;
  size_t start = 0;
  for (;;) {
    size_t colon = folders.find(':', start);
    std::string folder = folders.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (isExecutableFile(joined(folder, name))) return joined(folder, name);
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return "";
}

int runProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  bool prepared = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
                  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0 &&
                  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0;
  // The child starts with no blocked signals (this process blocks the ones
  // its stop handling waits for) and default handling of SIGPIPE; a signal
  // ignored since the program started stays ignored, as for any program.
  sigset_t none;
  sigset_t defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  prepared = prepared && posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
             posix_spawnattr_setsigdefault(&attributes, &defaults) == 0 &&
             posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;

  // Started and known to a stop in one step, so a stop never misses it.
  const long child = !prepared ? -1 : startEndedOnStop([&]() -> long {
    pid_t pid = -1;
    return ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ) == 0 ? pid : -1;
  });
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (child <= 0) return -1;

  // Wait for its end without reaping it, so that a stop meanwhile can still
  // signal it; forgetting it waits for the end of the process after a stop.
  siginfo_t ended{};
  while (::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  forgetEndedOnStop(child);
  int status = 0;
  while (::waitpid(static_cast<pid_t>(child), &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace quorbix::platform
