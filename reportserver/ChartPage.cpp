#include "reportserver/ChartPage.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QValueAxis>
#include <algorithm>

namespace zl::reportserver {

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

}  // namespace zl::reportserver
