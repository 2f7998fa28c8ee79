// The line page: cumulative income, expenditure and balance by date.
#pragma once

#include <QPageLayout>
#include <QStringList>
#include <QWidget>

class QBarCategoryAxis;
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

namespace zl::reportserver {

// A container for the page only: the form itself is never shown.
class TfrmLineGraph : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmLineGraph(QWidget* owner = nullptr);

    // Empties the three lines and their labels.
    void Clear();
    // One point on each line, after the points added before, with `label` under them.
    void AddPoints(const QString& label, double expenditure, double income, double nett);
    // A4 landscape, margins 10 mm.
    QPageLayout PageLayout() const;

    QChartView* QuickRep1;
    QChart* QRChart1;
    QLineSeries* Series1;  // "Expenditure", red, width 4
    QLineSeries* Series2;  // "Income", light green, width 5
    QLineSeries* Series3;  // "Nett balance", blue, width 5
    QBarCategoryAxis* axisX;
    QValueAxis* axisY;

  private:
    QStringList categories_;
    double low_ = 0;
    double high_ = 0;
};

}  // namespace zl::reportserver
