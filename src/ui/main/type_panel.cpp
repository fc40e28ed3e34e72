#include "ui/main/type_panel.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <QComboBox>
#include <QPushButton>

#include "ui/editor/memo.h"
#include "ui/platform/desktop.h"

namespace {

const char* const kTypeSizes[] = {"10", "12", "15", "18", "20", "22", "25", "28", "30", "32", "35"};
constexpr int kPanelRightMargin = 16;
constexpr int kControlGap = 4;
constexpr int kTypefaceListWidth = 273;
// The typeface list gives up width for the Font button down to this.
constexpr int kMinTypefaceListWidth = 120;
constexpr int kFontButtonLeft = 600;

}  // namespace

TypePanel::TypePanel(Memo& mem, TAppState& state, PanelBar& bar, PanelHost& host, Desktop& desktop,
                     QWidget* parent)
    : ToolPanel("pType", desktop, parent), m_mem(mem), m_state(state), m_bar(bar), m_host(host)
{
    ComboBox1 = addList("ComboBox1", 16, 16, 177);
    for (const char* size : kTypeSizes)
        ComboBox1->addItem(QString::fromLatin1(size));
    cType = addButton("cType", QT_TR_NOOP("Close"), 208, 16);
    ft = addList("ft", 312, 18, kTypefaceListWidth);
    ft->setMaxVisibleItems(12);
    Button1 = addButton("Button1", QT_TR_NOOP("Font"), kFontButtonLeft, 16, 97, 32);
    fitRow({ComboBox1, cType});
    ComboBox1->setAccessibleName(tr("Type size"));
    ft->setAccessibleName(tr("Typeface"));

    onClick(cType, &TypePanel::cTypeClick);
    // activated fires only on the user's choice, never when the program selects an entry.
    connect(ComboBox1, &QComboBox::activated, this, [this] { run([this] { typeChange(); }); });
    connect(ft, &QComboBox::activated, this, [this] { run([this] { ftChange(); }); });
}

void TypePanel::command()
{
    m_mem.setPointSize(m_state.TypeSize);
    m_bar.TogglePanel(this);
}

void TypePanel::aboutToShow()
{
    // "Default" first, then the screen's families without a repeat of the name just before,
    // all sorted without regard to case.
    QStringList names{tr("Default")};
    for (const QString& family : m_desktop.screenFontFamilies())
        if (family.compare(names.last(), Qt::CaseInsensitive) != 0)
            names << family;
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    ft->clear();
    ft->addItems(names);
    ft->setCurrentIndex(0);

    ComboBox1->setCurrentIndex(ComboBox1->findText(QString::number(m_state.TypeSize)));
    m_mem.setPointSize(m_state.TypeSize);
}

void TypePanel::typeChange()
{
    m_mem.setPointSize(ComboBox1->currentText().toInt());
    m_state.TypeSize = m_mem.pointSize();
    m_host.saveSettingsNow();
}

void TypePanel::zoom(int steps)
{
    std::vector<int> sizes;
    for (const char* size : kTypeSizes)
        sizes.push_back(std::atoi(size));
    // The first listed size above TypeSize (or at it, going down), then the steps from there.
    const auto above = std::upper_bound(sizes.begin(), sizes.end(), m_state.TypeSize);
    const auto atOrAbove = std::lower_bound(sizes.begin(), sizes.end(), m_state.TypeSize);
    const long from = steps > 0 ? above - sizes.begin() - 1 : atOrAbove - sizes.begin();
    const long to = std::clamp<long>(from + steps, 0, static_cast<long>(sizes.size()) - 1);
    if ((steps > 0 && sizes[to] > m_state.TypeSize) || (steps < 0 && sizes[to] < m_state.TypeSize))
        setTypeSize(sizes[to]);
}

void TypePanel::setTypeSize(int points)
{
    if (points == m_state.TypeSize)
        return;
    m_mem.setPointSize(points);
    m_state.TypeSize = m_mem.pointSize();
    ComboBox1->setCurrentIndex(ComboBox1->findText(QString::number(m_state.TypeSize)));
    m_host.saveSettingsNow();
}

void TypePanel::ftChange()
{
    m_mem.setFamily(ft->currentText());
}

void TypePanel::cTypeClick()
{
    closePanel();
    m_host.saveSettingsNow();
}

void TypePanel::resizeEvent(QResizeEvent* event)
{
    ToolPanel::resizeEvent(event);
    // The Font button stays inside a panel narrower than the design; the typeface list before
    // it gives up the width.
    const int fontLeft = std::min(kFontButtonLeft, width() - kPanelRightMargin - Button1->width());
    const int listWidth = std::max(kMinTypefaceListWidth, fontLeft - kControlGap - ft->x());
    ft->resize(std::min(kTypefaceListWidth, listWidth), ft->height());
    Button1->move(std::max(fontLeft, ft->geometry().right() + 1 + kControlGap), Button1->y());
}
