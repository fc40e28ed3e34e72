#pragma once

#include <functional>
#include <string>

class Desktop;

// The application title: the caption of the error box. Start-up sets it, and the secondary
// window's creation replaces it for the rest of the run.
void SetApplicationTitle(std::string title);
const std::string& ApplicationTitle();

// Runs one command. A CommandError ends it and is shown in the error box captioned with the
// application title; running out of memory is reported the same way instead of ending the
// program. Returns false when the command ended with an error.
bool RunCommand(Desktop& desktop, const std::function<void()>& command);
