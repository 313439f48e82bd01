#include "convert/process_converter_runner.h"

namespace quorbix {
namespace {

// TODO(convert): not built yet.
class NullRunner : public ConverterRunner {
 public:
  void run(const std::vector<std::string>&) override {}
  void pause(int) override {}
};

}  // namespace

std::unique_ptr<ConverterRunner> makeProcessConverterRunner(const std::string&) {
  return std::make_unique<NullRunner>();
}

}  // namespace quorbix
