// The settings store: any file loads; a value written is read back as written, by the
// same store and by a fresh one, and the other keys keep their values.
#include "fuzz/FuzzCheck.h"
#include "platform/ProfileFile.h"

#include <fstream>
#include <unistd.h>

using namespace qm;

namespace {

// A section or key name the store can hold: letters and digits.
std::string nameFrom(std::string_view bytes, const char* fallback) {
    std::string name;
    for (char c : bytes)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name.push_back(c);
    return name.empty() ? fallback : name.substr(0, 32);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [file, rest] = fuzz::splitOnce(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto [names, valueText] = fuzz::splitOnce(rest);
    static const std::string path = "/tmp/qm-fuzz-settings-" + std::to_string(::getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    const std::string section = nameFrom(names.substr(0, names.size() / 2), "Options");
    const std::string key = nameFrom(names.substr(names.size() / 2), "Value");
    // A value is one line of the file: no line break, nothing that ends the text.
    std::string value;
    for (char c : valueText)
        if (c != '\r' && c != '\n' && c != '\x1A' && c != '\0') value.push_back(c);
    value = value.substr(0, ProfileFile::kMaxValueLength);

    ProfileFile store(path);
    const std::string other = store.read("Fuzz", "Other", "(none)");
    store.write(section, key, value);
    QM_FUZZ_CHECK(store.read(section, key, "(none)") == value);
    QM_FUZZ_CHECK(ProfileFile(path).read(section, key, "(none)") == value);
    if (!(section == "Fuzz" && key == "Other"))
        QM_FUZZ_CHECK(ProfileFile(path).read("Fuzz", "Other", "(none)") == other);
    return 0;
}
