// The bar-chart page: planned against actual amounts by year-month, from actual_planned.
#pragma once

#include <QPageLayout>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/db/Query.h"

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChart;
class QChartView;
class QValueAxis;

namespace zl::reportserver {

class BarMarks;

// A container for the page only: the form itself is never shown.
class TfrmGraph : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmGraph(QWidget* owner = nullptr);

    // The bars of every row of qPlanned (open on actual_planned): labels from yrmth, ordered by
    // yrmth read as a number, values from actual and planned, each bar marked with its value.
    void BindPlanned();
    // The title's one line, in place of any before.
    void SetTitle(const std::string& title);
    // A4 portrait, margins 10 mm.
    QPageLayout PageLayout() const;
    // The texts marking the bars of one set, in bar order.
    QStringList MarkTexts(const QBarSet* set) const;

    QChartView* repQOIBarChart;
    QChart* QOIBarChart;
    QBarSeries* bars;
    QBarSet* Series1;  // "Actual", red
    QBarSet* Series2;  // "Planned", green
    QBarCategoryAxis* axisX;
    QValueAxis* axisY;
    db::Query qPlanned;

    BarMarks* marks;  // owned by the chart
};

}  // namespace zl::reportserver
