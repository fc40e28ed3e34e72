#pragma once

#include <QWidget>

#include "document/settings_file.h"

class QPlainTextEdit;

// The older editor window, made hidden at every start right after the main window and never
// shown. What its creation does is visible all the same: it sets the application title (the
// caption of the error box) and reads and writes the settings file once more, on its own state.
class TfPlimo final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfPlimo)

public:
    explicit TfPlimo(QWidget* parent = nullptr);

    const TSecondaryState& SecondaryState() const { return m_state; }

private:
    void FormCreate();

    TSecondaryState m_state;
    QPlainTextEdit* memo = nullptr;
};
