#include "core/Passwords.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <sqlite3.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "data/DeliveredFiles.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/SchemaChange.h"
#include "setup/Installer.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

bool SodiumVerifies(const std::string& hash, const std::string& password) {
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

TEST(PasswordsTest, AHashIsASaltedArgon2idHashOfTheLowerCasedPassword) {
    const std::string hash = HashPassword("VelKran");
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
    EXPECT_LE(hash.size(), static_cast<std::size_t>(kStoredPasswordWidth));
    EXPECT_TRUE(SodiumVerifies(hash, "velkran"));
    EXPECT_FALSE(SodiumVerifies(hash, "VelKran"));
    EXPECT_NE(HashPassword("velkran"), HashPassword("velkran"));  // a salt of its own each time
    EXPECT_TRUE(IsPasswordHash(hash));
    EXPECT_FALSE(IsPasswordHash("velkran"));
}

TEST(PasswordsTest, TypedPasswordsMatchHashesAndClearValuesWithoutRegardToCase) {
    const std::string hash = HashPassword("Ölmühle 7");
    const struct {
        const char* typed;
        std::string stored;
        bool matches;
    } cases[] = {
        {"ÖLMÜHLE 7", hash, true},
        {"ölmühle 7", hash, true},
        {"ölmühle", hash, false},
        {"", hash, false},
        {"VELKRAN", "velkran", true},
        {"velkran", "VelKran", true},
        {"velkra", "velkran", false},
        {"velkran ", "velkran", false},
        {"", "", true},
        {"$argon2id$", "$argon2id$", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PasswordMatches(c.typed, c.stored), c.matches) << c.typed << " / " << c.stored;
}

TEST(PasswordsTest, FailedTriesWaitOnlyFromTheFourthOnDoublingUpToHalfAMinute) {
    std::vector<int> waits;
    for (int failures = 0; failures <= 10; ++failures)
        waits.push_back(LoginDelaySeconds(failures));
    EXPECT_EQ(waits, (std::vector<int>{0, 0, 0, 1, 2, 4, 8, 16, 30, 30, 30}));
    EXPECT_EQ(LoginDelaySeconds(5000), 30);
}

// A main database made before passwords were hashed: entity_pwd 20 wide, the password in clear.
class PasswordColumnTest : public test::CoreFixture {
  protected:
    PasswordColumnTest() {
        std::string script(*data::DeliveredFile("zlm.sql"));
        const std::string wide = "entity_pwd VARCHAR(255)";
        script.replace(script.find(wide), wide.size(), "entity_pwd VARCHAR(20)");
        ::unlink(folder.MainDb().c_str());
        setup::CreateDatabase(folder.MainDb(), script);
        ConnectAll();
        Exec(
            "insert into entity (entity_id, dimension_id, entity_username, entity_pwd, "
            "entity_name) values (800, 4, 'clerk', 'Secret', 'Lee')");
        Exec(
            "insert into entity (entity_id, dimension_id, parent_id, entity_name) values "
            "(801, 17, 800, 'O''Brien')");
    }

    std::string Declared() const {
        return Stored(folder.MainDb(),
                      "select type from pragma_table_info('entity') where name='entity_pwd'");
    }
    std::vector<std::vector<std::string>> Schema() const {
        return StoredRows(folder.MainDb(),
                          "select type, name, sql from sqlite_schema order by type, name");
    }
    std::vector<std::vector<std::string>> Entities() const {
        return StoredRows(folder.MainDb(), "select * from entity order by entity_id");
    }
};

TEST_F(PasswordColumnTest, WidensOnceKeepingEveryRowIndexAndView) {
    const auto rowsBefore = Entities();
    const auto schemaBefore = Schema();
    ASSERT_EQ(Declared(), "VARCHAR(20)");
    EXPECT_TRUE(WidenPasswordColumn(dm->zlmConn));
    EXPECT_EQ(Declared(), "VARCHAR(255)");
    EXPECT_EQ(Entities(), rowsBefore);
    auto schemaAfter = Schema();
    ASSERT_EQ(schemaAfter.size(), schemaBefore.size());
    for (std::size_t i = 0; i < schemaAfter.size(); ++i) {
        if (schemaAfter[i][1] == "entity")
            EXPECT_EQ(schemaAfter[i][2],
                      db::WithColumnType(schemaBefore[i][2], "entity_pwd", "VARCHAR(255)"));
        else
            EXPECT_EQ(schemaAfter[i], schemaBefore[i]);  // indexes and views as they were
    }
    EXPECT_EQ(Stored(folder.MainDb(), "select count(*) from brwSysUser"), "2");

    // A connection of its own, as the report server opens after start-up, stores a hash.
    db::Connection other;
    other.OpenLike(dm->zlmConn);
    db::Query q(&other);
    q.SetSQL("select * from entity where entity_id=800");
    q.Open();
    EXPECT_EQ(q.FieldByName("entity_pwd").Size(), 255);
    q.Edit();
    q.FieldByName("entity_pwd").SetAsString(HashPassword("secret"));
    EXPECT_NO_THROW(q.Post());

    const auto migrated = Schema();
    EXPECT_FALSE(WidenPasswordColumn(dm->zlmConn));
    EXPECT_EQ(Schema(), migrated);
}

TEST_F(PasswordColumnTest, AFailedWideningLeavesTheFileAsItWas) {
    const auto rowsBefore = Entities();
    const auto schemaBefore = Schema();
    // Index creation refused: the rebuild fails after the table has been made again.
    sqlite3_set_authorizer(
        dm->zlmConn.Handle(),
        [](void*, int action, const char*, const char*, const char*, const char*) {
            return action == SQLITE_CREATE_INDEX ? SQLITE_DENY : SQLITE_OK;
        },
        nullptr);
    EXPECT_THROW(db::ChangeColumnType(dm->zlmConn, "entity", "entity_pwd", "VARCHAR(255)"),
                 db::DbError);
    sqlite3_set_authorizer(dm->zlmConn.Handle(), nullptr, nullptr);
    EXPECT_FALSE(dm->zlmConn.InTransaction());
    EXPECT_EQ(Declared(), "VARCHAR(20)");
    EXPECT_EQ(Entities(), rowsBefore);
    EXPECT_EQ(Schema(), schemaBefore);
}

TEST(SchemaChangeTest, ReplacesOnlyTheNamedColumnsType) {
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"CREATE TABLE t (a INTEGER, p VARCHAR(20) COLLATE NOCASE, q VARCHAR(20))",
         "CREATE TABLE t (a INTEGER, p VARCHAR(255) COLLATE NOCASE, q VARCHAR(20))"},
        {"CREATE TABLE \"t(x\" (\"p\" varchar ( 20 ) NOT NULL,p2 TEXT)",
         "CREATE TABLE \"t(x\" (\"p\" VARCHAR(255) NOT NULL,p2 TEXT)"},
        {"CREATE TABLE t (pp TEXT DEFAULT 'p TEXT', [P] CHARACTER VARYING(9))",
         "CREATE TABLE t (pp TEXT DEFAULT 'p TEXT', [P] VARCHAR(255))"},
        {"CREATE TABLE t (a, p, b)", "CREATE TABLE t (a, p VARCHAR(255), b)"},
        {"CREATE TABLE t (a INTEGER, -- p's old (20), p TEXT\n /* , p INT */ p TEXT(20))",
         "CREATE TABLE t (a INTEGER, -- p's old (20), p TEXT\n /* , p INT */ p VARCHAR(255))"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::WithColumnType(c.sql, "p", "VARCHAR(255)"), c.expected) << c.sql;
    EXPECT_THROW(db::WithColumnType("CREATE TABLE t (pp TEXT)", "p", "TEXT"), db::DbError);
}

}  // namespace
}  // namespace zl
