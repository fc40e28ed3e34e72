#pragma once

#include <QString>

class ByteText;
class QFont;
class QPrinter;
class QWidget;

enum class PrintOutcome { Printed, Cancelled };

// A printer as Print and Print Preview start with it: margins of 15 mm, and the document's name,
// after which the print dialog names a PDF file.
void PreparePrinter(QPrinter& printer, const QString& name);

// Prints the whole text on `printer` as the print dialog set it up: the pages are counted, then
// drawn one after the other (TextPages), with a progress window and its Cancel button in front
// of `parent` and the window answering between pieces. A PDF file is written beside its name
// and takes the name only when it is whole: a cancelled or failed print leaves no part of a file
// and the file of that name as it was. Throws CommandError when the printer or the file cannot
// be started or finished.
PrintOutcome PrintText(QPrinter& printer, const ByteText& text, const QFont& typeface, int points,
                       const QString& name, QWidget* parent);
