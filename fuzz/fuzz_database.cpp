// The database reader and the Import page's load: any file loads or is refused;
// scrambling then unscrambling a line gives the line back; and every fast reader, on
// every scanning path, reads what a plain byte loop reads.
#include "database/DatabaseBrowser.h"
#include "database/Db2File.h"
#include "database/Db2Format.h"
#include "fuzz/FuzzCheck.h"
#include "platform/LineBreak.h"

#include <fstream>
#include <set>
#include <unistd.h>

using namespace qm;

namespace {

// The lines of a database as a byte loop splits them: the text ends at 0x1A; a line ends
// at LF or CR LF; a lone CR is dropped; what follows the last line end is a line too.
std::vector<std::string> plainLines(std::string_view file) {
    file = file.substr(0, file.find('\x1A'));
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (size_t i = 0; i < file.size(); ++i) {
        open = true;
        const char c = file[i];
        if (c == '\n' || (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n')) {
            i += c == '\r';
            lines.push_back(std::move(line));
            line.clear();
            open = false;
        } else if (c != '\r') {
            line += c;
        }
    }
    if (open) lines.push_back(std::move(line));
    return lines;
}

// Unscrambling as the format states it: plain byte p is the stored byte minus key byte
// (p + 1) mod L, modulo 256.
std::string plainUnscramble(const std::string& stored, const std::string& key) {
    std::string plain = stored;
    for (size_t p = 0; p < plain.size(); ++p)
        plain[p] = static_cast<char>(static_cast<unsigned char>(plain[p]) -
                                     static_cast<unsigned char>(key[(p + 1) % key.size()]));
    return plain;
}

void checkFastReaders(const std::string& path, const std::vector<std::string>& expected) {
    Db2Reader whole(path);
    for (const std::string& line : expected)
        QM_FUZZ_CHECK(!whole.atEnd() && whole.readLine() == line);
    QM_FUZZ_CHECK(whole.atEnd());

    std::set<char> firsts{'#', 'x'};
    std::set<size_t> lengths{0, 21};
    for (size_t i = 0; i < expected.size() && i < 6; ++i) {
        if (!expected[i].empty()) firsts.insert(expected[i][0]);
        lengths.insert(expected[i].size());
    }
    for (char first : firsts) {
        Db2Reader reader(path);
        for (const std::string& line : expected) {
            if (line.empty() || line[0] != first) continue;
            const auto raw = reader.readOnToLineStartingWith(first);
            QM_FUZZ_CHECK(raw && raw->plain() == line);
        }
        QM_FUZZ_CHECK(!reader.readOnToLineStartingWith(first));
    }
    for (size_t length : lengths) {
        Db2Reader reader(path);
        for (const std::string& line : expected) {
            if (line.size() != length) continue;
            const auto raw = reader.readOnToLineOfLength(length);
            QM_FUZZ_CHECK(raw && raw->plain() == line);
        }
        QM_FUZZ_CHECK(!reader.readOnToLineOfLength(length));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const uint64_t lineNumber = size > 0 ? data[0] * 977u + size : 0;
    const std::string key = db2LineKey(lineNumber);
    QM_FUZZ_CHECK(unscrambleLine(scrambleLine(input, key), key) == input);
    QM_FUZZ_CHECK(plainUnscramble(scrambleLine(input, key), key) == input);

    static const std::string path = "/tmp/qm-fuzz-database-" + std::to_string(::getpid()) + ".db2";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
    }
    std::vector<std::string> expected = plainLines(input);
    for (size_t n = 0; n < expected.size(); ++n)
        expected[n] = plainUnscramble(expected[n], db2LineKey(n));
    for (LineScan scan : {LineScan::Fastest, LineScan::Sse2, LineScan::Plain}) {
        lineScanChoice() = scan;
        checkFastReaders(path, expected);
    }
    lineScanChoice() = LineScan::Fastest;
    if (const auto summary = loadDatabase(path)) {
        for (const std::string& country : summary->countries)
            for (const std::string& entry : countryEntries(path, country))
                QM_FUZZ_CHECK(!isCountryMarker(entry));
    }
    return 0;
}
