#include "platform/db/Query.h"

#include <gtest/gtest.h>

#include <functional>

#include "DbTestFile.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

namespace zl::db {
namespace {

using test::DbTestFile;

// Reads one value with a fresh query on a second connection, so the check never sees the
// snapshot of the query under test.
std::string StoredText(const DbTestFile& file, const std::string& sql) {
    Connection other;
    file.OpenOther(other);
    Query q(&other);
    q.SetSQL(sql);
    q.Open();
    return q.IsEmpty() ? "<none>" : q.Fields(0).AsString();
}

class QueryTest : public ::testing::Test {
  protected:
    DbTestFile file;
    Query q{&file.conn};
    void OpenSql(const std::string& sql) {
        q.SetSQL(sql);
        q.Open();
    }
};

TEST_F(QueryTest, NavigationStatesAndRecordNumbers) {
    OpenSql("select * from item order by item_id");
    EXPECT_EQ(q.State(), DataSetState::dsBrowse);
    EXPECT_EQ(q.RecordCount(), 4);
    EXPECT_TRUE(q.Bof());
    EXPECT_FALSE(q.Eof());
    EXPECT_EQ(q.RecNo(), 1);
    q.Next();
    q.Next();
    EXPECT_EQ(q.RecNo(), 3);
    EXPECT_EQ(q.FieldByName("item_name").AsString(), "Washer");
    q.Last();
    EXPECT_TRUE(q.Eof());
    q.Next();  // past the end: stays on the last row
    EXPECT_EQ(q.RecNo(), 4);
    q.First();
    q.Prior();
    EXPECT_TRUE(q.Bof());
    EXPECT_EQ(q.RecNo(), 1);
    q.SetRecNo(2);
    EXPECT_EQ(q.FieldByName("ITEM_NAME").AsString(), "nut");  // names are case-insensitive

    int visited = 0;
    for (q.First(); !q.Eof(); q.Next())
        ++visited;
    EXPECT_EQ(visited, 4);

    OpenSql("select * from item where item_id=0");
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_TRUE(q.Eof());
    EXPECT_TRUE(q.Bof());
    EXPECT_EQ(q.RecNo(), 0);
    EXPECT_EQ(q.FieldByName("item_name").AsString(), "");
    EXPECT_THROW(q.FieldByName("nothing"), DbError);
    EXPECT_EQ(q.FindField("nothing"), nullptr);

    q.Close();
    EXPECT_EQ(q.State(), DataSetState::dsInactive);
    EXPECT_THROW(q.Next(), DbError);
}

TEST_F(QueryTest, FieldTypesAndWidthsComeFromDeclaredTypes) {
    OpenSql("select * from item");
    EXPECT_EQ(q.FieldByName("item_id").DataType(), FieldType::ftInteger);
    EXPECT_EQ(q.FieldByName("item_name").DataType(), FieldType::ftWideString);
    EXPECT_EQ(q.FieldByName("item_name").Size(), 10);
    EXPECT_EQ(q.FieldByName("item_notes").DataType(), FieldType::ftMemo);
    EXPECT_EQ(q.FieldByName("item_qty").DataType(), FieldType::ftFloat);
    EXPECT_EQ(q.FieldByName("item_price").DataType(), FieldType::ftCurrency);
    EXPECT_EQ(q.FieldByName("item_small").DataType(), FieldType::ftSmallint);
    EXPECT_EQ(q.FieldByName("item_done").DataType(), FieldType::ftBoolean);
    EXPECT_EQ(q.FieldByName("item_date").DataType(), FieldType::ftDateTime);

    // Through a view: passed-through columns keep their type, computed ones take their values'.
    OpenSql("select * from item_list order by item_id");
    EXPECT_EQ(q.FieldByName("Name").DataType(), FieldType::ftWideString);
    EXPECT_EQ(q.FieldByName("item_qty").DataType(), FieldType::ftFloat);
    EXPECT_EQ(q.FieldByName("doubled").DataType(), FieldType::ftFloat);
    EXPECT_DOUBLE_EQ(q.FieldByName("doubled").AsFloat(), 5.0);
    EXPECT_EQ(q.FieldByName("counted").DataType(), FieldType::ftInteger);
    EXPECT_EQ(q.FieldByName("label").DataType(), FieldType::ftWideString);

    OpenSql("select count(*) as cnt, sum(item_qty) as total from item");
    EXPECT_EQ(q.FieldByName("cnt").AsInteger(), 4);
    EXPECT_DOUBLE_EQ(q.FieldByName("total").AsFloat(), 7.75);
}

TEST_F(QueryTest, RowsReadWithoutMovingTheCursor) {
    OpenSql("select item_id, item_name, item_date, item_qty from item order by item_id");
    q.SetRecNo(2);
    EXPECT_EQ(q.TextAt(0, 1), "Bolt");
    EXPECT_EQ(q.TextAt(3, 2), "2026/01/01");
    EXPECT_EQ(q.TextAt(2, 3), "0.25");
    EXPECT_EQ(std::get<long long>(q.ValueAt(3, 0)), 4);
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_THROW(q.ValueAt(4, 0), DbError);
}

TEST_F(QueryTest, ParametersCarryTypedTextOutsideTheSql) {
    q.SetSQL("select * from item where lcase(item_name)=? and item_id>?");
    q.SetParameters({std::string("bolt"), 0LL});
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    // Quotes, Jet date marks and SQL in a value are data, nothing else.
    q.SetParameters({std::string("x\" or 1=1 or \"\"=\"#1/1/2000#' --"), 0LL});
    q.Open();
    EXPECT_TRUE(q.IsEmpty());
    q.SetParameters({std::string("bolt")});
    EXPECT_THROW(q.Open(), DbError);

    q.SetSQL("update item set item_notes=? where item_id=?");
    q.SetParameters({std::string("it's \"fine\""), 2LL});
    EXPECT_EQ(q.ExecSQL(), 1);
    EXPECT_EQ(StoredText(file, "select item_notes from item where item_id=2"), "it's \"fine\"");
    q.SetSQL("select * from item where item_id=?");
    EXPECT_THROW(q.Open(), DbError);  // SetSQL dropped the old values
}

TEST_F(QueryTest, NullsReadAsNeutralValues) {
    OpenSql("select * from item where item_id=1");
    EXPECT_TRUE(q.FieldByName("item_notes").IsNull());
    EXPECT_EQ(q.FieldByName("item_notes").AsString(), "");
    EXPECT_EQ(q.FieldByName("item_small").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("item_price").AsFloat(), 0.0);
    EXPECT_FALSE(q.FieldByName("item_done").AsBoolean());
}

TEST_F(QueryTest, PostWritesOnlyTheChangedColumnsByKey) {
    OpenSql("select * from item where item_id=2");
    // Another connection changes a column after our snapshot was read.
    Connection other;
    file.OpenOther(other);
    other.Execute("update item set item_count=99 where item_id=2");

    q.Edit();
    EXPECT_EQ(q.State(), DataSetState::dsEdit);
    q.FieldByName("item_name").SetAsString("Hex nut");
    q.FieldByName("item_qty").SetAsString("12.75");
    q.Post();
    EXPECT_EQ(q.State(), DataSetState::dsBrowse);
    EXPECT_EQ(StoredText(file, "select item_name from item where item_id=2"), "Hex nut");
    EXPECT_EQ(StoredText(file, "select item_qty from item where item_id=2"), "12.75");
    EXPECT_EQ(StoredText(file, "select item_count from item where item_id=2"), "99");
    EXPECT_EQ(
        StoredText(file, "select count(*) from item where item_id<>2 and item_name='Hex nut'"),
        "0");

    EXPECT_THROW(q.FieldByName("item_name").SetAsString("x"), DbError);  // not editing
}

TEST_F(QueryTest, AppendInsertCancelAndDelete) {
    OpenSql("select * from item order by item_id");
    q.SetRecNo(2);
    q.Append();
    EXPECT_EQ(q.State(), DataSetState::dsInsert);
    q.FieldByName("item_id").SetAsInteger(50);
    q.FieldByName("item_name").SetAsString("Spring");
    q.FieldByName("item_date").SetAsDateTime(format::EncodeDate(2026, 3, 4));
    q.Post();
    EXPECT_EQ(q.RecordCount(), 5);
    EXPECT_EQ(q.RecNo(), 5);
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 50);
    EXPECT_EQ(StoredText(file, "select item_date || '' from item where item_id=50"),
              "2026-03-04 00:00:00");
    // Columns never assigned stay null in the file.
    EXPECT_EQ(StoredText(file, "select coalesce(item_qty, 'null') from item where item_id=50"),
              "null");

