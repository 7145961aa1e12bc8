#pragma once
#include "ui/Dialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm::test {

/// Answers the window's dialogs from a script and records what was shown.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        std::string caption;
        std::string text;
        bool error;
    };

    void showMessage(const std::string& caption, const std::string& text) override;
    void showError(const std::string& caption, const std::string& text) override;
    std::optional<std::string> openFile(const std::string& filterDescription, const std::string& pattern,
                                        const std::string& start = {}) override;
    std::optional<std::string> saveFile(const std::string& filterDescription, const std::string& pattern,
                                        const std::string& start) override;
    std::optional<std::string> chooseFolder(const std::string& caption, const std::string& start) override;
    bool openDocument(const std::string& target) override;
    std::string launchProgram(const ProgramLaunch& launch) override;
    std::optional<std::string> askPassword(const std::string& caption, const std::string& prompt) override;
    bool notify(const std::string& caption, const std::string& text) override;

    /// The next file or folder dialog returns this path; nothing queued means the user cancels.
    void pickNext(const std::string& path) { m_picks.push_back(path); }

    std::vector<Shown> shown;
    std::vector<std::string> opened;
    /// What openDocument answers: false plays a system without a program for the target.
    bool openSucceeds = true;
    std::vector<std::pair<std::string, std::string>> filters;
    /// The start folder of every file dialog (empty: the current folder).
    std::vector<std::string> fileDialogStarts;
    /// The start of every save dialog.
    std::vector<std::string> saveDialogStarts;
    /// The caption and start folder of every folder dialog.
    std::vector<std::pair<std::string, std::string>> folderDialogs;
    /// Programs started, and what launchProgram answers (empty: it started).
    std::vector<ProgramLaunch> launched;
    std::string launchFailure;
    /// The prompts shown, and what the next one answers (nothing: the user cancels).
    std::vector<std::string> passwordPrompts;
    std::optional<std::string> passwordAnswer;
    /// The notifications shown, and whether the desktop has a tray to show them.
    std::vector<std::pair<std::string, std::string>> notifications;
    bool trayAvailable = true;
    /// Called whenever a box is shown, for tests that act while a box is up.
    std::function<void()> onShow;

  private:
    std::optional<std::string> nextPick();
    std::deque<std::string> m_picks;
};

} // namespace qm::test
