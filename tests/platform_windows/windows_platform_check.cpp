// Checks of the Windows platform sources, run under Wine as the CTest test
// windows_platform_check of the Windows build. A plain program, as it starts
// itself in the modes below; a failed check prints its line and the program
// exits 1.
//
// Modes: no argument runs every check; "child <file> <arguments...>" writes
// its arguments as wmain has them (the converter's split) to <file>, one per
// line, and exits with 7 (8 when the start name is not wmain's); "split
// <file> ..." writes those of programArguments (the program's own split)
// and exits with 7; "try-lock <name>" exits 0 when
// it takes the instance lock <name>, 3 when another process holds it;
// "print" prints two lines on standard output and one on standard error.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_stream.h"
#include "platform/folder_lookup.h"
#include "platform/folder_separator.h"
#include "platform/file_system.h"
#include "platform/instance_lock.h"
#include "platform/key_wait.h"
#include "platform/process.h"
#include "platform/program_arguments.h"
#include "platform/program_folder.h"
#include "platform/random_access_file.h"
#include "platform/same_file.h"
#include "platform/staged_file.h"
#include "platform/standard_error.h"
#include "platform/temp_folder.h"
#include "platform/terminal.h"
#include "platform/text_case.h"
#include "platform/thread.h"
#include "platform/wide_text-windows.h"

using namespace quorbix::platform;

