#include "core/translate.h"

#include <utility>

namespace {
TextTranslator g_translator = nullptr;

std::string Translate(std::string_view source, TextUse use)
{
    return g_translator ? g_translator(source, use) : std::string(source);
}
}  // namespace

TextTranslator SetTextTranslator(TextTranslator translator)
{
    return std::exchange(g_translator, translator);
}

std::string Tr(std::string_view source)
{
    return Translate(source, TextUse::Message);
}

std::string TrNote(std::string_view source)
{
    return Translate(source, TextUse::Note);
}
