#include "KeychainClientError.h"

namespace quorin {

std::string KeychainClientError::description() const
{
    if (errorCase == Case::OperationFailed)
        return code() + "(" + std::to_string(status) + ")";
    return code();
}

} // namespace quorin
