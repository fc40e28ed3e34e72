#pragma once

#include <QFont>

// The editing area's type size: set in pixels from points at the screen's logical resolution
// and read back the same way, to whole points.
namespace font_size {

QFont WithPoints(QFont font, int points, double dpi);
int Points(const QFont& font, double dpi);

}  // namespace font_size
