#include "reportserver/TfrmReportView.h"

#include <stdexcept>

namespace zl::reportserver {

TfrmReportView::TfrmReportView(QWidget* owner) : FormDialog(owner) {
    ToolBar1 = nullptr;
    btnPrint = btnCSV = btnSendEmail = btnClose = nullptr;
    WebBrowser1 = nullptr;
}
void TfrmReportView::show(ZLMReport&, const std::string&) {
    throw std::logic_error("TfrmReportView.show is not built yet.");
}
void TfrmReportView::showFile(const std::string&) {
    throw std::logic_error("TfrmReportView.showFile is not built yet.");
}
void TfrmReportView::btnPrintClick() {}
void TfrmReportView::btnCSVClick() {}
void TfrmReportView::btnSendEmailClick() {}
void TfrmReportView::btnCloseClick() {
    close();
}

}  // namespace zl::reportserver
