// The parameter model of the command line: option names and values of
// parameters, the version text, and the option loop that reads every
// parameter into Settings. No printing; the driver reports what this returns.
#pragma once

#include <string>
#include <vector>

#include "settings/setting_warnings.h"
#include "settings/settings.h"

namespace quorbix {

using Parameters = std::vector<std::string>;  // argv without the program name

inline constexpr char kIncorrectParameters[] = "Incorrect number of parameters";
inline constexpr char kInvalidProfile[] = "Invalid profile file";

// The option name of parameter i, upper-cased: for "--name=value" the part
// before the first "=", for "-x" all of it, otherwise (and for an i past the
// end) the empty text. Outer spaces (not tabs) are ignored.
std::string parameterName(const Parameters& parameters, size_t i);

// The value text of parameter i: for "--name=value" the text after the
// first "=", otherwise the whole parameter (outer spaces removed).
std::string parameterValue(const Parameters& parameters, size_t i);

// 280 gives "2.8", 281 gives "2.8.1".
std::string versionText(int number);

// The option loop: reads every parameter in order into `settings`, a
// --profile applying its file at its position. Returns the first error text
// ("Incorrect number of parameters" or "Invalid profile file"), after which
// nothing more is read, or the empty text. With `warnings`, every option it
// does not know (words that are no options aside), every keyword value that
// is none of its option's, and what the profiles' own readings warn about
// add one warning each, in parameter order; they change nothing read.
std::string readOptions(const Parameters& parameters, Settings& settings, Warnings* warnings = nullptr);

}  // namespace quorbix
