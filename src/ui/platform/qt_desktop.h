#pragma once

#include "ui/platform/desktop.h"

// The real desktop: Qt's message boxes, file and print dialogs, xdg-open through QDesktopServices.
class QtDesktop final : public Desktop {
public:
    RestoreAnswer askRestore(const std::string& caption, const std::string& question) override;
    bool askYesNo(const std::string& caption, const std::string& question) override;
    void showError(const std::string& caption, const std::string& message) override;
    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
    void openUrl(const std::string& url) override;
    bool printDialog(QPrinter& printer) override;
    QStringList screenFontFamilies() override;
    QSize virtualDesktopSize() override;
    QSize primaryScreenSize() override;
};

// "Text|*.txt|Encrypt A|*.txa" to Qt's "Text (*.txt);;Encrypt A (*.txa)" filters.
QStringList QtFilters(const std::string& filter);
