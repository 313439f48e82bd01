#include "app/command_line.h"

#include "base/ascii_text.h"
#include "settings/option_table.h"

namespace quorbix {
namespace {

std::string_view trimmedParameter(const Parameters& parameters, size_t i) {
  if (i >= parameters.size()) return {};
  std::string_view p = parameters[i];
  size_t begin = p.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return p.substr(begin, p.find_last_not_of(' ') - begin + 1);
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Reads parameters one option at a time; `i` is the parameter being read.
class OptionLoop {
 public:
  OptionLoop(const Parameters& parameters, Settings& settings, Warnings& warnings)
      : parameters_(parameters), settings_(settings), warnings_(warnings) {}

  std::string run() {
    for (i_ = 0; i_ < parameters_.size() && error_.empty(); ++i_) {
      const std::string name = parameterName(parameters_, i_);
      if (const OptionRow* option = findOption(name)) perform(*option, name);
      else if (!name.empty()) warnUnknown(name);
    }
    return error_;
  }

 private:
  void perform(const OptionRow& option, const std::string& name) {
    std::string value;
    switch (option.way) {
      case ValueWay::ShortOrLong:
      case ValueWay::ShortOrLongJoined:
        if (!startsWith(name, "--")) ++i_;
        value = parameterValue(parameters_, i_);
        if (value.empty() || value.front() == '-') return fail(kIncorrectParameters);
        if (option.way == ValueWay::ShortOrLongJoined) joinQuoted(value);
        value = withoutOuterQuotes(value);
        break;
      case ValueWay::Long:
      case ValueWay::LongJoined:
        value = parameterValue(parameters_, i_);
        if (value.empty() || startsWith(value, "--")) return fail(kIncorrectParameters);
        if (option.way == ValueWay::LongJoined) {
          joinQuoted(value);
          value = withoutOuterQuotes(value);
        }
        break;
      case ValueWay::Switch:
        break;
    }
    if (!option.apply(settings_, value, warnings_)) return fail(kInvalidProfile);
    checkKeyword(option.keywordTable, option.keywordGroup, lowerAscii(option.longName), value, "", warnings_);
  }

  // The parameter being read names no option of the table: it is skipped.
  void warnUnknown(const std::string& name) {
    static const std::string_view kFirstParameterOnly[] = {"-U", "-T", "-V", "--VERSION", "-H", "-?", "--HELP"};
    const std::string written(trimmedParameter(parameters_, i_));
    for (std::string_view first : kFirstParameterOnly) {
      if (name == first) {
        warnings_.push_back("Option " + written + " acts only as the first parameter, ignored");
        return;
      }
    }
    warnings_.push_back("Unknown option " + written + ", ignored");
  }

  // A value that opens a double quote takes the following parameters, each
  // after one space, until the text ends with a double quote.
  void joinQuoted(std::string& value) {
    if (value.front() != '"' || value.back() == '"') return;
    while (i_ + 1 < parameters_.size()) {
      ++i_;
      value += ' ';
      value += parameterValue(parameters_, i_);
      if (value.back() == '"') break;
    }
  }

  static std::string withoutOuterQuotes(std::string_view text) {
    while (!text.empty() && text.front() == '"') text.remove_prefix(1);
    while (!text.empty() && text.back() == '"') text.remove_suffix(1);
    return std::string(text);
  }

  void fail(const char* text) { error_ = text; }

  const Parameters& parameters_;
  Settings& settings_;
  Warnings& warnings_;
  size_t i_ = 0;
  std::string error_;
};

}  // namespace

std::string parameterName(const Parameters& parameters, size_t i) {
  std::string_view p = trimmedParameter(parameters, i);
  if (startsWith(p, "--")) return upperAscii(p.substr(0, p.find('=')));
  if (startsWith(p, "-")) return upperAscii(p);
  return {};
}

std::string parameterValue(const Parameters& parameters, size_t i) {
  std::string_view p = trimmedParameter(parameters, i);
  size_t equals = p.find('=');
  if (startsWith(p, "--") && equals != std::string_view::npos) return std::string(p.substr(equals + 1));
  return std::string(p);
}

std::string versionText(int number) {
  const std::string digits = std::to_string(number);
  // Appended piece by piece: "." + substr() builds a temporary that GCC 12's
  // restrict analysis misreads in optimised builds.
  std::string text(1, digits.front());
  if (digits.size() > 1) text.append(1, '.').append(1, digits[1]);
  if (digits.size() > 2) text.append(1, '.').append(digits, 2);
  if (text.back() == '0') text.resize(std::min<size_t>(3, text.size()));
  return text;
}

std::string readOptions(const Parameters& parameters, Settings& settings, Warnings* warnings) {
  Warnings unused;
  return OptionLoop(parameters, settings, warnings != nullptr ? *warnings : unused).run();
}

}  // namespace quorbix
