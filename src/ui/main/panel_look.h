#pragma once

#include <QColor>

class QLineEdit;
class QWidget;

// The tool panels' look: silver panels, as designed, whatever the desktop's colours are.
inline const QColor kPanelSilver(192, 192, 192);

// A background colour for a panel's box, and a text colour that reads on it (black on silver
// or white, white on a dark window colour).
void SetBoxColour(QLineEdit* box, const QColor& colour);

// Silver, with black labels: a dark desktop palette's near-white label text would not read on it.
void PaintPanel(QWidget* panel);
