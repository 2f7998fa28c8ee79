#include "reportserver/TfrmGraph.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QValueAxis>
#include <algorithm>

#include "platform/format/Format.h"
#include "reportserver/ChartPage.h"

namespace zl::reportserver {

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);

struct PlannedRow {
    int yearMonth;
    QString label;
    double actual;
    double planned;
};

}  // namespace

TfrmGraph::TfrmGraph(QWidget* owner) : QWidget(owner) {
    setObjectName("frmGraph");
    setWindowTitle("Graph");
    QOIBarChart = NewChart("QOIBarChart", kBlue);
    repQOIBarChart = new QChartView(QOIBarChart, this);
    repQOIBarChart->setObjectName("repQOIBarChart");

    Series1 = new QBarSet("Actual");
    Series1->setObjectName("Series1");
    Series1->setColor(kRed);
    Series2 = new QBarSet("Planned");
    Series2->setObjectName("Series2");
    Series2->setColor(kGreen);
    bars = new QBarSeries;
    bars->append(Series1);
    bars->append(Series2);
    QOIBarChart->addSeries(bars);
    axisX = new QBarCategoryAxis;
    axisY = new QValueAxis;
    QOIBarChart->addAxis(axisX, Qt::AlignBottom);
    QOIBarChart->addAxis(axisY, Qt::AlignLeft);
    bars->attachAxis(axisX);
    bars->attachAxis(axisY);
    marks = new BarMarks(QOIBarChart, bars);
}

void TfrmGraph::BindPlanned() {
    std::vector<PlannedRow> rows;
    for (qPlanned.First(); !qPlanned.Eof(); qPlanned.Next()) {
        const std::string yrmth = qPlanned.FieldByName("yrmth").AsString();
        rows.push_back({format::StrToIntDef(yrmth, 0), QString::fromStdString(yrmth),
                        qPlanned.FieldByName("actual").AsFloat(),
                        qPlanned.FieldByName("planned").AsFloat()});
    }
    // The rows stand in the order of their months; rows of one month keep the table's order.
    std::stable_sort(rows.begin(), rows.end(), [](const PlannedRow& a, const PlannedRow& b) {
        return a.yearMonth < b.yearMonth;
    });

    marks->Clear();
    Series1->remove(0, Series1->count());
    Series2->remove(0, Series2->count());
    QStringList categories;
    double low = 0;
    double high = 0;
    for (const PlannedRow& row : rows) {
        const int category = static_cast<int>(categories.size());
        AppendCategory(categories, row.label);
        Series1->append(row.actual);
        Series2->append(row.planned);
        marks->Add(Series1, category, row.actual, "#,##0.00");
        marks->Add(Series2, category, row.planned, "#,##0.###");
        low = std::min({low, row.actual, row.planned});
        high = std::max({high, row.actual, row.planned});
    }
    axisX->setCategories(categories);
    FitValueAxis(*axisY, low, high);
    marks->Place();
}

void TfrmGraph::SetTitle(const std::string& title) {
    QOIBarChart->setTitle(QString::fromStdString(title));
}

QPageLayout TfrmGraph::PageLayout() const {
    return A4Page(QPageLayout::Portrait);
}

QStringList TfrmGraph::MarkTexts(const QBarSet* set) const {
    return marks->Texts(set);
}

}  // namespace zl::reportserver
