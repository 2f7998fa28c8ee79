#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDateEdit>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QValueAxis>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/DataMod.h"
#include "platform/format/Format.h"
#include "reportserver/ChartPage.h"
#include "reportserver/GraphReport.h"
#include "reportserver/TfrmGraph.h"
#include "reportserver/TfrmLineGraph.h"
#include "reportserver/TfrmPieChart.h"
#include "reportserver/TfrmRepDates.h"
#include "tests/support/QtFixture.h"

namespace zl::reportserver {
namespace {

// Chart definitions: 901 bars, 902 breakdown pie, 903/904 pies of stored statements, 905 lines,
// 906 a type no chart has.
constexpr const char* kDefinitions = R"(
INSERT INTO graph_rep (graph_rep_id, graph_rep_type, graph_rep_title, graph_rep_table,
                       graph_rep_table2, graph_rep_ymfield) VALUES
    (901, 1, 'Plan and actual', 'test_actuals', '', 'YrMnth'),
    (902, 2, 'Where it went', '', '', ''),
    (903, 3, 'Slices', 'select slice_label, slice_amount from test_slices', 'order by slice_label', ''),
    (904, 3, 'No slices', 'select slice_label, slice_amount from test_slices', 'where slice_amount > 1000', ''),
    (905, 4, 'ignored', '', '', ''),
    (906, 5, 'Nothing', '', '', '');
INSERT INTO exppie (exppie_id, exppie_descr, exppie_amount) VALUES
    (9201, 'Rent', 625), (9202, 'Wages & <b>tips</b>', 250), (9203, 'Power', 125);
INSERT INTO inc_exp (inc_exp_id, inc_exp_date, inc_exp_sumdt, inc_exp_sumct, inc_exp_nett) VALUES
    (9301, '2024-02-29 00:00:00', 1, 1, 1),
    (9302, '2024-03-05 00:00:00', 30, 50, 20),
    (9303, '2024-03-01 00:00:00', 10, 0, -10),
    (9304, '2024-03-02 10:30:00', 20, 35.5, 15.5),
    (9305, '2024-03-06 00:00:00', 9, 9, 9);
INSERT INTO actual_planned (actual_planned_id, planned, actual, YrMth) VALUES (9401, 1, 2, '199901');
)";

// Actual amounts by year-month, in an order of their own; 202400 names no month. Forecast
// items of business unit 7001, in key order: A covers Nov to Jan at 10 a day; B runs from the
// 16th to the 14th and covers no 15th; C spans no time (on a 15th); D covers Jan to Mar (its
// last day is the 15th) at 10 a day. Unit 7002's item must not count.
constexpr const char* kMainRows = R"(
CREATE TABLE test_actuals (test_actuals_id INTEGER PRIMARY KEY, YrMnth VARCHAR(6), total DOUBLE);
INSERT INTO test_actuals VALUES
    (1, '202309', 5000), (2, '202310', 1), (3, '202312', 200), (4, '202311', 100),
    (5, '202400', 999), (6, '202401', 300), (7, '202402', 400), (8, '202403', 1234.5),
    (9, '202404', 7000);
INSERT INTO zlm_doc (zlm_doc_id, dimension_id, bus_unit_id, zlm_doc_from, zlm_doc_to) VALUES
    (9501, 15, 7001, '2023-11-01 00:00:00', '2024-01-31 00:00:00'),
    (9502, 15, 7001, '2024-01-16 00:00:00', '2024-02-14 00:00:00'),
    (9503, 15, 7001, '2024-02-15 00:00:00', '2024-02-15 00:00:00'),
    (9504, 15, 7001, '2024-01-01 00:00:00', '2024-03-15 00:00:00'),
    (9505, 15, 7002, '2023-01-01 00:00:00', '2025-01-01 00:00:00');
INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, doc_item_total) VALUES
    (9601, 9501, 24, 910), (9602, 9502, 24, 290), (9603, 9503, 24, 50),
    (9604, 9504, 24, 740), (9605, 9505, 24, 1000000);
