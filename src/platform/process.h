// Starting outside programs. A program is started directly (never through a
// shell) with its arguments as separate entries, so nothing in them is ever
// interpreted; its standard streams go to /dev/null. Safe from any thread.
#pragma once

#include <string>
#include <vector>

namespace quorbix::platform {

// The path of the executable `name`, looked for first in `firstFolder` (when
// not empty) and then in the folders of PATH; "" when none is found.
std::string findProgram(const std::string& name, const std::string& firstFolder);

// Runs `program` (a path) with `arguments` as argv[1..] and waits for it to
// end, without a time limit. Returns its exit status, 128 + the signal number
// when a signal ended it, or -1 when it could not be started.
int runProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace quorbix::platform
