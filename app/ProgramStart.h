#pragma once
#include "app/TfmMain.h"
#include "ui/Dialogs.h"

#include <functional>
#include <memory>

namespace qm {

/// The running program's window with what it lives on: real dialogs and the clock.
struct ProgramWindow {
    QtDialogs dialogs;
    SteadyClock clock;
    std::unique_ptr<TfmMain> fmMain;
};

/// Everything the program does before its event loop, with the QApplication made: names,
/// folders, the main window built and shown in the middle of the screen. `adjust` may
/// change the window's environment first (the start-up benchmark skips the checks that
/// follow the first show).
std::unique_ptr<ProgramWindow> startProgram(const std::function<void(TfmMainEnvironment&)>& adjust = {});

} // namespace qm
