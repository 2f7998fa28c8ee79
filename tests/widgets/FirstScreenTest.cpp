// A list filled in the background shows its first screen of rows while the rest is read, and
// looks, once all rows are in, as it would had they come at once.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/db/Query.h"
#include "tests/support/CoreFixture.h"
#include "widgets/DBGrid.h"
#include "widgets/ListFill.h"

namespace zl::widgets {
namespace {

// Holds a read at one row until the test lets it go: every connection opened meanwhile knows
// "held(n, at)", which gives n and, at n = at, waits for Release (five seconds at most).
class ReadGate {
  public:
    ReadGate() {
        current = this;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Register));
    }
    ~ReadGate() {
        Release();
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Register));
        current = nullptr;
    }
    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

  private:
    static int Register(sqlite3* db, const char**, const sqlite3_api_routines*) {
        return sqlite3_create_function(db, "held", 2, SQLITE_UTF8, current, &Held, nullptr,
                                       nullptr);
    }
    static void Held(sqlite3_context* context, int, sqlite3_value** values) {
        auto* gate = static_cast<ReadGate*>(sqlite3_user_data(context));
        const sqlite3_int64 n = sqlite3_value_int64(values[0]);
        if (gate && n == sqlite3_value_int64(values[1])) {
            std::unique_lock lock(gate->mutex_);
            gate->changed_.wait_for(lock, std::chrono::seconds(5), [&] { return gate->released_; });
        }
        sqlite3_result_int64(context, n);
    }
    static inline ReadGate* current = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
};

// 300 rows; the label is short on the first screen's rows and wide on the rest.
constexpr const char* kRows =
    "with recursive n(i) as (select 1 union all select i + 1 from n where i < 300) "
    "select held(i, 201) as item_id, case when i <= 200 then 'a' else "
    "'a label wider than any on the first screen' end as label from n";

bool RunUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

class FirstScreenTest : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }
    ReadGate gate;  // before the connections, which then know "held"
};

TEST_F(FirstScreenTest, AnEmptyListShowsItsFirstRowsBeforeTheReadEnds) {
    db::Query q;
    DBGrid grid;
    grid.SetDataSet(&q);
    ListFill fill(q, &grid, "Test.fill");
    int filled = 0;
    fill.SetFilled([&] { ++filled; });
    ASSERT_TRUE(fill.Fill(dm->zlmConn, kRows));

    ASSERT_TRUE(RunUntil([&] { return q.Active(); }));
    EXPECT_EQ(q.RecordCount(), 200);
    EXPECT_EQ(grid.Model().rowCount(), 200);
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(filled, 1);
    EXPECT_TRUE(fill.Pending());
    EXPECT_EQ(grid.cursor().shape(), Qt::BusyCursor);
    const int firstWidth = grid.columnWidth(1);

    q.SetRecNo(150);  // the user moves while the rest is read
    gate.Release();
    ASSERT_TRUE(RunUntil([&] { return !fill.Pending(); }));
    EXPECT_EQ(q.RecordCount(), 300);
    EXPECT_EQ(grid.Model().rowCount(), 300);
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 150);
    EXPECT_EQ(filled, 2);
    EXPECT_EQ(grid.cursor().shape(), Qt::ArrowCursor);

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
