#pragma once

#include <QByteArray>
#include <QImage>

// The two pictures of the information windows, kept in the program as JPEG data.
enum class Picture {
    Note,   // 54 x 62, the message window
    About,  // 109 x 124, the about window
};

// The embedded JPEG bytes of a picture.
QByteArray PictureJpeg(Picture picture);

// The picture decoded; a null image if its data were damaged.
QImage LoadPicture(Picture picture);
