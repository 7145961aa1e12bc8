#include "tests/support/FileFaults.h"

#include <csignal>
#include <sys/resource.h>

namespace qm::test {

FileSizeLimit::FileSizeLimit(uint64_t bytes) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    m_oldSoft = old.rlim_cur;
    m_oldHard = old.rlim_max;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{static_cast<rlim_t>(bytes), old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit old{static_cast<rlim_t>(m_oldSoft), static_cast<rlim_t>(m_oldHard)};
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, m_oldHandler);
}

} // namespace qm::test