    q.SetRecNo(2);
    q.Insert();
    EXPECT_EQ(q.RecNo(), 2);
    q.FieldByName("item_id").SetAsInteger(60);
    q.Cancel();
    EXPECT_EQ(q.State(), DataSetState::dsBrowse);
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_EQ(q.RecordCount(), 5);
    EXPECT_EQ(StoredText(file, "select count(*) from item where item_id=60"), "0");

    q.SetRecNo(2);
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 2);
    q.Delete();
    EXPECT_EQ(q.RecordCount(), 4);
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 3);  // the next row is current
    EXPECT_EQ(StoredText(file, "select count(*) from item where item_id=2"), "0");

    OpenSql("select * from item where item_id=0");
    EXPECT_THROW(q.Delete(), DbError);
    q.Edit();  // on an empty dataset this inserts
    EXPECT_EQ(q.State(), DataSetState::dsInsert);
    q.Cancel();
}

TEST_F(QueryTest, LeavingAnEditedRowPostsIt) {
    OpenSql("select * from item order by item_id");
    q.Edit();
    q.FieldByName("item_count").SetAsInteger(42);
    q.Next();
    EXPECT_EQ(q.State(), DataSetState::dsBrowse);
    EXPECT_EQ(StoredText(file, "select item_count from item where item_id=1"), "42");
}

