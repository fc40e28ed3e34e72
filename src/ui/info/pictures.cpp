#include "ui/info/pictures.h"

#include <QFile>

#include "ui/info/jpeg_image.h"

namespace {
QString ResourcePath(Picture picture)
{
    switch (picture) {
        case Picture::Note:
            return QStringLiteral(":/plimo/note.jpg");
        case Picture::About:
            return QStringLiteral(":/plimo/about.jpg");
    }
    return {};
}
}  // namespace

QByteArray PictureJpeg(Picture picture)
{
    QFile file(ResourcePath(picture));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage LoadPicture(Picture picture)
{
    const QByteArray jpeg = PictureJpeg(picture);
    return DecodeJpeg(reinterpret_cast<const unsigned char*>(jpeg.constData()),
                      static_cast<std::size_t>(jpeg.size()));
}
