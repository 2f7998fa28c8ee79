#include <gtest/gtest.h>

#include <QColor>
#include <QHeaderView>

#include "core/DimensionTable.h"
#include "platform/db/Query.h"
#include "tests/support/CoreFixture.h"
#include "widgets/DBGrid.h"
#include "widgets/DataControls.h"

namespace zl::widgets {
namespace {

// A grid of its own over the rows of `sql`, opened, `width` pixels wide.
struct GridOver {
    GridOver(db::Connection& connection, const std::string& sql, int width) : rows(&connection) {
        rows.SetSQL(sql);
        rows.Open();
        grid.resize(width, 300);
        grid.SetDataSet(&rows);
    }
    db::Query rows;
    DBGrid grid;
};

class DBGridTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        dm->zlmConn.Execute(
            "insert into entity (entity_id, dimension_id, entity_name, entity_title, "
            "entity_taxrate) values (101, 1, 'Smith', 'Mr', 3.14159), (102, 1, 'Jones', 'Dr', 2), "
            "(103, 1, 'Brown', 'Ms', null)");
        q.SetSQL("select * from entity where entity_id > 100 order by entity_id");
        q.Open();
        grid.SetDataSet(&q);
    }

    QString Cell(int row, const char* column) {
        return grid.Model().index(row, q.FieldByName(column).Index()).data().toString();
    }

    db::Query q{&dm->zlmConn};
    DBGrid grid;
};

TEST_F(DBGridTest, ShowsEveryRowAndColumn) {
    QueryTableModel& model = grid.Model();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), q.FieldCount());
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "entity_id");
    EXPECT_EQ(Cell(1, "entity_name"), "Jones");
    EXPECT_EQ(Cell(2, "entity_title"), "Ms");
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    const int columns = q.FieldCount();
    q.Close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), columns);
    q.SetSQL("select entity_id, entity_name from entity where entity_id > 100");
    q.Open();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "entity_name");
}

TEST_F(DBGridTest, ReopeningTheSameStatementKeepsTheLayoutAndFollowsTheRow) {
    DimensionTable customers(1);
    customers.SetupGrid(q, grid);
    const int name = q.FieldByName("entity_name").Index();
    const int region = q.FieldByName("region_id").Index();
    grid.setColumnWidth(name, 123);
    int resets = 0;
    QObject::connect(&grid.Model(), &QueryTableModel::modelReset, [&resets] { ++resets; });
    q.Close();
    q.Open();
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(grid.Model().rowCount(), 3);
    EXPECT_EQ(grid.columnWidth(name), 123);
    EXPECT_TRUE(grid.isColumnHidden(region));
    EXPECT_EQ(grid.Model().headerData(0, Qt::Horizontal).toString(), "ID");
    EXPECT_EQ(grid.currentIndex().row(), 0);
    ASSERT_TRUE(q.Locate("entity_id", {db::Value{103LL}}));
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_EQ(Cell(2, "entity_name"), "Brown");
}

TEST_F(DBGridTest, ColumnsFitTheirCaptionAndTheRowsInViewOnly) {
    // A short value under a long caption; a long value far below the rows in view.
    dm->zlmConn.Execute(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
        "insert into entity (entity_id, dimension_id, entity_name) select 1000 + i, 1, "
        "case when i = 500 then printf('%.200c', 'W') else 'A' end from n");
    GridOver wide(
        dm->zlmConn,
        "select entity_id as maximum_discount_allowed_per_line, entity_name from entity where "
        "entity_id > 1000 order by entity_id",
        400);
    DBGrid& second = wide.grid;
    EXPECT_GE(second.columnWidth(0), second.horizontalHeader()->sectionSizeHint(0));
    EXPECT_LT(second.columnWidth(1),
              second.fontMetrics().horizontalAdvance(QString(200, QChar('W'))));
}

// The width a cell needs to show its value whole, without "...".
int WidthNeeded(DBGrid& grid, int row, int column) {
    QStyleOptionViewItem option;
    option.font = grid.font();
    option.fontMetrics = grid.fontMetrics();
    return grid.itemDelegate()->sizeHint(option, grid.Model().index(row, column)).width();
}

