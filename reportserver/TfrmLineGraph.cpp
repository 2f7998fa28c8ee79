#include "reportserver/TfrmLineGraph.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

#include "reportserver/ChartPage.h"

namespace zl::reportserver {

namespace {
// Many dates side by side would overlap: from this many on they stand upright.
constexpr int kUprightLabelsFrom = 13;
}  // namespace

TfrmLineGraph::TfrmLineGraph(QWidget* owner) : QWidget(owner) {
    setObjectName("frmLineGraph");
    QRChart1 = NewChart("QRChart1", QColor(0, 0, 0));
    QRChart1->setTitle("Cumulative Income and Expenditure");
    QuickRep1 = new QChartView(QRChart1, this);
    QuickRep1->setObjectName("QuickRep1");

    axisX = new QBarCategoryAxis;
    axisY = new QValueAxis;
    QRChart1->addAxis(axisX, Qt::AlignBottom);
    QRChart1->addAxis(axisY, Qt::AlignLeft);
    auto line = [this](const char* name, const char* text, QColor colour, int width) {
        return NewLineSeries(QRChart1, axisX, axisY, name, text, colour, width);
    };
    Series1 = line("Series1", "Expenditure", QColor(255, 0, 0), 4);
    Series2 = line("Series2", "Income", QColor(128, 255, 128), 5);
    Series3 = line("Series3", "Nett balance", QColor(0, 0, 255), 5);
    FitValueAxis(*axisY, 0, 0);
}

void TfrmLineGraph::Clear() {
    for (QLineSeries* series : {Series1, Series2, Series3})
        series->clear();
    categories_.clear();
    axisX->clear();
    low_ = high_ = 0;
    FitValueAxis(*axisY, 0, 0);
}

void TfrmLineGraph::AddPoints(const QString& label, double expenditure, double income,
                              double nett) {
    const double x = categories_.size();
    AppendCategory(categories_, label);
    Series1->append(x, expenditure);
    Series2->append(x, income);
    Series3->append(x, nett);
    axisX->setCategories(categories_);
    axisX->setLabelsAngle(categories_.size() >= kUprightLabelsFrom ? -90 : 0);
    low_ = std::min({low_, expenditure, income, nett});
    high_ = std::max({high_, expenditure, income, nett});
    FitValueAxis(*axisY, low_, high_);
}

QPageLayout TfrmLineGraph::PageLayout() const {
    return A4Page(QPageLayout::Landscape);
}

}  // namespace zl::reportserver
