#include "ui/editor/text_codec.h"

#include <array>
#include <vector>

#include "core/win1252.h"

namespace text_codec {
namespace {

constexpr char16_t kParagraph = 0x2029;

struct Tables {
    std::array<char16_t, 256> toQt{};
    std::vector<std::int16_t> toByte = std::vector<std::int16_t>(0x10000, -1);

    Tables()
    {
        for (int b = 0; b < 256; ++b) {
            toQt[b] = win1252::ToUnicode(static_cast<std::uint8_t>(b));
            toByte[toQt[b]] = static_cast<std::int16_t>(b);
        }
        toQt[0] = kNul;
        toQt['\r'] = kLoneCr;
        toQt['\n'] = kLoneLf;
        toByte[0] = -1;
        toByte['\r'] = -1;
        toByte['\n'] = -1;
        toByte[kNul] = 0;
        toByte[kLoneCr] = '\r';
        toByte[kLoneLf] = '\n';
    }
};

const Tables& T()
{
    static const Tables tables;
    return tables;
}

}  // namespace

QString BytesToQt(std::string_view bytes)
{
    const auto& toQt = T().toQt;
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            dst[n++] = u'\n';
            ++i;
        } else {
            dst[n++] = toQt[b];
        }
    }
    out.truncate(n);
    return out;
}

std::string QtRawToBytes(QStringView raw)
{
    const auto& toByte = T().toByte;
    std::string out(static_cast<std::size_t>(ByteLength(raw)), '\0');
    char* dst = out.data();
    std::size_t n = 0;
    for (const QChar qc : raw) {
        const char16_t c = qc.unicode();
        if (c == kParagraph || c == u'\n') {
            dst[n++] = '\r';
            dst[n++] = '\n';
        } else {
            const int b = toByte[c];
            dst[n++] = static_cast<char>(b < 0 ? '?' : b);
        }
    }
    return out;
}

QString SanitizeInput(QStringView text)
{
    const auto& toByte = T().toByte;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out += u'\n';
            ++i;
        } else if (c == u'\r' || c == u'\n' || c == kParagraph) {
            out += u'\n';
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += u'?';  // one character outside the BMP: one '?'
            ++i;
        } else if (toByte[c] < 0 || c == kNul || c == kLoneCr || c == kLoneLf) {
            out += u'?';
        } else {
            out += QChar(c);
        }
    }
    return out;
}

qsizetype ByteLength(QStringView raw)
{
    qsizetype n = raw.size();
    for (const QChar qc : raw)
        if (qc.unicode() == kParagraph || qc.unicode() == u'\n')
            ++n;
    return n;
}

}  // namespace text_codec
