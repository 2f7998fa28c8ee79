// A list filled in the background shows its first screen of rows while the rest is read, takes
// the rest at once when something needs every row, and looks, once all rows are in, as it would
// had they come at once.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/db/Query.h"
#include "tests/support/CoreFixture.h"
#include "widgets/DBGrid.h"
#include "widgets/ListFill.h"

namespace zl::widgets {
namespace {

std::atomic<bool> released = false;

// "held(n, at)" gives n; at n = at it first waits, five seconds at most, until released.
void Held(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_int64(values[0]) == sqlite3_value_int64(values[1]))
        for (int ms = 0; ms < 5000 && !released; ++ms)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    sqlite3_result_value(context, values[0]);
}

int RegisterHeld(sqlite3* db, const char**, const sqlite3_api_routines*) {
    return sqlite3_create_function(db, "held", 2, SQLITE_UTF8, nullptr, &Held, nullptr, nullptr);
}

// 300 rows, read up to the 200th and then held; the label is wider beyond the 200th.
constexpr const char* kRows =
    "with recursive n(i) as (select 1 union all select i + 1 from n where i < 300) "
    "select held(i, 201) as item_id, case when i <= 200 then 'a' else "
    "'a label wider than any on the first screen' end as label from n";

class FirstScreenTest : public test::CoreFixture {
  protected:
    // Every connection opened from here on knows "held".
    FirstScreenTest() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&RegisterHeld)); }
    ~FirstScreenTest() override {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&RegisterHeld));
    }
    void SetUp() override {
        released = false;
        ConnectAll();
    }
};

TEST_F(FirstScreenTest, AnEmptyListShowsItsFirstRowsBeforeTheReadEnds) {
    db::Query q;
    DBGrid grid;
    grid.SetDataSet(&q);
    ListFill fill(q, &grid, "Test.fill");
    ASSERT_TRUE(fill.Fill(dm->zlmConn, kRows));
    ASSERT_TRUE(QTest::qWaitFor([&] { return q.Active(); }));
    EXPECT_EQ(grid.Model().rowCount(), 200);
    EXPECT_TRUE(fill.Pending());
    const int firstWidth = grid.columnWidth(1);

    q.SetRecNo(150);  // the user moves while the rest is read
    released = true;
    // Counting needs every row: the list waits for them and takes them at once.
    EXPECT_EQ(q.RecordCount(), 300);
    EXPECT_FALSE(fill.Pending());
    EXPECT_EQ(grid.Model().rowCount(), 300);
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 150);

    // The label column as wide as in a grid that had all rows at once.
    db::Query all(&dm->zlmConn);
    all.SetSQL(kRows);
    all.Open();
    DBGrid whole;
    whole.SetDataSet(&all);
    EXPECT_LT(firstWidth, whole.columnWidth(1));
    EXPECT_EQ(grid.columnWidth(1), whole.columnWidth(1));
}

}  // namespace
}  // namespace zl::widgets
