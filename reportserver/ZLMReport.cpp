#include "reportserver/ZLMReport.h"

#include <stdexcept>

namespace zl::reportserver {

ReportSection::ReportSection() = default;
void ReportSection::setReport(int) {
    throw std::logic_error("ReportSection.setReport is not built yet.");
}
void ReportSection::generate() {
    throw std::logic_error("ReportSection.generate is not built yet.");
}
void ReportSection::exportCSV(const std::string&) {
    throw std::logic_error("ReportSection.exportCSV is not built yet.");
}

ZLMReport::ZLMReport() = default;
ZLMReport::~ZLMReport() = default;
void ZLMReport::Populate(int) {
    throw std::logic_error("ZLMReport.Populate is not built yet.");
}
void ZLMReport::Generate() {
    throw std::logic_error("ZLMReport.Generate is not built yet.");
}
void ZLMReport::exportCSV(const std::string& fileName) {
    section_.exportCSV(fileName);
}
void ZLMReport::Run(int, int, int, int, const std::string&) {
    throw std::logic_error("ZLMReport.Run is not built yet.");
}
std::string ZLMReport::htmlTitle() const {
    return "";
}

}  // namespace zl::reportserver
