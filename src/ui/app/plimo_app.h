#pragma once

#include <memory>

class Desktop;
class TfC;

// Every window of the program, made once in the order start-up needs: the main window first
// (its creation runs the start-up sequence), the message window last.
class PlimoWindows {
public:
    explicit PlimoWindows(Desktop& desktop);
    ~PlimoWindows();
    PlimoWindows(const PlimoWindows&) = delete;
    PlimoWindows& operator=(const PlimoWindows&) = delete;

    TfC& main() { return *m_main; }

private:
    std::unique_ptr<TfC> m_main;
};
