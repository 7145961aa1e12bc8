// The database reader and the Import page's load: any file loads or is refused, and
// scrambling then unscrambling a line gives the line back.
#include "database/DatabaseBrowser.h"
#include "database/Db2File.h"
#include "database/Db2Format.h"
#include "fuzz/FuzzCheck.h"

#include <fstream>
#include <unistd.h>

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const uint64_t lineNumber = size > 0 ? data[0] * 977u + size : 0;
    const std::string key = db2LineKey(lineNumber);
    QM_FUZZ_CHECK(unscrambleLine(scrambleLine(input, key), key) == input);
    QM_FUZZ_CHECK(scrambleLine(input, key).size() == input.size());

    static const std::string path = "/tmp/qm-fuzz-database-" + std::to_string(::getpid()) + ".db2";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
    }
    Db2Reader reader(path);
    while (!reader.atEnd())
        reader.readLine();
    if (const auto summary = loadDatabase(path)) {
        for (const std::string& country : summary->countries)
            for (const std::string& entry : countryEntries(path, country))
                QM_FUZZ_CHECK(!isCountryMarker(entry));
    }
    return 0;
}
