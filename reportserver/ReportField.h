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
    void openData();

    void writeGrid();
    void writeHeadings(const std::string& bgColour);
    void writeDetailRows();
    void writeTotals();
    std::string cellValue(int row, int col);
    void writeCSV(const std::string& fileName);

  private:
    int rows_ = 0;
    int cols_ = 0;
    double runningTotal_ = 0;
    db::Query* data_ = nullptr;
};

}  // namespace zl::reportserver
