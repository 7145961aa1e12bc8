#include "app/SettingsTable.h"

#include "platform/IntText.h"

#include <algorithm>

namespace qm {

bool readBooleanSetting(const std::string& stored, bool fallback) {
    const auto value = parseInteger(stored);
    return value ? *value != 0 : fallback;
}

int readIntegerSetting(const std::string& stored, int fallback, int minimum, int maximum) {
    return std::clamp(parseInteger(stored).value_or(fallback), minimum, maximum);
}

} // namespace qm
