#include "SavedAccountStoreError.h"

namespace quorin {

std::string SavedAccountStoreError::code() const
{
    switch (errorCase) {
    case Case::InvalidEntry:
        return "SAVED_ACCOUNTS_INVALID_ENTRY";
    case Case::DuplicateID:
        return "SAVED_ACCOUNTS_DUPLICATE_ID";
    case Case::CapacityExceeded:
        return "SAVED_ACCOUNTS_CAPACITY_EXCEEDED";
    case Case::PersistenceFailed:
        return "SAVED_ACCOUNTS_PERSISTENCE_FAILED";
    case Case::KeychainFailed:
        return "SAVED_ACCOUNTS_KEYCHAIN_FAILED";
    }
    return "SAVED_ACCOUNTS_KEYCHAIN_FAILED";
}

} // namespace quorin
