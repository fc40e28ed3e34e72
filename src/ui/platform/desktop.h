#pragma once

#include <optional>
#include <string>

#include <QSize>
#include <QStringList>

class QPrinter;

// A request for the open or save file dialog. The filter list is in the "Caption|*.ext|..." form
// the program's texts use; filterIndex is 1-based.
struct FileDialogRequest {
    std::string title;  // empty: the platform's default title
    std::string filter;
    int filterIndex = 1;
    std::string defaultExtension;  // without the dot; empty: none
    std::string folder;
    bool existingOnly = false;
};

// Everything modal or outside the process. Windows get it injected; tests inject a scripted
// double so that no test ever blocks on a modal window. Texts are UTF-8.
class Desktop {
public:
    virtual ~Desktop() = default;

    enum class RestoreAnswer { Restore, Discard, Later };
    // The question about a text a crash left unsaved: Restore (the default button) or Discard;
    // closing the box decides nothing (Later).
    virtual RestoreAnswer askRestore(const std::string& caption, const std::string& question) = 0;
    // Yes/No question with a question-mark icon; true for Yes.
    virtual bool askYesNo(const std::string& caption, const std::string& question) = 0;
    virtual void showError(const std::string& caption, const std::string& message) = 0;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> openFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogRequest& request) = 0;
    // The shell's "open" of a web address or mailto: request; the result is ignored.
    virtual void openUrl(const std::string& url) = 0;
    // The print dialog over `printer` (its "print to file" writes a PDF); true when the user
    // chose to print, the printer then set as chosen. None by default: nothing is printed.
    virtual bool printDialog(QPrinter& printer)
    {
        (void)printer;
        return false;
    }

    virtual QStringList screenFontFamilies() = 0;
    virtual QSize virtualDesktopSize() = 0;
    virtual QSize primaryScreenSize() = 0;
};
