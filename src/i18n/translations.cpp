#include "i18n/translations.h"

#include <string>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/translate.h"
#include "core/win1252.h"

namespace {

QTranslator& PlimoTranslator()
{
    static QTranslator translator;
    return translator;
}

std::string Translated(std::string_view source, TextUse use)
{
    const std::string key(source);
    const QString text = PlimoTranslator().translate(kTextContext, key.c_str());
    if (text.isEmpty())
        return key;
    if (use == TextUse::Message)
        return text.toStdString();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const int b = win1252::FromUnicode(c.unicode());
        bytes += static_cast<char>(b < 0 ? '?' : b);
    }
    return bytes;
}

}  // namespace

void LoadTranslations()
{
    // The first of the user's languages that Plimo speaks, English (the texts as written) among
    // them: "en:de" is English.
    for (const QString& name : QLocale().uiLanguages()) {
        const QString language = QString(name).replace(u'_', u'-').section(u'-', 0, 0);
        if (language == u"en" || language == u"C")
            return;
        if (PlimoTranslator().load(QStringLiteral("plimo_") + language, QStringLiteral(":/i18n"))) {
            SetTextTranslator(Translated);
            return;
        }
    }
}

void InstallTranslations(QCoreApplication& app)
{
    if (PlimoTranslator().isEmpty())
        return;
    app.installTranslator(&PlimoTranslator());
    // Qt's own words (Yes, No, Cancel, the file dialogs) in the same language, when installed.
    static QTranslator qtBase;
    if (qtBase.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtBase);
}