CREATE TABLE test_slices (test_slices_id INTEGER PRIMARY KEY, slice_label VARCHAR(20), slice_amount DOUBLE);
INSERT INTO test_slices VALUES (1, 'Beta', 30), (2, 'Alpha', 10);
)";

std::vector<double> Values(const QBarSet& set) {
    std::vector<double> values;
    for (int i = 0; i < set.count(); ++i)
        values.push_back(set.at(i));
    return values;
}

std::vector<QPointF> Points(const QLineSeries& series) {
    const QList<QPointF> points = series.points();
    return {points.begin(), points.end()};
}

// What a preview was handed.
struct Shown {
    QChart* chart = nullptr;
    QPageLayout page;
    int times = 0;
};

class GraphReportTest : public test::QtFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        ASSERT_TRUE(dm->repConn.Connected());
        dm->repConn.ExecuteScript(kDefinitions);
        dm->zlmConn.ExecuteScript(kMainRows);
        report.preview = [this](QChartView& view, const QPageLayout& page) {
            shown.chart = view.chart();
            shown.page = page;
            ++shown.times;
            if (onPreview)
                onPreview(view);
        };
    }

    // Answers the next date dialog with the period, or cancels it.
    static void AnswerDates(std::optional<std::pair<QDate, QDate>> period) {
        test::WhenModal<TfrmRepDates>([period](TfrmRepDates& dialog) {
            if (!period) {
                dialog.btnCancel->click();
                return;
            }
            dialog.dtFrom->setDate(period->first);
            dialog.dtTo->setDate(period->second);
            dialog.btnOK->click();
        });
    }

    void Show(int graphId) {
        report.Setup(graphId, 7001, 3, 4);
        report.show();
    }

    // actual_planned as "YrMth planned actual" lines, in key order.
    std::vector<std::string> PlannedRows() {
        db::Query q(&dm->repConn);
        q.SetSQL("select YrMth, planned, actual from actual_planned order by actual_planned_id");
        q.Open();
        std::vector<std::string> rows;
        for (; !q.Eof(); q.Next())
            rows.push_back(q.Fields(0).AsString() + " " + q.Fields(1).AsString() + " " +
                           q.Fields(2).AsString());
        return rows;
    }

    GraphReport report;
    Shown shown;
    std::function<void(QChartView&)> onPreview;
};

const std::pair<QDate, QDate> kOctToMar{QDate(2023, 10, 1), QDate(2024, 3, 31)};

