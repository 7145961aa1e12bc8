// quillmark-query's list lines and arguments: never a crash or an unbounded allocation
// (libFuzzer's -malloc_limit_mb catches one); every line is a server, in order, or
// reported with its number, and a server line is HOST[:PORT] and at most one more word.
#include "fuzz/FuzzCheck.h"
#include "tools/QueryArguments.h"

#include <sstream>

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream list(text);
    std::ostringstream err;
    const QueryArguments a = readQueryArguments({"--retry=0", "-f", "-"}, list, err);
    QM_FUZZ_CHECK(a.action == QueryArguments::Action::Query || a.action == QueryArguments::Action::Refused);
    QM_FUZZ_CHECK(a.given.size() == a.targets.size());
    // One report a line; what a line held is shown escaped, so it cannot forge another.
    size_t reported = 0;
    for (const std::string& report : fuzz::linesOf(err.str()))
        reported += report.rfind("quillmark-query: standard input:", 0) == 0;
    QM_FUZZ_CHECK(a.badLines == (reported > 0));
    // Every line that is neither blank nor a comment is given or reported.
    size_t lines = 0;
    for (const std::string& line : fuzz::linesOf(text)) {
        const size_t first = line.find_first_not_of(" \t\r");
        lines += first != std::string::npos && line[first] != '#';
    }
    if (a.action == QueryArguments::Action::Query && text.find("\xEF\xBB\xBF") == std::string::npos)
        QM_FUZZ_CHECK(a.given.size() + reported == lines);
    for (const std::string& entry : a.given) {
        QM_FUZZ_CHECK(entry.size() <= kMaxListLineBytes);
        QM_FUZZ_CHECK(std::count(entry.begin(), entry.end(), ' ') <= 1);
        QM_FUZZ_CHECK(parseQueryTarget(entry.substr(0, entry.find(' '))).has_value());
    }

    // The same bytes as arguments, one a word.
    std::vector<std::string> args;
    std::istringstream words(text.substr(0, 4096));
    for (std::string w; words >> w && args.size() < 64;)
        args.push_back(w);
    std::istringstream nothing;
    std::ostringstream argErr;
    const QueryArguments fromArgs = readQueryArguments(args, nothing, argErr);
    QM_FUZZ_CHECK(fromArgs.given.size() == fromArgs.targets.size());
    return 0;
}