namespace {

int failures = 0;

#define CHECK(condition)                                                    \
  do {                                                                      \
    if (!(condition)) {                                                     \
      std::fprintf(stderr, "FAILED line %d: %s\n", __LINE__, #condition); \
      ++failures;                                                           \
    }                                                                       \
  } while (false)

#define CHECK_EQ(actual, expected)                                                          \
  do {                                                                                      \
    const auto& checkedActual = (actual);                                                   \
    const auto& checkedExpected = (expected);                                               \
    if (!(checkedActual == checkedExpected)) {                                              \
      std::fprintf(stderr, "FAILED line %d: %s == %s\n", __LINE__, #actual, #expected);  \
      ++failures;                                                                           \
    }                                                                                       \
  } while (false)

const char kChildExitCode = 7;

std::string ownName() {
  const std::string path = executablePath();
  return path.substr(path.find_last_of("\\/") + 1);
}

// What printLine writes when standard output is a file.
std::string printedToFile(const std::string& folder, void (*print)()) {
  const std::string path = folder + "printed.bin";
  HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  HANDLE previous = ::GetStdHandle(STD_OUTPUT_HANDLE);
  ::SetStdHandle(STD_OUTPUT_HANDLE, file);
  print();
  ::SetStdHandle(STD_OUTPUT_HANDLE, previous);
  ::CloseHandle(file);
  std::string bytes;
  readWholeFile(path, bytes);
  return bytes;
}

void checkPrinting(const std::string& folder) {
  const std::string bytes = printedToFile(folder, [] {
    printLine("A\xC3\xA9");         // "Aé"
    printLine("\xF0\x9F\x93\xB7");  // U+1F4F7, a surrogate pair
  });
  const std::string expected("A\0\xE9\0\r\0\n\0\x3D\xD8\xF7\xDC\r\0\n\0", 16);
  CHECK_EQ(bytes, expected);
  setConsoleTitle("Vellumora Quorbix 2.8 check");  // must not fail without a console
}

void checkProgramFolder() {
  const std::string folder = programFolder();
  CHECK(!folder.empty());
  CHECK(!folder.empty() && folder.back() == '\\');
  CHECK(isAbsolutePath(folder));
  CHECK_EQ(folder + ownName(), executablePath());
  CHECK(isFile(executablePath()));
  CHECK_EQ(findProgram(ownName().substr(0, ownName().size() - 4), folder), executablePath());
  CHECK_EQ(findProgram("no-such-program-anywhere", folder), std::string());
}

void checkAbsolutePaths() {
  CHECK(isAbsolutePath("C:\\pictures"));
  CHECK(isAbsolutePath("d:/pictures"));
  CHECK(isAbsolutePath("\\\\server\\share\\pictures"));
  CHECK(isAbsolutePath("//server/share"));
  CHECK(!isAbsolutePath("C:pictures"));
  CHECK(!isAbsolutePath("\\pictures"));
  CHECK(!isAbsolutePath("pictures\\C:\\"));
  CHECK(!isAbsolutePath(".\\pictures"));
  CHECK(!isAbsolutePath("\\\\"));
  CHECK(!isAbsolutePath(""));
  const std::string current = currentFolder();
  CHECK(!current.empty() && current.back() == '\\' && isAbsolutePath(current));
}

void checkFolderSeparators() {
  CHECK_EQ(kFolderSeparator, '\\');
  CHECK(isFolderSeparator('\\') && isFolderSeparator('/') && !isFolderSeparator(':'));
  CHECK_EQ(withFolderSeparator("C:\\in"), std::string("C:\\in\\"));
  CHECK_EQ(withFolderSeparator("C:/in/"), std::string("C:/in/"));
  CHECK_EQ(lastFolderSeparator("C:\\in/a\\b.pcd"), size_t{7});
  CHECK_EQ(nextFolderSeparator("a/b\\c", 2), size_t{3});
  // Rooted: on the current drive, on a named drive, UNC; not below the current folder.
  CHECK(isRootedPath("\\pictures"));
  CHECK(isRootedPath("/pictures"));
  CHECK(isRootedPath("C:pictures"));
  CHECK(isRootedPath("d:\\pictures"));
  CHECK(isRootedPath("\\\\server\\share"));
  CHECK(!isRootedPath("pictures\\a"));
  CHECK(!isRootedPath(".\\pictures"));
  CHECK(!isRootedPath(""));
  CHECK_EQ(rootLength("C:\\in\\a.pcd"), size_t{3});
  CHECK_EQ(rootLength("c:/in"), size_t{3});
  CHECK_EQ(rootLength("C:in"), size_t{2});
  CHECK_EQ(rootLength("\\in"), size_t{1});
  CHECK_EQ(rootLength("\\\\server\\share\\in"), size_t{15});
  CHECK_EQ(rootLength("//server/share"), size_t{14});
  CHECK_EQ(rootLength("in\\a.pcd"), size_t{0});
  CHECK_EQ(rootLength(""), size_t{0});
}

void checkTextCase() {
  // Windows's own mapping: one UTF-16 unit for one, letters beyond ASCII too.
  CHECK_EQ(upperCase("img0001 \xC3\xA9t\xC3\xA9"), std::string("IMG0001 \xC3\x89T\xC3\x89"));  // "été"
  CHECK_EQ(lowerCase("\xC3\x84RGER"), std::string("\xC3\xA4rger"));                          // "Ärger"
  CHECK_EQ(upperCase("\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE"),
           std::string("\xD0\xA4\xD0\x9E\xD0\xA2\xD0\x9E"));  // "фото"
  CHECK_EQ(upperCase("stra\xC3\x9F" "e"), std::string("STRA\xC3\x9F" "E"));  // a sharp s stays
  CHECK_EQ(firstUpperRestLower("\xC3\xA9" "COLE"), std::string("\xC3\x89" "cole"));
  CHECK_EQ(firstUpperRestLower("iMG0001"), std::string("Img0001"));
  CHECK_EQ(firstUpperRestLower(""), std::string());
  // Not UTF-8: ASCII letters only.
  CHECK_EQ(upperCase("ab\xFF\xE9"), std::string("AB\xFF\xE9"));
  CHECK_EQ(firstUpperRestLower("\xE9" "AB"), std::string("\xE9" "ab"));
}

void checkFolderScan(const std::string& folder) {
  // "Fotos März" and "写真 1": letters outside the ANSI code page too.
  const std::string tree = folder + "Fotos M\xC3\xA4rz";
  const std::string inner = tree + "\\\xE5\x86\x99\xE7\x9C\x9F 1";
  CHECK(createFolder(tree));
  CHECK(!createFolder(tree));
  CHECK(createFolder(inner));
  CHECK(writeWholeFile(tree + "\\Bild \xC3\xBC.pcd", "12345"));
  CHECK(writeWholeFile(inner + "/deep.pcd", ""));

  std::vector<FolderEntry> entries;
  CHECK(listFolder(tree, entries));
  CHECK_EQ(entries.size(), size_t{2});
  bool sawFile = false, sawFolder = false;
  for (const FolderEntry& entry : entries) {
    if (entry.name == "Bild \xC3\xBC.pcd") sawFile = !entry.isFolder && !entry.isLinkToFolder;
    if (entry.name == "\xE5\x86\x99\xE7\x9C\x9F 1") sawFolder = entry.isFolder && !entry.isLinkToFolder;
  }
  CHECK(sawFile);
  CHECK(sawFolder);
  CHECK(listFolder(inner + "\\", entries));
  CHECK(entries.size() == 1 && entries[0].name == "deep.pcd");
  CHECK(!listFolder(tree + "\\missing", entries));

  const PathInfo file = pathInfo(tree + "\\Bild \xC3\xBC.pcd");
  CHECK(file.kind == PathKind::File && file.size == 5);
  CHECK(pathInfo(inner).kind == PathKind::Folder);
  CHECK(pathInfo(tree + "/nothing").kind == PathKind::Missing);
  std::string contents;
  CHECK(readWholeFile(tree + "/Bild \xC3\xBC.pcd", contents) && contents == "12345");
  CHECK(!readWholeFile(tree, contents));
  CHECK(!deleteFile(inner));

  // One place, one text: "." and ".." go, "/" becomes "\".
  const std::string resolved = resolvedPath(inner + "\\..\\.\\Bild \xC3\xBC.pcd");
  CHECK_EQ(resolvedPath(tree + "/Bild \xC3\xBC.pcd"), resolved);
  CHECK(isAbsolutePath(resolved));
  CHECK(resolved.size() > 12 && resolved.substr(resolved.size() - 12) == "\\Bild \xC3\xBC.pcd");
  CHECK_EQ(resolvedPath(inner + "/missing/x.tif"), resolvedPath(inner) + "\\missing\\x.tif");
}

// Paths longer than MAX_PATH, without the system's long-path setting (Wine
// has none to set, so this checks the "\\?\" form is right, not needed).
void checkLongPaths(const std::string& folder) {
  std::string deep = folder + "lang";
  CHECK(createFolder(deep));
  for (int level = 0; level < 6; ++level) {
    deep += "\\Ordner " + std::to_string(level) + " mit einem langen Namen von f\xC3\xBCnfzig Zeichen";
    CHECK(createFolder(deep));
  }
  CHECK(deep.size() > 300);
  const std::string file = deep + "\\..\\" + deep.substr(deep.find_last_of('\\') + 1) + "/tief.pcd";
  CHECK(writeWholeFile(file, "12345"));
  CHECK(pathInfo(deep + "\\tief.pcd").size == 5);
  std::vector<FolderEntry> entries;
  CHECK(listFolder(deep, entries) && entries.size() == 1 && entries[0].name == "tief.pcd");
  CHECK_EQ(resolvedPath(file), resolvedPath(folder) + deep.substr(folder.size() - 1) + "\\tief.pcd");
  CHECK(renameFile(file, deep + "\\tief2.pcd") && isFile(deep + "\\tief2.pcd"));
  CHECK(deleteFile(deep + "\\tief2.pcd"));
}

void checkStagedSave(const std::string& folder) {
  const std::string target = folder + "ausgabe \xC3\xB6.tif";
  CHECK(writeWholeFile(target, "old picture"));
  {
    StagedFile staged;
    CHECK(staged.open(target));
    CHECK(!staged.stagingPath().empty() && isFile(staged.stagingPath()));
    CHECK(::GetFileAttributesW(widePath(staged.stagingPath()).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    CHECK(staged.write("new ", 4));
    std::FILE* stream = staged.stream(4096);
    CHECK(stream != nullptr);
    if (stream != nullptr) CHECK(std::fputs("picture", stream) >= 0);
    CHECK(staged.commit(StagedFile::Flush::ToDisk));
  }
  std::string contents;
  CHECK(readWholeFile(target, contents) && contents == "new picture");
  CHECK(!(::GetFileAttributesW(widePath(target).c_str()) & FILE_ATTRIBUTE_HIDDEN));
  {
    StagedFile abandoned;
    CHECK(abandoned.open(target));
    CHECK(abandoned.write("half", 4));
  }
  CHECK(readWholeFile(target, contents) && contents == "new picture");
  std::vector<FolderEntry> entries;
  CHECK(listFolder(folder, entries));
  for (const FolderEntry& entry : entries) CHECK(entry.name.rfind(".quorbix-tmp-", 0) != 0);

  CHECK(renameFile(target, folder + "renamed.tif"));
  CHECK(!exists(target) && isFile(folder + "renamed.tif"));
  CHECK(deleteFile(folder + "renamed.tif") && !exists(folder + "renamed.tif"));
}

void checkFileTimes(const std::string& folder) {
  const std::string file = folder + "zeit \xC3\xA9.tif";
  CHECK(writeWholeFile(file, "x"));
  for (int64_t when : {int64_t{0}, int64_t{946684799}, int64_t{1700000000}, int64_t{4102444800}}) {
    CHECK(setLastWriteTime(file, when));
    CHECK(lastWriteTime(file) == when);
    CHECK_EQ(unixFromDateValue(dateValueFromUnix(when)), when);
  }
  CHECK(!setLastWriteTime(folder + "missing.tif", 1000));
  CHECK(!lastWriteTime(folder + "missing.tif").has_value());
  const int64_t now = unixNow();
  CHECK(now > 1700000000);
  const LocalDateTime local = localNow();
  CHECK(local.year >= 2023 && local.month >= 1 && local.month <= 12 && local.day >= 1);
  const int64_t start = monotonicMilliseconds();
  sleepMilliseconds(30);
  const int64_t slept = monotonicMilliseconds() - start;
  if (slept < 29) std::fprintf(stderr, "slept %lld ms\n", static_cast<long long>(slept));
  CHECK(slept >= 29);
  CHECK(onlineProcessorCount() >= 1);
}

void checkInstanceLock() {
  const std::string name = "Vellumora Quorbix check " + std::to_string(::GetCurrentProcessId());
  InstanceLock::Outcome outcome{};
  std::unique_ptr<InstanceLock> lock = InstanceLock::acquire(name, outcome);
  CHECK(lock != nullptr && outcome == InstanceLock::Outcome::Taken);
  InstanceLock::Outcome second{};
  CHECK(InstanceLock::acquire(name, second) == nullptr);
  CHECK(second == InstanceLock::Outcome::HeldElsewhere);
  // Another process is refused too, and takes it once it is free.
  CHECK_EQ(runProgram(executablePath(), {"try-lock", name}), 3);
  lock.reset();
  CHECK_EQ(runProgram(executablePath(), {"try-lock", name}), 0);
}

void checkChildProcess(const std::string& folder) {
  const std::string record = folder + "child \xC3\xA6.txt";
  const std::vector<std::string> arguments = {"child",
                                              record,
                                              "Fotos M\xC3\xA4rz\\Bild 1.pcd",
                                              "\xE5\x86\x99\xE7\x9C\x9F two  spaces",
                                              "quote \" inside",
                                              "ends in a backslash\\",
                                              "\\\\server\\share\\x\\\"",
                                              "",
                                              "-colorspace"};
  CHECK_EQ(runProgram(executablePath(), arguments), int{kChildExitCode});
  std::string expected;
  for (size_t i = 2; i < arguments.size(); ++i) expected += arguments[i] + "\n";
  std::string contents;
  CHECK(readWholeFile(record, contents));
  CHECK_EQ(contents, expected);
  CHECK_EQ(runProgram(folder + "missing.exe", {}), -1);
}

// The program's own split, of a command line as a batch file writes it.
void checkOwnSplit(const std::string& folder) {
  const std::string record = folder + "split.txt";
  std::wstring line = L"\"" + widePath(executablePath()) + L"\" split \"" + widePath(record) +
                      LR"(" -i "C:\photos\with space\" -o "C:\out\" a"b c"d "e"f "")";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  CHECK(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                         &startup, &process));
  DWORD code = 0;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  CHECK_EQ(code, DWORD{kChildExitCode});
  std::string contents;
  CHECK(readWholeFile(record, contents));
  CHECK_EQ(contents, "split\n" + record + "\n-i\nC:\\photos\\with space\\\n-o\nC:\\out\\\nab cd\ne\nf\n\n");
}

// Reading the files the picture libraries and the decoder read.
void checkReading(const std::string& folder) {
  const std::string disc = folder + "Photo CD \xC3\xA9";
  CHECK(createFolder(disc));
  CHECK(writeWholeFile(disc + "\\Img0001.Pcd", "0123456789"));
  CHECK_EQ(findEntryIgnoringCase(disc, "IMG0001.PCD").value_or(""), disc + "\\Img0001.Pcd");
  CHECK(!findEntryIgnoringCase(disc, "IMG0002.PCD").has_value());
  // One file by two spellings: one identity, one comparable text.
  const std::string identity = fileIdentity(disc + "\\Img0001.Pcd");
  CHECK(!identity.empty());
  CHECK_EQ(fileIdentity(disc + "/.\\IMG0001.pcd"), identity);
  CHECK(fileIdentity(disc) != identity && fileIdentity(disc + "\\none.pcd").empty());
  CHECK_EQ(comparablePath(resolvedPath(disc + "/img0001.PCD")), comparablePath(resolvedPath(disc + "\\Img0001.Pcd")));

  std::unique_ptr<RandomAccessFile> file = RandomAccessFile::open(disc + "/Img0001.Pcd");
  CHECK(file != nullptr);
  if (file != nullptr) {
    char bytes[4] = {};
    CHECK(file->size() == 10);
    CHECK(file->readAt(6, bytes, 4) && std::string(bytes, 4) == "6789");
    CHECK(!file->readAt(8, bytes, 4));
  }
  CHECK(RandomAccessFile::open(disc) == nullptr);

  std::FILE* stream = openForReading(disc + "\\Img0001.Pcd");
  CHECK(stream != nullptr);
  if (stream != nullptr) {
    char bytes[3] = {};
    CHECK(std::fread(bytes, 1, 3, stream) == 3 && std::string(bytes, 3) == "012");
    std::fclose(stream);
  }
  CHECK(openForReading(disc) == nullptr);

  const std::string caught = runCatchingStandardError([] { std::fprintf(stderr, "library warning\n"); });
  CHECK(caught == "library warning\n" || caught == "library warning\r\n");

  // Standard input is not a console here and ends at once: no hang.
  KeyReader keys;
  CHECK_EQ(keys.next(), -1);
}

void checkTemporaryFolder() {
  std::string kept;
  std::string sub;
  {
    TemporaryFolder temporary;
    kept = temporary.path();
    CHECK(!kept.empty() && kept.back() == '\\' && isFolder(kept));
    const std::string name = kept.substr(kept.find_last_of('\\', kept.size() - 2) + 1);
    CHECK(name.rfind("quorbix-" + std::to_string(::GetCurrentProcessId()) + "-", 0) == 0);
    sub = temporary.makeSubfolder("targa");
    CHECK(!sub.empty() && isFolder(sub));
    CHECK(writeWholeFile(sub + "a.tga", "tga"));
    CHECK(temporary.makeSubfolder("a\\b").empty());
  }
  CHECK(!exists(kept));
  removeLeftoversOfEarlierRuns();  // must not touch anything running
}

int runChecks() {
  TemporaryFolder scratch;
  const std::string folder = scratch.path();
  CHECK(!folder.empty());
  if (folder.empty()) return 1;
  checkPrinting(folder);
  checkProgramFolder();
  checkAbsolutePaths();
  checkFolderSeparators();
  checkTextCase();
  checkFolderScan(folder);
  checkLongPaths(folder);
  checkStagedSave(folder);
  checkFileTimes(folder);
  checkInstanceLock();
  checkChildProcess(folder);
  checkOwnSplit(folder);
  checkReading(folder);
  checkTemporaryFolder();
  std::fprintf(stderr, "%s: %d failed check(s)\n", failures == 0 ? "PASSED" : "FAILED", failures);
  return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> arguments = wideProgramArguments(argc, argv);
  if (arguments.size() == 1 && arguments[0] == "print") {
    printLine("A\xC3\xA9");
    printErrorLine("E");
    printLine("\xF0\x9F\x93\xB7");
    return 0;
  }
  if (arguments.size() >= 2 && arguments[0] == "child") {
    if (wideStartName(argc, argv) != startName(0, nullptr) || wideStartName(argc, argv).empty()) return 8;
    std::string lines;
    for (size_t i = 2; i < arguments.size(); ++i) lines += arguments[i] + "\n";
    return writeWholeFile(arguments[1], lines) ? kChildExitCode : 1;
  }
  if (arguments.size() >= 2 && arguments[0] == "split") {
    std::string lines;
    for (const std::string& argument : programArguments(0, nullptr)) lines += argument + "\n";
    return writeWholeFile(arguments[1], lines) ? kChildExitCode : 1;
  }
  if (arguments.size() == 2 && arguments[0] == "try-lock") {
    InstanceLock::Outcome outcome{};
    std::unique_ptr<InstanceLock> lock = InstanceLock::acquire(arguments[1], outcome);
    return lock != nullptr ? 0 : outcome == InstanceLock::Outcome::HeldElsewhere ? 3 : 1;
  }
  return runChecks();
}
