#pragma once

#include <sys/types.h>

#include <string_view>

#include "document/atomic_file.h"

// Writes a file from its start, handing each full region to the disk as it goes, so that the
// final fsync finds little left; once a region is on the disk its pages are let go, so that a
// file of gigabytes holds at most a window of regions of the page cache. (Fresh memory costs more
// than memory just freed, and other programs' cached files stay.) A write-back error fails the
// write where it is met. On a pipe, the hints are no failure and change nothing.
class RegionWriter final {
public:
    // Writes at the file's current place, `start` bytes from its beginning.
    explicit RegionWriter(int fd, off_t start = 0)
        : m_fd(fd), m_written(start), m_sent(start), m_settled(start)
    {
    }

    bool Write(std::string_view bytes);

private:
    bool SendRegion();

    int m_fd;
    off_t m_written;  // from the file's start
    off_t m_sent;     // what was handed to the disk
    off_t m_settled;  // what is on the disk and no longer cached
};

// All of `pieces` from the file's start through a RegionWriter: exactly `pieces.size` bytes, or
// false (a piece missing or too long fails like a full disk).
bool WritePieces(int fd, const TBytePieces& pieces);
