#include "reportserver/ChartPage.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QValueAxis>
#include <algorithm>

#include "platform/format/Format.h"

namespace zl::reportserver {

QLineSeries* NewLineSeries(QChart* chart, QAbstractAxis* axisX, QAbstractAxis* axisY,
                           const char* objectName, const QString& text, const QColor& colour,
                           int width) {
    auto* series = new QLineSeries;
    series->setObjectName(objectName);
    series->setName(text);
    QPen pen(colour);
    pen.setWidth(width);
    series->setPen(pen);
    chart->addSeries(series);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    return series;
}

void PreviewChartPage(QChartView& view, const QPageLayout& page) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(page);
    QPrintPreviewDialog dialog(&printer);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&view](QPrinter* target) { RenderChartPage(view, *target); });
    dialog.exec();
}

void RenderChartPage(QChartView& view, QPrinter& printer) {
    QChart* chart = view.chart();
    const QSizeF paper = printer.pageLayout().paintRect(QPageLayout::Point).size();
    // The view is never shown, so it never lays its chart out itself: size and lay it out here.
    chart->resize(paper);
    if (chart->layout())
        chart->layout()->activate();
    QPainter painter(&printer);
    const QRectF target(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    view.scene()->render(&painter, target, chart->sceneBoundingRect(), Qt::KeepAspectRatio);
}

QPageLayout A4Page(QPageLayout::Orientation orientation) {
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

void AppendCategory(QStringList& categories, const QString& label) {
    QString unique = label;
    while (categories.contains(unique))
        unique += QChar(0x200B);
    categories.append(unique);
}

void FitValueAxis(QValueAxis& axis, double low, double high) {
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (high == low)
        high = low + 1;  // nothing to draw: an axis of one step
    const double room = (high - low) * 0.1;
    axis.setRange(low < 0 ? low - room : low, high > 0 ? high + room : high);
    axis.applyNiceNumbers();
}

QChart* NewChart(const char* objectName, const QColor& titleColour) {
    auto* chart = new QChart;
    chart->setObjectName(objectName);
    QFont titleFont("Arial");
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(titleColour);
    return chart;
}

BarMarks::BarMarks(QChart* chart, QBarSeries* series)
    : QObject(chart), chart_(chart), series_(series) {
    connect(chart, &QChart::plotAreaChanged, this, [this] { Place(); });
}

void BarMarks::Add(const QBarSet* set, int category, double value, const char* mask) {
    auto* item = new QGraphicsSimpleTextItem(
        QString::fromStdString(format::FormatFloat(mask, value)), chart_);
    item->setZValue(10);
    marks_.push_back({item, set, category, value});
}

void BarMarks::Clear() {
    for (const Mark& mark : marks_)
        delete mark.item;
    marks_.clear();
}

QStringList BarMarks::Texts(const QBarSet* set) const {
    QStringList texts;
    for (const Mark& mark : marks_)
        if (mark.set == set)
            texts.append(mark.item->text());
    return texts;
}

void BarMarks::Place() {
    // The bars of one category share the bar width, side by side in the order of their sets.
    const double barWidth = series_->barWidth();
    const double setCount = std::max<qsizetype>(series_->count(), 1);
    for (const Mark& mark : marks_) {
        const qsizetype setIndex =
            std::max<qsizetype>(series_->barSets().indexOf(const_cast<QBarSet*>(mark.set)), 0);
        const double centre = mark.category - barWidth / 2 + (setIndex + 0.5) * barWidth / setCount;
        const QPointF end = chart_->mapToPosition(QPointF(centre, mark.value), series_);
        const QRectF box = mark.item->boundingRect();
        const double top = mark.value < 0 ? end.y() + 2 : end.y() - box.height() - 2;
        mark.item->setPos(end.x() - box.width() / 2, top);
    }
}

}  // namespace zl::reportserver