TEST_F(QueryTest, TablesWithoutKeyAreWrittenByRowid) {
    OpenSql("select * from settings");
    EXPECT_EQ(q.FieldCount(), 2);  // the row id stays hidden
    EXPECT_EQ(q.Fields(0).FieldName(), "settings_path");
    q.Edit();
    q.FieldByName("settings_counter")
        .SetAsInteger(q.FieldByName("settings_counter").AsInteger() + 1);
    q.FieldByName("settings_path").SetAsString("/home/a");
    q.Post();
    EXPECT_EQ(StoredText(file, "select settings_counter || ' ' || settings_path from settings"),
              "8 /home/a");
    EXPECT_EQ(StoredText(file, "select count(*) from settings"), "1");
}

TEST_F(QueryTest, AJoinStartingWithAColumnThatIsNoKeyOpensReadOnly) {
    // Both tables have a rowid, so the one the layer would add is ambiguous.
    OpenSql("select s.settings_path, i.item_name from settings s join item i on i.item_id=1");
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldCount(), 2);
    EXPECT_EQ(q.Fields(1).AsString(), "Bolt");
    EXPECT_TRUE(q.BaseTable().empty());
    EXPECT_THROW(q.Edit(), DbError);
}

TEST_F(QueryTest, RowsOfViewsAndComputedColumnsAreReadOnly) {
    OpenSql("select * from item_list");
    EXPECT_TRUE(q.BaseTable().empty());
    EXPECT_THROW(q.Edit(), DbError);
    EXPECT_THROW(q.Append(), DbError);
    EXPECT_THROW(q.Delete(), DbError);

    OpenSql("select item_id, item_name, item_qty * 2 as twice from item");
    q.Edit();
    EXPECT_THROW(q.FieldByName("twice").SetAsFloat(1), DbError);
    EXPECT_FALSE(q.FieldByName("twice").CanModify());
    q.Cancel();
}

TEST_F(QueryTest, TextLongerThanItsColumnIsRefused) {
    OpenSql("select * from item where item_id=1");
    q.Edit();
    q.FieldByName("item_name").SetAsString("Bolt 12345x");  // 11 characters
    try {
        q.Post();
        FAIL() << "an over-long text was posted";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("'item_name' is too small"), std::string::npos);
    }
    EXPECT_EQ(q.State(), DataSetState::dsEdit);
    EXPECT_EQ(StoredText(file, "select item_name from item where item_id=1"), "Bolt");

    // The width counts characters, not bytes: ten umlauts fit a column of ten.
    q.FieldByName("item_name").SetAsString("ÄÖÜäöüßéèê");
    q.Post();
    EXPECT_EQ(StoredText(file, "select item_name from item where item_id=1"), "ÄÖÜäöüßéèê");
}

