#include "reportserver/TfrmPieChart.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QPieSeries>
#include <QPieSlice>

#include "platform/format/Format.h"
#include "reportserver/ChartPage.h"
#include "reportserver/ReportBase.h"

namespace zl::reportserver {

namespace {
// The slice keeps the label it was added with here; its visible label is the mark.
constexpr const char* kPlainLabel = "plainLabel";
}  // namespace

TfrmPieChart::TfrmPieChart(QWidget* owner) : QWidget(owner) {
    setObjectName("frmPieChart");
    QRChart1 = NewChart("QRChart1", QColor(0, 0, 0));
    // The marks name every slice, so the page needs no legend; a pie has no axes or frame.
    QRChart1->legend()->hide();
    QRChart1->setBackgroundVisible(false);
    qrBreakdownPie = new QChartView(QRChart1, this);
    qrBreakdownPie->setObjectName("qrBreakdownPie");
    Series1 = new QPieSeries;
    Series1->setObjectName("Series1");
    QRChart1->addSeries(Series1);
}

void TfrmPieChart::Clear() {
    Series1->clear();
}

void TfrmPieChart::AddPoint(double value, const std::string& label) {
    QPieSlice* slice = Series1->append(QString::fromStdString(label), value);
    slice->setProperty(kPlainLabel, QString::fromStdString(label));
    slice->setLabelVisible(true);
    UpdateMarks();
}

void TfrmPieChart::SetTitle(const std::string& title) {
    QRChart1->setTitle(QString::fromStdString(title));
}

QPageLayout TfrmPieChart::PageLayout() const {
    return A4Page(QPageLayout::Landscape);
}

QString TfrmPieChart::SliceLabel(int index) const {
    return Series1->slices().at(index)->property(kPlainLabel).toString();
}

void TfrmPieChart::UpdateMarks() {
    const double sum = Series1->sum();
    for (QPieSlice* slice : Series1->slices()) {
        const double percent = sum == 0 ? 0 : slice->value() / sum * 100;
        // A chart draws its labels as rich text: the label from the data is escaped so that it
        // shows as typed and loads nothing.
        const std::string plain = slice->property(kPlainLabel).toString().toStdString();
        slice->setLabel(QString::fromStdString(HtmlEscape(plain) + " " +
                                               format::FormatFloat("##0.# %", percent)));
    }
}

}  // namespace zl::reportserver
