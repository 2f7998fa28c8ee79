// The delivered databases as the program sees them: through the data module and the dataset
// layer, with the Jet dialect the screens write.
#include <gtest/gtest.h>

#include "core/DataMod.h"
#include "core/DimensionTable.h"
#include "core/Passwords.h"
#include "platform/db/Query.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

using db::FieldType;
using db::Query;

class DeliveredData : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }
};

TEST_F(DeliveredData, EveryDimensionListsItsRowsKeyFirstWithFilterColumns) {
    Query dims;
    ASSERT_TRUE(dm->openQuery(dims, "select * from dimension order by dimension_id", "test"));
    ASSERT_EQ(dims.RecordCount(), 31);
    for (dims.First(); !dims.Eof(); dims.Next()) {
        const std::string id = dims.FieldByName("dimension_id").AsString();
        const std::string key = dims.FieldByName("dimension_idfield").AsString();
        SCOPED_TRACE("dimension " + id);
        Query list;
        ASSERT_TRUE(dm->openQuery(
            list, "select * from " + dims.FieldByName("dimension_query").AsString(), "test"));
        EXPECT_EQ(list.Fields(0).FieldName(), key);
        EXPECT_NE(list.FindField("allow_delete"), nullptr);
        const std::string parent = dims.FieldByName("dimension_parentfield").AsString();
        if (!parent.empty()) {
            EXPECT_NE(list.FindField(parent), nullptr) << parent;
        }
        if (!dims.FieldByName("type_table").AsString().empty()) {
            EXPECT_NE(list.FindField(dims.FieldByName("type_idfield").AsString()), nullptr);
        }

        // The table itself is writable through the layer, keyed by the same column.
        Query table;
        ASSERT_TRUE(dm->OpenById(table, dims.FieldByName("dimension_table").AsString(), 0, "test"));
        EXPECT_EQ(table.Fields(0).FieldName(), key);
        EXPECT_FALSE(table.BaseTable().empty());
        EXPECT_NE(table.FindField("dimension_id"), nullptr);
        EXPECT_NE(table.FindField("allow_delete"), nullptr);
    }
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(DeliveredData, EveryStartingValueFitsItsColumn) {
    Query defs;
    ASSERT_TRUE(dm->openQuery(defs,
                              "select d.*, m.dimension_table from dim_def d join dimension m on "
                              "m.dimension_id=d.dimension_id",
                              "test"));
    ASSERT_GT(defs.RecordCount(), 0);
    for (defs.First(); !defs.Eof(); defs.Next()) {
        const std::string column = defs.FieldByName("dim_def_field").AsString();
        std::string value = defs.FieldByName("dim_def_value").AsString();
        SCOPED_TRACE(defs.FieldByName("dimension_table").AsString() + "." + column);
        Query row;
        ASSERT_TRUE(dm->OpenById(row, defs.FieldByName("dimension_table").AsString(), 0, "test"));
        row.Append();
        if (value == "time")
            value = format::FormatDateTime("hh:mm:ss", format::Now());
        EXPECT_NO_THROW(row.FieldByName(column).SetAsString(value));
        row.Cancel();
    }
}

TEST_F(DeliveredData, ANewRecordOfEveryKindCanBeStored) {
    Query dims;
    ASSERT_TRUE(dm->openQuery(dims, "select * from dimension order by dimension_id", "test"));
    for (dims.First(); !dims.Eof(); dims.Next()) {
        const int id = dims.FieldByName("dimension_id").AsInteger();
        SCOPED_TRACE("dimension " + std::to_string(id));
        DimensionTable kind(id);
        Query row;
        ASSERT_TRUE(dm->OpenById(row, kind.DimString("dimension_table"), 0, "test"));
        ASSERT_TRUE(dm->Append(row, "test"));
        row.FieldByName("dimension_id").SetAsInteger(id);
        kind.appendDefaults(row);
        EXPECT_NO_THROW(row.Post());
    }
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(DeliveredData, TheSystemUserLogsInWhateverTheCaseAndHoldsEveryRight) {
    // The login's statement: the name lower-cased by the program and by the database; the
    // password is checked against the stored hash.
    Query login;
    ASSERT_TRUE(dm->openQuery(login, "select * from entity where lcase(entity_username)=\"system\"",
                              "TfrmLogin.btnOKClick"));
    ASSERT_EQ(login.RecordCount(), 1);
    EXPECT_TRUE(PasswordMatches("VELKRAN", login.FieldByName("entity_pwd").AsString()));
    const int userId = login.FieldByName("entity_id").AsInteger();
    EXPECT_EQ(login.FieldByName("entity_username").AsString(), "System");
    EXPECT_EQ(login.FieldByName("dimension_id").AsInteger(), 4);

    ASSERT_TRUE(dm->actionQuery(
        "update entity set entity_username=\"ÅSA\" where entity_id=" + std::to_string(userId),
        "test"));
    ASSERT_TRUE(
        dm->openQuery(login, "select * from entity where lcase(entity_username)=\"åsa\"", "test"));
    EXPECT_EQ(login.RecordCount(), 1);

    Query rights;
    ASSERT_TRUE(dm->openQuery(
        rights, "select * from usr_op where sys_op_id=1 and sys_usr_id=" + std::to_string(userId),
        "TDataMod.checkRight"));
    EXPECT_EQ(rights.RecordCount(), 1);
    ASSERT_TRUE(dm->openQuery(rights, "select * from usr_op where sys_usr_id=5", "test"));
    EXPECT_TRUE(rights.IsEmpty());  // the placeholder customer is no user
}

TEST_F(DeliveredData, SavedQueriesKeepTheirColumnTypes) {
    Query q;
    ASSERT_TRUE(dm->openQuery(q, "select * from qCustomerTaxRate", "test"));
    EXPECT_EQ(q.FieldByName("entity_taxrate").DataType(), FieldType::ftFloat);
    ASSERT_TRUE(dm->openQuery(q, "select * from qCustomerExchangeRate", "test"));
    EXPECT_EQ(q.FieldByName("exchange_rate").DataType(), FieldType::ftFloat);
    EXPECT_EQ(q.FieldByName("exchange_rate_from").DataType(), FieldType::ftDateTime);
    ASSERT_TRUE(dm->openQuery(q, "select * from brwQOI", "test"));
    EXPECT_EQ(q.FieldByName("Date").DataType(), FieldType::ftDateTime);
    ASSERT_TRUE(dm->openQuery(q, "select * from lstCustomer where entity_id=5", "test"));
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_NE(q.FindField("full name"), nullptr);
    ASSERT_TRUE(dm->openQuery(q, "select [full name] from lstCustomer where entity_id=5", "test"));
    EXPECT_EQ(q.RecordCount(), 1);

    // The settings row is one row without a key, written back by row id.
    ASSERT_TRUE(dm->openQuery(dm->localConn, q, "test", "select * from config"));
    ASSERT_EQ(q.RecordCount(), 1);
    q.Edit();
    q.FieldByName("config_doccounter").SetAsInteger(12);
    q.Post();
    EXPECT_EQ(Stored(folder.LocalDb(), "select config_doccounter from config"), "12");
    EXPECT_EQ(Stored(folder.LocalDb(), "select count(*) from config"), "1");
}

}  // namespace
}  // namespace zl
