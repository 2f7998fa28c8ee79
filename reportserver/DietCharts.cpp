#include "reportserver/DietCharts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QValueAxis>
#include <algorithm>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/JetDialect.h"
#include "platform/ui/Prompter.h"
#include "reportserver/TfrmPieChart.h"
#include "reportserver/TfrmRepDates.h"

namespace zl::reportserver {

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);
const QColor kLightGreen(128, 255, 128);
constexpr int kMetric = 1;

QString DateLabel(format::TDateTime dt) {
    return QString::fromStdString(format::DateToStr(dt));
}

// The date dialog's period; nothing when the user cancelled.
std::optional<std::pair<format::TDateTime, format::TDateTime>> AskPeriod() {
    TfrmRepDates dates;
    format::TDateTime from = 0;
    format::TDateTime to = 0;
    if (!dates.execute(from, to))
        return std::nullopt;
    return std::pair{from, to};
}

std::string PeriodClause(const char* column, format::TDateTime from, format::TDateTime to) {
    return std::string(" And ") + column + ">=" + db::SqlDate(from) + "  And " + column +
           "<=" + db::SqlDate(to) + " ";
}

QLineSeries* NewLine(StackedChart& on, const char* name, const QString& text, const QColor& colour,
                     int width) {
    return NewLineSeries(on.chart, on.axisX, on.axisY, name, text, colour, width);
}

QBarSet* NewBars(StackedChart& on, const char* name, const QString& text) {
    auto* set = new QBarSet(text);
    set->setObjectName(name);
    set->setColor(kRed);
    auto* series = new QBarSeries;
    series->append(set);
    on.chart->addSeries(series);
    series->attachAxis(on.axisX);
    series->attachAxis(on.axisY);
    on.marks = new BarMarks(on.chart, series);
    return set;
}

}  // namespace

BusyCursor::BusyCursor() {
    ui::CurrentCursor().Set(ui::CursorShape::HourGlass);
}

BusyCursor::~BusyCursor() {
    ui::CurrentCursor().Set(ui::CursorShape::Default);
}

StackedChart::StackedChart(QWidget* owner, const char* name, const QString& title,
                           const QColor& titleColour)
    : chart(NewChart(name, titleColour)) {
    chart->setTitle(title);
    view = new QChartView(chart, owner);
    axisX = new QBarCategoryAxis;
    axisY = new QValueAxis;
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    FitValueAxis(*axisY, 0, 0);
}

void StackedChart::AddCategory(const QString& label) {
    AppendCategory(categories_, label);
    axisX->setCategories(categories_);
}

void StackedChart::Fit(double value) {
    low_ = std::min(low_, value);
    high_ = std::max(high_, value);
    FitValueAxis(*axisY, low_, high_);
}

StackedChartPage::StackedChartPage(const char* name, QPageLayout::Orientation orientation)
    : layout_(A4Page(orientation)) {
    setObjectName(name);
}

StackedChart* StackedChartPage::Add(const char* name, const QString& title,
                                    const QColor& titleColour) {
    owned_.push_back(std::make_unique<StackedChart>(this, name, title, titleColour));
    charts_.push_back(owned_.back().get());
    return charts_.back();
}

void StackedChartPage::Render(QPrinter& printer) const {
    QPainter painter(&printer);
    Paint(painter, printer.pageLayout().paintRect(QPageLayout::Point).size(),
          QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
}

void StackedChartPage::Paint(QPainter& painter, const QSizeF& page, const QRectF& area) const {
    const QSizeF share(page.width(), page.height() / charts_.size());
    const double strip = area.height() / charts_.size();
    for (std::size_t i = 0; i < charts_.size(); ++i) {
        QChart* chart = charts_[i]->chart;
        // The views are never shown, so they never lay their charts out themselves.
        chart->resize(share);
        if (chart->layout())
            chart->layout()->activate();
        if (charts_[i]->marks)
            charts_[i]->marks->Place();  // the axis may have grown since the last layout
        const QRectF target(area.left(), area.top() + strip * i, area.width(), strip);
        charts_[i]->view->scene()->render(&painter, target, chart->sceneBoundingRect(),
                                          Qt::KeepAspectRatio);
    }
}

void PreviewStackedPage(StackedChartPage& page) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(page.PageLayout());
    QPrintPreviewDialog dialog(&printer);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&page](QPrinter* target) { page.Render(*target); });
    dialog.exec();
}

