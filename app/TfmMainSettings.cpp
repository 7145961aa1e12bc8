// userpref.ini: the settings load at start-up and Save settings.
#include "app/ProgramFolders.h"
#include "app/SettingsTable.h"
#include "app/TfmMain.h"
#include "platform/IntText.h"
#include "platform/ProfileFile.h"
#include "ui/CEditIPAddr.h"
#include "ui/SpinEdit.h"
#include "ui/TextCodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace qm {

std::string TfmMain::settingsPath() const {
    return m_env.settingsDir + kSettingsFileName;
}

void TfmMain::loadSettings() {
    ProfileFile file(settingsPath());
    try {
        for (const SettingRow& row : kSettingRows) {
            const std::string stored = file.read(row.section, row.key, row.fallback);
            QWidget* control = findChild<QWidget*>(QString::fromLatin1(row.control));
            switch (row.type) {
            case SettingType::Text:
                static_cast<QLineEdit*>(control)->setText(toDisplay(stored));
                break;
            case SettingType::Boolean:
                // A changed state runs the box's handler, as a user's click would.
                static_cast<QCheckBox*>(control)->setChecked(
                    readBooleanSetting(stored, *row.fallback == '1'));
                break;
            case SettingType::Integer: {
                auto* spin = static_cast<SpinEdit*>(control);
                spin->setValue(
                    readIntegerSetting(stored, std::stoi(row.fallback), spin->minimum(), spin->maximum()));
                break;
            }
            case SettingType::Address:
                static_cast<CEditIPAddr*>(control)->setText(stored);
                break;
            }
        }
        m_countryDataChosen = file.read("Options", "CountryDatabase", "");
        // Until the player picks one, a join follows the default (game folder, else Steam).
        if (const auto with = joinWithNamed(file.read("Options", "cbJoinWith", ""))) {
            const QSignalBlocker quiet(cbJoinWith);
            cbJoinWith->setCurrentIndex(*with == JoinWith::Steam ? 1 : 0);
            m_joinWithChosen = true;
        }
    } catch (const std::exception&) {
        showMessage("Error reading 'userpref.ini' file");
        return;
    }
    setStatusText("Loading 'userpref.ini' complete");
}

void TfmMain::bbSaveSettingsClick() {
    // An installed program's settings folder is made on the first save.
    makeSettingsFolder(m_env.settingsDir);
    ProfileFile file(settingsPath());
    try {
        for (const SettingRow& row : kSettingRows) {
            QWidget* control = findChild<QWidget*>(QString::fromLatin1(row.control));
            std::string value;
            switch (row.type) {
            case SettingType::Text:
                value = fromDisplay(static_cast<QLineEdit*>(control)->text());
                break;
            case SettingType::Boolean:
                value.assign(1, static_cast<QCheckBox*>(control)->isChecked() ? '1' : '0');
                break;
            case SettingType::Integer: {
                // The text as typed, not brought into range; the minimum when it is no number.
                auto* spin = static_cast<SpinEdit*>(control);
                value = std::to_string(parseInteger(fromDisplay(spin->text())).value_or(spin->minimum()));
                break;
            }
            case SettingType::Address:
                value = static_cast<CEditIPAddr*>(control)->text();
                break;
            }
            file.set(row.section, row.key, value);
        }
        if (m_joinWithChosen) file.set("Options", "cbJoinWith", joinWithName(joinWith()));
        if (!m_countryDataChosen.empty()) file.set("Options", "CountryDatabase", m_countryDataChosen);
        // One rewrite for every key: the file is whole before and after.
        file.save();
    } catch (const std::exception&) {
        setStatusText("Error writing 'userpref.ini' file");
        return;
    }
    setStatusText("Saving 'userpref.ini' complete");
}

} // namespace qm
