#pragma once

// In-memory stand-ins for the file and the key store, each able to fail on demand. Every
// token in these tests starts with "tok-", and no write may carry one into the file.

#include "core/LauncherDataPersisting.h"
#include "services/accounts/KeychainClient.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

namespace quorin::testing {

class MemoryPersistence final : public LauncherDataPersisting {
public:
    std::optional<std::string> bytes;
    bool failWrites { false };

    Result<std::optional<std::string>, FileSystemError> read() const override
    {
        return bytes;
    }
    Status<FileSystemError> write(std::string_view written) override
    {
        EXPECT_EQ(written.find("tok-"), std::string_view::npos) << "a token reached the file";
        if (failWrites)
            return fail(FileSystemError::fromErrno("saved-accounts.json", ENOSPC));
        bytes = std::string(written);
        return Ok {};
    }
};

// Fails call number `failingCall` (reads, writes and removals counted from 0) once, as a
// locked or vanished Secret Service does; `failAll` fails every call.
class MemoryKeychain final : public KeychainClient {
public:
    std::map<std::string, std::string> items; // by account: one service per test
    std::optional<int> failingCall;
    bool failAll { false };
    int calls { 0 };

    Result<std::optional<std::string>, KeychainClientError> read(std::string_view, std::string_view account) override
    {
        TRY(nextCall());
        auto item = items.find(std::string(account));
        return item == items.end() ? std::nullopt : std::optional(item->second);
    }
    Status<KeychainClientError> write(std::string_view, std::string_view account, std::string_view value) override
    {
        TRY(nextCall());
        items[std::string(account)] = value;
        return Ok {};
    }
    Status<KeychainClientError> remove(std::string_view, std::string_view account) override
    {
        TRY(nextCall());
        items.erase(std::string(account));
        return Ok {};
    }

private:
    Status<KeychainClientError> nextCall()
    {
        if (failAll || calls++ == failingCall)
            return fail(KeychainClientError::operationFailed(2));
        return Ok {};
    }
};

} // namespace quorin::testing
