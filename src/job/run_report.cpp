#include "job/run_report.h"

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "pcd/image_pac_facts.h"
#include "platform/file_digest.h"
#include "platform/file_stream.h"
#include "platform/system_error.h"

namespace quorbix {
namespace {

using Json = nlohmann::json;

// Big enough for any line: each line reaches the file in one write.
constexpr size_t kLineBuffer = 1 << 16;

const char* statusName(FileStatus status) {
  switch (status) {
    case FileStatus::Converted: return "converted";
    case FileStatus::Failed: return "failed";
    case FileStatus::Companion:
    case FileStatus::AlreadyThere: return "skipped";
  }
  return "failed";
}

Json textOrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

// "2001-02-03T04:05:06Z"
std::string isoTime(int64_t unixSeconds) {
  using namespace std::chrono;
  const sys_seconds time{seconds{unixSeconds}};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

// The Image Pac facts the TIFF carries, those the file has.
void addFacts(Json& line, const pcd::ImagePacFacts& facts) {
  if (facts.scanTime) line["scan_time"] = isoTime(*facts.scanTime);
  Json scanner = Json::object();
  if (!facts.scannerVendor.empty()) scanner["vendor"] = facts.scannerVendor;
  if (!facts.scannerProduct.empty()) scanner["product"] = facts.scannerProduct;
  if (!facts.scannerFirmware.empty()) scanner["firmware"] = facts.scannerFirmware;
  if (!facts.scannerSerial.empty()) scanner["serial"] = facts.scannerSerial;
  if (!scanner.empty()) line["scanner"] = scanner;
  if (!facts.productType.empty()) {
    Json film = {{"product", facts.productType}};
    if (facts.medium) film["medium"] = pcd::mediumName(*facts.medium);
    line["film"] = film;
  }
}

}  // namespace

Outcome RunReport::open(const std::string& path) {
  file_.reset(platform::openForWriting(path));
  if (!file_) {
    const int error = platform::lastSystemError();
    return Outcome::failure(platform::systemErrorText(error), error);
  }
  std::setvbuf(file_.get(), nullptr, _IOFBF, kLineBuffer);
  return Outcome::success();
}

std::string reportLine(const FileState& file, const FileOutcome& outcome, const std::string& sha256) {
  const bool written = outcome.status == FileStatus::Converted;
  Json line = Json::object();
  line["input"] = file.inputFile;
  line["output"] = outcome.converted() ? textOrNull(file.outputPath) : Json(nullptr);
  line["status"] = statusName(outcome.status);
  line["reason"] = textOrNull(outcome.reason);
  line["warnings"] = outcome.warnings;
  line["width"] = written ? Json(outcome.width) : Json(nullptr);
  line["height"] = written ? Json(outcome.height) : Json(nullptr);
  line["level"] = written && outcome.level ? Json(*outcome.level) : Json(nullptr);
  line["sha256"] = textOrNull(sha256);
  if (outcome.converted()) addFacts(line, outcome.facts);
  // Names that are not UTF-8 keep their other characters; the bad bytes
  // become U+FFFD instead of stopping the report.
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void RunReport::add(const FileState& file, const FileOutcome& outcome) {
  if (!file_) return;
  const std::string sha256 = outcome.converted() ? platform::fileSha256(file.outputPath) : std::string();
  const std::string line = reportLine(file, outcome, sha256) + "\n";
  std::fwrite(line.data(), 1, line.size(), file_.get());
  std::fflush(file_.get());
}

}  // namespace quorbix