TEST_F(QueryTest, TextRoundTripsUnchanged) {
    const std::string tricky =
        "O'Neil \"quoted\" #1/1/2000# 50% off; [x] -- not a comment\r\nÆøå Ωμέγα 日本 true";
    OpenSql("select * from item where item_id=3");
    q.Edit();
    q.FieldByName("item_notes").SetAsString(tricky);
    q.Post();
    OpenSql("select * from item where item_id=3");
    EXPECT_EQ(q.FieldByName("item_notes").AsString(), tricky);
    EXPECT_EQ(StoredText(file, "select item_notes from item where item_id=3"), tricky);
}

TEST_F(QueryTest, LargeTextsAndRowsAroundAnEditKeepTheirValues) {
    const std::string large(50000, 'x');
    OpenSql("select * from item order by item_id");
    q.SetRecNo(2);
    q.Edit();
    q.FieldByName("item_notes").SetAsString(large + "end");
    q.Post();
    q.SetRecNo(3);
    q.Insert();
    q.FieldByName("item_id").SetAsInteger(70);
    q.FieldByName("item_name").SetAsString("Inserted");
    q.Post();
    // The rows before and after the insertion point read as they did.
    std::vector<std::string> names;
    for (q.First(); !q.Eof(); q.Next())
        names.push_back(q.FieldByName("item_name").AsString());
    EXPECT_EQ(names, (std::vector<std::string>{"Bolt", "nut", "Inserted", "Washer", "ÄRGER"}));
    q.SetRecNo(2);
    EXPECT_EQ(q.FieldByName("item_notes").AsString(), large + "end");
    EXPECT_EQ(StoredText(file, "select length(item_notes) from item where item_id=2"), "50003");
}

TEST_F(QueryTest, DatesCompareAndSortAsDates) {
    OpenSql(
        "select * from item where item_date>=#2026/01/01# and item_date<#2026/02/01# "
        "order by item_date");
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("item_name").AsString(), "ÄRGER");
    EXPECT_EQ(q.FieldByName("item_date").AsString(), "2026/01/01");
    q.Next();
    EXPECT_EQ(q.FieldByName("item_name").AsString(), "Bolt");
    EXPECT_DOUBLE_EQ(q.FieldByName("item_date").AsDateTime(), format::EncodeDate(2026, 1, 15));

    // Text assigned to a date column is read in the short date format and stored canonically.
    q.Edit();
    q.FieldByName("item_date").SetAsString("2026/01/16 08:30:00");
    q.Post();
    EXPECT_EQ(StoredText(file, "select item_date || '' from item where item_id=1"),
              "2026-01-16 08:30:00");
    q.Edit();
    EXPECT_THROW(q.FieldByName("item_date").SetAsString("16.01.2026"), format::EConvertError);
    q.Cancel();
}

TEST_F(QueryTest, TopAndUnicodeCaseFolding) {
    OpenSql("select top 2 * from item order by item_qty desc");
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("item_name").AsString(), "ÄRGER");

    OpenSql("select * from item where lcase(item_name)=\"ärger\"");
    EXPECT_EQ(q.RecordCount(), 1);
    OpenSql("select ucase(\"straße ωμέγα\") as u, lcase(\"ÀÉÎ\") as l");
    EXPECT_EQ(q.FieldByName("u").AsString(), "STRAßE ΩΜΈΓΑ");
    EXPECT_EQ(q.FieldByName("l").AsString(), "àéî");
}

