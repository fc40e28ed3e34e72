#include "ui/editor/text_accessible.h"

#include <algorithm>
#include <limits>

#include <QAccessible>
#include <QAccessibleWidget>

#include "core/caret_motion.h"
#include "core/win1252.h"
#include "ui/editor/text_view.h"

class TextViewAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextViewAccessible(TextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText), m_view(view)
    {
    }

    static QAccessibleInterface* Make(const QString&, QObject* object)
    {
        auto* view = qobject_cast<TextView*>(object);
        return view ? new TextViewAccessible(view) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !m_view->isReadOnly();
        s.readOnly = m_view->isReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? text(0, characterCount()) : QAccessibleWidget::text(t);
    }

    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && m_view->selLength() > 0) {
            *start = Offset(m_view->selStart());
            *end = Offset(m_view->selStart() + m_view->selLength());
        }
    }
    int selectionCount() const override { return m_view->selLength() > 0 ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { m_view->setSelection(m_view->caret(), m_view->caret()); }
    void setSelection(int, int start, int end) override
    {
        m_view->setSelection(Position(std::min(start, end)), Position(std::max(start, end)));
    }
    int cursorPosition() const override { return Offset(m_view->caret()); }
    void setCursorPosition(int position) override
    {
        m_view->setSelection(Position(position), Position(position));
    }
    QString text(int start, int end) const override
    {
        const auto a = static_cast<std::size_t>(std::clamp(start, 0, characterCount()));
        const auto b = static_cast<std::size_t>(std::clamp(end, 0, characterCount()));
        if (b <= a)
            return {};
        const TextPieces bytes = m_view->m_text.pieces(a, b - a);
        QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            out[static_cast<qsizetype>(i)] =
                QChar(win1252::ToUnicode(static_cast<unsigned char>(bytes[i])));
        return out;
    }
    int characterCount() const override { return Offset(m_view->byteLength()); }
    QRect characterRect(int offset) const override
    {
        const std::size_t pos = Position(offset);
        const QPointF at = m_view->pointOf(pos);
        const qreal width =
            m_view->pointOf(caret::NextChar(m_view->m_text, pos)).x() - at.x();
        const QRectF local(at, QSizeF(std::max<qreal>(1, width), m_view->m_painter.lineHeight()));
        return QRect(m_view->viewport()->mapToGlobal(local.topLeft().toPoint()),
                     local.size().toSize());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return Offset(m_view->positionAt(m_view->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    // Offsets are ints; a text longer than that is read as far as they reach.
    static int Offset(std::size_t pos)
    {
        return static_cast<int>(std::min<std::size_t>(pos, std::numeric_limits<int>::max()));
    }
    static std::size_t Position(int offset) { return static_cast<std::size_t>(std::max(0, offset)); }

    TextView* m_view;
};

void InstallTextViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&TextViewAccessible::Make);
        return true;
    }();
    Q_UNUSED(installed);
}
