// A report defined as data: its row of zlm_rep, its sections in rep_section and its cells in
// rep_field (meta database), written as one HTML page of tables, one per section.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/db/Query.h"
#include "reportserver/ReportBase.h"
#include "reportserver/ReportField.h"

namespace zl::reportserver {

// The sections of one report, written one after another by one field grid.
class ReportSection : public ReportBase {
  public:
    ReportSection();
    // Opens the report's rep_section rows in display order.
    void setReport(int reportId);
    // Writes every section: rules, table, content by section type.
    void generate();
    // Writes each detail section (type 5) to the CSV file; the last one stays.
    void exportCSV(const std::string& fileName);

  private:
    // Hands the current section's cells (its own, or those of its linked section), grid size
    // and data source to the field grid.
    void loadSection();

    ReportField field_;
    db::Query qData_;
};

// A report id without a definition; the user has been told already.
class NoSuchReport : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ZLMReport : public ReportBase {
  public:
    ZLMReport();
    ~ZLMReport() override;

    // Loads the definition, the report's records and its customer.
    void Populate(int reportId);
    // Writes the title, the sections and the message; the file is open and is closed by the
    // caller.
    void Generate();
    void exportCSV(const std::string& fileName);

    // The whole run behind ShowReport after its reconnect: definition, file, period, page,
    // viewer. The file is closed on every path; raises what ended the run. A report id without
    // a definition is told to the user ("There is no report with id N.") before the file is
    // touched, and raises NoSuchReport. The pointer is busy while the report is read and
    // written, and itself again over the date dialog, that message and the window.
    void Run(int reportId, int busUnit, int user, int key, const std::string& htmlFile);

    // The definition's HTML title (the description of a filed report).
    std::string htmlTitle() const;

  private:
    // Opens the report's zlm_rep row.
    void openDefinition(int reportId);
    // Opens the records and finds the customer of the definition that openDefinition opened.
    void openData();
    // The customer of the report: the entity whose id the first record holds in the
    // definition's customer column; 0 when that is not an integer or names no entity.
    int findCustomer();

    ReportSection section_;
    db::Query qCustomer_;
};

}  // namespace zl::reportserver
