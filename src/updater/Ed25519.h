#pragma once

// Ed25519 (RFC 8032) keys and signatures as raw bytes: 32-byte private seeds and public keys,
// 64-byte signatures. Bundle signatures and notary countersignatures use it.

#include <optional>
#include <string>
#include <string_view>

namespace quorin::ed25519 {

inline constexpr std::size_t keySize = 32;
inline constexpr std::size_t signatureSize = 64;

// A fresh private seed from the system's random source.
std::string generatePrivateKey();
// nullopt when `privateKey` is not a 32-byte seed.
std::optional<std::string> publicKeyOf(std::string_view privateKey);
std::optional<std::string> sign(std::string_view privateKey, std::string_view message);
// True only for a well-formed key and a signature that verifies.
bool verify(std::string_view publicKey, std::string_view message, std::string_view signature);

} // namespace quorin::ed25519
