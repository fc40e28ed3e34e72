#include "document/region_writer.h"

#include <fcntl.h>

#include <algorithm>

#include "document/file_calls.h"

namespace {

constexpr off_t kWritebackRegion = off_t(4) << 20;
constexpr off_t kWritebackWindow = 8 * kWritebackRegion;

}  // namespace

bool RegionWriter::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t now =
            std::min(bytes.size(), static_cast<std::size_t>(m_sent + kWritebackRegion - m_written));
        if (!WriteAll(m_fd, bytes.substr(0, now)))
            return false;
        bytes.remove_prefix(now);
        m_written += static_cast<off_t>(now);
        if (m_written == m_sent + kWritebackRegion && !SendRegion())
            return false;
    }
    return true;
}

bool RegionWriter::SendRegion()
{
    if (!SyncRange(m_fd, m_sent, kWritebackRegion, SYNC_FILE_RANGE_WRITE))
        return false;
    m_sent += kWritebackRegion;
    if (m_sent - m_settled <= kWritebackWindow)
        return true;
    // The oldest region still in flight: waited for, which bounds the memory, then dropped.
    if (!SyncRange(
            m_fd, m_settled, kWritebackRegion,
            SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER))
        return false;
    ::posix_fadvise(m_fd, m_settled, kWritebackRegion, POSIX_FADV_DONTNEED);
    m_settled += kWritebackRegion;
    return true;
}

bool WritePieces(int fd, const TBytePieces& pieces)
{
    RegionWriter writer(fd);
    std::size_t written = 0;
    while (written < pieces.size) {
        const std::string_view piece = pieces.next();
        if (piece.empty() || piece.size() > pieces.size - written || !writer.Write(piece))
            return false;
        written += piece.size();
    }
    return true;
}