// Whether every value of the column shows whole.
bool ShowsWhole(DBGrid& grid, int column) {
    for (int row = 0; row < grid.Model().rowCount(); ++row)
        if (WidthNeeded(grid, row, column) > grid.columnWidth(column)) {
            ADD_FAILURE() << grid.Model().index(row, column).data().toString().toStdString()
                          << " in " << grid.columnWidth(column) << " px";
            return false;
        }
    return true;
}

TEST_F(DBGridTest, ColumnsWidenForTheRowsThatArriveNumbersWholeTextUpTo300Pixels) {
    // Opened before its rows are there, as a list's first open is; then refreshed.
    GridOver listed(
        dm->zlmConn,
        "select entity_id, entity_taxrate * 1000 as Total, entity_name || ' ' || entity_title "
        "as Name from entity where entity_id > 100 and entity_taxrate > 50 order by entity_id",
        600);
    db::Query& lines = listed.rows;
    DBGrid& list = listed.grid;
    ASSERT_EQ(list.Model().rowCount(), 0);
    const int name = 2;
    // Laid out narrow, as for the short names of a first screen.
    list.setColumnWidth(name, 40);
    const std::string longName = std::string(120, 'W');
    const struct {
        double rate;
        const char* total;
    } refreshes[] = {{62.4, "62400.00"}, {12345678.9, "12345678900.00"}};
    for (const auto& r : refreshes) {
        SCOPED_TRACE(r.total);
        dm->zlmConn.Execute("update entity set entity_taxrate=" + std::to_string(r.rate) +
                            " where entity_id in (101, 102)");
        dm->zlmConn.Execute("update entity set entity_name='Smallwood David' where entity_id=101");
        dm->zlmConn.Execute("update entity set entity_name='" + longName + "' where entity_id=102");
        lines.Close();
        lines.Open();
        ASSERT_EQ(list.Model().rowCount(), 2);
        EXPECT_EQ(list.Model().index(0, 1).data().toString(), r.total);
        EXPECT_TRUE(ShowsWhole(list, 1));
        // The name shows whole; the long one is cut at the widest a text column is laid out.
        EXPECT_GE(list.columnWidth(name), WidthNeeded(list, 0, name));
        EXPECT_EQ(list.columnWidth(name), 300);
    }
}

TEST_F(DBGridTest, AValueWithLineBreaksShowsOnOneLine) {
    dm->zlmConn.Execute(
        "update entity set entity_name='Smallwood\r\nDavid\nJr' where entity_id=101");
    q.Close();
    q.Open();
    EXPECT_EQ(Cell(0, "entity_name"), "Smallwood David Jr");
}

TEST_F(DBGridTest, FloatsHaveTwoDecimals) {
    EXPECT_EQ(Cell(0, "entity_taxrate"), "3.14");
    EXPECT_EQ(Cell(1, "entity_taxrate"), "2.00");
    EXPECT_EQ(Cell(2, "entity_taxrate"), "0.00");
}

TEST_F(DBGridTest, EveryTitleShowsWhole) {
    GridOver listed(dm->zlmConn, "select * from lstBillRate", 640);
    db::Query& rates = listed.rows;
    DBGrid& list = listed.grid;
    ASSERT_EQ(rates.FieldByName("Maximum discount").Index(), 8);
    for (int column = 0; column < rates.FieldCount(); ++column)
        EXPECT_GE(list.columnWidth(column), list.horizontalHeader()->sectionSizeHint(column))
            << rates.Fields(column).FieldName();
}

TEST_F(DBGridTest, StripesAndAlignment) {
    QueryTableModel& model = grid.Model();
    const int rate = q.FieldByName("entity_taxrate").Index();
    const int name = q.FieldByName("entity_name").Index();
    EXPECT_FALSE(model.index(0, 0).data(Qt::BackgroundRole).isValid());

    grid.SetStriped(true);
    EXPECT_EQ(model.index(0, name).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 255));
    EXPECT_EQ(model.index(1, name).data(Qt::BackgroundRole).value<QColor>(), QColor(217, 217, 255));
    EXPECT_EQ(model.index(2, rate).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 255));
    EXPECT_EQ(model.index(1, name).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));

    auto alignment = [&](int column) {
        return model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_EQ(alignment(rate), Qt::AlignTop | Qt::AlignLeft);
    grid.SetFloatsRight(true);
    EXPECT_EQ(alignment(rate), Qt::AlignTop | Qt::AlignRight);
    EXPECT_EQ(alignment(name), Qt::AlignTop | Qt::AlignLeft);
}