TEST_F(GraphReportTest, PlanAgainstActualFillsActualPlannedAndDrawsItsRows) {
    AnswerDates(kOctToMar);
    Show(901);

    EXPECT_EQ(report.qYearMonth.SQL(),
              "select * from [test_actuals] where [YrMnth]>=202310 and [YrMnth]<=202403");
    // The sums run on from item A into item D; January stands once for each of them; B, the
    // zero-span C and the month-less 202400 add nothing.
    EXPECT_EQ(PlannedRows(), (std::vector<std::string>{"202312 305 200", "202311 610 300",
                                                       "202401 915 600", "202401 1220 900",
                                                       "202402 1525 1300", "202403 1830 2534.5"}));

    ASSERT_EQ(shown.times, 1);
    EXPECT_EQ(shown.chart, report.frmGraph->QOIBarChart);
    EXPECT_EQ(shown.chart->title(), "Plan and actual");
    EXPECT_EQ(report.frmGraph->windowTitle(), "Plan and actual");
    EXPECT_EQ(shown.page.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(shown.page.orientation(), QPageLayout::Portrait);
    EXPECT_EQ(shown.page.margins(QPageLayout::Millimeter), QMarginsF(10, 10, 10, 10));

    const TfrmGraph& form = *report.frmGraph;
    ASSERT_EQ(form.bars->barSets(), (QList<QBarSet*>{form.Series1, form.Series2}));
    EXPECT_EQ(form.Series1->label(), "Actual");
    EXPECT_EQ(form.Series1->color(), QColor(255, 0, 0));
    EXPECT_EQ(form.Series2->label(), "Planned");
    EXPECT_EQ(form.Series2->color(), QColor(0, 128, 0));
    // Ordered by month; the second January keeps a bar of its own under the same text.
    const QStringList categories = form.axisX->categories();
    ASSERT_EQ(categories.size(), 6);
    QStringList visible;
    for (const QString& c : categories)
        visible.append(QString(c).remove(QChar(0x200B)));
    EXPECT_EQ(visible, (QStringList{"202311", "202312", "202401", "202401", "202402", "202403"}));
    EXPECT_EQ(Values(*form.Series1), (std::vector<double>{300, 200, 600, 900, 1300, 2534.5}));
    EXPECT_EQ(Values(*form.Series2), (std::vector<double>{610, 305, 915, 1220, 1525, 1830}));
    EXPECT_EQ(form.MarkTexts(form.Series1),
              (QStringList{"300.00", "200.00", "600.00", "900.00", "1,300.00", "2,534.50"}));
    EXPECT_EQ(form.MarkTexts(form.Series2),
              (QStringList{"610", "305", "915", "1,220", "1,525", "1,830"}));
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(GraphReportTest, PlanAgainstActualPageRendersWithItsMarksOverTheBars) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("chart.pdf");
    double firstMarkX = 0;
    double lastMarkX = 0;
    onPreview = [&](QChartView& view) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageLayout(report.frmGraph->PageLayout());
        RenderChartPage(view, printer);
        const QRectF plot = view.chart()->plotArea();
        EXPECT_GT(plot.width(), 300);
        for (QGraphicsItem* child : view.chart()->childItems()) {
            const auto* mark = dynamic_cast<QGraphicsSimpleTextItem*>(child);
            if (mark && mark->text() == "300.00")
                firstMarkX = mark->pos().x();
            if (mark && mark->text() == "2,534.50")
                lastMarkX = mark->pos().x();
        }
        EXPECT_GT(firstMarkX, plot.left());
        EXPECT_LT(lastMarkX, plot.right());
    };
    AnswerDates(kOctToMar);
    Show(901);
    ASSERT_EQ(shown.times, 1);
    EXPECT_LT(firstMarkX, lastMarkX);
    EXPECT_GT(std::filesystem::file_size(pdf.toStdString()), 1000u);
}

