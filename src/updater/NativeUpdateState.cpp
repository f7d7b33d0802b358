#include "NativeUpdateState.h"

namespace quorin {

std::string_view NativeUpdateState::statusWord(Status status)
{
    switch (status) {
    case Status::Idle:
        return "idle";
    case Status::Checking:
        return "checking";
    case Status::NotAvailable:
        return "not-available";
    case Status::Available:
        return "available";
    case Status::Downloading:
        return "downloading";
    case Status::Downloaded:
        return "downloaded";
    case Status::Installing:
        return "installing";
    case Status::Error:
        return "error";
    }
    return "error";
}

bool NativeUpdateState::canCheck() const
{
    return status != Status::Checking && status != Status::Downloading && status != Status::Installing;
}

} // namespace quorin
