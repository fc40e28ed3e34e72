#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/atomic_file.h"

// The rewrite in place, for a file a rename would not serve (see WriteFileAtomically), and the
// safe copy that protects it: the file's old content, kept in SafeCopyFolder() until the new
// content is on the disk, with a record beside it that names the file, so that a copy left by a
// save that was killed is found at the next start.
//
// The record exists, synced, before any byte of the copy; it says when the copy is complete, and
// what the new content is (its size and digest) once all of it is written, before the file is
// cut to its new size and synced. A start can so tell a save that never touched its file, or
// finished writing it, from one that left the file half old and half new.

// ${XDG_DATA_HOME:-$HOME/.local/share}/plimo/unfinished-saves. Empty when there is no home.
std::string SafeCopyFolder();

// Rewrites `target`, the regular file `path` leads to (`existing` is its stat), in place: under
// a lock that a second writer, of this program or another copy of it, waits for briefly and then
// fails on ("another program is saving this file"), changing nothing. Its old content is copied
// safe first; a failure midway puts it back, and when even that fails, the message says where
// the copy is. Throws CommandError("Cannot create file " + path ...).
void RewriteInPlace(const std::string& path, const std::string& target, const struct stat& existing,
                    const TBytePieces& bytes, TExistingMode mode);

// A rewrite in place that was killed before it finished: `copy` holds the old content of
// `target`, which holds neither that nor the new content whole.
struct TInterruptedSave {
    std::string target;
    std::string copy;
    std::string record;  // what names the target, until the user has been told
};

// The interrupted rewrites whose process is gone, to be told to the user. A copy that is not
// needed (the save never touched its file, or its file holds the new content or the old one
// whole) is removed with its record on the way, unreported.
std::vector<TInterruptedSave> FindInterruptedSaves();

// The user has been told: the record goes, so that the save is not reported again, and the copy
// stays where it is for the user.
void ForgetInterruptedSave(const TInterruptedSave& save);

// A 64-bit digest of bytes given in pieces of any size: equal contents give equal digests
// whatever their cut. It tells a complete file from one cut short or mixed with old content,
// fast enough to run beside the write.
class ContentDigest final {
public:
    void Add(std::string_view bytes);
    std::uint64_t Value() const;

private:
    void Mix(std::uint64_t word);

    std::uint64_t m_state = 0x6A09E667F3BCC909ull;
    std::uint64_t m_length = 0;
    unsigned char m_tail[8] = {};
    std::size_t m_tailSize = 0;
};