TfrmDailyCumulative::TfrmDailyCumulative(const char* name, const QString& dailyTitle,
                                         const QString& dailySeries, const QString& cumulativeTitle)
    : StackedChartPage(name, QPageLayout::Portrait) {
    DailyChart = Add("DailyChart", dailyTitle, kBlue);
    CumulativeChart = Add("CumulativeChart", cumulativeTitle, kBlue);
    Series1 = NewBars(*DailyChart, "Series1", dailySeries);
    BarSeries1 = NewBars(*CumulativeChart, "BarSeries1", "Actual");
}

void TfrmDailyCumulative::AddDay(const QString& label, double daily, double cumulative) {
    const int day = static_cast<int>(Series1->count());
    DailyChart->AddCategory(label);
    Series1->append(daily);
    DailyChart->marks->Add(Series1, day, daily, "#,##0.00");
    DailyChart->Fit(daily);
    CumulativeChart->AddCategory(label);
    BarSeries1->append(cumulative);
    CumulativeChart->marks->Add(BarSeries1, day, cumulative, "#,##0.00");
    CumulativeChart->Fit(cumulative);
}

void TfrmDailyCumulative::AddDays(db::Query& rows, const char* dateColumn,
                                  const char* valueColumn) {
    double sum = 0;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const double value = valueColumn ? rows.FieldByName(valueColumn).AsFloat() : 0;
        sum += value;
        AddDay(DateLabel(rows.FieldByName(dateColumn).AsDateTime()), value, sum);
    }
}

TfrmWeightGraph::TfrmWeightGraph() : StackedChartPage("frmWeightGraph", QPageLayout::Landscape) {
    weightChart = Add("weightChart", "Weight Loss / Gain", kBlack);
    BMIChart = Add("BMIChart", "Body Mass Index (BMI)", kBlack);
    Series1 = NewLine(*weightChart, "Series1", "Actual weight (lb or kg)", kRed, 4);
    Series2 = NewLine(*weightChart, "Series2", "Planned weight loss", kLightGreen, 5);
    FastLineSeries1 = NewLine(*BMIChart, "FastLineSeries1", "Body Mass Index (BMI)", kRed, 4);
}

void TfrmWeightGraph::AddDay(const QString& label, double weight, std::optional<double> planned,
                             double bmi) {
    const double x = days_++;
    weightChart->AddCategory(label);
    Series1->append(x, weight);
    weightChart->Fit(weight);
    if (planned) {
        Series2->append(x, *planned);
        weightChart->Fit(*planned);
    }
    BMIChart->AddCategory(label);
    FastLineSeries1->append(x, bmi);
    BMIChart->Fit(bmi);
}

DietUser::DietUser(int userId, const char* tag) {
    DataMod->OpenById(row_, "sys_usr", userId, tag);
}

int DietUser::Integer(const char* column) const {
    return Found() ? row_.FieldByName(column).AsInteger() : 0;
}

double DietUser::Float(const char* column) const {
    return Found() ? row_.FieldByName(column).AsFloat() : 0;
}

format::TDateTime DietUser::Date(const char* column) const {
    return Found() ? row_.FieldByName(column).AsDateTime() : 0;
}

NutritionBreakdown::NutritionBreakdown(int userId) : userId(userId) {}

NutritionBreakdown::~NutritionBreakdown() = default;

