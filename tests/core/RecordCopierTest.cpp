// The record copier: one row under a new key, every value as stored, one column re-parented.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DataMod.h"
#include "core/RecordCopier.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

constexpr int kDoc = 9101;
constexpr int kOtherDoc = 9102;
constexpr int kLine1 = 9111;
constexpr int kLine2 = 9112;
constexpr int kOtherLine = 9113;

class RecordCopierTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, "
            "doc_status_id, zlm_doc_descr, zlm_doc_notes, zlm_doc_date, zlm_doc_time, "
            "zlm_doc_statusdate, zlm_doc_ref, zlm_doc_file, zlm_cust_ref) values (9101, 6, 9201, "
            "9301, 2, 'Quote', null, '2023-04-05 13:45:17', '13:45', null, 'Q-77', null, "
            "'PO 5')");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, component_id, "
            "doc_item_descr, doc_item_qty, doc_item_rate, doc_item_total, doc_item_notes, "
            "doc_item_file, doc_item_date, doc_item_time) values (9111, 9101, 24, 9401, "
            "'Line one', 0.30000000000000004, 1234567.891, null, null, null, "
            "'2023-04-05 13:45:17', '09:05:59')");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, service_id, "
            "doc_item_descr, doc_item_qty, doc_item_rate, doc_item_notes) values (9112, 9101, "
            "24, 9402, 'Line two', 2, 0.1, 'Deliver before noon')");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, doc_item_qty) values (9113, 9102, "
            "1)");
    }

    // Every stored value of a row, in column order, read on a connection of its own; empty
    // when the row does not exist.
    std::vector<db::Value> RowOf(const std::string& table, int id) const {
        db::Connection conn;
        conn.SetConnectionString("Data Source=" + folder.MainDb());
        conn.Open();
        db::Query q(&conn);
        q.SetSQL("select * from " + table + " where " + table + "_id=" + std::to_string(id));
        q.Open();
        std::vector<db::Value> row;
        for (int i = 0; !q.IsEmpty() && i < q.FieldCount(); ++i)
            row.push_back(q.Fields(i).AsVariant());
        return row;
    }

    // The index of a column of table in the stored row.
    int ColumnOf(const std::string& table, const std::string& column) const {
        db::Query q(&dm->zlmConn);
        q.SetSQL("select * from " + table + " where 0=1");
        q.Open();
        return q.FieldByName(column).Index();
    }

    int LastKey() const {
        return std::stoi(Stored(folder.MainDb(), "select next_id from id_control"));
    }
    std::string Count(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
};

// The source row with its key and one column replaced: what a copy must hold.
std::vector<db::Value> With(std::vector<db::Value> row, int keyColumn, long long key, int column,
                            db::Value value) {
    row.at(keyColumn) = key;
    row.at(column) = std::move(value);
    return row;
}

