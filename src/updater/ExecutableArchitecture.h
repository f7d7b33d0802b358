#pragma once

#include <string_view>

namespace quorin {

// Whether the first bytes of an executable start a 64-bit little-endian ELF file for the
// machine this program was built for (x86-64 or AArch64).
bool isExecutableForThisMachine(std::string_view header);

} // namespace quorin
