#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_text.h"

// A run of the text as it was when taken, for the clipboard. It reads the text where it lies
// until an edit would change those bytes, and copies them only then; so selecting or copying a
// run of any length costs nothing, and a run is held twice only once the user has edited it
// while the clipboard keeps it.
class TextSnapshot final {
public:
    std::size_t size() const { return m_text ? m_len : m_bytes.size(); }
    // Valid until the text or the snapshot changes.
    TextPieces pieces() const
    {
        return m_text ? m_text->pieces(m_pos, m_len) : TextPieces{m_bytes, {}};
    }

private:
    friend class SnapshotKeeper;
    const ByteText* m_text = nullptr;  // the text it reads in place; null once it holds a copy
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    std::string m_bytes;
};

// The snapshots of one text that are alive, for the text's owner to call before and after each
// change of the text.
class SnapshotKeeper final {
public:
    explicit SnapshotKeeper(const ByteText& text) : m_text(text) {}
    // The text goes away: every live snapshot copies its bytes (one that cannot keeps none).
    ~SnapshotKeeper();
    SnapshotKeeper(const SnapshotKeeper&) = delete;
    SnapshotKeeper& operator=(const SnapshotKeeper&) = delete;

    // [pos, pos + len) of the text, clamped; the same snapshot as the last one taken when that
    // one holds the same run.
    std::shared_ptr<const TextSnapshot> take(std::size_t pos, std::size_t len);

    // [pos, pos + erased) is about to become other bytes: the snapshots whose bytes change copy
    // them first. Throws std::bad_alloc when a copy does not fit, before anything changed.
    void beforeEdit(std::size_t pos, std::size_t erased);
    // The edit was made: the snapshots after it follow their bytes.
    void afterEdit(std::size_t pos, std::size_t erased, std::size_t inserted);
    // The whole text is about to change.
    void beforeWholeChange();

private:
    void prune();
    static void copyOut(TextSnapshot& snapshot);

    const ByteText& m_text;
    std::vector<std::weak_ptr<TextSnapshot>> m_live;  // those still reading the text
};
