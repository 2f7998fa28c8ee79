// Stored passwords: salted Argon2id hashes made and checked by libsodium. Passwords compare
// without regard to letter case, so what is hashed is always the lower-cased text.
#pragma once

#include <string>
#include <string_view>

namespace zl {

namespace db {
class Connection;
}

// The width the main database declares for entity_pwd: a hash takes about 97 characters.
constexpr int kStoredPasswordWidth = 255;

// The stored form of a password: libsodium's Argon2id string ("$argon2id$..."), with a salt of
// its own each time. Raises std::runtime_error when libsodium cannot make one (out of memory).
std::string HashPassword(std::string_view password);

// Whether a stored value is a hash rather than a password kept in clear from before hashing.
bool IsPasswordHash(std::string_view stored);

// Whether a typed password fits a stored value: a hash is verified by libsodium; a value still
// kept in clear compares as text, both sides lower-cased.
bool PasswordMatches(std::string_view typed, std::string_view stored);

// The hash of a password nobody knows, made with the settings of every stored hash: a login with
// no hash of its own to check checks this one, so that it takes as long as a wrong password and
// its timing does not tell whether the name exists.
constexpr std::string_view kNobodysPasswordHash =
    "$argon2id$v=19$m=65536,t=2,p=1$GiWL6Jn9pRSE+1Etlfm8qQ$TZ8Zydm0MDWPTtBnrN9Qh5ZjH48hkr0+VIde4/"
    "ActYo";

// How many seconds a login try waits before it is checked, after `failuresInARow` failed tries:
// none for the first three tries, then 1, 2, 4 ... and never more than 30.
int LoginDelaySeconds(int failuresInARow);

// Widens entity_pwd of a main database made before passwords were hashed (declared narrower than
// kStoredPasswordWidth), keeping every row and index; does nothing to one that is wide enough.
// True when it widened the column. Raises db::DbError, the file unchanged, when it fails.
bool WidenPasswordColumn(db::Connection& main);

}  // namespace zl
