#include "support/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "support/pty_runner.h"
#include "support/test_paths.h"

extern char** environ;

namespace quorbix::test {
namespace {

namespace fs = std::filesystem;

bool copyExecutable(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  if (ec) return false;
  fs::permissions(to, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                  fs::perm_options::replace, ec);
  return !ec;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& t : texts) result.push_back(t.data());
  result.push_back(nullptr);
  return result;
}

void writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;  // the program closed its input early (EPIPE)
    }
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

}  // namespace

std::string builtProgram() { return std::string(QUORBIX_BINARY_DIR) + "/quorbix"; }

std::string builtConverter() {
  for (const char* candidate : {"/convert", "/tools/convert"}) {
    std::string path = std::string(QUORBIX_BINARY_DIR) + candidate;
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) return path;
  }
  return "";
}

namespace {

class Running : public RunningProgram {
 public:
  ~Running() override {
    if (pid_ > 0 && !finished_) finish();
  }
  int pid() const override { return pid_; }
  RunResult finish() override;

  std::optional<TempFolder> ownFolder;  // the program's folder, unless given
  TempFolder home;                      // runtime/, cache/, tmp/ and stderr
  pid_t pid_ = -1;
  int outRead_ = -1;
  std::thread feeder_;
  std::chrono::steady_clock::time_point deadline_;
  bool finished_ = false;
  bool onTerminal = false;  // standard output and error are a pseudo-terminal
};

RunResult Running::finish() {
  RunResult result;
  finished_ = true;
  bool killed = false;
  char buffer[65536];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline_ - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      ::kill(pid_, SIGKILL);
      killed = true;
      break;
    }
    pollfd pfd{outRead_, POLLIN, 0};
    int ready = ::poll(&pfd, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    ssize_t n = ::read(outRead_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a terminal's end: EIO once no one has it open
    result.out.append(buffer, static_cast<size_t>(n));
  }
  ::close(outRead_);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  feeder_.join();
  if (!killed && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (!killed && WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.lines = splitLines(result.out);
  std::ifstream in(home.path() + "stderr", std::ios::binary);
  result.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  result.errLines = splitLines(result.err);
  // Standard error is captured, so a sanitizer's report would otherwise go
  // unseen: it fails the test that made the run.
  // On a terminal it lands among the output.
  const std::string& reports = onTerminal ? result.out : result.err;
  for (const char* report : {"Sanitizer", "runtime error:"}) {
    if (reports.find(report) != std::string::npos) ADD_FAILURE() << "sanitizer report:\n" << reports;
  }
  return result;
}

}  // namespace

std::unique_ptr<RunningProgram> startQuorbix(const std::vector<std::string>& args, const RunOptions& options) {
  // A closed stdin pipe must not kill the test process.
  ::signal(SIGPIPE, SIG_IGN);
  auto run = std::make_unique<Running>();

  std::string folder = options.programFolder;
  if (folder.empty()) {
    run->ownFolder.emplace();
    folder = run->ownFolder->path();
  }
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string program = folder + options.programName;
  if (!copyExecutable(builtProgram(), program)) return nullptr;
  if (options.withConverter && !builtConverter().empty()) {
    copyExecutable(builtConverter(), folder + "convert");
  }

  std::map<std::string, std::string> variables;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry(*e);
    size_t eq = entry.find('=');
    if (eq != std::string::npos) variables[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const char* name : {"runtime", "cache", "tmp"}) fs::create_directory(run->home.path() + name);
  variables["XDG_RUNTIME_DIR"] = run->home.path() + "runtime/";
  variables["XDG_CACHE_HOME"] = run->home.path() + "cache/";
  variables["TMPDIR"] = run->home.path() + "tmp/";
  // In a sanitizer build the leak checker's list of suppressions would end
  // up among the program's standard-error lines; real reports still do.
  std::string& leakOptions = variables["LSAN_OPTIONS"];
  leakOptions += leakOptions.empty() ? "print_suppressions=0" : ":print_suppressions=0";
  for (const auto& [name, value] : options.env) variables[name] = value;

  std::vector<std::string> argTexts{program};
  argTexts.insert(argTexts.end(), args.begin(), args.end());
  std::vector<std::string> envTexts;
  for (const auto& [name, value] : variables) envTexts.push_back(name + "=" + value);
  std::vector<char*> argv = pointers(argTexts);
  std::vector<char*> envp = pointers(envTexts);
  const std::string cwd = options.workingFolder.empty() ? folder : options.workingFolder;
  const std::string errPath = run->home.path() + "stderr";

  int inPipe[2], outPipe[2];
  PseudoTerminal terminal;
  if (options.terminalColumns > 0) {
    terminal = openPseudoTerminal(options.terminalColumns);
    if (terminal.master < 0) return nullptr;
    outPipe[0] = terminal.master;
    outPipe[1] = -1;
  } else if (::pipe2(outPipe, O_CLOEXEC) != 0) {
    return nullptr;
  }
  if (::pipe2(inPipe, O_CLOEXEC) != 0) {
    ::close(outPipe[0]);
    if (outPipe[1] >= 0) ::close(outPipe[1]);
    return nullptr;
  }
  const char* const terminalPath = terminal.slavePath.c_str();
  pid_t pid = ::fork();
  if (pid == 0) {
    // Child: only async-signal-safe calls from here on. A new session has no
    // controlling terminal, so waiting for a key reads standard input.
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) ::signal(s, SIG_DFL);
    for (int s : options.ignoredSignals) ::signal(s, SIG_IGN);
    ::dup2(inPipe[0], STDIN_FILENO);
    if (terminal.master >= 0) {
      int tty = ::open(terminalPath, O_RDWR | O_NOCTTY | O_CLOEXEC);
      if (tty < 0 || ::dup2(tty, STDOUT_FILENO) < 0 || ::dup2(tty, STDERR_FILENO) < 0) ::_exit(127);
    } else {
      ::dup2(outPipe[1], STDOUT_FILENO);
      int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      if (err < 0 || ::dup2(err, STDERR_FILENO) < 0) ::_exit(127);
    }
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(inPipe[0]);
  if (outPipe[1] >= 0) ::close(outPipe[1]);
  if (pid < 0) {
    ::close(inPipe[1]);
    ::close(outPipe[0]);
    return nullptr;
  }
  run->pid_ = pid;
  run->outRead_ = outPipe[0];
  run->onTerminal = terminal.master >= 0;
  run->deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  run->feeder_ = std::thread(writeAll, inPipe[1], options.stdinText);
  return run;
}

RunResult runQuorbix(const std::vector<std::string>& args, const RunOptions& options) {
  std::unique_ptr<RunningProgram> run = startQuorbix(args, options);
  return run ? run->finish() : RunResult{};
}

}  // namespace quorbix::test
