#pragma once

#include <QColor>
#include <QFont>

class QLineEdit;
class QWidget;

// The program's designed look, whatever the desktop's theme: the typeface, the three colours
// of its windows and panels, and the fills that keep them.

inline const QColor kSilver(192, 192, 192);  // tool panels, the help window's bar
inline const QColor kLime(0, 255, 0);        // the Level A box while its update is confirmed
inline const QColor kWhite(255, 255, 255);   // the editing area's surroundings, open boxes

// The designed typeface, "MS Sans Serif", at a height in pixels; the system's font matching
// picks a stand-in where it is not installed.
QFont DesignFont(int pixelSize, bool underline = false);

// A widget's own background, drawn whatever its parent's.
void FillBackground(QWidget* widget, const QColor& colour);

// A background colour for a box, and a text colour that reads on it (black on silver or white,
// white on a dark window colour).
void SetBoxColour(QLineEdit* box, const QColor& colour);

// Silver, with black labels: a dark desktop palette's near-white label text would not read on it.
void PaintPanel(QWidget* panel);
