#include "reportserver/ZLMReport.h"

#include <QPointer>
#include <QScopeGuard>
#include <climits>
#include <cmath>
#include <optional>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/ui/Prompter.h"
#include "reportserver/TfrmRepDates.h"
#include "reportserver/TfrmReportView.h"
#include "widgets/QtPlatform.h"

namespace zl::reportserver {

namespace {

db::Field& Report(const char* column) {
    return DataMod->qReport.FieldByName(column);
}

db::Field& Section(const char* column) {
    return DataMod->qSection.FieldByName(column);
}

// The value as an entity key: an integer, or a text or float that is exactly one.
std::optional<int> IntegerKey(const db::Value& value) {
    long long key = 0;
    if (const auto* i = std::get_if<long long>(&value)) {
        key = *i;
    } else if (const auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d) || std::trunc(*d) != *d || std::fabs(*d) > INT_MAX)
            return std::nullopt;
        key = static_cast<long long>(*d);
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        try {
            key = format::StrToInt(*s);
        } catch (const format::EConvertError&) {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    if (key < INT_MIN || key > INT_MAX)
        return std::nullopt;
    return static_cast<int>(key);
}

}  // namespace

ReportSection::ReportSection() = default;

void ReportSection::setReport(int reportId) {
    DataMod->openQuery(DataMod->repConn, DataMod->qSection, "ReportSection.setReport",
                       "select * from rep_section where zlm_rep_id=" + std::to_string(reportId) +
                           " order by rep_section_dispord");
}

void ReportSection::loadSection() {
    const int link = Section("link_section_id").AsInteger();
    field_.setSection(qData_, link > 0 ? link : Section("rep_section_id").AsInteger(),
                      Section("rep_section_rows").AsInteger(),
                      Section("rep_section_cols").AsInteger());
}

void ReportSection::generate() {
    // Sections of one run may share their rows; a new run reads them as they are now.
    qData_.Close();
    field_.dateField = dateField;
    field_.fromDate = fromDate;
    field_.toDate = toDate;
    field_.setStream(getStream());
    field_.userId = userId;
    field_.busUnitId = busUnitId;
    field_.reportKey = reportKey;
    db::Query& sections = DataMod->qSection;
    for (sections.First(); !sections.Eof(); sections.Next()) {
        if (Section("rep_Section_line1").AsInteger() == 1)
            write("<hr>");
        beginTable(Section("rep_section_tablewidth").AsInteger(),
                   Section("rep_section_tableborder").AsInteger());
        loadSection();
        switch (Section("section_type_id").AsInteger()) {
            case 1:
                field_.writeGrid();
                break;
            case 3:
                field_.writeHeadings(Section("rep_section_bgcolour").AsString());
                break;
            case 5:
                field_.writeDetailRows();
                break;
            case 6:
                field_.writeTotals();
                break;
            default:  // an empty table
                break;
        }
        endTable();
        if (Section("rep_Section_line2").AsInteger() == 1)
            write("<hr>");
    }
}

void ReportSection::exportCSV(const std::string& fileName) {
    db::Query& sections = DataMod->qSection;
    for (sections.First(); !sections.Eof(); sections.Next()) {
        loadSection();
        if (Section("section_type_id").AsInteger() == 5)
            field_.writeCSV(fileName);
    }
}

ZLMReport::ZLMReport() = default;
ZLMReport::~ZLMReport() = default;

void ZLMReport::openDefinition(int reportId) {
    DataMod->openQuery(DataMod->repConn, DataMod->qReport, "ZLMReport.Populate",
                       "select * from zlm_rep where zlm_rep_id=" + std::to_string(reportId));
}

void ZLMReport::Populate(int reportId) {
    openDefinition(reportId);
    openData();
}

void ZLMReport::openData() {
    constexpr const char* kTag = "ZLMReport.Populate";
    dateField = Report("zlm_rep_datefield").AsString();
    section_.dateField = dateField;
    std::vector<std::pair<std::string, int>> filters;
    const std::string parentField = Report("zlm_rep_parentfield").AsString();
    if (!parentField.empty())
        filters.emplace_back(parentField, reportKey);
    DataMod->openQuery(DataMod->zlmConn, DataMod->qRepData, kTag,
                       TableStatement(Report("zlm_rep_table").AsString(), filters));
    customerId = findCustomer();
}

int ZLMReport::findCustomer() {
    const std::string customerField = Report("zlm_rep_customerfield").AsString();
    db::Query& data = DataMod->qRepData;
    if (customerField.empty() || !data.Active() || data.IsEmpty())
        return 0;
    data.First();
    const std::optional<int> key = IntegerKey(data.FieldByName(customerField).AsVariant());
    if (!key ||
        !DataMod->openQuery(DataMod->zlmConn, qCustomer_, "ZLMReport.Populate",
                            "select * from entity where entity_id=" + std::to_string(*key)) ||
        qCustomer_.IsEmpty())
        return 0;
    return qCustomer_.FieldByName("entity_id").AsInteger();
}

void ZLMReport::Generate() {
    writeTag("title", Report("zlm_rep_htmltitle").AsString());
    writeLine("<body>");
    section_.setReport(Report("zlm_rep_id").AsInteger());
    section_.busUnitId = busUnitId;
    section_.userId = userId;
    section_.reportKey = reportKey;
    section_.fromDate = fromDate;
    section_.toDate = toDate;
    section_.setStream(getStream());
    section_.generate();
    const std::string messageField = Report("zlm_rep_mesgfield").AsString();
    if (!messageField.empty()) {
        fontOn("Arial", 2, 0);
        writeLine(HtmlEscape(DataMod->qConfig.FieldByName(messageField).AsString()));
        fontOff();
    }
}

void ZLMReport::exportCSV(const std::string& fileName) {
    section_.exportCSV(fileName);
}

void ZLMReport::Run(int reportId, int busUnit, int user, int key, const std::string& htmlFile) {
    // The hourglass while the report is read and written: off for the date dialog and a
    // message, and off before the window shows, so that nobody reads a page under it.
    std::optional<widgets::WaitCursor> busy(std::in_place);
    busUnitId = busUnit;
    userId = user;
    reportKey = key;
    openDefinition(reportId);
    // A definition that could not be read has been logged and shown; the run ends at its
    // first read as before. One that does not exist is said plainly, and no file is written.
    if (DataMod->qReport.Active() && DataMod->qReport.IsEmpty()) {
        busy.reset();
        const std::string text = "There is no report with id " + std::to_string(reportId) + ".";
        AppendErrorLog("ZLMReport.Run", text, htmlFile);
        ui::ShowMessage(nullptr, text, "Report not found", ui::Icon::Warning);
        throw NoSuchReport(text);
    }
    if (!createHTML(htmlFile))
        return;  // logged by createHTML
    try {
        openData();
        if (!dateField.empty()) {
            busy.reset();
            TfrmRepDates dates;
            if (!dates.execute(fromDate, toDate)) {
                closeFile();  // what was written stays; nothing is shown
                return;
            }
            busy.emplace();
        }
        Generate();
        closeHTML();
    } catch (...) {
        closeFile();
        throw;
    }
    // Freed here, unless it freed itself on closing.
    const QPointer<TfrmReportView> view(new TfrmReportView);
    const auto release = qScopeGuard([&view] { delete view.data(); });
    busy.reset();
    view->show(*this, htmlFile);
}

std::string ZLMReport::htmlTitle() const {
    if (!DataMod || !DataMod->qReport.Active() || DataMod->qReport.Eof())
        return "";
    return Report("zlm_rep_htmltitle").AsString();
}

}  // namespace zl::reportserver
