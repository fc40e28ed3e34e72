#include "ui/platform/qt_desktop.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include "ui/platform/busy_cursor.h"

namespace {

QString Q(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void PrepareDialog(QFileDialog& dialog, const FileDialogRequest& request)
{
    const QStringList filters = QtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(Q(request.defaultExtension));
    dialog.setDirectory(Q(request.folder));
    if (!request.title.empty())
        dialog.setWindowTitle(Q(request.title));
}

// A message box whose text is shown as it is: a file name or a user's text is never taken for
// markup, which could make a name look like another message or hide the end of a question.
int ShowBox(QMessageBox::Icon icon, const std::string& caption, const std::string& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton chosen)
{
    ModalCursor cursor;
    QMessageBox box(icon, Q(caption), Q(text), buttons, DialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(chosen);
    return box.exec();
}

std::optional<std::string> Chosen(QFileDialog& dialog)
{
    ModalCursor cursor;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace

QStringList QtFilters(const std::string& filter)
{
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return out;
}

Desktop::RestoreAnswer QtDesktop::askRestore(const std::string& caption,
                                             const std::string& question)
{
    ModalCursor cursor;
    QMessageBox box(QMessageBox::Question, Q(caption), Q(question), QMessageBox::NoButton,
                    DialogParent());
    box.setTextFormat(Qt::PlainText);
    QPushButton* restore = box.addButton(QCoreApplication::translate("QtDesktop", "&Restore"),
                                         QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QCoreApplication::translate("QtDesktop", "&Discard"),
                                         QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    if (box.clickedButton() == restore)
        return RestoreAnswer::Restore;
    return box.clickedButton() == discard ? RestoreAnswer::Discard : RestoreAnswer::Later;
}

bool QtDesktop::askYesNo(const std::string& caption, const std::string& question)
{
    return ShowBox(QMessageBox::Question, caption, question, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::No) == QMessageBox::Yes;
}

void QtDesktop::showError(const std::string& caption, const std::string& message)
{
    ShowBox(QMessageBox::Critical, caption, message, QMessageBox::Ok, QMessageBox::Ok);
}

std::optional<std::string> QtDesktop::openFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(DialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.existingOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    PrepareDialog(dialog, request);
    return Chosen(dialog);
}

std::optional<std::string> QtDesktop::saveFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(DialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Choosing an existing file replaces it without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    PrepareDialog(dialog, request);
    return Chosen(dialog);
}

bool QtDesktop::printDialog(QPrinter& printer)
{
    QPrintDialog dialog(&printer, DialogParent());
    return dialog.exec() == QDialog::Accepted;
}

void QtDesktop::openUrl(const std::string& url)
{
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(url)));
}

QStringList QtDesktop::screenFontFamilies()
{
    return QFontDatabase::families();
}

QSize QtDesktop::virtualDesktopSize()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualSize() : QSize();
}

QSize QtDesktop::primaryScreenSize()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}
