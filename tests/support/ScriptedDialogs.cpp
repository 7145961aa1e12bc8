#include "tests/support/ScriptedDialogs.h"

namespace qm::test {

void ScriptedDialogs::showMessage(const std::string& caption, const std::string& text) {
    shown.push_back({caption, text, false});
    if (onShow) onShow();
}

void ScriptedDialogs::showError(const std::string& caption, const std::string& text) {
    shown.push_back({caption, text, true});
    if (onShow) onShow();
}

std::optional<std::string> ScriptedDialogs::openFile(const std::string& filterDescription,
                                                     const std::string& pattern, const std::string& start) {
    filters.emplace_back(filterDescription, pattern);
    fileDialogStarts.push_back(start);
    return nextPick();
}

std::optional<std::string> ScriptedDialogs::saveFile(const std::string& filterDescription,
                                                     const std::string& pattern, const std::string& start) {
    filters.emplace_back(filterDescription, pattern);
    saveDialogStarts.push_back(start);
    return nextPick();
}

std::optional<std::string> ScriptedDialogs::chooseFolder(const std::string& caption,
                                                         const std::string& start) {
    folderDialogs.emplace_back(caption, start);
    return nextPick();
}

std::optional<std::string> ScriptedDialogs::nextPick() {
    if (m_picks.empty()) return std::nullopt;
    std::string path = m_picks.front();
    m_picks.pop_front();
    return path;
}

bool ScriptedDialogs::openDocument(const std::string& target) {
    opened.push_back(target);
    return openSucceeds;
}

std::string ScriptedDialogs::launchProgram(const ProgramLaunch& launch) {
    launched.push_back(launch);
    return launchFailure;
}

std::optional<std::string> ScriptedDialogs::askPassword(const std::string&, const std::string& prompt) {
    passwordPrompts.push_back(prompt);
    return passwordAnswer;
}

bool ScriptedDialogs::notify(const std::string& caption, const std::string& text) {
    if (!trayAvailable) return false;
    notifications.emplace_back(caption, text);
    return true;
}

} // namespace qm::test
