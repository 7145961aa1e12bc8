#pragma once
#include "platform/ProgramStart.h"

#include <memory>
#include <optional>
#include <string>

class QMessageBox;

namespace qm {

/// Everything that waits on the user or leaves the program: message boxes, the file-open
/// dialog, the password prompt, desktop notifications, the shell and program starts. The window goes through
/// this one seam, so tests can answer it.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    /// A modal box with one OK button.
    virtual void showMessage(const std::string& caption, const std::string& text) = 0;
    /// A modal box with an error icon and one OK button.
    virtual void showError(const std::string& caption, const std::string& text) = 0;
    /// The file-open dialog with one filter entry, opened at `start` (the current folder
    /// when empty); the full path picked, or nothing.
    virtual std::optional<std::string> openFile(const std::string& filterDescription,
                                                const std::string& pattern,
                                                const std::string& start = {}) = 0;
    /// The file-save dialog with one filter entry, opened at `start` (a folder, or a file
    /// name to offer); the full path chosen, or nothing.
    virtual std::optional<std::string> saveFile(const std::string& filterDescription,
                                                const std::string& pattern, const std::string& start) = 0;
    /// The folder dialog, opened at `start`; the folder picked, or nothing.
    virtual std::optional<std::string> chooseFolder(const std::string& caption, const std::string& start) = 0;
    /// The shell's "open" for a URL or a file name relative to the current directory;
    /// false when the system has no program that opens it.
    virtual bool openDocument(const std::string& target) = 0;
    /// Starts a program from its argument list; empty when it started, else why not.
    virtual std::string launchProgram(const ProgramLaunch& launch) = 0;
    /// A modal prompt whose typing is masked; the text typed, or nothing when cancelled.
    virtual std::optional<std::string> askPassword(const std::string& caption, const std::string& prompt) = 0;
    /// A desktop notification beside the clock; false where the desktop has no tray.
    virtual bool notify(const std::string& caption, const std::string& text) = 0;
};

/// The real dialogs and the desktop's opener.
class QtDialogs : public Dialogs {
  public:
    /// The box showMessage and showError put up: the caption, the text, one OK button,
    /// and an error icon for errors only.
    static std::unique_ptr<QMessageBox> makeBox(const std::string& caption, const std::string& text,
                                                bool error);

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
};

} // namespace qm
