#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include <QWidget>

#include "core/app_state.h"

class Desktop;
class PanelBar;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What a panel needs of the window around it, beyond the editing area and the state.
class PanelHost {
public:
    virtual ~PanelHost() = default;
    // Writes the settings file; a failure throws CommandError (said once when the file could
    // not be read at the start).
    virtual void saveSettingsNow() = 0;
    // The status bar names the document with its new extension (after encrypt or decrypt).
    virtual void showFileNameWithExt() = 0;
};

// One tool panel: a silver bar above the editing area with its own controls, handlers, Close
// button and Enter key. Enter pressed on any of its controls answers the panel's default button,
// or a focused button itself; an open drop-down list keeps Enter to choose an entry, and a panel
// without a default button does nothing on Enter. Its bar shows and hides it.
class ToolPanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolPanel)

public:
    static constexpr int kHeight = 62;

    // The bar is about to show the panel: its own step on being shown (where the focus goes,
    // what its boxes hold).
    virtual void aboutToShow() {}

protected:
    ToolPanel(const char* objectName, Desktop& desktop, QWidget* parent);

    // Runs a handler through the guard that shows a CommandError in the error box.
    void run(const std::function<void()>& handler);
    template <typename Panel>
    void onClick(QPushButton* button, void (Panel::*handler)())
    {
        connectClick(button, [this, handler] { (static_cast<Panel*>(this)->*handler)(); });
    }
    void setDefaultButton(QPushButton* button) { m_defaultButton = button; }
    // What the Close button does first: the bar hides the panel (enabled, its toggle as it was).
    void closePanel();
    void keyPressEvent(QKeyEvent* event) override;

    // The controls at their designed places, in the design font. A caption is marked with
    // QT_TR_NOOP where the panel names it and shown in the user's language.
    QLineEdit* addEdit(const char* name, int x, int y, int w, int h);
    QPushButton* addButton(const char* name, const char* caption, int x, int y, int w = 80,
                           int h = 32);
    QComboBox* addList(const char* name, int x, int y, int w);
    QLabel* addLabel(const char* name, const char* caption, int x, int y);
    // Widens a control whose caption or longest entry does not fit its designed width, and
    // moves the controls to its right along as far as they would otherwise overlap it. Controls
    // whose text fits keep their places and sizes; text boxes keep theirs: they scroll.
    static void fitRow(std::initializer_list<QWidget*> row);

    Desktop& m_desktop;

private:
    friend class PanelBar;
    void connectClick(QPushButton* button, std::function<void()> handler);

    QPushButton* m_defaultButton = nullptr;
    PanelBar* m_bar = nullptr;
};

// The panels above the editing area, of which at most one shows. Each has its toggle in the
// state; only the bar shows and hides them: its toggle step, and a panel's Close button.
class PanelBar final {
public:
    explicit PanelBar(TAppState& state) : m_state(state) {}

    void add(ToolPanel* panel, bool TAppState::*toggle);

    // Disables and hides every panel; the toggles stay.
    void HideAllPanels();
    // Hides all panels; then, when its toggle is true, enables the panel, lets it ready itself
    // (ToolPanel::aboutToShow) and shows it. Flips the toggle. True when the panel is shown.
    bool TogglePanel(ToolPanel* panel);
    // A panel's Close button: that panel hidden, still enabled, every toggle as it was.
    void close(ToolPanel* panel);
    // The start: every toggle true, every panel hidden.
    void reset();

private:
    struct Entry {
        ToolPanel* panel;
        bool TAppState::*toggle;
    };
    TAppState& m_state;
    std::vector<Entry> m_panels;
};
