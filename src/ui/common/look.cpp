#include "ui/common/look.h"

#include <cmath>

#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace {

// Relative luminance of an sRGB colour, as contrast ratios are measured.
double Luminance(const QColor& c)
{
    auto channel = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// Black or white, whichever contrasts more with the background; greyed when disabled.
void SetTextOn(QPalette& p, QPalette::ColorRole role, const QColor& background)
{
    // Black and white contrast equally with a luminance of about 0.179.
    const bool dark = Luminance(background) < 0.179;
    const QColor text = dark ? QColor(Qt::white) : QColor(Qt::black);
    const QColor greyed = dark ? QColor(176, 176, 176) : QColor(80, 80, 80);
    p.setColor(QPalette::Active, role, text);
    p.setColor(QPalette::Inactive, role, text);
    p.setColor(QPalette::Disabled, role, greyed);
}

}  // namespace

QFont DesignFont(int pixelSize, bool underline)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    font.setUnderline(underline);
    return font;
}

void FillBackground(QWidget* widget, const QColor& colour)
{
    widget->setAutoFillBackground(true);
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
}

void SetBoxColour(QLineEdit* box, const QColor& colour)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    SetTextOn(p, QPalette::Text, colour);
    box->setPalette(p);
}

void PaintPanel(QWidget* panel)
{
    FillBackground(panel, kSilver);
    QPalette p = panel->palette();
    SetTextOn(p, QPalette::WindowText, kSilver);
    panel->setPalette(p);
}
