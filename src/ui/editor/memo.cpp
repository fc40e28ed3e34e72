#include "ui/editor/memo.h"

#include <algorithm>

#include "document/document_file.h"

Memo::Memo(QWidget* parent) : TextView(parent, kMemoCapacity) {}

void Memo::select(qsizetype start, qsizetype length)
{
    TextView::select(static_cast<std::size_t>(std::max<qsizetype>(0, start)),
                     static_cast<std::size_t>(std::max<qsizetype>(0, length)));
}
