// The report window: a page of HTML with buttons to print it, save its detail sections as a
// CSV file and file it with the report's customer as an e-mail document.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/db/Query.h"
#include "widgets/FormDialog.h"

class QPrinter;
class QTextBrowser;
class QToolBar;
class QToolButton;

namespace zl::reportserver {

class ZLMReport;

// The page as the window shows it: a table longer than `rowsPerTable` rows is shown as several
// tables of that many rows, with the same attributes one under the other. A long table laid out
// as one block keeps the window from showing anything until the last row is placed; the file
// itself is left as written.
std::string TablesForDisplay(std::string_view html, int rowsPerTable = 200);

// Created and freed by its caller; shown modally by show or showFile.
class TfrmReportView : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmReportView(QWidget* owner = nullptr);

    // Shows the report's page modally; the e-mail button only for a report with a customer.
    void show(ZLMReport& report, const std::string& path);
    // Shows any page modally, without CSV and e-mail (questionnaire printouts).
    void showFile(const std::string& path);
    using QDialog::show;

    QToolBar* ToolBar1;
    QToolButton* btnPrint;
    QToolButton* btnCSV;
    QToolButton* btnSendEmail;
    QToolButton* btnClose;
    QTextBrowser* WebBrowser1;
    db::Query qDoc;
    db::Query qItem;

    // The modal questions, replaceable for tests. The CSV file name to write ("" for Cancel);
    // whether to print, with the printer set up.
    std::function<std::string()> askCsvFile;
    std::function<bool(QPrinter&)> askPrinter;

    void btnPrintClick();
    void btnCSVClick();
    // Files the report as a contact event of its customer with one line naming the page.
    void btnSendEmailClick();
    void btnCloseClick();

  private:
    void load(const std::string& path);
    std::string askCsvFileByDialog();

    ZLMReport* report_ = nullptr;
    std::string path_;
};

}  // namespace zl::reportserver