TEST_F(QueryTest, LocateExactCaseInsensitivePartialAndMultiField) {
    OpenSql("select * from item order by item_id");
    EXPECT_FALSE(q.Locate("item_name", {std::string("bolt")}));
    EXPECT_EQ(q.RecNo(), 1);
    q.Last();
    EXPECT_TRUE(q.Locate("item_name", {std::string("bolt")}, loCaseInsensitive));
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 1);
    EXPECT_TRUE(q.Locate("item_name", {std::string("wa")}, loCaseInsensitive | loPartialKey));
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 3);
    EXPECT_TRUE(q.Locate("item_name", {std::string("ärg")}, loCaseInsensitive | loPartialKey));
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 4);
    // Whole values unless partial; a key longer than the value matches nothing.
    EXPECT_FALSE(q.Locate("item_name", {std::string("was")}, loCaseInsensitive));
    EXPECT_FALSE(q.Locate("item_name", {std::string("washers")}, loCaseInsensitive | loPartialKey));
    EXPECT_TRUE(q.Locate("item_name", {std::string("ärger")}, loCaseInsensitive));
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 4);
    EXPECT_TRUE(q.Locate("item_id;item_count", {2LL, 10LL}));
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_FALSE(q.Locate("item_id;item_count", {2LL, 11LL}));
    EXPECT_EQ(q.RecNo(), 2);  // a failed locate stays
    EXPECT_TRUE(q.Locate("item_id", {std::string("3")}));
    EXPECT_EQ(q.RecNo(), 3);
}

TEST_F(QueryTest, ScrollAndDataChangeNotifications) {
    OpenSql("select * from item order by item_id");
    int scrolls = 0;
    std::vector<std::string> changedFields;
    const int a = q.OnAfterScroll([&] { ++scrolls; });
    const int b = q.OnDataChange([&](DataEvent event, const Field* f) {
        if (event == DataEvent::FieldChanged)
            changedFields.push_back(f->FieldName());
    });
    q.Next();
    q.Next();
    q.Last();
    q.Next();  // no move, no notification
    EXPECT_EQ(scrolls, 3);
    q.Edit();
    q.FieldByName("item_count").SetAsInteger(5);
    EXPECT_EQ(changedFields, std::vector<std::string>{"item_count"});
    q.Cancel();
    // A control's pending edit reaches the record before the post writes it.
    const int c = q.OnUpdateRecord([&] { q.FieldByName("item_name").SetAsString("Flushed"); });
    q.Edit();
    q.Post();
    EXPECT_EQ(StoredText(file, "select item_name from item where item_id=4"), "Flushed");
    q.Unsubscribe(a);
    q.Unsubscribe(b);
    q.Unsubscribe(c);
    q.First();
    EXPECT_EQ(scrolls, 3);
}

TEST_F(QueryTest, PostOfARowDeletedElsewhereFails) {
    OpenSql("select * from item where item_id=1");
    Connection other;
    file.OpenOther(other);
    other.Execute("delete from item where item_id=1");
    q.Edit();
    q.FieldByName("item_count").SetAsInteger(1);
    EXPECT_THROW(q.Post(), DbError);
    EXPECT_EQ(q.State(), DataSetState::dsEdit);
}

TEST_F(QueryTest, AnOpenQueryHoldsNoLock) {
    OpenSql("select * from item");
    Connection other;
    file.OpenOther(other);
    Transaction t(other);
    other.Execute("update item set item_count=1");
    t.Commit();
    EXPECT_EQ(q.RecordCount(), 4);
}

TEST_F(QueryTest, ExecSqlTranslatesAndCountsChanges) {
    q.SetSQL("update item set item_done=true where item_date<#2026/01/10#");
    EXPECT_EQ(q.ExecSQL(), 2);
    EXPECT_EQ(StoredText(file, "select count(*) from item where item_done=1"), "2");
    q.SetSQL("update nothing set x=1");
    EXPECT_THROW(q.ExecSQL(), DbError);
}

// One assignment to a field whose column has a range, and what the file holds after the post.
struct RangeCase {
    const char* label;
    const char* column;
    double min;
    double max;
    std::function<void(Field&)> assign;
    bool accepted;
    const char* stored;  // the column's stored text after the post
};

