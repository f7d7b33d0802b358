#include "RuffleRuntimePreload.h"

namespace quorin {

RuffleRuntimePreload::RuffleRuntimePreload(std::optional<std::string> resourcesDirectory)
    : m_resourcesDirectory(std::move(resourcesDirectory))
    , m_early(std::async(std::launch::async, RuffleRuntimeManifest::packaged, m_resourcesDirectory))
{
}

Result<RuffleRuntimeManifest, RuffleRuntimeError> RuffleRuntimePreload::take()
{
    if (m_early.valid())
        return m_early.get();
    return RuffleRuntimeManifest::packaged(m_resourcesDirectory);
}

} // namespace quorin
