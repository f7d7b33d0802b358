#include "PlaySession.h"

#include <ostream>

namespace quorin {

std::string PlaySession::description() const
{
    return "PlaySession(payload=redacted)";
}

std::ostream& operator<<(std::ostream& stream, const PlaySession& session)
{
    return stream << session.description();
}

} // namespace quorin
