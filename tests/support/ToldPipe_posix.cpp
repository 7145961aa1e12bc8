#include "tests/support/ToldPipe.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace qm::test {

ToldPipe::ToldPipe(const std::string& folder) {
    const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + "told";
    if (::mkfifo(path.c_str(), 0600) == 0) m_name = path;
}

ToldPipe::~ToldPipe() = default;

std::string ToldPipe::readToEnd() {
    std::ifstream in(m_name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace qm::test
