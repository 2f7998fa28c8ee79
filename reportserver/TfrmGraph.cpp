#include "reportserver/TfrmGraph.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
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
    connect(QOIBarChart, &QChart::plotAreaChanged, this, [this] { PlaceMarks(); });
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

    for (const Mark& mark : marks_)
        delete mark.item;
    marks_.clear();
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
        AddMark(Series1, 0, category, row.actual, "#,##0.00");
        AddMark(Series2, 1, category, row.planned, "#,##0.###");
        low = std::min({low, row.actual, row.planned});
        high = std::max({high, row.actual, row.planned});
    }
    axisX->setCategories(categories);
    FitValueAxis(*axisY, low, high);
    PlaceMarks();
}

void TfrmGraph::SetTitle(const std::string& title) {
    QOIBarChart->setTitle(QString::fromStdString(title));
}

QPageLayout TfrmGraph::PageLayout() const {
    return A4Page(QPageLayout::Portrait);
}

QStringList TfrmGraph::MarkTexts(const QBarSet* set) const {
    QStringList texts;
    for (const Mark& mark : marks_)
        if (mark.set == set)
            texts.append(mark.item->text());
    return texts;
}

void TfrmGraph::AddMark(QBarSet* set, int setIndex, int category, double value, const char* mask) {
    auto* item = new QGraphicsSimpleTextItem(
        QString::fromStdString(format::FormatFloat(mask, value)), QOIBarChart);
    item->setZValue(10);
    marks_.push_back({item, set, setIndex, category, value});
}

void TfrmGraph::PlaceMarks() {
    // The bars of one category share the bar width, side by side in the order of their sets.
    const double barWidth = bars->barWidth();
    const double setCount = bars->count();
    for (const Mark& mark : marks_) {
        const double centre =
            mark.category - barWidth / 2 + (mark.setIndex + 0.5) * barWidth / setCount;
        const QPointF end = QOIBarChart->mapToPosition(QPointF(centre, mark.value), bars);
        const QRectF box = mark.item->boundingRect();
        const double top = mark.value < 0 ? end.y() + 2 : end.y() - box.height() - 2;
        mark.item->setPos(end.x() - box.width() / 2, top);
    }
}

}  // namespace zl::reportserver