TEST_F(QueryTest, RangesRefuseNumbersOutsideAndKeepTheOldValue) {
    // Row 1 holds item_qty 2.5 (DOUBLE) and item_count 3 (INTEGER).
    const std::vector<RangeCase> cases = {
        {"lower bound", "item_qty", 0, 1000, [](Field& f) { f.SetAsFloat(0); }, true, "0"},
        {"upper bound", "item_qty", 0, 1000, [](Field& f) { f.SetAsFloat(1000); }, true, "1000"},
        {"just above", "item_qty", 0, 1000, [](Field& f) { f.SetAsFloat(1000.5); }, false, "2.5"},
        {"negative", "item_qty", 0, 1000, [](Field& f) { f.SetAsFloat(-1); }, false, "2.5"},
        {"fraction inside", "item_qty", 0.25, 0.75, [](Field& f) { f.SetAsFloat(0.5); }, true,
         "0.5"},
        {"fraction below", "item_qty", 0.25, 0.75, [](Field& f) { f.SetAsFloat(0.2); }, false,
         "2.5"},
        {"negative range", "item_qty", -10, -5, [](Field& f) { f.SetAsFloat(-10); }, true, "-10"},
        {"above negative range", "item_qty", -10, -5, [](Field& f) { f.SetAsFloat(-4.5); }, false,
         "2.5"},
        {"text inside", "ITEM_QTY", 0, 1000, [](Field& f) { f.SetAsString("999.5"); }, true,
         "999.5"},
        {"text above", "item_qty", 0, 1000, [](Field& f) { f.SetAsString("2000"); }, false, "2.5"},
        {"variant text", "item_qty", 0, 1000, [](Field& f) { f.SetAsVariant(std::string("1001")); },
         false, "2.5"},
        {"variant integer", "item_qty", 0, 1000, [](Field& f) { f.SetAsVariant(1001LL); }, false,
         "2.5"},
        {"date on a number column", "item_qty", 0, 1000, [](Field& f) { f.SetAsDateTime(1500.0); },
         false, "2.5"},
        {"integer upper bound", "item_count", 0, 1000, [](Field& f) { f.SetAsInteger(1000); }, true,
         "1000"},
        {"integer above", "item_count", 0, 1000, [](Field& f) { f.SetAsInteger(1001); }, false,
         "3"},
        {"integer text negative", "item_count", 0, 1000, [](Field& f) { f.SetAsString("-3"); },
         false, "3"},
        // An integer column checks the rounded number it stores.
        {"rounds into range", "item_count", 0, 1000, [](Field& f) { f.SetAsFloat(1000.4); }, true,
         "1000"},
        {"rounds out of range", "item_count", 0, 1000, [](Field& f) { f.SetAsFloat(1000.6); },
         false, "3"},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.label);
        file.conn.Execute(
            "update item set item_qty=2.5, item_count=3, item_name='Bolt' where item_id=1");
        Query query(&file.conn);
        query.SetFieldRange(c.column, c.min, c.max);
        query.SetSQL("select * from item where item_id=1");
        query.Open();
        query.Edit();
        Field& field = query.FieldByName(c.column);
        const std::string before = field.AsString();
        if (c.accepted) {
            EXPECT_NO_THROW(c.assign(field));
        } else {
            EXPECT_THROW(c.assign(field), RangeError);
            EXPECT_EQ(field.AsString(), before);
        }
        query.FieldByName("item_name").SetAsString("Posted");  // the post writes the row
        query.Post();
        EXPECT_EQ(
            StoredText(file, std::string("select ") + c.column + " from item where item_id=1"),
            c.stored);
        EXPECT_EQ(StoredText(file, "select item_name from item where item_id=1"), "Posted");
    }
}

