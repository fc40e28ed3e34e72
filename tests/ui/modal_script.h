#pragma once

#include <deque>
#include <functional>
#include <utility>

#include <QApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

// Drives real modal windows: each step gets the next modal window that appears and must close
// it. The script polls with queued calls, so it never blocks the nested loop a window runs in,
// and several windows in a row are each answered in turn. A step that leaves its window open
// (a failed check returns early, or the window ignores the key) has the window closed for it, so
// a broken window fails the test instead of hanging it.
class ModalScript final : public QObject {
public:
    using Step = std::function<void(QWidget* modal)>;

    explicit ModalScript(std::deque<Step> steps) : m_steps(std::move(steps)) { schedule(); }

    int stepsRun() const { return m_stepsRun; }
    int leftOpen() const { return m_leftOpen; }

private:
    void schedule() { QMetaObject::invokeMethod(this, &ModalScript::poll, Qt::QueuedConnection); }

    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            if (!m_steps.empty() && !m_deadline.hasExpired())
                schedule();
            return;
        }
        if (m_steps.empty())
            return;
        const Step step = std::move(m_steps.front());
        m_steps.pop_front();
        QPointer<QWidget> guard(modal);
        step(modal);
        ++m_stepsRun;
        if (guard && guard->isVisible()) {
            ++m_leftOpen;
            guard->close();
        }
        if (!m_steps.empty())
            schedule();
    }

    std::deque<Step> m_steps;
    QDeadlineTimer m_deadline{10000};
    int m_stepsRun = 0;
    int m_leftOpen = 0;
};
