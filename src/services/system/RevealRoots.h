#pragma once

// The folders whose contents the page may show in the file viewer (the launcher passes its
// storage folder). A path is inside when it is a root or lies below one, both written out
// with "." and ".." removed and after following the symbolic links that exist, so a link
// cannot lead out of a root. Whether the item itself exists plays no part.

#include "core/Url.h"

#include <optional>
#include <string_view>
#include <vector>

namespace quorin {

class RevealRoots {
public:
    inline static constexpr std::size_t maximumPathBytes = 4096;

    // File URLs, kept standardised and in order.
    explicit RevealRoots(std::vector<Url> roots);

    // The standardised file URL of an absolute path (no surrounding whitespace, at most
    // 4,096 bytes) inside one of the roots.
    std::optional<Url> accept(std::string_view path) const;

private:
    std::vector<Url> m_roots;
};

} // namespace quorin
