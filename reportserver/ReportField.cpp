#include "reportserver/ReportField.h"

#include <cerrno>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/CSVExporter.h"
#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/desktop/Files.h"

namespace zl::reportserver {

namespace {

db::Field& Cell(const char* column) {
    return DataMod->qRepField.FieldByName(column);
}

db::Field& Section(const char* column) {
    return DataMod->qSection.FieldByName(column);
}

// A column name that may be qualified by its table ("zlm_doc.zlm_doc_date"), each part
// bracketed on its own.
std::string QuoteQualifiedName(const std::string& name) {
    std::string quoted;
    std::size_t start = 0;
    for (std::size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.', start)) {
        quoted += db::QuoteName(name.substr(start, dot - start)) + ".";
        start = dot + 1;
    }
    return quoted + db::QuoteName(name.substr(start));
}

// A CSV field: between double quotes with its quotes doubled when `quote` is set or the text
// would otherwise split the field or the line.
std::string CsvField(const std::string& text, bool quote) {
    if (!quote && text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string field = "\"";
    for (char c : text) {
        field += c;
        if (c == '"')
            field += '"';
    }
    return field + "\"";
}

// Every text value is quoted, an empty or null one too ("" tells it from a missing number).
std::string CsvValue(const db::Field& field) {
    const bool isText = field.DataType() == db::FieldType::ftString ||
                        field.DataType() == db::FieldType::ftWideString;
    if (field.IsNull())
        return isText ? "\"\"" : "";
    return CsvField(CsvText(field), isText);
}

// "%.2n" or "%.0f": a number of decimals, thousands separated or not, and nothing else; the
// formats of report columns, written without reading the pattern again for every row.
bool FixedPattern(const std::string& pattern, int& decimals, bool& thousands) {
    if (pattern.size() < 4 || pattern.size() > 5 || pattern.compare(0, 2, "%.") != 0 ||
        (pattern.back() != 'n' && pattern.back() != 'f'))
        return false;
    decimals = 0;
    for (std::size_t i = 2; i + 1 < pattern.size(); ++i) {
        if (pattern[i] < '0' || pattern[i] > '9')
            return false;
        decimals = decimals * 10 + (pattern[i] - '0');
    }
    thousands = pattern.back() == 'n';
    return true;
}

}  // namespace

void ReportField::setSection(db::Query& data, int sourceSectionId, int rows, int cols) {
    data_ = &data;
    rows_ = rows;
    cols_ = cols;
    DataMod->openQuery(
        DataMod->repConn, DataMod->qRepField, "ReportField.setSection",
        "select * from rep_field where rep_section_id=" + std::to_string(sourceSectionId) +
            " order by rep_field_row, rep_field_col, rep_field_dispord");
    openData();
}

void ReportField::openData() {
    const std::string table = Section("rep_section_table").AsString();
    std::string sql;
    if (!table.empty()) {
        std::vector<std::pair<std::string, int>> filters;
        if (Section("rep_section_buwhere").AsInteger() == 1)
            filters.emplace_back("bus_unit_id", busUnitId);
        const std::string parentField = Section("rep_section_parentfield").AsString();
        if (!parentField.empty())
            filters.emplace_back(parentField, reportKey);
        sql = TableStatement(table, filters);
    } else {
        sql = Section("rep_section_sqlhead").AsString() + " ";
        if (!dateField.empty()) {
            const std::string column = QuoteQualifiedName(dateField);
            sql += " where " + column + ">=" + db::SqlDate(fromDate) + " and " + column +
                   "<=" + db::SqlDate(toDate) + " ";
        }
        sql += Section("rep_section_sqlfoot").AsString();
    }
    db::Connection& conn =
        Section("rep_section_ismetatable").AsInteger() != 0 ? DataMod->repConn : DataMod->zlmConn;
    // Sections that show the same rows (a document's lines and their totals) read them once;
    // rows the report read for its records (orders by customer) are not read again.
    for (db::Query* read : {data_, &DataMod->qRepData}) {
        if (read->Active() && read->GetConnection() == &conn && read->SQL() == sql) {
            data_ = read;
            data_->First();
            return;
        }
    }
    DataMod->openQuery(conn, *data_, "ReportField.openData", sql);
}

std::string ReportField::reportFont() const {
    return DataMod->qConfig.FieldByName("config_reportfont").AsString();
}

std::string ReportField::numberText(double value) const {
    return numberText(value, Cell("rep_field_format").AsString(),
                      DataMod->qConfig.FieldByName("config_minussymbol").AsString() == "(");
}

std::string ReportField::numberText(double value, const std::string& pattern,
                                    bool parentheses) const {
    if (pattern.empty())
        return "";
    int decimals = 0;
    bool thousands = false;
    const bool fixed = FixedPattern(pattern, decimals, thousands);
    auto text = [&](double v) {
        return fixed ? format::FormatFixed(v, decimals, thousands) : format::Format(pattern, v);
    };
    if (value < 0 && parentheses)
        return "(" + text(-value) + ")";
    return text(value);
}

db::Field& ReportField::dataField() {
    return data_->FieldByName(Cell("rep_field_field").AsString());
}

void ReportField::openCell() {
    write("<td width=\"" + Cell("rep_field_width").AsString() + "%\" align=\"" +
          Cell("rep_field_align").AsString());
    writeLine("\">");
    fontOn(reportFont(), Cell("rep_field_textsize").AsInteger(),
           Cell("rep_field_bold").AsInteger());
}

void ReportField::closeCell() {
    fontOff();
    writeLine("</td>");
}

bool ReportField::findCell(int row, int col) {
    db::Query& cells = DataMod->qRepField;
    for (cells.First(); !cells.Eof(); cells.Next()) {
        if (Cell("rep_field_row").AsInteger() == row && Cell("rep_field_col").AsInteger() == col)
            return true;
    }
    return false;
}

std::string ReportField::cellValue(int row, int col) {
    if (!findCell(row, col))
        return "";
    std::string text;
    const std::string field = Cell("rep_field_field").AsString();
    // The organisation name and data columns are values; the static text, the dates and the
    // synonyms belong to the definition and keep their markup.
    if (Cell("rep_field_isregto").AsInteger() > 0)
        text = HtmlEscape(OrganizationName);
    else if (!Cell("rep_field_static").AsString().empty())
        text = Cell("rep_field_static").AsString();
    else if (field == "_start_date")
        text = format::FormatDateTime("mmmm dd, yyyy", fromDate);
    else if (field == "_end_date")
        text = format::FormatDateTime("mmmm dd, yyyy", toDate);
    else if (!field.empty())  // a cell of a synonym alone names no column
        text = HtmlEscape(data_->FieldByName(field).AsString());
    const int synonymId = Cell("synonym_id").AsInteger();
    return synonymId > 0 ? synonym(synonymId) : text;
}

void ReportField::writeGrid() {
    for (int r = 1; r <= rows_; ++r) {
        writeLine("<tr>");
        for (int c = 1; c <= cols_; ++c) {
            const std::string text = cellValue(r, c);
            if (text.empty()) {
                write("<td></td>");
                continue;
            }
            openCell();
            writeLine(text);
            closeCell();
        }
        writeLine("</tr>");
    }
}

void ReportField::writeHeadings(const std::string& bgColour) {
    db::Query& cells = DataMod->qRepField;
    writeLine("<tr>");
    for (cells.First(); !cells.Eof(); cells.Next()) {
        write("<td width=\"" + Cell("rep_field_width").AsString() + "%\" align=\"" +
              Cell("rep_field_align").AsString() + "\" ");
        if (!bgColour.empty())
            write(" bgcolor=\"" + bgColour + "\" ");
        writeLine(">");
        fontOn(reportFont(), Cell("rep_field_textsize").AsInteger(), 1);
        const int synonymId = Cell("synonym_id").AsInteger();
        write(synonymId < 1 ? Cell("rep_field_heading").AsString() : synonym(synonymId));
        closeCell();
    }
    writeLine("</tr>");
}

void ReportField::writeDetailRows() {
    // What every row repeats is read from the cells once: a section may hold thousands of rows.
    struct DetailCell {
        std::string opening;  // the cell's opening tags, as openCell writes them
        std::string closing;  // and its closing tags, as closeCell writes them
        std::string column;
        db::Field* value;  // nullptr: not a column of the data (raises at the first row)
        std::string format;
        bool runTotal;
        bool omitZero;
    };
    db::Query& cells = DataMod->qRepField;
    std::vector<DetailCell> row;
    std::ostream* file = getStream();
    for (cells.First(); !cells.Eof(); cells.Next()) {
        std::ostringstream opening, closing;
        setStream(&opening);
        try {
            openCell();
            setStream(&closing);
            closeCell();
        } catch (...) {
            setStream(file);
            throw;
        }
        setStream(file);
        const std::string column = Cell("rep_field_field").AsString();
        row.push_back({opening.str(), closing.str(), column, data_->FindField(column),
                       Cell("rep_field_format").AsString(),
                       Cell("rep_field_runtotal").AsInteger() >= 1,
                       Cell("rep_field_omitzero").AsInteger() == 1});
    }
    const bool parentheses = DataMod->qConfig.FieldByName("config_minussymbol").AsString() == "(";
    runningTotal_ = 0;
    for (data_->First(); !data_->Eof(); data_->Next()) {
        write("<tr>");
        for (const DetailCell& cell : row) {
            if (!cell.value)
                throw db::DbError("Field '" + cell.column + "' not found");
            write(cell.opening);
            if (cell.runTotal) {
                runningTotal_ += cell.value->AsFloat();
                write(numberText(runningTotal_, cell.format, parentheses));
            } else if (cell.omitZero && cell.value->AsFloat() == 0) {
                // an omitted zero leaves the cell empty
            } else if (!cell.format.empty()) {
                write(numberText(cell.value->AsFloat(), cell.format, parentheses));
            } else {
                write(HtmlEscape(cell.value->AsString()));
            }
            write(cell.closing);
        }
        write("</tr>");
    }
}

void ReportField::writeTotals() {
    db::Query& cells = DataMod->qRepField;
    writeLine("<tr>");
    bool first = true;
    for (cells.First(); !cells.Eof(); cells.Next()) {
        write("<td width=\"" + Cell("rep_field_width").AsString() + "%\" align=\"" +
              Cell("rep_field_align").AsString());
        writeLine("\"><b>");
        fontOn(reportFont(), Cell("rep_field_textsize").AsInteger(),
               Cell("rep_field_bold").AsInteger());
        if (first)
            write(synonym(29));
        first = false;
        if (Cell("rep_field_sum").AsInteger() != 0) {
            double sum = 0;
            for (data_->First(); !data_->Eof(); data_->Next())
                sum += dataField().AsFloat();
            write(numberText(sum));
        }
        closeCell();
    }
    writeLine("</tr>");
}

void ReportField::writeCSV(const std::string& fileName) {
    desktop::FileWriter file;
    if (!file.Open(fileName, desktop::WriteMode::Replace))
        throw std::runtime_error("Cannot create file \"" + fileName + "\". " +
                                 std::strerror(errno));
    file.exceptions(std::ios::badbit | std::ios::failbit);
    db::Query& cells = DataMod->qRepField;
    std::string line;
    for (cells.First(); !cells.Eof(); cells.Next())
        line +=
            (cells.RecNo() == 1 ? "" : ",") + CsvField(Cell("rep_field_field").AsString(), false);
    file << line << "\r\n";
    for (data_->First(); !data_->Eof(); data_->Next()) {
        line.clear();
        for (cells.First(); !cells.Eof(); cells.Next())
            line += (cells.RecNo() == 1 ? "" : ",") + CsvValue(dataField());
        file << line << "\r\n";
    }
    file.close();
}

}  // namespace zl::reportserver
