// The charts a graph id names in graph_rep (meta database), each shown as one printable page.
#pragma once

#include <memory>
#include <string>

#include "platform/db/Query.h"
#include "platform/format/Format.h"
#include "reportserver/ChartPage.h"

namespace zl::reportserver {

class TfrmGraph;
class TfrmLineGraph;
class TfrmPieChart;
class TfrmRepDates;

// Draws chart `graphId` for the business unit and shows it in a modal print preview.
// Raises what ended the chart.
void PrintGraphReport(int graphId, int busUnitId, int reportKey, int customerId);

// One chart: Setup reads its definition, show draws it and hands the page to `preview`.
// graph_rep_type: 1 planned against actual by year-month (bars), 2 the exppie breakdown (pie),
// 3 a pie of the stored statement, 4 cumulative income and expenditure (lines); any other
// type shows nothing. A statement the database rejects is logged and shown by the data module
// and ends the chart without a page.
class GraphReport {
  public:
    GraphReport();
    ~GraphReport();
    GraphReport(const GraphReport&) = delete;
    GraphReport& operator=(const GraphReport&) = delete;

    // Stores the values and opens the definition row.
    void Setup(int graphId, int busUnitId, int reportKey, int customerId);
    // Sets the bar form's caption to the title and draws the chart of the definition's type.
    void show();

    // Where a finished page goes: the modal print preview unless replaced.
    ChartPreview preview = PreviewChartPage;

    std::string fromMonth;
    std::string toMonth;
    format::TDateTime fromDate = 0;
    format::TDateTime toDate = 0;
    int graphId = 0;
    int busUnitId = 0;
    int customerId = 0;  // stored, used by no chart
    int reportKey = 0;   // stored, used by no chart

    db::Query qGraph;          // the definition row
    db::Query qYearMonth;      // type 1: the actual amounts by year-month
    db::Query qForecast;       // type 1: the forecast items of the business unit
    db::Query qActualPlanned;  // type 1: the rows appended to actual_planned
    db::Query qSource;         // types 3 and 4

    std::unique_ptr<TfrmGraph> frmGraph;
    std::unique_ptr<TfrmRepDates> frmRepDates;
    std::unique_ptr<TfrmPieChart> frmPieChart;
    std::unique_ptr<TfrmLineGraph> frmLineGraph;

  private:
    std::string Definition(const char* column);
    // Type 1: the period, the year-month rows and actual_planned; false when no chart is to be
    // drawn (cancelled, or a failure that was reported).
    bool openYM();
    bool PopulatePlanned();
    void showPie();
    void tableFromQuery();
    void processCumulative();
};

}  // namespace zl::reportserver
