#pragma once
#include <array>
#include <optional>
#include <string>

namespace qm {

enum class SettingType { Text, Boolean, Integer, Address };

/// One control's entry in userpref.ini: section and key (the control's name, except
/// "cbEnabledMonitor"), how its value is read, and the default for a missing key.
struct SettingRow {
    const char* section;
    const char* key;
    const char* control;
    SettingType type;
    const char* fallback;
};

/// The keys in the order they are read and written. "cbSaveOnExit" is filed under
/// " Options"; the settings store ignores blanks around section names, so it lands in
/// [Options] with the others and is read back from there.
inline constexpr std::array<SettingRow, 17> kSettingRows = {{
    {"Options", "edPath2HL", "edPath2HL", SettingType::Text, ""},
    {"Options", "edLanguage", "edLanguage", SettingType::Text, "English"},
    {"Options", "edExportName", "edExportName", SettingType::Text, "custom.db2"},
    {"Options", "edExportBuild", "edExportBuild", SettingType::Text, "custom"},
    {"Options", "edExportDate", "edExportDate", SettingType::Text, "00/00/00"},
    {" Options", "cbSaveOnExit", "cbSaveOnExit", SettingType::Boolean, "1"},
    {"Import", "edPath2DB", "edPath2DB", SettingType::Text, "Click Browse to add path to .db2 file"},
    {"Monitoring", "cbEnabledMonitor", "cbEnableMonitor", SettingType::Boolean, "1"},
    {"Monitoring", "cbRefreshOnClick", "cbRefreshOnClick", SettingType::Boolean, "1"},
    {"Monitoring", "cbRefreshOnTimer", "cbRefreshOnTimer", SettingType::Boolean, "1"},
    {"Monitoring", "seTimer", "seTimer", SettingType::Integer, "3000"},
    {"Monitoring", "seTimeout", "seTimeout", SettingType::Integer, "500"},
    {"Update", "cbCheck4Updates", "cbCheck4Updates", SettingType::Boolean, "1"},
    // An empty default: a first start without a settings file means no proxy.
    {"Update", "edProxyIP", "edProxyIP", SettingType::Address, ""},
    {"Update", "edProxyPort", "edProxyPort", SettingType::Text, ""},
    {"Update", "edProxyLogin", "edProxyLogin", SettingType::Text, ""},
    {"Update", "edProxyPassword", "edProxyPassword", SettingType::Text, ""},
}};

inline constexpr const char* kSettingsFileName = "userpref.ini";

/// A stored check box state: any whole number other than 0 is checked; anything that is
/// not a whole number gives the default.
bool readBooleanSetting(const std::string& stored, bool fallback);
/// A stored spin edit value brought into [minimum, maximum]; not a whole number gives
/// the default.
int readIntegerSetting(const std::string& stored, int fallback, int minimum, int maximum);

} // namespace qm
