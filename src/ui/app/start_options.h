#pragma once

#include <string>
#include <vector>

// What the command line asks of the program: "plimo [FILE]", "--help" or "--version".
struct StartRequest {
    enum class Action { Run, PrintHelp, PrintVersion, Refuse };
    Action action = Action::Run;
    std::string file;     // Run: the file to open after start-up; empty for none
    std::string problem;  // Refuse: what is wrong with the command line
};

// The arguments after the program's name. Anything that starts with "-" is an option, except
// after "--", so that a file whose name starts with "-" can still be given.
StartRequest ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();
std::string VersionText();

// The path made absolute against the current folder, as a file dialog would return it.
std::string AbsolutePath(const std::string& path);

// True when the launcher started the program. The launcher runs the editor in its working
// folder, which holds the settings and is no place for the user's documents. The mark is taken
// out of the environment, so that programs started from the editor do not inherit it.
bool TakeLauncherMark();

// The user's documents folder, or the home folder when there is none.
std::string UserDocumentsFolder();