TEST_F(DBGridTest, SelectionFollowsTheDatasetBothWays) {
    EXPECT_EQ(grid.currentIndex().row(), 0);
    q.Next();
    EXPECT_EQ(grid.currentIndex().row(), 1);
    q.Last();
    EXPECT_EQ(grid.currentIndex().row(), 2);

    DataSource source(&q);
    DBEdit name;
    name.SetDataSource(&source);
    name.SetDataField("entity_name");
    grid.setCurrentIndex(grid.Model().index(0, 3));
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(name.text(), "Smith");
    grid.selectRow(1);
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_EQ(name.text(), "Jones");
}

TEST_F(DBGridTest, ReadingCellsDoesNotMoveTheDataset) {
    int scrolls = 0;
    q.OnAfterScroll([&scrolls] { ++scrolls; });
    q.Next();
    scrolls = 0;
    EXPECT_EQ(Cell(2, "entity_name"), "Brown");
    EXPECT_EQ(Cell(0, "entity_name"), "Smith");
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_EQ(scrolls, 0);
}

TEST_F(DBGridTest, SetupGridLaysOutTheColumnsAndPostsKeepTheLayout) {
    DimensionTable customers(1);
    customers.SetupGrid(q, grid);
    const int name = q.FieldByName("entity_name").Index();
    EXPECT_EQ(grid.Model().headerData(0, Qt::Horizontal).toString(), "ID");
    EXPECT_FALSE(grid.isColumnHidden(0));
    EXPECT_TRUE(grid.isColumnHidden(q.FieldByName("dimension_id").Index()));
    EXPECT_TRUE(grid.isColumnHidden(q.FieldByName("region_id").Index()));
    EXPECT_TRUE(grid.isColumnHidden(q.FieldByName("allow_delete").Index()));
    EXPECT_FALSE(grid.isColumnHidden(name));
    EXPECT_LE(grid.columnWidth(name), 300);
    EXPECT_GT(grid.columnWidth(name), 0);

    // Rows added and changed by posts: the same columns, laid out as before.
    q.Append();
    q.FieldByName("entity_id").SetAsInteger(104);
    q.FieldByName("entity_name").SetAsString("Green");
    q.Post();
    q.First();
    q.Edit();
    q.FieldByName("entity_name").SetAsString("Smythe");
    q.Post();
    EXPECT_EQ(grid.Model().rowCount(), 4);
    EXPECT_EQ(Cell(3, "entity_name"), "Green");
    EXPECT_EQ(Cell(0, "entity_name"), "Smythe");
    EXPECT_EQ(grid.Model().headerData(0, Qt::Horizontal).toString(), "ID");
    EXPECT_TRUE(grid.isColumnHidden(q.FieldByName("dimension_id").Index()));
    EXPECT_LE(grid.columnWidth(name), 300);
    EXPECT_EQ(grid.currentIndex().row(), 0);

    q.Last();
    q.Delete();
    EXPECT_EQ(grid.Model().rowCount(), 3);
    EXPECT_EQ(grid.currentIndex().row(), 2);
}

TEST_F(DBGridTest, AGridMayOutliveItsDataset) {
    auto other = std::make_unique<db::Query>(&dm->zlmConn);
    other->SetSQL("select * from entity");
    other->Open();
    DBGrid second;
    second.SetDataSet(other.get());
    EXPECT_GT(second.Model().rowCount(), 0);
    other.reset();
    EXPECT_EQ(second.DataSet(), nullptr);
    EXPECT_FALSE(second.Model().index(0, 0).data().isValid());
}

}  // namespace
}  // namespace zl::widgets
