#include "platform/process.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/interruption.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform {
namespace {

std::string joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return isPathSeparator(folder.back()) ? folder + name : folder + "\\" + name;
}

// "convert" is looked for as "convert.exe"; a name with an extension as it is.
std::string withExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  const size_t separator = name.find_last_of("\\/");
  const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  return hasExtension ? name : name + ".exe";
}

std::string environmentVariable(const wchar_t* name) {
  const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return "";
  std::wstring value(n, L'\0');
  const DWORD m = ::GetEnvironmentVariableW(name, value.data(), n);
  if (m == 0 || m >= n) return "";
  value.resize(m);
  return narrowText(value);
}

// One argument as the C runtime's command-line splitting gives it back:
// quoted when it is empty or holds white space or quotes; backslashes are
// doubled only before a quote (and before the closing one).
void appendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      line.append(backslashes * 2 + 1, L'\\');
    } else {
      line.append(backslashes, L'\\');
    }
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

}  // namespace

std::string findProgram(const std::string& name, const std::string& firstFolder) {
  if (name.empty()) return "";
  const std::string file = withExtension(name);
  if (!firstFolder.empty() && isFile(joined(firstFolder, file))) return joined(firstFolder, file);
  const std::string folders = environmentVariable(L"PATH");
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(';', start);
    if (end == std::string::npos) end = folders.size();
    std::string folder = folders.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') folder = folder.substr(1, folder.size() - 2);
    if (!folder.empty() && isFile(joined(folder, file))) return joined(folder, file);
    start = end + 1;
  }
  return "";
}

int runProgram(const std::string& program, const std::vector<std::string>& arguments) {
  const std::wstring application = widePath(program);
  // The program's own name is never split at backslashes: quoted whole.
  std::wstring line = L"\"" + application + L"\"";
  for (const std::string& argument : arguments) {
    line += L' ';
    appendQuoted(line, wideText(argument));
  }

  SECURITY_ATTRIBUTES inherited{};
  inherited.nLength = sizeof inherited;
  inherited.bInheritHandle = TRUE;
  HANDLE input = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                               nullptr);
  HANDLE output = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                                0, nullptr);
  if (input == INVALID_HANDLE_VALUE || output == INVALID_HANDLE_VALUE) {
    if (input != INVALID_HANDLE_VALUE) ::CloseHandle(input);
    if (output != INVALID_HANDLE_VALUE) ::CloseHandle(output);
    return -1;
  }
  // Exactly these two handles are inherited, whatever else this process
  // has open meanwhile on other threads (a C stream opened there would be
  // inheritable and could keep an output file busy).
  HANDLE inheritedHandles[2] = {input, output};
  SIZE_T listSize = 0;
  ::InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
  std::vector<unsigned char> listMemory(listSize);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listMemory.data());
  bool prepared = listSize > 0 && ::InitializeProcThreadAttributeList(list, 1, 0, &listSize);
  const bool listMade = prepared;
  prepared = prepared && ::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inheritedHandles,
                                                     sizeof inheritedHandles, nullptr, nullptr);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input;
  startup.StartupInfo.hStdOutput = output;
  startup.StartupInfo.hStdError = output;
  startup.lpAttributeList = list;

  // Detached: no console at all, so no window either, and no console host
  // started for every run (its streams are the NUL device anyway).
  PROCESS_INFORMATION started{};
  const long child = !prepared ? -1 : startEndedOnStop([&]() -> long {
    if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                          DETACHED_PROCESS | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                          nullptr, &startup.StartupInfo, &started)) {
      return -1;
    }
    return static_cast<long>(started.dwProcessId);
  });
  if (listMade) ::DeleteProcThreadAttributeList(list);
  ::CloseHandle(input);
  ::CloseHandle(output);
  if (child <= 0) return -1;
  ::CloseHandle(started.hThread);

  // The handle stays open until the end, so the id cannot be reused while a
  // stop may still look for it.
  ::WaitForSingleObject(started.hProcess, INFINITE);
  forgetEndedOnStop(child);
  DWORD code = 0;
  const bool known = ::GetExitCodeProcess(started.hProcess, &code) != 0;
  ::CloseHandle(started.hProcess);
  return known ? static_cast<int>(code) : -1;
}

}  // namespace quorbix::platform
