#pragma once

#include <QString>

namespace zodra {

// Passwords are never stored in clear: an Argon2id hash string (libsodium crypto_pwhash_str).
namespace PasswordHash {

QString Hash(const QString& password);
bool Verify(const QString& storedHash, const QString& typed);

}  // namespace PasswordHash
}  // namespace zodra
