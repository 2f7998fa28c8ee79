// The pie page: one slice per point, each marked with its label and its share of the whole.
#pragma once

#include <QPageLayout>
#include <QString>
#include <QWidget>
#include <string>

#include "platform/db/Query.h"

class QChart;
class QChartView;
class QPieSeries;

namespace zl::reportserver {

// A container for the page only: the form itself is never shown.
class TfrmPieChart : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmPieChart(QWidget* owner = nullptr);

    void Clear();
    // A slice of `value` after the slices added before; every mark is brought up to date, as
    // each new slice changes the shares of all.
    void AddPoint(double value, const std::string& label);
    // The title's one line, in place of any before.
    void SetTitle(const std::string& title);
    // A4 landscape, margins 10 mm.
    QPageLayout PageLayout() const;
    // The label a slice was added with (its mark adds the share).
    QString SliceLabel(int index) const;

    QChartView* qrBreakdownPie;
    QChart* QRChart1;
    QPieSeries* Series1;
    // The breakdown rows ("select * from exppie" on the meta connection).
    db::Query qBreakdownpie;

  private:
    void UpdateMarks();
};

}  // namespace zl::reportserver
