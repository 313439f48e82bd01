#include "support/fake_converter.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quorbix::test {

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string fakeConverterLog(const std::string& folder) { return folder + "convert.log"; }

std::string fakeConverterPidFile(const std::string& folder) { return folder + "convert.pid"; }

bool writeFakeConverter(const std::string& folder, const FakeConverterOptions& options) {
  std::string indices = " ";
  for (int index : options.indices) indices += std::to_string(index) + " ";

  std::ostringstream script;
  script << "#!/bin/sh\n"
         << "# Test stand-in for the outside converter.\n"
         << "printf '%s\\0' \"$#\" \"$@\" >> " << shellQuote(fakeConverterLog(folder)) << "\n"
         << "[ \"$#\" -ge 2 ] || exit 1\n"
         << "eval \"out=\\${$#}\"\n"
         << "eval \"in=\\${$(($# - 1))}\"\n"
         << "index=${in##*\\[}\n"
         << "index=${index%\\]}\n"
         << "base=${in%\\[*}\n"
         << "base=${base##*/}\n"
         << "base=${base%.*}\n"
         << "parent=${in%\\[*}\n"
         << "parent=${parent%/*}\n"
         << "parent=${parent##*/}\n"
         << "delay=" << shellQuote(folder + "fake-delay/") << "\"$base\"\n"
         << "[ -f \"$delay\" ] && sleep \"$(cat \"$delay\")\"\n"
         << "case " << shellQuote(indices) << " in\n"
         << "  *\" $index \"*)\n"
         << "    source=" << shellQuote(options.targa) << "\n"
         << "    own=" << shellQuote(folder + "fake-targa/") << "\"$base.tga\"\n"
         << "    [ -f \"$own\" ] && source=$own\n"
         << "    own=" << shellQuote(folder + "fake-targa/") << "\"$parent/$base.tga\"\n"
         << "    [ -f \"$own\" ] && source=$own\n"
         << "    [ -n \"$source\" ] && cp \"$source\" \"$out\"\n"
         << "    ;;\n"
         << "esac\n";
  if (options.crash) script << "kill -SEGV $$\n";
  if (options.hang) {
    const std::string pidFile = shellQuote(fakeConverterPidFile(folder));
    script << "echo $$ > " << pidFile << ".part && mv " << pidFile << ".part " << pidFile << "\n"
           << "exec sleep 100000\n";
  }
  script << "exit 0\n";

  std::string path = folder + "convert";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << script.str();
    if (!out.flush()) return false;
  }
  return ::chmod(path.c_str(), 0755) == 0;
}

std::vector<std::vector<std::string>> readFakeConverterRuns(const std::string& folder) {
  std::vector<std::vector<std::string>> runs;
  std::ifstream in(fakeConverterLog(folder), std::ios::binary);
  if (!in) return runs;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\0') {
      fields.push_back(data.substr(start, i - start));
      start = i + 1;
    }
  }
  for (size_t i = 0; i < fields.size();) {
    size_t count = static_cast<size_t>(std::strtoul(fields[i].c_str(), nullptr, 10));
    ++i;
    std::vector<std::string> run;
    for (size_t k = 0; k < count && i < fields.size(); ++k, ++i) run.push_back(fields[i]);
    runs.push_back(std::move(run));
  }
  return runs;
}

}  // namespace quorbix::test
