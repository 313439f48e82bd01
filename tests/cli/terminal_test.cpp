// Runs the built quorbix on a pseudo-terminal, as from an interactive shell:
// the title escape is written, the pause reads one key raw and unechoed from
// the terminal, and the terminal's mode is restored afterwards.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

struct TerminalRun {
  int exitCode = -1;
  std::string screen;    // everything the terminal received
  bool echoRestored = false;
};

// Reads from the master side until `needle` shows up, the child ends, or
// the time runs out.
bool readUntil(int master, std::string& screen, const std::string& needle, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (screen.find(needle) == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return false;
    pollfd pfd{master, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[4096];
    ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) return false;
    screen.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

TerminalRun runOnTerminal(const std::vector<std::string>& args, const std::string& waitFor,
                          const std::string& keys) {
  TerminalRun result;
  test::TempFolder folder, runtime;
  const std::string program = folder.path() + "quorbix";
  std::string copy = "cp '" + test::builtProgram() + "' '" + program + "'";
  if (std::system(copy.c_str()) != 0) return result;

  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return result;
  std::string slaveName = ::ptsname(master);
  std::vector<std::string> texts{program};
  texts.insert(texts.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& t : texts) argv.push_back(t.data());
  argv.push_back(nullptr);
  // Its own lock folder and temporary folder, as every run in the tests.
  std::string runtimeVariable = "XDG_RUNTIME_DIR=" + runtime.path();
  std::string cacheVariable = "XDG_CACHE_HOME=" + runtime.path();
  std::string temporaryVariable = "TMPDIR=" + folder.path();

  pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();
    int slave = ::open(slaveName.c_str(), O_RDWR);  // becomes the controlling terminal
    if (slave < 0) ::_exit(127);
    ::ioctl(slave, TIOCSCTTY, 0);
    ::dup2(slave, 0);
    ::dup2(slave, 1);
    ::putenv(runtimeVariable.data());
    ::putenv(cacheVariable.data());
    ::putenv(temporaryVariable.data());
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  bool waiting = readUntil(master, result.screen, waitFor, 20000);
  if (waiting) {
    // Give the program a moment to switch the terminal to raw mode.
    ::usleep(200000);
    ssize_t written = ::write(master, keys.data(), keys.size());
    (void)written;
  }
  // Reading fails once the program has ended and closed the terminal.
  readUntil(master, result.screen, "\x01never", 10000);
  int status = 0;
  for (int t = 0; t < 100 && ::waitpid(pid, &status, WNOHANG) == 0; ++t) ::usleep(50000);
  if (::waitpid(pid, &status, WNOHANG) == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  } else if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  }
  int slaveCheck = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios mode{};
  if (slaveCheck >= 0 && ::tcgetattr(slaveCheck, &mode) == 0) {
    result.echoRestored = (mode.c_lflag & ECHO) && (mode.c_lflag & ICANON);
  }
  if (slaveCheck >= 0) ::close(slaveCheck);
  ::close(master);
  return result;
}

TEST(Terminal, PauseReadsOneUnechoedKeyAndRestoresTheTerminal) {
  TerminalRun run = runOnTerminal({"-p", "-q", "-i", "missing.pcd"}, "Press any key to exit.", "z");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.screen.find("\x1b]0;Vellumora Quorbix 2.8\x07"), std::string::npos);
  EXPECT_EQ(run.screen.find('z'), std::string::npos) << run.screen;
  EXPECT_TRUE(run.echoRestored);
}

TEST(Terminal, ErrorPauseWaitsWithoutPrompt) {
  TerminalRun run = runOnTerminal({"-p", "-i"}, "Error: Incorrect number of parameters", "\x1b[A");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.screen.find("Press any key"), std::string::npos);
  EXPECT_TRUE(run.echoRestored);
}

TEST(Terminal, NoTitleWhenNothingIsAnswered) {
  TerminalRun run = runOnTerminal({"-d"}, "\x01never", "");
  EXPECT_TRUE(run.echoRestored);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.screen, "");
}

}  // namespace
}  // namespace quorbix
