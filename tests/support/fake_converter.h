// A stand-in for the outside converter "convert": a small shell script that
// logs every argv it is started with and, for the sub-image indices the test
// chooses, copies a Targa file prepared by the test to its last argument (the
// temporary output path). Tests put it beside a copy of quorbix so that the
// program finds it first.
#pragma once

#include <string>
#include <vector>

namespace quorbix::test {

struct FakeConverterOptions {
  // Copied to the output path for the indices below. A file
  // "<folder>fake-targa/<input base name>.tga" (base name without folder and
  // extension) takes its place for that input, so one run can deliver
  // pictures of different sizes, and "<folder>fake-targa/<input's folder
  // name>/<base name>.tga" before both, for inputs of the same name in
  // different folders. Empty: nothing is ever written.
  // A file "<folder>fake-delay/<input base name>" holding a number of
  // seconds ("0.3") makes every run for that input sleep so long first.
  std::string targa;
  // Sub-image indices ("...pcd[N]") for which the Targa is delivered.
  std::vector<int> indices = {6, 5, 4, 3, 2, 1, 0};
  // After copying (or not), the script kills itself with SIGSEGV.
  bool crash = false;
  // After copying (or not), the script writes its process id to
  // fakeConverterPidFile and then sleeps (in the same process) for good.
  bool hang = false;
};

// Writes "<folder>convert" (mode 0755). `folder` ends in "/". The log is
// "<folder>convert.log". Returns false when the script cannot be written.
bool writeFakeConverter(const std::string& folder, const FakeConverterOptions& options);

// Where a hanging script in `folder` writes its process id ("" until then).
std::string fakeConverterPidFile(const std::string& folder);

// Path of the log that the script in `folder` appends to.
std::string fakeConverterLog(const std::string& folder);

// The argv (without the program name) of every run logged in `folder`, in
// order. Arguments may hold any byte but NUL.
std::vector<std::vector<std::string>> readFakeConverterRuns(const std::string& folder);

// Quotes `text` for a POSIX shell (single quotes, ' written as '\'').
std::string shellQuote(const std::string& text);

}  // namespace quorbix::test
