// The field grid of one report section: its cells from rep_field, its data, and its rows in one
// of four layouts (static grid, heading row, detail rows, totals row); also its CSV form.
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "reportserver/ReportBase.h"

namespace zl::reportserver {

class ReportField : public ReportBase {
  public:
    // Keeps the data query and the grid size, loads the cells of section `sourceSectionId`
    // and opens the section's data from the current rep_section row.
    void setSection(db::Query& data, int sourceSectionId, int rows, int cols);
    // Opens the data query from the current rep_section row: its table (with the business unit
    // and parent filters), or its SQL head, the report period and its SQL foot.
    void openData();

    void writeGrid();
    void writeHeadings(const std::string& bgColour);
    void writeDetailRows();
    void writeTotals();
    // The HTML of grid cell (row, col): organisation name, static text, period or data column,
    // replaced by the cell's synonym when it has one; the organisation name and data columns
    // HTML-escaped. Leaves the cells on that cell's row.
    std::string cellValue(int row, int col);
    // Writes the section's columns and records as CSV; raises when the file cannot be written.
    void writeCSV(const std::string& fileName);

  private:
    // Stands the cells on the first one at (row, col); false when there is none.
    bool findCell(int row, int col);
    std::string reportFont() const;
    // v in the cell's number format, negative numbers in parentheses when the minus symbol is
    // "("; empty without a format.
    std::string numberText(double value) const;
    std::string numberText(double value, const std::string& pattern, bool parentheses) const;
    void openCell();
    void closeCell();
    db::Field& dataField();

    int rows_ = 0;
    int cols_ = 0;
    double runningTotal_ = 0;
    db::Query* data_ = nullptr;
};

}  // namespace zl::reportserver
