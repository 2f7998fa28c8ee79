// Table and column names read from the metadata or given by a caller go into SQL as
// identifiers: a name with a space or a "]" still names its table, and a name that reads like
// SQL is only a name.
#include <gtest/gtest.h>

#include <string>

#include "core/DataMod.h"
#include "core/DimensionTable.h"
#include "core/RecordCopier.h"
#include "platform/db/Query.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

constexpr int kKind = 9901;

class MetadataNamesTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        Exec(
            "create table [stock]] line] ([stock]] line_id] INTEGER PRIMARY KEY, [parent id] "
            "INTEGER, allow_delete INTEGER, descr VARCHAR(20))");
        Exec("insert into [stock]] line] values (71, 5, 0, 'Bolts')");
        Exec("insert into [stock]] line] values (72, 5, 0, 'Nuts')");
        Exec(
            "insert into dimension (dimension_id, dimension_table, dimension_idfield, "
            "dimension_parentfield, dimension_query, dimension_caption) values (9901, "
            "'stock] line', 'stock] line_id', 'parent id', 'stock] line', 'stock line')");
    }

    void Exec(const std::string& sql) { ASSERT_TRUE(dm->actionQuery(sql, "test")) << sql; }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
};

TEST_F(MetadataNamesTest, TheCopierCopiesARowOfATableWithAnAwkwardName) {
    RecordCopier copier;
    const int copy = copier.CopyRec("stock] line", "PARENT ID", 71, 6);
    ASSERT_NE(copy, 0);
    EXPECT_EQ(copier.qSource.SQL(), "select * from [stock]] line] where [stock]] line_id]=71");
    EXPECT_EQ(Main("select descr || '/' || [parent id] from [stock]] line] where [stock]] "
                   "line_id]=" +
                   std::to_string(copy)),
              "Bolts/6");
    EXPECT_EQ(prompter.Count(), 0u);

    // A table name that reads like SQL names no table: nothing runs but the failed select.
    EXPECT_EQ(copier.CopyRec("[stock]] line] where 1=1; delete from entity; --", "x", 71, 6), 0);
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(Main("select count(*) from [stock]] line]"), "3");
    EXPECT_NE(Main("select count(*) from entity"), "0");
}

TEST_F(MetadataNamesTest, DeleteNamesTheKindsTableAndKeyAsIdentifiers) {
    DimensionTable kind(kKind);
    db::Query list;
    ASSERT_TRUE(dm->OpenById(list, "stock] line", 72, "test"));
    ASSERT_EQ(list.RecordCount(), 1);
    EXPECT_TRUE(kind.Delete(list, nullptr));  // the scripted prompter answers Yes
    EXPECT_EQ(prompter.Messages().back().text, "You will ERASE this record. Proceed?");
    EXPECT_EQ(Main("select count(*) from [stock]] line] where [stock]] line_id]=72"), "0");
    EXPECT_EQ(Main("select count(*) from [stock]] line]"), "1");
    EXPECT_EQ(Stored(folder.LocalDb(),
                     "select audit_extra || '/' || record_id from audit where "
                     "dimension_id=9901"),
              "stock] line/72");
    EXPECT_EQ(ErrorLog(), "");
}

}  // namespace
}  // namespace zl
