#pragma once
#include <string>
#include <vector>

namespace qm {

/// A program to start, from an argument list: never through a shell, so no argument is
/// ever read as a command.
struct ProgramLaunch {
    std::string program; // a path
    std::vector<std::string> arguments;
    std::string folder; // the working folder
};

/// Starts the program and leaves it running; an empty text when it started, else why not.
/// Windows starts it with CreateProcessW and a command line quoted as its C runtime reads
/// one; Linux starts a Windows program (.exe) through Wine found on PATH (posix_spawn).
/// `searchPath` stands for PATH (tests give their own).
std::string startProgram(const ProgramLaunch& launch, const std::string& searchPath);
/// The system's PATH.
std::string systemSearchPath();

/// The command line Windows' C runtime reads back as exactly these arguments.
std::string windowsCommandLine(const std::vector<std::string>& arguments);

} // namespace qm
