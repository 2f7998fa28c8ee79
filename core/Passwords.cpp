#include "core/Passwords.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/SchemaChange.h"
#include "platform/db/Unicode.h"

namespace zl {
namespace {

// libsodium's interactive limits: one hash or check takes a small fraction of a second.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

constexpr std::string_view kHashPrefix = "$argon2";

void RequireSodium() {
    if (sodium_init() < 0)
        throw std::runtime_error("The password library could not be started.");
}

// Wipes a copy of a password when it goes out of scope.
struct WipedText {
    std::string text;
    ~WipedText() { sodium_memzero(text.data(), text.size()); }
};

}  // namespace

std::string HashPassword(std::string_view password) {
    RequireSodium();
    const WipedText lower{db::ToLowerUtf8(password)};
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, lower.text.data(), lower.text.size(), kOpsLimit, kMemLimit) != 0)
        throw std::runtime_error("The password could not be stored: out of memory.");
    return hash;
}

bool IsPasswordHash(std::string_view stored) {
    return stored.starts_with(kHashPrefix);
}

bool PasswordMatches(std::string_view typed, std::string_view stored) {
    const WipedText lower{db::ToLowerUtf8(typed)};
    if (!IsPasswordHash(stored))
        return lower.text == db::ToLowerUtf8(stored);
    RequireSodium();
    const std::string hash(stored);  // libsodium reads it up to its terminating NUL
    return crypto_pwhash_str_verify(hash.c_str(), lower.text.data(), lower.text.size()) == 0;
}

int LoginDelaySeconds(int failuresInARow) {
    constexpr int kFreeTries = 3;
    constexpr int kLongestWait = 30;
    if (failuresInARow < kFreeTries)
        return 0;
    const int doublings = failuresInARow - kFreeTries;
    return doublings >= 5 ? kLongestWait : std::min(kLongestWait, 1 << doublings);
}

bool WidenPasswordColumn(db::Connection& main) {
    int width = 0;
    {
        db::Query columns(&main);
        columns.SetSQL("select entity_pwd from entity where entity_id=0");
        columns.Open();
        width = columns.FieldByName("entity_pwd").Size();
    }
    if (width >= kStoredPasswordWidth)
        return false;
    try {
        db::ChangeColumnType(main, "entity", "entity_pwd",
                             "VARCHAR(" + std::to_string(kStoredPasswordWidth) + ")");
    } catch (const std::exception& e) {
        throw db::DbError(std::string("The password column of the main database could not be "
                                      "widened for stored password hashes: ") +
                          e.what());
    }
    return true;
}

}  // namespace zl
