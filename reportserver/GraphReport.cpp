#include "reportserver/GraphReport.h"

#include <QChartView>
#include <cctype>
#include <optional>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/JetDialect.h"
#include "platform/ui/Prompter.h"
#include "reportserver/TfrmGraph.h"
#include "reportserver/TfrmLineGraph.h"
#include "reportserver/TfrmPieChart.h"
#include "reportserver/TfrmRepDates.h"

namespace zl::reportserver {

namespace {

// The hourglass while a chart reads its data, the ordinary cursor again however that ends.
class BusyCursor {
  public:
    BusyCursor() { ui::CurrentCursor().Set(ui::CursorShape::HourGlass); }
    ~BusyCursor() { ui::CurrentCursor().Set(ui::CursorShape::Default); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The 15th of the month that a year-month text names (year in characters 1-4, month in 5-6);
// nothing when the text names no month.
std::optional<format::TDateTime> MidMonth(const std::string& yearMonth) {
    if (yearMonth.size() < 6)
        return std::nullopt;
    for (int i = 0; i < 6; ++i)
        if (!std::isdigit(static_cast<unsigned char>(yearMonth[i])))
            return std::nullopt;
    const int year = std::stoi(yearMonth.substr(0, 4));
    const int month = std::stoi(yearMonth.substr(4, 2));
    if (year < 1 || month < 1 || month > 12)
        return std::nullopt;
    return format::EncodeDate(year, month, 15);
}

}  // namespace

GraphReport::GraphReport()
    : frmGraph(std::make_unique<TfrmGraph>()),
      frmRepDates(std::make_unique<TfrmRepDates>()),
      frmPieChart(std::make_unique<TfrmPieChart>()) {}

GraphReport::~GraphReport() = default;

void GraphReport::Setup(int graph, int busUnit, int key, int customer) {
    graphId = graph;
    busUnitId = busUnit;
    reportKey = key;
    customerId = customer;
    // A definition that cannot be read stays closed and draws nothing; the data module has
    // reported why.
    DataMod->openQuery(DataMod->repConn, qGraph, "GraphReport.Setup",
                       "select * from graph_rep where graph_rep_id=" + std::to_string(graphId));
}

std::string GraphReport::Definition(const char* column) {
    return qGraph.Active() ? qGraph.FieldByName(column).AsString() : std::string();
}

void GraphReport::show() {
    frmGraph->setWindowTitle(QString::fromStdString(Definition("graph_rep_title")));
    const int type = qGraph.Active() ? qGraph.FieldByName("graph_rep_type").AsInteger() : 0;
    switch (type) {
        case 1:
            if (openYM() && preview)
                preview(*frmGraph->repQOIBarChart, frmGraph->PageLayout());
            break;
        case 2:
            showPie();
            break;
        case 3:
            tableFromQuery();
            break;
        case 4:
            processCumulative();
            break;
        default:
            break;
    }
}

bool GraphReport::openYM() {
    if (!frmRepDates->execute2(fromMonth, toMonth))
        return false;
    // The months are bare numbers yyyyMM from the date dialog.
    const std::string ymField = db::QuoteName(Definition("graph_rep_ymfield"));
    const std::string sql = "select * from " + db::QuoteName(Definition("graph_rep_table")) +
                            " where " + ymField + ">=" + fromMonth + " and " + ymField +
                            "<=" + toMonth;
    frmGraph->SetTitle(Definition("graph_rep_title"));
    BusyCursor busy;
    if (!DataMod->openQuery(DataMod->zlmConn, qYearMonth, "GraphReport.openYM", sql))
        return false;
    return PopulatePlanned();
}

bool GraphReport::PopulatePlanned() {
    constexpr const char* kOpenTag = "GraphReport.populatePlanned";
    constexpr const char* kTag = "GraphReport.PopulatePlanned";
    TDataMod& dm = *DataMod;
    if (!dm.openQuery(dm.repConn, qActualPlanned, kOpenTag, "select * from actual_planned") ||
        !dm.openQuery(
            dm.zlmConn, qForecast, kOpenTag,
            "select * from repForecastItems where bus_unit_id=" + std::to_string(busUnitId)))
        return false;
    // Without the delete the table would still hold an earlier chart's rows: no chart then.
    if (!dm.actionQuery(dm.repConn, "delete from actual_planned", kOpenTag))
        return false;

    // The running sums go on from one forecast item to the next; they are never reset.
    double planned = 0;
    double actual = 0;
    try {
        for (qForecast.First(); !qForecast.Eof(); qForecast.Next()) {
            const format::TDateTime from = qForecast.FieldByName("zlm_doc_from").AsDateTime();
            const format::TDateTime to = qForecast.FieldByName("zlm_doc_to").AsDateTime();
            // An item without a positive span has no daily rate and covers no month.
            if (!(to - from > 0))
                continue;
            const double dailyRate = qForecast.FieldByName("total").AsFloat() / (to - from);
            for (qYearMonth.First(); !qYearMonth.Eof(); qYearMonth.Next()) {
                const std::optional<format::TDateTime> midMonth =
                    MidMonth(qYearMonth.FieldByName("YrMnth").AsString());
                if (!midMonth || *midMonth < from || *midMonth > to)
                    continue;
                if (!dm.Append(qActualPlanned, kTag))
                    return false;  // reported by Append
                planned += dailyRate * 30.5;
                actual += qYearMonth.FieldByName("total").AsFloat();
                qActualPlanned.FieldByName("planned").SetAsFloat(planned);
                qActualPlanned.FieldByName("actual").SetAsFloat(actual);
                qActualPlanned.FieldByName("YrMth").SetAsString(
                    format::FormatDateTime("yyyyMM", *midMonth));
                qActualPlanned.Post();
            }
        }
    } catch (const std::exception& e) {
        if (qActualPlanned.Editing())
            qActualPlanned.Cancel();
        LogError(kTag, e.what(), "graph " + std::to_string(graphId));
        return false;
    }

    if (!dm.openQuery(dm.repConn, frmGraph->qPlanned, "graphReport.PopulatePlanned",
                      "select * from actual_planned"))
        return false;
    frmGraph->BindPlanned();
    return true;
}

// Type 2. The breakdown's rows become slices as type 3's do: exppie holds, after its key, a
// label (exppie_descr) and an amount (exppie_amount). The pie carries the definition's title.
void GraphReport::showPie() {
    constexpr const char* kTag = "GraphReport.showPie";
    {
        BusyCursor busy;
        db::Query& rows = frmPieChart->qBreakdownpie;
        if (!DataMod->openQuery(DataMod->repConn, rows, kTag, "select * from exppie"))
            return;
        db::Field* label = rows.FindField("exppie_descr");
        db::Field* value = rows.FindField("exppie_amount");
        if (!label || !value) {
            LogError(kTag, "exppie has no columns exppie_descr and exppie_amount.",
                     "select * from exppie");
            return;
        }
        frmPieChart->Clear();
        for (rows.First(); !rows.Eof(); rows.Next())
            frmPieChart->AddPoint(value->AsFloat(), label->AsString());
        frmPieChart->SetTitle(Definition("graph_rep_title"));
    }
    if (preview)
        preview(*frmPieChart->qrBreakdownPie, frmPieChart->PageLayout());
}

void GraphReport::tableFromQuery() {
    {
        BusyCursor busy;
        const std::string sql =
            Definition("graph_rep_table") + " " + Definition("graph_rep_table2");
        // A rejected statement draws no pie: an empty one would read as "no data".
        if (!DataMod->openQuery(DataMod->zlmConn, qSource, "GraphReport.tableFromQuery", sql))
            return;
        frmPieChart = std::make_unique<TfrmPieChart>();
        for (qSource.First(); !qSource.Eof(); qSource.Next())
            frmPieChart->AddPoint(qSource.Fields(1).AsFloat(), qSource.Fields(0).AsString());
        frmPieChart->SetTitle(Definition("graph_rep_title"));
    }
    if (preview)
        preview(*frmPieChart->qrBreakdownPie, frmPieChart->PageLayout());
}

void GraphReport::processCumulative() {
    if (!frmRepDates->execute(fromDate, toDate))
        return;
    {
        BusyCursor busy;
        const std::string sql =
            "select * from inc_exp where inc_exp_date>=" + db::SqlDate(fromDate) +
            " and inc_exp_date<=" + db::SqlDate(toDate) + " order by inc_exp_date ";
        if (!DataMod->openQuery(DataMod->repConn, qSource, "GraphReport.processCumulative", sql))
            return;
        frmLineGraph = std::make_unique<TfrmLineGraph>();
        frmLineGraph->Clear();
        // The source holds the running totals already; they are drawn as they stand.
        for (qSource.First(); !qSource.Eof(); qSource.Next())
            frmLineGraph->AddPoints(QString::fromStdString(format::DateTimeToStr(
                                        qSource.FieldByName("inc_exp_date").AsDateTime())),
                                    qSource.FieldByName("inc_exp_sumdt").AsFloat(),
                                    qSource.FieldByName("inc_exp_sumct").AsFloat(),
                                    qSource.FieldByName("inc_exp_nett").AsFloat());
    }
    if (preview)
        preview(*frmLineGraph->QuickRep1, frmLineGraph->PageLayout());
    frmLineGraph.reset();
}

void PrintGraphReport(int graphId, int busUnitId, int reportKey, int customerId) {
    GraphReport report;
    report.Setup(graphId, busUnitId, reportKey, customerId);
    report.show();
}

}  // namespace zl::reportserver
