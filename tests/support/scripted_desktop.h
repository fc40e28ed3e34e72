#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/platform/desktop.h"

// The Desktop of GUI tests: records every call in order and answers from scripted queues.
// An unscripted question answers No and an unscripted dialog is cancelled; both are recorded
// with unscripted = true so that a test can insist that everything was expected.
class ScriptedDesktop final : public Desktop {
public:
    enum class Kind { Question, Error, OpenDialog, SaveDialog, OpenUrl, PrintDialog };
    struct Call {
        Kind kind;
        std::string caption;   // question and error: the caption
        std::string text;      // question, error: the text; OpenUrl: the address
        FileDialogRequest request;  // dialogs
        bool unscripted = false;
    };

    std::vector<Call> calls;
    std::deque<bool> answers;
    std::deque<std::optional<std::string>> openPaths;
    std::deque<std::optional<std::string>> savePaths;
    // The print dialog's answers: print to this PDF file, or cancel.
    std::deque<std::optional<std::string>> printFiles;
    QStringList fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif"),
                      QStringLiteral("DejaVu Sans Mono")};
    QSize desktopSize{1280, 1024};
    QSize screenSize{1280, 1024};

    // Answered from `answers` too: true restores, false discards; unscripted: Later.
    RestoreAnswer askRestore(const std::string& caption, const std::string& question) override;
    bool askYesNo(const std::string& caption, const std::string& question) override;
    void showError(const std::string& caption, const std::string& message) override;
    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
    void openUrl(const std::string& url) override;
    bool printDialog(QPrinter& printer) override;
    QStringList screenFontFamilies() override { return fonts; }
    QSize virtualDesktopSize() override { return desktopSize; }
    QSize primaryScreenSize() override { return screenSize; }

    std::vector<Call> callsOf(Kind kind) const;
    int countOf(Kind kind) const { return static_cast<int>(callsOf(kind).size()); }
    bool anyUnscripted() const;
};
