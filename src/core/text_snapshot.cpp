#include "core/text_snapshot.h"

#include <algorithm>
#include <new>

SnapshotKeeper::~SnapshotKeeper()
{
    for (const auto& weak : m_live) {
        const auto snapshot = weak.lock();
        if (!snapshot || !snapshot->m_text)
            continue;
        try {
            copyOut(*snapshot);
        } catch (const std::bad_alloc&) {
            snapshot->m_text = nullptr;  // an empty run rather than one read from freed bytes
        }
    }
}

void SnapshotKeeper::prune()
{
    std::erase_if(m_live, [](const std::weak_ptr<TextSnapshot>& weak) {
        const auto snapshot = weak.lock();
        return !snapshot || !snapshot->m_text;
    });
}

std::shared_ptr<const TextSnapshot> SnapshotKeeper::take(std::size_t pos, std::size_t len)
{
    pos = std::min(pos, m_text.size());
    len = std::min(len, m_text.size() - pos);
    prune();
    if (!m_live.empty()) {
        auto last = m_live.back().lock();
        if (last->m_pos == pos && last->m_len == len)
            return last;
    }
    auto snapshot = std::make_shared<TextSnapshot>();
    snapshot->m_text = &m_text;
    snapshot->m_pos = pos;
    snapshot->m_len = len;
    m_live.push_back(snapshot);
    return snapshot;
}

void SnapshotKeeper::copyOut(TextSnapshot& snapshot)
{
    snapshot.m_bytes = snapshot.m_text->bytes(snapshot.m_pos, snapshot.m_len);
    snapshot.m_text = nullptr;
}

void SnapshotKeeper::beforeEdit(std::size_t pos, std::size_t erased)
{
    prune();
    for (const auto& weak : m_live) {
        const auto snapshot = weak.lock();
        const std::size_t start = snapshot->m_pos;
        const std::size_t end = start + snapshot->m_len;
        // Bytes erased from the run, or put inside it.
        const bool changes = erased > 0 ? pos < end && pos + erased > start
                                        : start < pos && pos < end;
        if (changes)
            copyOut(*snapshot);
    }
    prune();
}

void SnapshotKeeper::afterEdit(std::size_t pos, std::size_t erased, std::size_t inserted)
{
    prune();
    for (const auto& weak : m_live)
        if (const auto snapshot = weak.lock(); pos + erased <= snapshot->m_pos)
            snapshot->m_pos = snapshot->m_pos - erased + inserted;
}

void SnapshotKeeper::beforeWholeChange()
{
    prune();
    for (const auto& weak : m_live)
        copyOut(*weak.lock());
    m_live.clear();
}
