#pragma once

#include <string>
#include <string_view>

// The layers without Qt mark each text a user reads where it is written, in the one context
// "Plimo", so that Qt's lupdate collects it into translations/plimo_*.ts; a marked text is the
// English text itself. The program that shows the texts (the editor, plimo-cipher) installs the
// translator for the user's language; without one every text stays English.
// (Written as Qt writes it, so that both may be seen in one file.)
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

inline constexpr const char* kTextContext = "Plimo";

// Where a translated text goes: a ShowNote message (Windows-1252 in the editor), or any other
// text (UTF-8: errors, questions, the shell's output).
enum class TextUse { Note, Message };
using TextTranslator = std::string (*)(std::string_view source, TextUse use);

// Installs the translator and returns the one it replaces (nullptr: none).
TextTranslator SetTextTranslator(TextTranslator translator);

// A marked text in the user's language: UTF-8, and for ShowNote.
std::string Tr(std::string_view source);
std::string TrNote(std::string_view source);
