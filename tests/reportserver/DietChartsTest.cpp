#include <gtest/gtest.h>

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDateEdit>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/DataMod.h"
#include "platform/com/Registry.h"
#include "platform/format/Format.h"
#include "reportserver/DietCharts.h"
#include "reportserver/TfrmPieChart.h"
#include "reportserver/TfrmRepDates.h"
#include "tests/support/Dispatch.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/QtFixture.h"

namespace zl::reportserver {
namespace {

std::string Stored(format::TDateTime dt) {
    return format::FormatDateTime("yyyy-MM-dd hh:nn:ss", dt);
}

// Users: 701 imperial, medium build, goal 10 days ahead; 702 metric, heavy build, goal today;
// 703-705 only for the current weight. The period asked for is 1 to 5 March 2024; the rows of
// 28 February and 6 March lie outside it.
std::string DietRows() {
    const format::TDateTime today = format::Date();
    const std::string goal701 = Stored(today + 10);
    const std::string goal702 = Stored(today);
    return R"(
INSERT INTO sys_usr (sys_usr_id, sys_usr_units, sys_usr_build, sys_usr_height, sys_usr_weight,
                     sys_usr_targetlbkg, sys_usr_goalend) VALUES
    (701, 2, 1, 70, 180, 170, ')" +
           goal701 + R"('),
    (702, 1, 2, 200, 90, 80, ')" +
           goal702 + R"('),
    (703, 2, 0, 70, 1, 1, NULL), (704, 1, 0, 170, 1, 1, NULL), (705, 2, 0, 70, 99, 1, NULL);
INSERT INTO food_intake (food_intake_id, sys_usr_id, food_intake_date, food_intake_carbs,
                         food_intake_fat, food_intake_proteins, food_intake_saturated,
                         food_intake_kj) VALUES
    (7101, 701, '2024-03-02 12:00:00', 100, 20, 50, 5, 4184),
    (7102, 701, '2024-03-01 09:00:00', 30, NULL, 10, 1, 2092),
    (7103, 701, '2024-03-02 18:00:00', 0, 0, 0, 0, 836.8),
    (7104, 701, '2024-02-28 09:00:00', 999, 999, 999, 999, 9999),
    (7105, 702, '2024-03-04 09:00:00', 1, 1, 1, 1, 2500),
    (7106, 702, '2024-03-03 09:00:00', 1, 1, 1, 1, 1500),
    (7107, 702, '2024-03-06 09:00:00', 1, 1, 1, 1, 7777);
INSERT INTO usr_exercise (usr_exercise_id, sys_usr_id, usr_exercise_dt, usr_exercise_lightkj,
                          usr_exercise_mediumkj, usr_exercise_heavykj) VALUES
    (7201, 701, '2024-03-01 07:00:00', 1, 418.4, 3),
    (7202, 701, '2024-03-03 07:00:00', 1, 836.8, 3),
    (7203, 701, '2024-02-28 07:00:00', 1, 5000, 3),
    (7204, 702, '2024-03-02 07:00:00', 1, 2, 700);
INSERT INTO usr_weight (usr_weight_id, sys_usr_id, usr_weight_date, usr_weight_lbskg,
                        usr_weight_ozgm) VALUES
    (7301, 701, ')" +
           Stored(today - 10) + R"(', 182, 0),
    (7302, 701, ')" +
           Stored(today) + R"(', 181, 8),
    (7303, 702, ')" +
           Stored(today - 2) + R"(', 80, 500),
    (7304, 702, ')" +
           Stored(today - 1) + R"(', 80, 0),
    (7305, 799, ')" +
           Stored(today - 1) + R"(', 150, 0),
    (7306, 703, '2024-01-01 00:00:00', 200, 0),
    (7307, 703, '2024-02-01 00:00:00', 150, 8),
    (7308, 704, '2024-02-01 00:00:00', 70, 500),
    (7309, 705, '2024-02-01 00:00:00', 150, 0),
    (7310, 705, '2024-02-01 00:00:00', 160, 0);
)";
}

const QDate kMarchFirst(2024, 3, 1);
const QDate kMarchFifth(2024, 3, 5);

// Confirms the next date dialog with the period, or cancels it.
void AnswerDates(QDate from, QDate to, bool confirm = true) {
    test::WhenModal<TfrmRepDates>([=](TfrmRepDates& dialog) {
        if (!confirm) {
            dialog.btnCancel->click();
            return;
        }
        dialog.dtFrom->setDate(from);
        dialog.dtTo->setDate(to);
        dialog.btnOK->click();
    });
}

std::vector<double> Values(const QBarSet& set) {
    std::vector<double> values;
    for (int i = 0; i < set.count(); ++i)
        values.push_back(set.at(i));
    return values;
}

std::vector<double> Values(const QLineSeries& series) {
    std::vector<double> values;
    for (const QPointF& p : series.points())
        values.push_back(p.y());
    return values;
}

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-9) << "at " << i;
}

class DietChartsTest : public test::QtFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        dm->zlmConn.ExecuteScript(DietRows());
    }
    void TearDown() override { format::Settings() = savedFormat; }

    // Every page handed to the preview, kept until the test looks at it.
    StackedPreview Keep() {
        return [this](StackedChartPage&) { ++previews; };
    }

    format::FormatSettings savedFormat = format::Settings();
    int previews = 0;
};

QStringList Visible(const StackedChart& chart) {
    QStringList labels;
    for (QString c : chart.axisX->categories())
        labels.append(c.remove(QChar(0x200B)));
    return labels;
}

TEST_F(DietChartsTest, NutritionBreakdownSumsThePeriodIntoFourSlices) {
    struct Case {
        int user;
        std::vector<double> slices;
    };
    // 701: fat's null counts as nothing, 28 February lies outside; 706 has no intake at all.
    for (const Case& c : {Case{701, {130, 20, 6, 60}}, Case{706, {0, 0, 0, 0}}}) {
        NutritionBreakdown chart(c.user);
        int shown = 0;
        chart.preview = [&](QChartView&, const QPageLayout& page) {
            ++shown;
            EXPECT_EQ(page.orientation(), QPageLayout::Landscape);
        };
        AnswerDates(kMarchFirst, kMarchFifth);
        chart.showGraph();
        ASSERT_EQ(shown, 1);
        const TfrmPieChart& pie = *chart.frmPieChart;
        std::vector<double> values;
        QStringList labels;
        for (int i = 0; i < pie.Series1->count(); ++i) {
            values.push_back(pie.Series1->slices().at(i)->value());
            labels.append(pie.SliceLabel(i));
        }
        EXPECT_EQ(values, c.slices) << c.user;
        EXPECT_EQ(labels,
                  (QStringList{"Carbohydrates", "Unsaturated Fats", "Saturated Fats", "Protein"}));
        EXPECT_EQ(pie.QRChart1->title(),
                  "Nutrition breakdown for period: 2024/03/01 to 2024/03/05");
    }
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(DietChartsTest, CalorieIntakeShowsKilojoulesOrCaloriesByTheUsersUnits) {
    struct Case {
        int user;
        QStringList labels;
        std::vector<double> daily;
        std::vector<double> cumulative;
        QStringList cumulativeMarks;
    };
    // 701 is imperial: calories, by date, two bars on 2 March. 702 is metric: kilojoules.
    const Case cases[] = {
        {701,
         {"2024/03/01", "2024/03/02", "2024/03/02"},
         {500, 1000, 200},
         {500, 1500, 1700},
         {"500.00", "1,500.00", "1,700.00"}},
        {702, {"2024/03/03", "2024/03/04"}, {1500, 2500}, {1500, 4000}, {"1,500.00", "4,000.00"}},
    };
    for (const Case& c : cases) {
        CalorieIntakeGraph chart(c.user);
        chart.preview = Keep();
        AnswerDates(kMarchFirst, kMarchFifth);
        chart.showReport();
        const TfrmDailyCumulative& form = *chart.frmCalorieGraph;
        ExpectNear(Values(*form.Series1), c.daily);
        ExpectNear(Values(*form.BarSeries1), c.cumulative);
        EXPECT_EQ(form.CumulativeChart->marks->Texts(form.BarSeries1), c.cumulativeMarks);
        EXPECT_EQ(Visible(*form.DailyChart), c.labels);
        EXPECT_EQ(Visible(*form.CumulativeChart), c.labels);
        EXPECT_EQ(form.DailyChart->chart->title(), "Daily energy intake");
        EXPECT_EQ(form.Series1->label(), "Energy intake");
        EXPECT_EQ(form.CumulativeChart->chart->title(), "Cumulative energy intake");
        EXPECT_EQ(form.BarSeries1->label(), "Actual");
        EXPECT_EQ(form.PageLayout().orientation(), QPageLayout::Portrait);
    }
    EXPECT_EQ(previews, 2);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(DietChartsTest, ADayFirstDateFormatSelectsTheSamePeriod) {
    format::Settings().ShortDateFormat = "dd/MM/yyyy";
    CalorieIntakeGraph chart(702);
    chart.preview = Keep();
    AnswerDates(kMarchFirst, kMarchFifth);
    chart.showReport();
    EXPECT_NE(chart.qIntake.SQL().find("food_intake_date>=#2024-03-01 00:00:00#"),
              std::string::npos)
        << chart.qIntake.SQL();
    ExpectNear(Values(*chart.frmCalorieGraph->Series1), {1500, 2500});
    EXPECT_EQ(Visible(*chart.frmCalorieGraph->DailyChart),
              (QStringList{"03/03/2024", "04/03/2024"}));

    NutritionBreakdown pie(701);
    pie.preview = [](QChartView&, const QPageLayout&) {};
    AnswerDates(kMarchFirst, kMarchFifth);
    pie.showGraph();
    EXPECT_EQ(pie.frmPieChart->Series1->slices().at(0)->value(), 130);
    EXPECT_EQ(pie.frmPieChart->QRChart1->title(),
              "Nutrition breakdown for period: 01/03/2024 to 05/03/2024");
}

TEST_F(DietChartsTest, ExerciseEnergyFollowsBuildAndUnits) {
    struct Case {
        int user;
        std::vector<double> daily;
        std::vector<double> cumulative;
    };
    // 701 imperial and medium: mediumkj in calories; 702 metric and heavy: heavykj.
    for (const Case& c : {Case{701, {100, 200}, {100, 300}}, Case{702, {700}, {700}}}) {
        ExerciseGraph chart(c.user);
        chart.preview = Keep();
        AnswerDates(kMarchFirst, kMarchFifth);
        chart.showReport();
        const TfrmDailyCumulative& form = *chart.frmExerciseGraph;
        ExpectNear(Values(*form.Series1), c.daily);
        ExpectNear(Values(*form.BarSeries1), c.cumulative);
        EXPECT_EQ(form.Series1->label(), "Exercise energy expended");
        EXPECT_EQ(form.DailyChart->chart->title(),
                  "Daily exercise energy expended (calories or kJ)\n");
    }
    EXPECT_EQ(previews, 2);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(DietChartsTest, CurrentWeightIsTheOneLatestWeighing) {
    struct Case {
        int user;
        double weight;
    };
    // 150 lb 8 oz; 70 kg 500 g; two weighings on the latest date fall back to sys_usr_weight.
    for (const Case& c : {Case{703, 150.5}, Case{704, 70.5}, Case{705, 99}}) {
        Dieter dieter(c.user);
        EXPECT_EQ(dieter.getCurrentWeight(), std::optional<double>(c.weight)) << c.user;
    }
}

TEST_F(DietChartsTest, WeightChartPlansALineFromTodaysWeightToTheTarget) {
    WeightGraph chart(701);
    chart.preview = Keep();
    const QDate today = QDate::currentDate();
    AnswerDates(today.addDays(-20), today);
    chart.showReport();
    const TfrmWeightGraph& form = *chart.frmWeightGraph;
    const double lbs[] = {182, 181.5};
    ExpectNear(Values(*form.Series1), {lbs[0], lbs[1]});
    // 181.5 today, 170 in ten days: 1.15 a day, so 193 ten days ago.
    ExpectNear(Values(*form.Series2), {193, 181.5});
    ExpectNear(Values(*form.FastLineSeries1),
               {703 * lbs[0] / (70.0 * 70.0), 703 * lbs[1] / (70.0 * 70.0)});
    EXPECT_EQ(form.weightChart->chart->title(), "Weight Loss / Gain");
    EXPECT_EQ(form.Series2->name(), "Planned weight loss");
    EXPECT_EQ(form.Series2->pen().color(), QColor(128, 255, 128));
    EXPECT_EQ(form.PageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(previews, 1);

    if (const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR")) {
        QImage page(1123, 794, QImage::Format_ARGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        form.Paint(painter, form.PageLayout().paintRect(QPageLayout::Point).size(),
                   QRectF(0, 0, 1123, 794));
        painter.end();
        page.save(QString(dir) + "/diet-chart.png");
    }
}

TEST_F(DietChartsTest, ADayWithoutATargetSlopeGetsNoPlannedPoint) {
    // 702's goal date is today; 799 has weighings but no user row.
    struct Case {
        int user;
        std::vector<double> actual;
        std::vector<double> bmi;
    };
    for (const Case& c : {Case{702, {80.5, 80}, {80.5 / 4, 80 / 4.0}}, Case{799, {150}, {0}}}) {
        WeightGraph chart(c.user);
        chart.preview = Keep();
        const QDate today = QDate::currentDate();
        AnswerDates(today.addDays(-5), today);
        chart.showReport();
        const TfrmWeightGraph& form = *chart.frmWeightGraph;
        ExpectNear(Values(*form.Series1), c.actual);
        EXPECT_TRUE(form.Series2->points().isEmpty()) << c.user;
        ExpectNear(Values(*form.FastLineSeries1), c.bmi);
        EXPECT_FALSE(chart.dieter.targetWeightAt(format::Date()).has_value());
    }
    EXPECT_EQ(ErrorLog(), "");

    // 701 has a slope until its weighings cannot be read.
    Dieter dieter(701);
    EXPECT_TRUE(dieter.targetWeightAt(format::Date()).has_value());
    dm->zlmConn.Execute("alter table usr_weight rename to usr_weight_gone");
    EXPECT_FALSE(dieter.targetWeightAt(format::Date()).has_value());
    EXPECT_NE(ErrorLog().find("Dieter.getCurrentWeight"), std::string::npos) << ErrorLog();
}

TEST_F(DietChartsTest, TheCursorComesBackOnEveryPath) {
    using ui::CursorShape;
    // Shown, cancelled, and ended by an error while showing.
    AnswerDates(kMarchFirst, kMarchFifth);
    ShowExerciseGraph(701, Keep());
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(cursor.Shapes().front(), CursorShape::HourGlass);
    EXPECT_EQ(cursor.Shapes().back(), CursorShape::Default);

    AnswerDates(kMarchFirst, kMarchFifth, false);
    const std::size_t before = cursor.Shapes().size();
    ShowWeightGraph(701, Keep());
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(std::vector<CursorShape>(cursor.Shapes().begin() + before, cursor.Shapes().end()),
              (std::vector<CursorShape>{CursorShape::HourGlass, CursorShape::Default}));

    AnswerDates(kMarchFirst, kMarchFifth);
    ShowNutritionBreakdown(701, [](QChartView&, const QPageLayout&) {
        throw std::runtime_error("The printer went away.");
    });
    EXPECT_EQ(cursor.Shapes().back(), CursorShape::Default);
    EXPECT_NE(ErrorLog().find("TReportObject.ShowNutritionBreakdown;The printer went away.;"),
              std::string::npos)
        << ErrorLog();

    AnswerDates(kMarchFirst, kMarchFifth);
    EXPECT_THROW(ShowCalorieIntakeGraph(
                     701, [](StackedChartPage&) { throw std::runtime_error("No paper."); }),
                 std::runtime_error);
    EXPECT_EQ(cursor.Shapes().back(), CursorShape::Default);
}

// Every value of every series of the charts shown at this moment, by series name (a pie's by
// slice order). The library has its own copy of the chart classes, but the chart views and
// series are Qt's and are found as the user sees them.
std::map<QString, std::vector<double>> ShownSeries() {
    std::map<QString, std::vector<double>> shown;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* view = qobject_cast<QChartView*>(widget);
        if (!view)
            continue;
        for (QAbstractSeries* series : view->chart()->series()) {
            if (auto* line = qobject_cast<QLineSeries*>(series))
                for (const QPointF& point : line->points())
                    shown[line->name()].push_back(point.y());
            if (auto* bars = qobject_cast<QBarSeries*>(series))
                for (QBarSet* set : bars->barSets())
                    for (int i = 0; i < set->count(); ++i)
                        shown[set->label()].push_back(set->at(i));
            if (auto* pie = qobject_cast<QPieSeries*>(series))
                for (QPieSlice* slice : pie->slices())
                    shown["pie"].push_back(slice->value());
        }
    }
    return shown;
}

// The library loaded as the program loads it: each member found by name and called through
// IDispatch::Invoke, its date dialog answered; its series are read while its preview shows.
TEST_F(DietChartsTest, EachMemberOfTheLoadedLibraryDrawsItsSeries) {
    using namespace com;
    ASSERT_EQ(RegisterServerLibrary(ZELMAR_REPORTSERVER_PATH), S_OK);
    ComPtr<IReportObject> server = test::CreateReportObject();
    ASSERT_TRUE(server);
    test::Dispatch script(server.Get());
    ASSERT_EQ(script.Call(u"Connect", {script.Str(dm->BuildConnectionString(folder.MainDb())),
                                       script.Str(dm->BuildConnectionString(folder.MetaDb())),
                                       script.Str(dm->BuildConnectionString(folder.LocalDb()))}),
              S_OK);

    struct Case {
        const char16_t* member;
        QDate from, to;
        std::map<QString, std::vector<double>> series;
    };
    const QDate today = QDate::currentDate();
    const Case cases[] = {
        {u"ShowNutritionBreakdown", kMarchFirst, kMarchFifth, {{"pie", {130, 20, 6, 60}}}},
        {u"ShowCalorieIntakeGraph",
         kMarchFirst,
         kMarchFifth,
         {{"Energy intake", {500, 1000, 200}}, {"Actual", {500, 1500, 1700}}}},
        {u"ShowExerciseGraph",
         kMarchFirst,
         kMarchFifth,
         {{"Exercise energy expended", {100, 200}}, {"Actual", {100, 300}}}},
        {u"ShowWeightGraph",
         today.addDays(-20),
         today,
         {{"Actual weight (lb or kg)", {182, 181.5}},
          {"Planned weight loss", {193, 181.5}},
          {"Body Mass Index (BMI)", {703 * 182 / 4900.0, 703 * 181.5 / 4900.0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.member).toStdString());
        std::vector<std::string> modals;
        std::map<QString, std::vector<double>> shown;
        QObject scope;
        std::function<void(int)> step = [&](int triesLeft) {
            QTimer::singleShot(10, &scope, [&, triesLeft] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal && modal->objectName() == "frmRepDates") {
                    modals.push_back(modal->windowTitle().toStdString());
                    modal->findChild<QDateEdit*>("dtFrom")->setDate(c.from);
                    modal->findChild<QDateEdit*>("dtTo")->setDate(c.to);
                    modal->findChild<QPushButton*>("btnOK")->click();
                } else if (modal) {
                    modals.push_back(modal->metaObject()->className());
                    shown = ShownSeries();
                    modal->close();
                    return;
                }
                if (triesLeft > 0)
                    step(triesLeft - 1);
            });
        };
        step(500);

        EXPECT_EQ(script.Call(c.member, {script.I4(701), script.I4(0)}), S_OK);  // user, hw
        EXPECT_EQ(modals, (std::vector<std::string>{"Report dates", "QPrintPreviewDialog"}));
        ASSERT_EQ(shown.size(), c.series.size());
        for (const auto& [name, values] : c.series)
            ExpectNear(shown[name], values);
    }
    EXPECT_EQ(ErrorLog(), "");
}

}  // namespace
}  // namespace zl::reportserver