void NutritionBreakdown::showGraph() {
    const auto period = AskPeriod();
    if (!period)
        return;
    const auto [from, to] = *period;
    const std::string sql =
        "select sum(carbs) as scarb, sum(fat) as sfat, sum(proteins) as sprotein, "
        "sum(saturated) as ssaturated from repFoodCals  where sys_usr_id=" +
        std::to_string(userId) + " and food_intake_date>=" + db::SqlDate(from) +
        "  and food_intake_date<=" + db::SqlDate(to) + " ";
    if (!DataMod->openQuery(DataMod->zlmConn, qSums, "NutritionBreakdown.showGraph", sql))
        return;
    frmPieChart = std::make_unique<TfrmPieChart>();
    frmPieChart->Clear();
    // A null sum (no rows in the period) reads as 0.
    frmPieChart->AddPoint(qSums.FieldByName("scarb").AsFloat(), "Carbohydrates");
    frmPieChart->AddPoint(qSums.FieldByName("sfat").AsFloat(), "Unsaturated Fats");
    frmPieChart->AddPoint(qSums.FieldByName("ssaturated").AsFloat(), "Saturated Fats");
    frmPieChart->AddPoint(qSums.FieldByName("sprotein").AsFloat(), "Protein");
    frmPieChart->SetTitle("Nutrition breakdown for period: " + format::DateToStr(from) + " to " +
                          format::DateToStr(to));
    ui::CurrentCursor().Set(ui::CursorShape::Default);
    if (preview)
        preview(*frmPieChart->qrBreakdownPie, frmPieChart->PageLayout());
}

CalorieIntakeGraph::CalorieIntakeGraph(int userId)
    : userId(userId), user(userId, "CalorieIntakeGraph.Create") {}

void CalorieIntakeGraph::showReport() {
    const auto period = AskPeriod();
    if (!period)
        return;
    const std::string sql =
        "select * from repCalorieGraph where sys_usr_id=" + std::to_string(userId) +
        PeriodClause("food_intake_date", period->first, period->second) +
        " order by food_intake_date ";
    if (!DataMod->openQuery(DataMod->zlmConn, qIntake, "CalorieIntakeGraph.showReport", sql))
        return;
    frmCalorieGraph = std::make_unique<TfrmDailyCumulative>(
        "frmCalorieGraph", "Daily energy intake", "Energy intake", "Cumulative energy intake");
    const char* energy = user.Integer("sys_usr_units") == kMetric ? "kj" : "calories";
    frmCalorieGraph->AddDays(qIntake, "food_intake_date", energy);
    ui::CurrentCursor().Set(ui::CursorShape::Default);
    if (preview)
        preview(*frmCalorieGraph);
}

ExerciseGraph::ExerciseGraph(int userId) : userId(userId), user(userId, "ExerciseGraph.Create") {}

void ExerciseGraph::showReport() {
    const auto period = AskPeriod();
    if (!period)
        return;
    const std::string sql =
        "select * from repExerciseGraph where sys_usr_id=" + std::to_string(userId) +
        PeriodClause("usr_exercise_dt", period->first, period->second);
    if (!DataMod->openQuery(DataMod->zlmConn, qExercise, "ExerciseGraph.showReport", sql))
        return;
    frmExerciseGraph = std::make_unique<TfrmDailyCumulative>(
        "frmExerciseGraph", "Daily exercise energy expended (calories or kJ)\n",
        "Exercise energy expended", "Cumulative energy expenditure (calories or kJ)\n");
    constexpr const char* kMetricColumns[] = {"lightkj", "mediumkj", "heavykj"};
    constexpr const char* kImperialColumns[] = {"light", "medium", "heavy"};
    const int build = user.Integer("sys_usr_build");
    const bool metric = user.Integer("sys_usr_units") == kMetric;
    // A build outside light, medium and heavy has no energy column: its days show 0.
    const char* energy = build < 0 || build > 2 ? nullptr
                         : metric               ? kMetricColumns[build]
                                                : kImperialColumns[build];
    frmExerciseGraph->AddDays(qExercise, "usr_exercise_dt", energy);
    ui::CurrentCursor().Set(ui::CursorShape::Default);
    if (preview)
        preview(*frmExerciseGraph);
}

Dieter::Dieter(int userId) : userId(userId), units(0), user(userId, "Dieter.Create") {
    units = user.Integer("sys_usr_units");
}

