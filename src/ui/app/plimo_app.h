#pragma once

#include <memory>

class Desktop;
class QIcon;
class TfAbout;
class TfC;
class TfHelpPas;
class TfNote;
class TfPlimo;

// Every window of the program, made once in the order start-up needs: the main window first
// (its creation runs the start-up sequence), then the hidden secondary window (it sets the
// application title and rewrites the settings file), the about and help windows, and the
// message window last, so that nothing in start-up can show a message.
class PlimoWindows {
public:
    explicit PlimoWindows(Desktop& desktop);
    ~PlimoWindows();
    PlimoWindows(const PlimoWindows&) = delete;
    PlimoWindows& operator=(const PlimoWindows&) = delete;

    TfC& main() { return *m_main; }
    TfPlimo& secondary() { return *m_secondary; }
    TfAbout& about() { return *m_about; }
    TfHelpPas& help() { return *m_help; }
    TfNote& note() { return *m_note; }

private:
    std::unique_ptr<TfC> m_main;
    std::unique_ptr<TfPlimo> m_secondary;
    std::unique_ptr<TfAbout> m_about;
    std::unique_ptr<TfHelpPas> m_help;
    std::unique_ptr<TfNote> m_note;
};

// The program's icon in all its sizes, for every window.
QIcon ProgramIcon();