TEST_F(RecordCopierTest, ADocumentIsCopiedWithItsLinesUnderNewKeys) {
    RecordCopier copier;
    const int newDoc = copier.CopyRec("zlm_doc", "dimension_id", kDoc, 7);
    EXPECT_EQ(newDoc, LastKey());
    const int line1 = copier.CopyRec("doc_item", "ZLM_DOC_ID", kLine1, newDoc);
    const int line2 = copier.CopyRec("doc_item", "ZLM_DOC_ID", kLine2, newDoc);
    EXPECT_EQ(line1, newDoc + 1);
    EXPECT_EQ(line2, newDoc + 2);
    EXPECT_EQ(copier.qTarget.State(), db::DataSetState::dsBrowse);

    EXPECT_EQ(RowOf("zlm_doc", newDoc),
              With(RowOf("zlm_doc", kDoc), 0, newDoc, ColumnOf("zlm_doc", "dimension_id"), 7LL));
    const int parent = ColumnOf("doc_item", "zlm_doc_id");
    EXPECT_EQ(RowOf("doc_item", line1),
              With(RowOf("doc_item", kLine1), 0, line1, parent, static_cast<long long>(newDoc)));
    EXPECT_EQ(RowOf("doc_item", line2),
              With(RowOf("doc_item", kLine2), 0, line2, parent, static_cast<long long>(newDoc)));
    EXPECT_EQ(Count("select count(*) from doc_item where zlm_doc_id=" + std::to_string(newDoc)),
              "2");
    // The source rows stay as they were.
    EXPECT_EQ(Count("select count(*) from doc_item where zlm_doc_id=9101"), "2");
    EXPECT_EQ(Count("select dimension_id from zlm_doc where zlm_doc_id=9101"), "6");
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(RecordCopierTest, ValuesAreCopiedAsStoredWithTheirTypes) {
    RecordCopier copier;
    const int line = copier.CopyRec("doc_item", "zlm_doc_id", kLine1, kOtherDoc);
    ASSERT_GT(line, 0);
    const std::vector<db::Value> row = RowOf("doc_item", line);
    auto at = [&](const char* column) { return row.at(ColumnOf("doc_item", column)); };
    EXPECT_EQ(at("doc_item_qty"), db::Value(0.1 + 0.2));
    EXPECT_EQ(at("doc_item_rate"), db::Value(1234567.891));
    EXPECT_EQ(at("doc_item_date"), db::Value(std::string("2023-04-05 13:45:17")));
    EXPECT_EQ(at("doc_item_time"), db::Value(std::string("09:05:59")));
    EXPECT_EQ(at("component_id"), db::Value(9401LL));
    EXPECT_EQ(at("dimension_id"), db::Value(24LL));
    EXPECT_EQ(at("zlm_doc_id"), db::Value(static_cast<long long>(kOtherDoc)));
    // Nulls stay null, whatever default the new row was given first.
    EXPECT_EQ(at("doc_item_total"), db::Value());
    EXPECT_EQ(at("doc_item_notes"), db::Value());
    EXPECT_EQ(at("doc_item_file"), db::Value());
    EXPECT_EQ(at("doc_item_duedate"), db::Value());
    EXPECT_EQ(at("service_id"), db::Value());
    EXPECT_EQ(Count("select typeof(component_id) || typeof(doc_item_rate) || "
                    "typeof(doc_item_date) || typeof(doc_item_total) from doc_item where "
                    "doc_item_id=" +
                    std::to_string(line)),
              "integerrealtextnull");
}

TEST_F(RecordCopierTest, TheKeyIsNeverCopiedEvenWhenNamedAsTheParent) {
    RecordCopier copier;
    const int line = copier.CopyRec("doc_item", "DOC_ITEM_ID", kLine2, 9999);
    EXPECT_EQ(line, LastKey());
    EXPECT_EQ(RowOf("doc_item", line), With(RowOf("doc_item", kLine2), 0, line, 0, line));
    EXPECT_EQ(Count("select count(*) from doc_item where doc_item_id=9999"), "0");
}

TEST_F(RecordCopierTest, AParentFieldTheTableLacksCopiesTheRowWhole) {
    RecordCopier copier;
    const int line = copier.CopyRec("doc_item", "customer_id", kLine2, 9999);
    EXPECT_EQ(line, LastKey());
    EXPECT_EQ(RowOf("doc_item", line),
              With(RowOf("doc_item", kLine2), 0, line, ColumnOf("doc_item", "zlm_doc_id"),
                   static_cast<long long>(kDoc)));
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(RecordCopierTest, AMissingSourceReturnsZeroAndAddsNoRow) {
    const int before = LastKey();
    RecordCopier copier;
    EXPECT_EQ(copier.CopyRec("doc_item", "zlm_doc_id", 9199, kDoc), 0);
    EXPECT_EQ(Count("select count(*) from doc_item"), "3");
    EXPECT_EQ(Count("select count(*) from doc_item where zlm_doc_id=9101"), "2");
    EXPECT_EQ(LastKey(), before);
    EXPECT_NE(copier.qTarget.State(), db::DataSetState::dsInsert);
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(RecordCopierTest, AFailingCopyIsLoggedAndLeavesNoRow) {
    Exec("update doc_item set doc_item_descr='" + std::string(151, 'x') +
         "' where doc_item_id=9113");
    RecordCopier copier;
    EXPECT_EQ(copier.CopyRec("doc_item", "zlm_doc_id", kOtherLine, kDoc), 0);
    EXPECT_EQ(copier.qTarget.State(), db::DataSetState::dsBrowse);
    EXPECT_EQ(Count("select count(*) from doc_item"), "3");
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: RecordCopier.CopyRec");
    EXPECT_EQ(ErrorLog(),
              "RecordCopier.CopyRec;The field 'doc_item_descr' is too small to accept the amount "
              "of data you attempted to add (at most 150 characters). Try inserting or pasting "
              "less data.;\r\n");
}

TEST_F(RecordCopierTest, ATableThatCannotBeOpenedIsLoggedByTheOpen) {
    RecordCopier copier;
    EXPECT_EQ(copier.CopyRec("no_table", "zlm_doc_id", kDoc, kDoc), 0);
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(ErrorLog().rfind("TDataMod.openQuery > RecordCopier.CopyRec;", 0), 0u);
    EXPECT_NE(ErrorLog().find(";select * from [no_table] where [no_table_id]=9101\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace zl