std::optional<double> Dieter::getCurrentWeight() {
    // Every weighing of the latest date: with several, none of them is the current weight.
    const std::string id = std::to_string(userId);
    if (!DataMod->openQuery(DataMod->zlmConn, qWeighing, "Dieter.getCurrentWeight",
                            "select usr_weight.* from usr_weight where sys_usr_id=" + id +
                                " and usr_weight_date=(select max(usr_weight_date) from "
                                "usr_weight where sys_usr_id=" +
                                id + ")"))
        return std::nullopt;
    if (qWeighing.RecordCount() != 1)
        return user.Float("sys_usr_weight");
    const double large = qWeighing.FieldByName("usr_weight_lbskg").AsFloat();
    const double small = qWeighing.FieldByName("usr_weight_ozgm").AsFloat();
    return large + small / (units == kMetric ? 1000.0 : 16.0);
}

std::optional<double> Dieter::targetWeightAt(format::TDateTime day) {
    if (!user.Found())
        return std::nullopt;
    const double target = user.Float("sys_usr_targetlbkg");
    const format::TDateTime goal = user.Date("sys_usr_goalend");
    const double daysLeft = goal - format::Date();
    if (daysLeft == 0)
        return std::nullopt;
    const std::optional<double> current = getCurrentWeight();
    if (!current)
        return std::nullopt;
    const double slope = (target - *current) / daysLeft;
    return target + slope * (day - goal);
}

WeightGraph::WeightGraph(int userId)
    : userId(userId), user(userId, "WeightGraph.Create"), dieter(userId) {}

void WeightGraph::showReport() {
    const auto period = AskPeriod();
    if (!period)
        return;
    const std::string sql =
        "select * from repWeightGraph where sys_usr_id=" + std::to_string(userId) +
        PeriodClause("usr_weight_date", period->first, period->second);
    if (!DataMod->openQuery(DataMod->zlmConn, qWeight, "WeightGraph.showReport", sql))
        return;
    frmWeightGraph = std::make_unique<TfrmWeightGraph>();
    const bool metric = user.Integer("sys_usr_units") == kMetric;
    for (qWeight.First(); !qWeight.Eof(); qWeight.Next()) {
        const format::TDateTime day = qWeight.FieldByName("usr_weight_date").AsDateTime();
        frmWeightGraph->AddDay(DateLabel(day), qWeight.FieldByName(metric ? "kg" : "lbs").AsFloat(),
                               dieter.targetWeightAt(day),
                               qWeight.FieldByName(metric ? "bmi" : "bmiimp").AsFloat());
    }
    ui::CurrentCursor().Set(ui::CursorShape::Default);
    if (preview)
        preview(*frmWeightGraph);
}

namespace {

template <class Chart, class Preview>
void ShowLogged(const char* tag, int userId, Preview preview) {
    BusyCursor busy;
    try {
        Chart chart(userId);
        chart.preview = std::move(preview);
        if constexpr (requires { chart.showGraph(); })
            chart.showGraph();
        else
            chart.showReport();
    } catch (const std::exception& e) {
        LogError(tag, e.what(), "");
    }
}

}  // namespace

void ShowNutritionBreakdown(int userId, ChartPreview preview) {
    ShowLogged<NutritionBreakdown>("TReportObject.ShowNutritionBreakdown", userId,
                                   std::move(preview));
}

void ShowCalorieIntakeGraph(int userId, StackedPreview preview) {
    BusyCursor busy;
    CalorieIntakeGraph chart(userId);
    chart.preview = std::move(preview);
    chart.showReport();
}

void ShowExerciseGraph(int userId, StackedPreview preview) {
    ShowLogged<ExerciseGraph>("TReportObject.ShowExerciseGraph", userId, std::move(preview));
}

void ShowWeightGraph(int userId, StackedPreview preview) {
    ShowLogged<WeightGraph>("TReportObject.ShowWeightGraph", userId, std::move(preview));
}

}  // namespace zl::reportserver
