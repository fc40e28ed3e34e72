#pragma once

#include <string>
#include <string_view>

#include "document/file_calls.h"

// The file a save writes before it has the target's name, and the names such files get.

// ".<name>.tmp": what a named temporary beside a file called `name` starts with.
std::string TempStem(const std::string& name);
// "<pid>-<ns>-<n>": a suffix no other file of ours has, the process's id first, so that files
// left by a process that is gone can be told from those of one still writing.
std::string UniqueSuffix();
// True for the id (in decimal) of a process that no longer runs.
bool ProcessIsGone(const std::string& digits);
// A save killed before it renamed its named temporary leaves that file behind; those beside
// `name` in `folder` whose process is gone are removed.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name);

// The file being written, until it has its final name; nothing of it outlives a failure.
class TempFile final {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    // Owner-only while it is written. An unnamed file where the file system has them, so a
    // kill leaves nothing behind; otherwise a hidden name beside the target.
    bool Create(const std::string& folder, const std::string& name);
    int fd() const { return m_fd.get(); }
    // Closes the finished file and gives it the target's name in one step.
    bool RenameOver(const std::string& target);

private:
    std::string NameCandidate() const;
    // The unnamed file gets a name only once it is complete, for the instant before the rename.
    bool LinkUnnamed();

    FileDescriptor m_fd;
    std::string m_folder;
    std::string m_base;
    std::string m_name;  // while the file has a name of its own
};
