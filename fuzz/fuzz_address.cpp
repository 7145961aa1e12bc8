// The address field's text rules: any parts give an address text or none, and every text
// they give is an address the field takes back unchanged.
#include "fuzz/FuzzCheck.h"
#include "ui/IpAddressRules.h"

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto parts = parseAddressText(text)) {
        std::array<std::string, 4> shown;
        for (size_t i = 0; i < 4; ++i)
            shown[i] = std::to_string((*parts)[i]);
        QM_FUZZ_CHECK(addressTextFromParts(shown) == text);
    }
    std::array<std::string, 4> parts;
    for (size_t i = 0; i < 4; ++i)
        parts[i] = std::string(text.substr(std::min(text.size(), i * size / 4), size / 4));
    const std::string joined = addressTextFromParts(parts);
    if (!joined.empty()) QM_FUZZ_CHECK(parseAddressText(joined).has_value());
    if (const auto pasted = partsOfPastedAddress(text)) {
        QM_FUZZ_CHECK(parseAddressText(addressTextFromParts(*pasted)).has_value());
        for (const std::string& p : *pasted)
            partIsComplete(p);
    }
    return 0;
}
