#pragma once

class QCoreApplication;

// Plimo's texts in the user's language: German, French or Spanish when the user's languages
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as Qt reads them) name one of them first, English
// otherwise. The translations are built into the program.
//
// Loads the translation and installs it for the marked texts of the layers without Qt (Tr,
// TrNote); works before and without an application object. Call once at the start.
void LoadTranslations();

// Installs the loaded translation for tr() in the application, with Qt's own for its standard
// dialogs and buttons where the system has it.
void InstallTranslations(QCoreApplication& app);
