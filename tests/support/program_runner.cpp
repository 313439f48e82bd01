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
#include <map>
#include <optional>
#include <thread>

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

RunResult runQuorbix(const std::vector<std::string>& args, const RunOptions& options) {
  // A closed stdin pipe must not kill the test process.
  ::signal(SIGPIPE, SIG_IGN);
  RunResult result;

  std::optional<TempFolder> ownFolder;
  std::string folder = options.programFolder;
  if (folder.empty()) {
    ownFolder.emplace();
    folder = ownFolder->path();
  }
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string program = folder + options.programName;
  if (!copyExecutable(builtProgram(), program)) return result;
  if (options.withConverter && !builtConverter().empty()) {
    copyExecutable(builtConverter(), folder + "convert");
  }

  TempFolder runtimeFolder;
  std::map<std::string, std::string> variables;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry(*e);
    size_t eq = entry.find('=');
    if (eq != std::string::npos) variables[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  variables["XDG_RUNTIME_DIR"] = runtimeFolder.path();
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

  int inPipe[2], outPipe[2], errPipe[2];
  if (::pipe2(inPipe, O_CLOEXEC) != 0) return result;
  if (::pipe2(outPipe, O_CLOEXEC) != 0) {
    ::close(inPipe[0]);
    ::close(inPipe[1]);
    return result;
  }
  if (::pipe2(errPipe, O_CLOEXEC) != 0) {
    for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1]}) ::close(fd);
    return result;
  }
  pid_t pid = ::fork();
  if (pid == 0) {
    // Child: only async-signal-safe calls from here on. A new session has no
    // controlling terminal, so waiting for a key reads standard input.
    ::setsid();
    ::dup2(inPipe[0], STDIN_FILENO);
    ::dup2(outPipe[1], STDOUT_FILENO);
    ::dup2(errPipe[1], STDERR_FILENO);
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  if (pid < 0) {
    for (int fd : {inPipe[1], outPipe[0], errPipe[0]}) ::close(fd);
    return result;
  }

  std::thread feeder(writeAll, inPipe[1], options.stdinText);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  bool killed = false;
  char buffer[65536];
  // Both streams are read as they come, so that neither pipe fills up.
  pollfd streams[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* texts[2] = {&result.out, &result.err};
  while (streams[0].fd >= 0 || streams[1].fd >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      ::kill(pid, SIGKILL);
      killed = true;
      break;
    }
    int ready = ::poll(streams, 2, static_cast<int>(left));
    if (ready <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (streams[i].fd < 0 || streams[i].revents == 0) continue;
      ssize_t n = ::read(streams[i].fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ::close(streams[i].fd);
        streams[i].fd = -1;  // poll skips negative descriptors
        continue;
      }
      texts[i]->append(buffer, static_cast<size_t>(n));
    }
  }
  for (const pollfd& stream : streams) {
    if (stream.fd >= 0) ::close(stream.fd);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  feeder.join();
  if (!killed && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.lines = splitLines(result.out);
  result.errLines = splitLines(result.err);
  return result;
}

}  // namespace quorbix::test
