// Outcome: whether a step did what it was asked and, when it did not, why:
// a reason in words for the user, and the system's error number behind it
// when the system refused. Steps return it instead of a bare bool so that
// the reason travels from where it arises to the console and the report.
#pragma once

#include <string>
#include <utility>

namespace quorbix {

struct Outcome {
  std::string reason;   // empty when the step succeeded
  int systemError = 0;  // the errno value behind the reason, or 0

  bool ok() const { return reason.empty(); }
  explicit operator bool() const { return ok(); }

  static Outcome success() { return {}; }
  static Outcome failure(std::string reason, int systemError = 0) {
    return {std::move(reason), systemError};
  }
};

}  // namespace quorbix
