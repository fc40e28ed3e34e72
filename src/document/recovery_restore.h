#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "document/file_calls.h"
#include "document/recovery_journal.h"

// The other side of the recovery journal (recovery_journal.h): finding, at start, the journals
// of editors that are no longer running, and rebuilding a text from one, whole or not at all.

// A journal whose editor is no longer running, locked by this process for as long as this is
// kept: another editor starting meanwhile does not offer it too.
struct TOrphanJournal {
    std::string path;
    FileDescriptor lock;
};

// The journals in `folder` that no running editor holds, oldest first. Leftovers of a new
// journal that a crash kept from getting its name are removed. A folder that is missing or not
// the user's own gives none.
std::vector<TOrphanJournal> FindOrphanJournals(const std::string& folder);

// What a journal says, checked record by record. The text is rebuilt by RebuildText.
struct TJournalSummary {
    TRecoveryDocument document;   // as the last commit names it
    // The base, when it is the document file: as it was read.
    std::string basePath;
    FileStamp baseStamp;
    std::int64_t lastChange = 0;  // seconds since 1970
    std::size_t caret = 0;
    std::size_t size = 0;
    bool fromFile = false;        // the base is the document file, else a copy of the text
    // The records up to the last commit (a torn record after it is what a crash leaves).
    std::string_view records;
};

// Throws CommandError saying why the journal cannot be applied: not a journal, damaged, or no
// commit (nothing was written whole). `bytes` must outlive the summary.
TJournalSummary ReadJournal(std::string_view bytes);

// Reads the document file as Open does; throws CommandError when it cannot.
using TLoadDocument = std::function<std::string(const std::string& path)>;

// The text the journal rebuilds: its base (the document file, which must be as it was, or the
// copy), then every edit up to the last commit, each checked against the text. Throws
// CommandError, and gives nothing, when any of it does not fit.
std::string RebuildText(const TJournalSummary& journal, const TLoadDocument& load,
                        std::size_t capacity);

// Removes a journal that was restored or discarded, while still holding its lock.
void RemoveJournal(TOrphanJournal& journal);
