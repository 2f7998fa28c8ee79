// The report window: a page of HTML with buttons to print it, save its detail sections as a
// CSV file and file it with the report's customer as an e-mail document.
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "widgets/FormDialog.h"

class QTextBrowser;
class QToolBar;
class QToolButton;

namespace zl::reportserver {

class ZLMReport;

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

    void btnPrintClick();
    void btnCSVClick();
    void btnSendEmailClick();
    void btnCloseClick();

  private:
    ZLMReport* report_ = nullptr;
    std::string path_;
};

}  // namespace zl::reportserver
