#include "ui/common/secret_box.h"

#include <string.h>  // explicit_bzero

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>

namespace {

// Qt's box offers its selection as the primary selection when a mouse button or a key selects
// text. The guard lets the box handle those events and takes the selection back before the
// event loop runs again: no other program can have asked for it in between, as a request for a
// selection is answered only from the event loop.
class SecretGuard final : public QObject {
public:
    explicit SecretGuard(QLineEdit* box) : QObject(box), m_box(box)
    {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box || !MaySelect(event->type()))
            return false;
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard->supportsSelection())
            return false;
        // Delivered here, as the box would get it next; its accepted flag still tells the
        // application whether its parent gets the event too.
        static_cast<QObject*>(m_box)->event(event);
        const QString selected = m_box->selectedText();
        if (clipboard->ownsSelection() && !selected.isEmpty() &&
            clipboard->text(QClipboard::Selection) == selected)
            clipboard->clear(QClipboard::Selection);
        return true;
    }

private:
    static bool MaySelect(QEvent::Type type)
    {
        return type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick ||
               type == QEvent::MouseButtonPress || type == QEvent::KeyPress;
    }

    QLineEdit* m_box;
};

}  // namespace

void KeepSecret(QLineEdit* box)
{
    new SecretGuard(box);
}

void EmptySecret(QLineEdit* box)
{
    // setText starts the box's history anew; clear() would be a step to undo.
    box->setText(QString());
}

std::string TakeSecretUtf8(QLineEdit* box)
{
    QString text = box->text();
    // Once the box lets go of its text, `text` is its only holder, and is overwritten where it is.
    EmptySecret(box);
    QByteArray utf8 = text.toUtf8();
    std::string secret(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    explicit_bzero(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
    explicit_bzero(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return secret;
}
