#include "app/driver.h"

#include <random>

#include "app/exit_status.h"
#include "app/uninstall_prompt.h"
#include "base/message_catalogue.h"
#include "base/product.h"
#include "image/format_registry.h"
#include "image/library_messages.h"
#include "job/conversion_job.h"
#include "platform/console.h"
#include "platform/key_wait.h"
#include "platform/program_folder.h"
#include "platform/terminal.h"
#include "settings/settings_defaults.h"

namespace quorbix {
namespace {

// One entry of `list` chosen at random ("" for an empty list).
std::string anyOf(const std::vector<std::string>& list) {
  if (list.empty()) return "";
  static std::minstd_rand random(std::random_device{}());
  return list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(random)];
}

void printLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) platform::printLine(line);
}

// Each warning of the option loop as one line on standard error; a control
// character read from a parameter or a profile shows as "?", so that every
// warning stays one line.
void printWarnings(const Warnings& warnings) {
  for (const std::string& warning : warnings) {
    std::string line = "Warning: " + warning;
    for (char& c : line) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    platform::printErrorLine(line);
  }
}

void errorAnswer(const std::string& error, bool pause) {
  platform::setConsoleTitle(product::kConsoleTitle);
  platform::printLine("Error: " + error);
  if (pause) platform::waitForKey();
}

}  // namespace

std::vector<std::string> helpLines(const std::string& programName, const FormatRegistry& registry) {
  const std::string& prog = programName;
  const std::string output =
      registry.featuredOutputExtensions.empty() ? "" : registry.featuredOutputExtensions.front();
  const auto example = [&](const char* line) {
    return formatMessage(line, prog, anyOf(registry.featuredInputExtensions));
  };
  return {
      " ",
      formatMessage("Usage: %s1% -i <filename> [options]", prog),
      " ",
      example("  %s1% -i example.%s2%"),
      example("  %s1% -i c:\\tmp\\example.%s2%"),
      example("  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted"),
      formatMessage("  %s1% -i c:\\tmp\\filelist.txt", prog),
      formatMessage("  %s1% -i c:\\tmp\\ -o d:\\converted --jpg-quality=95", prog),
      formatMessage("  %s1% -i c:\\tmp\\ -o d:\\converted -c %s2% --jpg-quality=95", prog, output),
      " ",
      "Options:",
      " ",
      "  -h, -?, --help            Display this help and exit",
      "  -i FILE, --input=FILE     Set input file/list/folder",
      "  -o PATH, --output=PATH    Set output folder",
      "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
      " ",
      "Advanced options:",
      " ",
      "  --width=NUM               Set output image width",
      "  --height=NUM              Set output image height",
      "  --filename-mask=STR       Define output filename format",
      "  --flip-horizontal         Flip output image horizontally",
      "  --flip-vertical           Flip output image vertically",
      "  --brightness=NUM          Set output image brightness, NUM = -100..100",
      "  --contrast=NUM            Set output image contrast, NUM = -100..100",
      "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
      "  --invert                  Invert output image",
      "  --greyscale               Greyscale output image",
      "  --profile=FILE            Set configuration file with required settings",
      "    ...                     Refer documentation for all available options",
      " ",
      "Other options:",
      " ",
      "  -q, --quiet               Don't print status messages to stdout",
      "  -d, --debug               Print debug information to stdout",
      "  -p, --pause               Pause at exit",
      "  -v, --version             Display version information and exit",
  };
}

std::vector<std::string> bannerLines() {
  return {product::kConsoleTitle, product::kOwnershipNotice, product::kWebAddress, " "};
}

DriverResult runDriver(const Parameters& parameters, const std::string& programName) {
  if (parameters.empty()) return {DriverEnd::Returned};

  // Before any library is used; their messages show only in debug mode.
  catchLibraryMessages();
  // The run's settings, owned here for the length of the run.
  Settings settings;
  FormatRegistry registry;
  registry.build();
  resetJobFields(settings);
  setDefaults(settings);
  // The texts the run prints from; the job and the uninstall prompt borrow it.
  MessageCatalogue catalogue;
  catalogue.load();

  const std::string first = parameterName(parameters, 0);
  if (first == "-U") {
    runUninstallPrompt(catalogue);
    return {};
  }
  if (first == "-T") {
    // -T asks for a demonstration that this program does not give.
    return {};
  }
  if (first == "-V" || first == "--VERSION") {
    platform::setConsoleTitle(product::kConsoleTitle);
    platform::printLine(versionText(product::kVersionNumber));
    return {};
  }
  if (first == "-H" || first == "-?" || first == "--HELP") {
    platform::setConsoleTitle(product::kConsoleTitle);
    printLines(helpLines(programName, registry));
    return {};
  }

  Warnings warnings;
  const std::string error = readOptions(parameters, settings, &warnings);
  printWarnings(warnings);
  if (!error.empty()) {
    errorAnswer(error, settings.job.pause);
    return {DriverEnd::Finished, settings.job.exitCodes ? kExitStoppedBeforeConverting : 0};
  }
  if (!settings.job.inputGiven) return {DriverEnd::Returned};
  showLibraryMessages(settings.job.debug);

  platform::setConsoleTitle(product::kConsoleTitle);
  if (!settings.job.quiet) printLines(bannerLines());
  const JobResult result = ConversionJob(settings, platform::programFolder(), registry, catalogue)
                              .run(settings.job.quiet);
  if (settings.job.pause) {
    platform::printLine("Press any key to exit.");
    platform::waitForKey();
  }
  return {DriverEnd::Finished, settings.job.exitCodes ? exitStatusOf(result) : 0};
}

bool exitCodesAsked(const Parameters& parameters) {
  Settings settings;
  readOptions(parameters, settings);
  return settings.job.exitCodes;
}

}  // namespace quorbix
