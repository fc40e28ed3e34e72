#include "ui/main/find_panel.h"

#include <algorithm>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "ui/common/display_text.h"
#include "ui/editor/memo.h"

namespace {

// The count goes on a piece of the text at a time, giving the window back after a few
// milliseconds: keys and paints wait no longer than that.
constexpr std::size_t kCountPiece = std::size_t{4} << 20;
constexpr qint64 kCountSliceMs = 8;
// The two options sit right of the buttons, one above the other; in a narrow panel they come
// closer to the buttons, down to the gap the other controls keep.
constexpr int kOptionGap = 16;
constexpr int kLeastOptionGap = 4;
constexpr int kPanelRightMargin = 4;
constexpr int kOptionTops[] = {9, 33};

QCheckBox* AddOptionBox(QWidget* panel, const char* name, const char* caption, int row)
{
    auto* box = new QCheckBox(FindPanel::tr(caption), panel);
    box->setObjectName(QString::fromLatin1(name));
    box->adjustSize();
    box->move(0, kOptionTops[row]);
    return box;
}

}  // namespace

FindOptionBoxes::FindOptionBoxes(QWidget* panel, const QWidget* after, const char* caseName,
                                 const char* wholeName)
{
    matchCase = AddOptionBox(panel, caseName, QT_TRANSLATE_NOOP("FindPanel", "Match case"), 0);
    wholeWords = AddOptionBox(panel, wholeName, QT_TRANSLATE_NOOP("FindPanel", "Whole words"), 1);
    place(after, panel->width());
}

void FindOptionBoxes::place(const QWidget* after, int panelWidth) const
{
    const int afterRight = after->geometry().right() + 1;
    const int widest = std::max(matchCase->width(), wholeWords->width());
    const int left = std::clamp(panelWidth - kPanelRightMargin - widest,
                                afterRight + kLeastOptionGap, afterRight + kOptionGap);
    matchCase->move(left, matchCase->y());
    wholeWords->move(left, wholeWords->y());
}

FindOptions FindOptionBoxes::options() const
{
    return {matchCase->isChecked(), wholeWords->isChecked()};
}

FindPanel::FindPanel(Memo& mem, TAppState& state, Desktop& desktop, QWidget* parent)
    : ToolPanel("pFind", desktop, parent), m_mem(mem), m_state(state)
{
    editF = addEdit("editF", 16, 16, 169, 28);
    fButt = addButton("fButt", QT_TR_NOOP("Find"), 194, 16);
    cFind = addButton("cFind", QT_TR_NOOP("Close"), 280, 16);
    fitRow({editF, fButt, cFind});
    const FindOptionBoxes boxes(this, cFind, "fCase", "fWhole");
    fCase = boxes.matchCase;
    fWhole = boxes.wholeWords;
    editF->setAccessibleName(tr("Text to find"));
    setDefaultButton(fButt);
    onClick(fButt, &FindPanel::fButtClick);
    onClick(cFind, &FindPanel::cFindClick);

    editF->installEventFilter(this);
    connect(editF, &QLineEdit::textEdited, this, [this] { m_historyAt = -1; });
    // A count is of one sought text, with its options, in one text.
    connect(editF, &QLineEdit::textChanged, this, &FindPanel::forgetHits);
    connect(fCase, &QCheckBox::toggled, this, &FindPanel::forgetHits);
    connect(fWhole, &QCheckBox::toggled, this, &FindPanel::forgetHits);
    connect(&m_mem, &Memo::textChanged, this, &FindPanel::forgetHits);
    connect(editF, &QLineEdit::textChanged, this, &FindPanel::markHits);
    connect(fCase, &QCheckBox::toggled, this, &FindPanel::markHits);
    connect(fWhole, &QCheckBox::toggled, this, &FindPanel::markHits);
    m_counting.setSingleShot(true);
    connect(&m_counting, &QTimer::timeout, this, &FindPanel::countSome);
}

FindOptions FindPanel::options() const
{
    return FindOptionBoxes{fCase, fWhole}.options();
}

