// The diet charts of one diet user over a chosen period: the nutrition breakdown (pie), the
// calorie intake and the exercise energy (daily and cumulative bars), and the weight with its
// planned line towards the user's target and the body-mass index.
#pragma once

#include <QPageLayout>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/db/Query.h"
#include "platform/format/Format.h"
#include "reportserver/ChartPage.h"

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChart;
class QChartView;
class QLineSeries;
class QPainter;
class QPrinter;
class QValueAxis;

namespace zl::reportserver {

class TfrmPieChart;

// The hourglass from construction to destruction, the ordinary cursor again on every path.
class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// One chart of a page: a view (never shown) holding the chart, bar or line, with category
// labels along the bottom and a value axis that grows with the values.
class StackedChart {
  public:
    StackedChart(QWidget* owner, const char* name, const QString& title, const QColor& titleColour);

    void AddCategory(const QString& label);
    // Widens the value axis to hold `value`.
    void Fit(double value);

    QChartView* view;
    QChart* chart;
    QBarCategoryAxis* axisX;
    QValueAxis* axisY;
    BarMarks* marks = nullptr;  // the bars' value texts, where the chart has bars

  private:
    QStringList categories_;
    double low_ = 0;
    double high_ = 0;
};

// A page of charts one above the other, each an equal share of the page's height.
class StackedChartPage : public QWidget {
    Q_OBJECT
  public:
    StackedChartPage(const char* name, QPageLayout::Orientation orientation);

    QPageLayout PageLayout() const { return layout_; }
    const std::vector<StackedChart*>& Charts() const { return charts_; }
    // Paints every chart in its share of the printer's page.
    void Render(QPrinter& printer) const;
    // Lays every chart out at its share of `page` (in points) and paints it in its share of `area`.
    void Paint(QPainter& painter, const QSizeF& page, const QRectF& area) const;

  protected:
    StackedChart* Add(const char* name, const QString& title, const QColor& titleColour);

  private:
    QPageLayout layout_;
    std::vector<std::unique_ptr<StackedChart>> owned_;
    std::vector<StackedChart*> charts_;
};

// How a page of stacked charts reaches the user: the modal print preview unless replaced.
using StackedPreview = std::function<void(StackedChartPage& page)>;
void PreviewStackedPage(StackedChartPage& page);

// Daily bars above cumulative bars (red, each marked with its value), A4 portrait.
class TfrmDailyCumulative : public StackedChartPage {
    Q_OBJECT
  public:
    TfrmDailyCumulative(const char* name, const QString& dailyTitle, const QString& dailySeries,
                        const QString& cumulativeTitle);

    // One daily bar of `daily` and one cumulative bar of `cumulative`, both under `label`.
    void AddDay(const QString& label, double daily, double cumulative);
    // One day for every row of `rows`: labelled by its `dateColumn`, the daily bar from its
    // `valueColumn` (0 where there is none), the cumulative bar the running sum.
    void AddDays(db::Query& rows, const char* dateColumn, const char* valueColumn);

    StackedChart* DailyChart;
    StackedChart* CumulativeChart;
    QBarSet* Series1;     // the daily bars
    QBarSet* BarSeries1;  // "Actual", the cumulative bars
};

// The weight line with the planned line above the body-mass-index line, A4 landscape.
class TfrmWeightGraph : public StackedChartPage {
    Q_OBJECT
  public:
    TfrmWeightGraph();

    // One point on each line under `label`; a day without a planned weight gets no planned point.
    void AddDay(const QString& label, double weight, std::optional<double> planned, double bmi);

    StackedChart* weightChart;
    StackedChart* BMIChart;
    QLineSeries* Series1;          // "Actual weight (lb or kg)"
    QLineSeries* Series2;          // "Planned weight loss"
    QLineSeries* FastLineSeries1;  // "Body Mass Index (BMI)"

  private:
    int days_ = 0;
};

// The diet user's row of sys_usr; a user without a row reads as 0 everywhere.
class DietUser {
  public:
    DietUser(int userId, const char* tag);
    bool Found() const { return row_.Active() && !row_.Eof(); }
    int Integer(const char* column) const;
    double Float(const char* column) const;
    format::TDateTime Date(const char* column) const;

  private:
    mutable db::Query row_;  // reading a column moves no row
};

class NutritionBreakdown {
  public:
    explicit NutritionBreakdown(int userId);
    ~NutritionBreakdown();
    // Period, sums, pie, preview; nothing when the period is cancelled or the sums cannot be read.
    void showGraph();

    ChartPreview preview = PreviewChartPage;
    int userId;
    db::Query qSums;
    std::unique_ptr<TfrmPieChart> frmPieChart;
};

class CalorieIntakeGraph {
  public:
    explicit CalorieIntakeGraph(int userId);
    void showReport();

    StackedPreview preview = PreviewStackedPage;
    int userId;
    DietUser user;
    db::Query qIntake;
    std::unique_ptr<TfrmDailyCumulative> frmCalorieGraph;
};

class ExerciseGraph {
  public:
    explicit ExerciseGraph(int userId);
    void showReport();

    StackedPreview preview = PreviewStackedPage;
    int userId;
    DietUser user;
    db::Query qExercise;
    std::unique_ptr<TfrmDailyCumulative> frmExerciseGraph;
};

// The user's current weight and the straight line from it today to the target on the goal date.
class Dieter {
  public:
    explicit Dieter(int userId);
    // The one latest weighing, or sys_usr_weight when there is none or several share the latest
    // date; nothing when the weighings cannot be read.
    std::optional<double> getCurrentWeight();
    // The planned weight on `day`; nothing when the line cannot be drawn (no user row, the goal
    // date today, the weighings unreadable).
    std::optional<double> targetWeightAt(format::TDateTime day);

    int userId;
    int units;
    DietUser user;
    db::Query qWeighing;
};

class WeightGraph {
  public:
    explicit WeightGraph(int userId);
    void showReport();

    StackedPreview preview = PreviewStackedPage;
    int userId;
    DietUser user;
    Dieter dieter;
    db::Query qWeight;
    std::unique_ptr<TfrmWeightGraph> frmWeightGraph;
};

// What the automation members run: the hourglass from the start until the chart is shown or
// given up, the ordinary cursor again however the call ends. An exception that ends the
// nutrition, exercise or weight chart is logged with the member's tag ("TReportObject." and the
// member's name); the calorie chart's is raised.
void ShowNutritionBreakdown(int userId, ChartPreview preview = PreviewChartPage);
void ShowCalorieIntakeGraph(int userId, StackedPreview preview = PreviewStackedPage);
void ShowExerciseGraph(int userId, StackedPreview preview = PreviewStackedPage);
void ShowWeightGraph(int userId, StackedPreview preview = PreviewStackedPage);

}  // namespace zl::reportserver
