#include "job/conversion_job.h"

namespace quorbix {

void ConversionJob::run(bool) {}  // TODO(job): not built yet

}  // namespace quorbix
