// A chart as one printable page: the page layouts of the chart forms, the modal print preview
// that shows the page, and the category labels the charts put under their points.
#pragma once

#include <QObject>
#include <QPageLayout>
#include <QStringList>
#include <functional>
#include <vector>

class QAbstractAxis;
class QBarSeries;
class QBarSet;
class QChart;
class QChartView;
class QColor;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QPrinter;
class QValueAxis;

namespace zl::reportserver {

// How a chart page reaches the user. The default is PreviewChartPage; tests put a function
// here that looks at the chart instead.
using ChartPreview = std::function<void(QChartView& view, const QPageLayout& page)>;

// A new chart named `objectName` with the chart forms' title: Arial, bold, in `titleColour`.
QChart* NewChart(const char* objectName, const QColor& titleColour);

// A line series named `objectName` on the chart and its two axes, titled `text` in the legend,
// drawn in `colour` with a pen `width` wide.
QLineSeries* NewLineSeries(QChart* chart, QAbstractAxis* axisX, QAbstractAxis* axisY,
                           const char* objectName, const QString& text, const QColor& colour,
                           int width);

// Shows the chart as one page of the given layout in a modal QPrintPreviewDialog, from which
// the user prints; returns when the preview closes.
void PreviewChartPage(QChartView& view, const QPageLayout& page);

// Lays the chart out at the size of the printer's page (in points, so that fonts keep their
// sizes on paper) and paints it over the whole printable area.
void RenderChartPage(QChartView& view, QPrinter& printer);

// A4 with margins of 10 mm on every side.
QPageLayout A4Page(QPageLayout::Orientation orientation);

// Appends one category per point. A category axis drops a repeated label, so a repeat (a month
// covered by two forecast items, two rows of one date) is made distinct with trailing zero-width
// spaces: it keeps a place of its own and reads the same on paper.
void AppendCategory(QStringList& categories, const QString& label);

// Sets the axis to a range with round steps that holds zero and every value from `low` to
// `high`, with some room above the highest value for its mark.
void FitValueAxis(QValueAxis& axis, double low, double high);

// The value texts over the bars of one bar series, each formatted with a Delphi mask and kept just
// beyond the end of its bar whenever the plot area moves. Owned by the chart.
class BarMarks : public QObject {
    Q_OBJECT
  public:
    BarMarks(QChart* chart, QBarSeries* series);

    // Marks the bar of `set` in `category` with `value`.
    void Add(const QBarSet* set, int category, double value, const char* mask);
    void Clear();
    // The texts marking the bars of one set, in bar order.
    QStringList Texts(const QBarSet* set) const;
    void Place();

  private:
    struct Mark {
        QGraphicsSimpleTextItem* item;
        const QBarSet* set;
        int category;
        double value;
    };
    QChart* chart_;
    QBarSeries* series_;
    std::vector<Mark> marks_;
};

}  // namespace zl::reportserver
