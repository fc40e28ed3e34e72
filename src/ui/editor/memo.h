#pragma once

#include <QtGlobal>

#include "ui/editor/text_view.h"

// The editing area of the main window: the byte view, holding up to the document capacity.
// Positions and lengths are counted as the panels and Find count them, in signed sizes; a
// negative start or length counts as 0.
class Memo final : public TextView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Memo)

public:
    explicit Memo(QWidget* parent = nullptr);

    qsizetype byteLength() const { return static_cast<qsizetype>(TextView::byteLength()); }
    qsizetype selStart() const { return static_cast<qsizetype>(TextView::selStart()); }
    qsizetype selLength() const { return static_cast<qsizetype>(TextView::selLength()); }
    void select(qsizetype start, qsizetype length);
};
