#include "ExecutableArchitecture.h"

#include <elf.h>

namespace quorin {

namespace {

#if defined(__x86_64__)
constexpr unsigned thisMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr unsigned thisMachine = EM_AARCH64;
#else
#error "Unsupported architecture"
#endif

} // namespace

bool isExecutableForThisMachine(std::string_view header)
{
    // e_ident (16 bytes), e_type (2), e_machine (2): the machine ends at byte 20.
    if (header.size() < 20 || !header.starts_with(ELFMAG))
        return false;
    if (header[EI_CLASS] != ELFCLASS64 || header[EI_DATA] != ELFDATA2LSB)
        return false;
    unsigned machine = static_cast<unsigned char>(header[18]) | static_cast<unsigned char>(header[19]) << 8;
    return machine == thisMachine;
}

} // namespace quorin
