#pragma once

#include <string_view>

#include "core/translate.h"

// The file commands' words: their notes, their questions and their dialogs' filters.

inline constexpr std::string_view kOpenCancelledNote =
    QT_TRANSLATE_NOOP("Plimo", "File opening was cancelled!");
inline constexpr std::string_view kSaveStoppedNote =
    QT_TRANSLATE_NOOP("Plimo", "Saving the file was stopped.");
inline constexpr std::string_view kSaveEmptyNote = QT_TRANSLATE_NOOP(
    "Plimo", "Sorry, we could not save this document, it is empty. Please try Save As.");

inline constexpr std::string_view kNewDocumentQuestion = QT_TRANSLATE_NOOP(
    "Plimo", "Do you wish to start a new document? The current is not empty! Are you sure?");
inline constexpr std::string_view kCloseFileQuestion =
    QT_TRANSLATE_NOOP("Plimo", "Closing this file - are you sure?");
// Save over a file that another program changed since Plimo opened or last saved it; the path
// goes between the two parts.
inline constexpr std::string_view kChangedOnDiskBefore = QT_TRANSLATE_NOOP("Plimo", "The file ");
inline constexpr std::string_view kChangedOnDiskAfter = QT_TRANSLATE_NOOP(
    "Plimo", " was changed by another program since it was opened. Overwrite it?");
inline constexpr std::string_view kExitUnsavedQuestion =
    QT_TRANSLATE_NOOP("Plimo", "The text has changes that are not saved. Exit anyway?");
// Opening a file from File > Recent Files over such a text; the path goes between the parts.
inline constexpr std::string_view kOpenRecentUnsavedBefore =
    QT_TRANSLATE_NOOP("Plimo", "The text has changes that are not saved. Open ");
inline constexpr std::string_view kOpenRecentUnsavedAfter = QT_TRANSLATE_NOOP("Plimo", " anyway?");

// The open dialog's second caption really reads "Encypt A"; users know the dialog this way.
// The OpenPGP level's messages come last: armoured (.asc, what Plimo writes) or binary (.gpg).
inline constexpr std::string_view kOpenFilter = QT_TRANSLATE_NOOP(
    "Plimo",
    "Text|*.txt|Encypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg");
inline constexpr std::string_view kSaveFilter = QT_TRANSLATE_NOOP(
    "Plimo",
    "Text file|*.txt|Encrypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg");
inline constexpr std::string_view kSaveTitle = QT_TRANSLATE_NOOP("Plimo", "Save your file");
inline constexpr std::string_view kSaveDefaultExt = "txt";

// The 1-based filter both file dialogs preselect for the document's extension.
constexpr int FilterIndexFor(std::string_view FileExt)
{
    if (FileExt == "txa")
        return 2;
    if (FileExt == "txb")
        return 3;
    if (FileExt == "txc")
        return 4;
    if (FileExt == "asc" || FileExt == "gpg")
        return 5;
    return 1;
}