TEST_F(QueryTest, RangeMessagesNameTheBounds) {
    const struct {
        double min, max, assigned;
        const char* message;
    } cases[] = {
        {0, 1000, 2000, "Please enter a value between 0 and 1000."},
        {0.5, 9e99, 0, "Please enter a value between 0.5 and 9E99."},
        {-2.5, -1, 0, "Please enter a value between -2.5 and -1."},
    };
    OpenSql("select * from item where item_id=1");
    q.Edit();
    for (const auto& c : cases) {
        q.SetFieldRange("item_qty", c.min, c.max);
        try {
            q.FieldByName("item_qty").SetAsFloat(c.assigned);
            ADD_FAILURE() << c.message << " was not raised";
        } catch (const RangeError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST_F(QueryTest, RangesBelongToTheQueryAndSurviveReopening) {
    OpenSql("select * from item where item_id=1");
    EXPECT_FALSE(q.FieldByName("item_qty").HasRange());
    q.SetFieldRange("Item_Qty", 1, 9);  // applies to the open fields at once
    EXPECT_TRUE(q.FieldByName("item_qty").HasRange());
    EXPECT_EQ(q.FieldByName("item_qty").RangeMin(), 1);
    EXPECT_EQ(q.FieldByName("item_qty").RangeMax(), 9);
    EXPECT_FALSE(q.FieldByName("item_count").HasRange());

    q.Close();
    OpenSql("select item_id, item_qty from item where item_id=2");
    ASSERT_TRUE(q.FieldByName("item_qty").HasRange());
    EXPECT_EQ(q.FieldByName("item_qty").RangeMax(), 9);
    q.Edit();
    EXPECT_THROW(q.FieldByName("item_qty").SetAsInteger(10), RangeError);
    // Nulls are never checked; text that is no number fails as it always did.
    EXPECT_NO_THROW(q.FieldByName("item_qty").Clear());
    EXPECT_NO_THROW(q.FieldByName("item_qty").SetAsString(" "));
    EXPECT_THROW(q.FieldByName("item_qty").SetAsString("lots"), format::EConvertError);
    q.Cancel();

    // An inserted row is held to the range as well.
    q.Append();
    EXPECT_THROW(q.FieldByName("item_qty").SetAsFloat(0.99), RangeError);
    q.Cancel();

    q.ClearFieldRanges();
    EXPECT_FALSE(q.FieldByName("item_qty").HasRange());
    q.Requery();
    EXPECT_FALSE(q.FieldByName("item_qty").HasRange());
    q.Edit();
    EXPECT_NO_THROW(q.FieldByName("item_qty").SetAsInteger(10));
    q.Cancel();

    EXPECT_THROW(q.SetFieldRange("item_qty", 5, 4), DbError);
    EXPECT_FALSE(q.FieldByName("item_qty").HasRange());
}

TEST(Connection, TransactionsNestAsSavepointsAndRollBack) {
    DbTestFile file;
    Connection& c = file.conn;
    c.BeginTrans();
    c.Execute("update item set item_count=100 where item_id=1");
    c.BeginTrans();
    c.Execute("update item set item_count=200 where item_id=2");
    EXPECT_EQ(c.TransactionLevel(), 2);
    c.RollbackTrans();  // only the inner change goes
    c.CommitTrans();
    EXPECT_EQ(StoredText(file, "select item_count from item where item_id=1"), "100");
    EXPECT_EQ(StoredText(file, "select item_count from item where item_id=2"), "10");

    try {
        Transaction t(c);
        c.Execute("update item set item_count=300 where item_id=1");
        c.Execute("update missing_table set x=1");
        t.Commit();
    } catch (const DbError&) {
    }
    EXPECT_EQ(c.TransactionLevel(), 0);
    EXPECT_EQ(StoredText(file, "select item_count from item where item_id=1"), "100");

    // Nothing stays locked: another connection can write at once.
    Connection other;
    file.OpenOther(other);
    EXPECT_EQ(other.Execute("update item set item_count=1 where item_id=1"), 1);
}

TEST(Connection, OpensOnlyExistingFilesAndReopensWithANewString) {
    DbTestFile file;
    Connection c;
    c.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/zlm.dat;");
    EXPECT_THROW(c.Open(), DbError);
    EXPECT_FALSE(c.Connected());
    c.SetConnectionString("");
    EXPECT_THROW(c.Open(), DbError);

    c.SetConnectionString(file.ConnectionString());
    c.Open();
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(
        Connection::ConnectionItem(
            "Provider=X;Data Source=/a b/c.dat;Jet OLEDB:System database=\"\";", "data source"),
        "/a b/c.dat");
    EXPECT_EQ(
        Connection::ConnectionItem("Jet OLEDB:System database=\"\";", "Jet OLEDB:System database"),
        "");
}

}  // namespace
}  // namespace zl::db
