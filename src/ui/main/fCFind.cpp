// The find and replace panels.
#include "document/find_replace.h"
#include "ui/editor/memo.h"
#include "ui/editor/text_codec.h"
#include "ui/main/fCPas.h"
#include "ui/platform/busy_cursor.h"

#include <QLineEdit>

void TfC::fButtClick()
{
    FindFrom(m_state.FindPos);
    m_state.FindPos = m_state.FindNext;
}

void TfC::FindFrom(std::int32_t start)
{
    const std::string needle = text_codec::ToBytes(editF->text());
    // The area keeps its bytes between edits, so a run of clicks reads the text only once.
    const FindOutcome outcome = ::FindFrom(mem->bytes(), start, needle);
    m_state.FindNext = outcome.FindNext;
    if (!outcome.Found())
        return;
    mem->select(outcome.Hit, static_cast<qsizetype>(needle.size()));
    mem->setFocus();
}

void TfC::rButtClick()
{
    BusyCursor busy;
    const std::optional<std::string> result = ReplaceAllCaseless(
        mem->bytes(), text_codec::ToBytes(rFrom->text()), text_codec::ToBytes(rTo->text()));
    if (result)
        mem->setBytes(*result);
}
