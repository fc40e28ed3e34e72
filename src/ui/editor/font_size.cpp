#include "ui/editor/font_size.h"

#include <algorithm>
#include <cmath>

namespace font_size {

QFont WithPoints(QFont font, int points, double dpi)
{
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi / 72.0))));
    return font;
}

int Points(const QFont& font, double dpi)
{
    if (font.pixelSize() <= 0)
        return font.pointSize();
    return static_cast<int>(std::lround(font.pixelSize() * 72.0 / dpi));
}

}  // namespace font_size
