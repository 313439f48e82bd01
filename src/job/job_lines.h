// Where the job's console lines go: the console in the program, a recorder in
// tests. Called from the main thread and (for the per-file lines) from the
// worker; never from both at once.
#pragma once

#include <functional>
#include <string_view>

namespace quorbix {

using LineSink = std::function<void(std::string_view)>;

}  // namespace quorbix
