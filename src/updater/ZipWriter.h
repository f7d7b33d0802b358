#pragma once

// A ZIP archive built in memory from stored entries (PKWARE APPNOTE.TXT 4.3.7, 4.3.12,
// 4.3.16): no compression, no ZIP64, UNIX permissions in the external attributes so that
// extractors keep them. The release tool packs bundles with it; tests build archives with it.

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quorin {

class ZipWriter {
public:
    // `mode` is the entry's st_mode (type and permissions); folder names end with "/".
    void add(std::string_view name, std::string_view data, mode_t mode);
    // The whole archive: the entries, the central directory and the end record.
    std::string finish() &&;

private:
    std::string m_entries;
    std::string m_directory;
    std::uint32_t m_count { 0 };
};

} // namespace quorin
