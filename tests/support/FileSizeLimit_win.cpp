#include "tests/support/FileFaults.h"

namespace qm::test {

// Windows has no limit of this kind; tests ask cannotRun(Needs::FileSizeLimit) first.
FileSizeLimit::FileSizeLimit(uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

} // namespace qm::test
