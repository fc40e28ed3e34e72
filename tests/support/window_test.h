#pragma once

#include <memory>

#include <QObject>
#include <QTest>

#include "core/app_state.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "ui/main/fCPas.h"

// What most GUI tests stand on: a fresh current folder, a scripted desktop, a state record of
// their own, a recorder of messages and, once made, a main window over them. A test class
// derives from it and calls setUpWindowTest() in init() and tearDownWindowTest() in cleanup().
class WindowTest : public QObject {
protected:
    std::unique_ptr<TempWorkDir> m_dir;
    std::unique_ptr<ScriptedDesktop> m_desktop;
    std::unique_ptr<TAppState> m_state;
    std::unique_ptr<NoteRecorder> m_notes;
    std::unique_ptr<TfC> m_w;

    TfC& w() { return *m_w; }
    TAppState& s() { return *m_state; }

    void setUpWindowTest()
    {
        m_dir = std::make_unique<TempWorkDir>();
        m_desktop = std::make_unique<ScriptedDesktop>();
        m_state = std::make_unique<TAppState>();
        m_notes = std::make_unique<NoteRecorder>();
    }

    void tearDownWindowTest()
    {
        m_w.reset();
        m_notes.reset();
        m_state.reset();
        m_desktop.reset();
        m_dir.reset();
    }

    // Makes the main window (its creation runs start-up); shown and active when asked, so that
    // its shortcuts answer.
    TfC& makeWindow(bool shown)
    {
        m_w = std::make_unique<TfC>(*m_desktop, *m_state);
        if (shown) {
            m_w->show();
            m_w->activateWindow();
            if (!QTest::qWaitForWindowActive(m_w.get()))
                qWarning("main window did not become active");
        }
        return *m_w;
    }

    void press(QKeyCombination keys)
    {
        QTest::keyClick(m_w.get(), keys.key(), keys.keyboardModifiers());
    }
};