TEST_F(GraphReportTest, PlanAgainstActualFailuresShowNoChart) {
    struct Case {
        const char* name;
        const char* trigger;  // on actual_planned
        const char* logged;
        std::vector<std::string> rowsAfter;
    };
    const Case cases[] = {
        // The earlier chart's row stays, and is never drawn as this chart's.
        {"delete refused",
         "CREATE TRIGGER t BEFORE DELETE ON actual_planned BEGIN SELECT RAISE(ABORT, 'kept'); END;",
         "TDataMod.actionQuery > GraphReport.populatePlanned;",
         {"199901 1 2"}},
        {"insert refused",
         "CREATE TRIGGER t BEFORE INSERT ON actual_planned BEGIN SELECT RAISE(ABORT, 'full'); END;",
         "GraphReport.PopulatePlanned;",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dm->repConn.ExecuteScript(std::string("DROP TRIGGER IF EXISTS t;") + c.trigger);
        GraphReport attempt;
        int previews = 0;
        attempt.preview = [&](QChartView&, const QPageLayout&) { ++previews; };
        AnswerDates(kOctToMar);
        attempt.Setup(901, 7001, 0, 0);
        attempt.show();
        EXPECT_EQ(previews, 0);
        EXPECT_NE(ErrorLog().find(c.logged), std::string::npos) << ErrorLog();
        EXPECT_EQ(PlannedRows(), c.rowsAfter);
        EXPECT_EQ(cursor.Shapes().back(), ui::CursorShape::Default);
    }
}

TEST_F(GraphReportTest, CancelledPeriodDrawsAndReadsNothing) {
    for (int graph : {901, 905}) {
        SCOPED_TRACE(graph);
        GraphReport attempt;
        int previews = 0;
        attempt.preview = [&](QChartView&, const QPageLayout&) { ++previews; };
        AnswerDates(std::nullopt);
        attempt.Setup(graph, 7001, 0, 0);
        attempt.show();
        EXPECT_EQ(previews, 0);
        EXPECT_FALSE(attempt.qYearMonth.Active());
        EXPECT_FALSE(attempt.qSource.Active());
    }
    EXPECT_EQ(PlannedRows(), (std::vector<std::string>{"199901 1 2"}));
    EXPECT_TRUE(cursor.Shapes().empty());
}

TEST_F(GraphReportTest, BreakdownPieTakesExppieLabelsAndAmountsUnderTheTitle) {
    Show(902);
    ASSERT_EQ(shown.times, 1);
    EXPECT_EQ(shown.chart->title(), "Where it went");
    EXPECT_EQ(shown.page.orientation(), QPageLayout::Landscape);
    const TfrmPieChart& pie = *report.frmPieChart;
    ASSERT_EQ(pie.Series1->count(), 3);
    QStringList marks;
    std::vector<double> values;
    for (QPieSlice* slice : pie.Series1->slices()) {
        marks.append(slice->label());
        values.push_back(slice->value());
        EXPECT_TRUE(slice->isLabelVisible());
    }
    // The chart draws a label as rich text: the name from the data is escaped in it.
    EXPECT_EQ(marks, (QStringList{"Rent 62.5 %", "Wages &amp; &lt;b&gt;tips&lt;/b&gt; 25 %",
                                  "Power 12.5 %"}));
    EXPECT_EQ(values, (std::vector<double>{625, 250, 125}));
    EXPECT_EQ(pie.SliceLabel(1), "Wages & <b>tips</b>");
}

TEST_F(GraphReportTest, StoredStatementPieTakesLabelThenValue) {
    struct Case {
        int graph;
        const char* title;
        QStringList marks;
        std::vector<double> values;
    };
    const Case cases[] = {
        {903, "Slices", {"Alpha 25 %", "Beta 75 %"}, {10, 30}},
        {904, "No slices", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.graph);
        GraphReport one;
        QChart* chart = nullptr;
        QPageLayout page;
        QStringList marks;
        std::vector<double> values;
        one.preview = [&](QChartView& view, const QPageLayout& layout) {
            chart = view.chart();
            page = layout;
            for (QPieSlice* slice : one.frmPieChart->Series1->slices()) {
                marks.append(slice->label());
                values.push_back(slice->value());
            }
        };
        one.Setup(c.graph, 7001, 0, 0);
        one.show();
        ASSERT_NE(chart, nullptr);
        EXPECT_EQ(one.qSource.SQL(), "select slice_label, slice_amount from test_slices " +
                                         one.qGraph.FieldByName("graph_rep_table2").AsString());
        EXPECT_EQ(chart->title(), c.title);
        EXPECT_EQ(page.orientation(), QPageLayout::Landscape);
        EXPECT_EQ(page.pageSize().id(), QPageSize::A4);
        EXPECT_EQ(marks, c.marks);
        EXPECT_EQ(values, c.values);
    }
}

TEST_F(GraphReportTest, CumulativeLinesOverTheAnsweredPeriod) {
    // The line form lives only while its preview shows: everything is read there.
    struct Line {
        QString name;
        QColor colour;
        int width;
        std::vector<QPointF> points;
        bool operator==(const Line&) const = default;
    };
    QString title;
    QStringList categories;
    std::vector<Line> lines;
    onPreview = [&](QChartView& view) {
        title = view.chart()->title();
        categories = report.frmLineGraph->axisX->categories();
        for (QAbstractSeries* series : view.chart()->series())
            if (const auto* line = qobject_cast<QLineSeries*>(series))
                lines.push_back(
                    {line->name(), line->pen().color(), line->pen().width(), Points(*line)});
    };
    AnswerDates(std::pair{QDate(2024, 3, 1), QDate(2024, 3, 5)});
    Show(905);

    EXPECT_EQ(report.qSource.SQL(),
              "select * from inc_exp where inc_exp_date>=#2024-03-01 00:00:00# and "
              "inc_exp_date<=#2024-03-05 00:00:00# order by inc_exp_date ");
    ASSERT_EQ(shown.times, 1);
    EXPECT_EQ(title, "Cumulative Income and Expenditure");
    EXPECT_EQ(shown.page.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(shown.page.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(categories, (QStringList{"2024/03/01", "2024/03/02 10:30:00", "2024/03/05"}));
    const std::vector<Line> expected = {
        {"Expenditure", QColor(255, 0, 0), 4, {{0, 10}, {1, 20}, {2, 30}}},
        {"Income", QColor(128, 255, 128), 5, {{0, 0}, {1, 35.5}, {2, 50}}},
        {"Nett balance", QColor(0, 0, 255), 5, {{0, -10}, {1, 15.5}, {2, 20}}},
    };
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(report.frmLineGraph);  // freed once the preview closed
}

TEST_F(GraphReportTest, PageGoesToAModalPrintPreviewOfItsLayout) {
    std::optional<QPageLayout> previewed;
    test::WhenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
        previewed = dialog.printer()->pageLayout();
        dialog.reject();
    });
    PrintGraphReport(903, 7001, 0, 0);
    ASSERT_TRUE(previewed);
    EXPECT_EQ(previewed->orientation(), QPageLayout::Landscape);
    EXPECT_EQ(previewed->pageSize().id(), QPageSize::A4);
    EXPECT_EQ(previewed->margins(QPageLayout::Millimeter), QMarginsF(10, 10, 10, 10));
}

TEST_F(GraphReportTest, UnknownTypeOrMissingDefinitionShowsNothing) {
    for (int graph : {906, 9999}) {
        SCOPED_TRACE(graph);
        GraphReport one;
        int previews = 0;
        one.preview = [&](QChartView&, const QPageLayout&) { ++previews; };
        one.Setup(graph, 7001, 0, 0);
        one.show();
        EXPECT_EQ(previews, 0);
        EXPECT_EQ(one.frmGraph->windowTitle(), graph == 906 ? "Nothing" : "");
        EXPECT_NO_THROW(PrintGraphReport(graph, 7001, 0, 0));
    }
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(GraphReportTest, BusyCursorIsRestoredWhenTheChartFails) {
    dm->repConn.ExecuteScript(
        "UPDATE graph_rep SET graph_rep_table = 'select ''Rent'', ''lots''', graph_rep_table2 = "
        "'' WHERE graph_rep_id = 903;"
        "UPDATE graph_rep SET graph_rep_table = 'select nothing from', graph_rep_table2 = "
        "'nowhere' WHERE graph_rep_id = 904;");
    // A value that is no number ends the chart with the error raised.
    report.Setup(903, 7001, 0, 0);
    EXPECT_THROW(report.show(), format::EConvertError);
    EXPECT_EQ(cursor.Shapes(),
              (std::vector<ui::CursorShape>{ui::CursorShape::HourGlass, ui::CursorShape::Default}));
    // A statement the database rejects is reported and draws no pie.
    GraphReport rejected;
    rejected.preview = report.preview;
    rejected.Setup(904, 7001, 0, 0);
    rejected.show();
    EXPECT_EQ(shown.times, 0);
    EXPECT_EQ(cursor.Shapes().size(), 4u);
    EXPECT_EQ(cursor.Shapes().back(), ui::CursorShape::Default);
    EXPECT_NE(ErrorLog().find("TDataMod.openQuery > GraphReport.tableFromQuery;"),
              std::string::npos);
}

}  // namespace
}  // namespace zl::reportserver
