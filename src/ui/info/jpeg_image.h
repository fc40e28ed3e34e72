#pragma once

#include <cstddef>

#include <QImage>

// Pictures larger than this are refused: a damaged header may claim any size, and allocating it
// would take the program down instead of the picture.
inline constexpr long long kMaxJpegPixels = 16LL * 1024 * 1024;

// Decodes JPEG data with libjpeg to an RGB888 image. Returns a null image when the data is not a
// whole, undamaged JPEG (empty, truncated, corrupt, or too large); libjpeg's own messages are
// kept off the terminal.
QImage DecodeJpeg(const unsigned char* data, std::size_t size);
