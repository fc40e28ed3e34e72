#include "ui/main/print_job.h"

#include <cstdio>
#include <memory>

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryFile>

#include "core/command_error.h"
#include "document/file_messages.h"
#include "ui/editor/text_pages.h"

namespace {

// The bytes of the text counted between two looks at the window.
constexpr std::size_t kCountPiece = 4 * 1024 * 1024;
// The progress bar: counting takes its first half, drawing the pages the second.
constexpr int kSteps = 1000;

// The print window's texts, in the context "PrintJob".
QString T(const char* text)
{
    return QCoreApplication::translate("PrintJob", text);
}

[[noreturn]] void CannotPrint(const QString& file, const char* why)
{
    if (file.isEmpty())
        throw CommandError(Tr(QT_TRANSLATE_NOOP("Plimo", "Cannot print: ")) + Tr(why));
    throw CommandError(Tr(kCannotCreateFile) + QFile::encodeName(file).toStdString() + ": " +
                       Tr(why));
}

}  // namespace

void PreparePrinter(QPrinter& printer, const QString& name)
{
    printer.setDocName(name);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

PrintOutcome PrintText(QPrinter& printer, const ByteText& text, const QFont& typeface, int points,
                       const QString& name, QWidget* parent)
{
    // Print to file: into a temporary beside the file, renamed over it once whole.
    const QString target = printer.outputFileName();
    std::unique_ptr<QTemporaryFile> part;
    if (!target.isEmpty()) {
        part = std::make_unique<QTemporaryFile>(target + QStringLiteral(".XXXXXX"));
        if (!part->open())
            CannotPrint(target, QT_TRANSLATE_NOOP("Plimo", "the folder cannot be written"));
        part->close();
        printer.setOutputFileName(part->fileName());
    }
    struct RestoreName {
        QPrinter& printer;
        QString name;
        ~RestoreName() { printer.setOutputFileName(name); }
    } restoreName{printer, target};

    TextPages pages(text, typeface, points, &printer,
                    printer.pageRect(QPrinter::DevicePixel).size(), name);
    QProgressDialog progress(T(QT_TRANSLATE_NOOP("PrintJob", "Counting pages...")),
                             T(QT_TRANSLATE_NOOP("PrintJob", "Cancel")), 0, kSteps, parent);
    progress.setWindowTitle(T(QT_TRANSLATE_NOOP("PrintJob", "Print")));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoReset(false);
    progress.setValue(0);

    PageCount& count = pages.count();
    const std::size_t size = std::max<std::size_t>(1, text.size());
    while (!count.countOn(kCountPiece)) {
        progress.setValue(static_cast<int>(count.bytesCounted() * (kSteps / 2) / size));
        QCoreApplication::processEvents();
        if (progress.wasCanceled())
            return PrintOutcome::Cancelled;
    }

    QPainter painter;
    if (!painter.begin(&printer))
        CannotPrint(target, target.isEmpty()
                                ? QT_TRANSLATE_NOOP("Plimo", "the printer did not start")
                                : QT_TRANSLATE_NOOP("Plimo", "it cannot be written"));
    const std::size_t total = count.pages();
    for (std::size_t page = 0; page < total; ++page) {
        progress.setLabelText(T(QT_TRANSLATE_NOOP("PrintJob", "Printing page %1 of %2..."))
                                  .arg(page + 1)
                                  .arg(total));
        progress.setValue(kSteps / 2 + static_cast<int>(page * (kSteps / 2) / total));
        QCoreApplication::processEvents();
        if (progress.wasCanceled()) {
            printer.abort();
            painter.end();
            return PrintOutcome::Cancelled;
        }
        if (page > 0 && !printer.newPage())
            CannotPrint(target, QT_TRANSLATE_NOOP("Plimo", "a page could not be started"));
        pages.drawPage(painter, page);
    }
    if (!painter.end())
        CannotPrint(target, QT_TRANSLATE_NOOP("Plimo", "it could not be finished"));
    if (part) {
        part->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ReadGroup | QFileDevice::ReadOther);
        const QByteArray from = QFile::encodeName(part->fileName());
        if (std::rename(from.constData(), QFile::encodeName(target).constData()) != 0)
            CannotPrint(target, QT_TRANSLATE_NOOP("Plimo", "it could not take its name"));
        part->setAutoRemove(false);
    }
    return PrintOutcome::Printed;
}
