#pragma once

// Why a saved-account operation failed. Key store problems are all keychainFailed: the
// store never passes a key store error on.

#include <string>

namespace quorin {

struct SavedAccountStoreError {
    enum class Case { InvalidEntry, DuplicateID, CapacityExceeded, PersistenceFailed, KeychainFailed };
    Case errorCase;

    static SavedAccountStoreError invalidEntry() { return { Case::InvalidEntry }; }
    static SavedAccountStoreError duplicateID() { return { Case::DuplicateID }; }
    static SavedAccountStoreError capacityExceeded() { return { Case::CapacityExceeded }; }
    static SavedAccountStoreError persistenceFailed() { return { Case::PersistenceFailed }; }
    static SavedAccountStoreError keychainFailed() { return { Case::KeychainFailed }; }

    std::string code() const;
    bool operator==(const SavedAccountStoreError&) const = default;
};

} // namespace quorin
