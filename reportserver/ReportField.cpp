#include "reportserver/ReportField.h"

#include <stdexcept>

namespace zl::reportserver {

void ReportField::setSection(db::Query&, int, int, int) {
    throw std::logic_error("ReportField.setSection is not built yet.");
}
void ReportField::openData() {}
void ReportField::writeGrid() {}
void ReportField::writeHeadings(const std::string&) {}
void ReportField::writeDetailRows() {}
void ReportField::writeTotals() {}
std::string ReportField::cellValue(int, int) {
    return "";
}
void ReportField::writeCSV(const std::string&) {
    throw std::logic_error("ReportField.writeCSV is not built yet.");
}

}  // namespace zl::reportserver