void FindPanel::fButtClick()
{
    FindFrom(m_state.FindPos);
    m_state.FindPos = m_state.FindNext;
}

void FindPanel::FindFrom(std::int32_t start)
{
    const std::string needle = display_text::ToBytes(editF->text());
    remember(editF->text());
    // The area keeps its bytes between edits, so a run of clicks reads the text only once.
    const FindOutcome outcome = ::FindFrom(m_mem.bytes(), start, needle, options());
    m_state.FindNext = outcome.FindNext;
    showHit(outcome, needle);
}

void FindPanel::findPrevious()
{
    const std::string needle = display_text::ToBytes(editF->text());
    remember(editF->text());
    const FindOutcome outcome = FindBefore(m_mem.bytes(), static_cast<std::size_t>(m_mem.selStart()),
                                           needle, options());
    // As after the Find button: the next search forwards goes on after this hit.
    m_state.FindNext = outcome.FindNext;
    m_state.FindPos = m_state.FindNext;
    showHit(outcome, needle);
}

void FindPanel::showHit(const FindOutcome& outcome, const std::string& needle)
{
    m_counting.stop();
    m_count.reset();
    if (!outcome.Found()) {
        // Silent, as a search that finds nothing always was; the next one starts over.
        emit hitsChanged(QString());
        return;
    }
    m_mem.select(outcome.Hit, static_cast<qsizetype>(needle.size()));
    m_mem.setFocus();
    m_count.emplace(TextFinder(needle, options()), static_cast<std::size_t>(outcome.Hit));
    countSome();
}

void FindPanel::countSome()
{
    if (!m_count)
        return;
    QElapsedTimer slice;
    slice.start();
    const std::string_view text = m_mem.bytes();
    while (!m_count->CountOn(text, kCountPiece) && slice.elapsed() < kCountSliceMs) {
    }
    if (!m_count->Done()) {
        emit hitsChanged(tr("counting hits\u2026"));
        m_counting.start(0);
        return;
    }
    emit hitsChanged(tr("hit %1 of %2").arg(m_count->Index()).arg(m_count->Total()));
    m_count.reset();
}

void FindPanel::forgetHits()
{
    m_counting.stop();
    m_count.reset();
    emit hitsChanged(QString());
}

void FindPanel::remember(const QString& needle)
{
    m_historyAt = -1;
    if (needle.isEmpty())
        return;
    m_history.erase(std::remove(m_history.begin(), m_history.end(), needle), m_history.end());
    m_history.insert(m_history.begin(), needle);
    if (m_history.size() > kHistoryKept)
        m_history.resize(kHistoryKept);
}

void FindPanel::browseHistory(int step)
{
    int at = m_historyAt + step;
    // The first Up skips the entry the box holds already: the search just made.
    if (m_historyAt == -1 && step > 0 && !m_history.empty() && m_history.front() == editF->text())
        ++at;
    if (at < -1 || at >= static_cast<int>(m_history.size()))
        return;
    if (m_historyAt == -1)
        m_typed = editF->text();
    m_historyAt = at;
    editF->setText(at == -1 ? m_typed : m_history[static_cast<std::size_t>(at)]);
}

bool FindPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editF && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier &&
            (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            browseHistory(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return ToolPanel::eventFilter(watched, event);
}

void FindPanel::resizeEvent(QResizeEvent* event)
{
    ToolPanel::resizeEvent(event);
    FindOptionBoxes{fCase, fWhole}.place(cFind, width());
}

void FindPanel::markHits()
{
    const std::string needle = display_text::ToBytes(editF->text());
    if (!isHidden() && !needle.empty())
        m_mem.markHits(TextFinder(needle, options()));
    else
        m_mem.markHits(std::nullopt);
}

void FindPanel::showEvent(QShowEvent* event)
{
    ToolPanel::showEvent(event);
    markHits();
}

void FindPanel::hideEvent(QHideEvent* event)
{
    forgetHits();
    m_mem.markHits(std::nullopt);
    ToolPanel::hideEvent(event);
}

void FindPanel::aboutToShow()
{
    editF->setFocus();
}

void FindPanel::cFindClick()
{
    closePanel();
}
