#include "reportserver/TfrmReportView.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <stdexcept>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/format/Format.h"
#include "platform/ui/Prompter.h"
#include "reportserver/ZLMReport.h"
#include "widgets/QtPlatform.h"

namespace zl::reportserver {
namespace {

constexpr const char* kFilingTag = "TfrmReportView.btnSendEmailClick";

// A browser that reads local files only: a page's remote images or style sheets are never
// fetched.
class LocalBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        const QUrl url = source().resolved(name);
        if (!url.isLocalFile() && url.scheme() != "qrc")
            return {};
        if (type == QTextDocument::HtmlResource && url.isLocalFile()) {
            QFile file(url.toLocalFile());
            if (!file.open(QIODevice::ReadOnly))
                return {};
            const QByteArray bytes = file.readAll();
            return QString::fromStdString(
                TablesForDisplay(std::string_view(bytes.constData(), bytes.size())));
        }
        return QTextBrowser::loadResource(type, name);
    }
};

// Closes the queries when the scope ends, whatever way it ends.
class CloseOnExit {
  public:
    CloseOnExit(db::Query& first, db::Query& second) : first_(first), second_(second) {}
    ~CloseOnExit() {
        first_.Close();
        second_.Close();
    }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

  private:
    db::Query& first_;
    db::Query& second_;
};

QIcon ToolIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget& w) {
    return QIcon::fromTheme(name, w.style()->standardIcon(fallback));
}

}  // namespace

std::string TablesForDisplay(std::string_view html, int rowsPerTable) {
    static constexpr std::string_view kOpen = "<table", kRowEnd = "</tr>", kClose = "</table>";
    std::string out;
    out.reserve(html.size() + html.size() / 50);
    std::string_view tableTag;  // the start tag of the table being copied, if any
    int rows = 0;
    size_t i = 0;
    while (i < html.size()) {
        if (html.compare(i, kOpen.size(), kOpen) == 0) {
            const size_t end = html.find('>', i);
            if (end == std::string_view::npos)
                break;
            tableTag = html.substr(i, end + 1 - i);
            rows = 0;
            out.append(tableTag);
            i = end + 1;
        } else if (html.compare(i, kClose.size(), kClose) == 0) {
            tableTag = {};
            out.append(kClose);
            i += kClose.size();
        } else if (html.compare(i, kRowEnd.size(), kRowEnd) == 0) {
            out.append(kRowEnd);
            i += kRowEnd.size();
            size_t next = i;
            while (next < html.size() && (html[next] == '\r' || html[next] == '\n'))
                ++next;
            if (!tableTag.empty() && ++rows % rowsPerTable == 0 &&
                html.compare(next, 4, "<tr>") == 0) {
                out.append(kClose);
                out.append(tableTag);
            }
        } else {
            out += html[i++];
        }
    }
    out.append(html.substr(i));
    return out;
}

TfrmReportView::TfrmReportView(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmReportView");
    setWindowTitle("Report viewer");
    resize(870, 640);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setFixedHeight(41);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setMovable(false);
    // Each button is the tool bar's own button of an action: the tool bar shows or hides a
    // button by its action's visibility at every layout pass.
    auto button = [this](const char* name, const char* hint, QIcon icon,
                         void (TfrmReportView::*handler)()) {
        auto* action = new QAction(icon, hint, this);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, handler);
        ToolBar1->addAction(action);
        auto* widget = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(action));
        widget->setObjectName(name);
        widget->setFixedSize(39, 38);
        return widget;
    };
    btnPrint = button("btnPrint", "Print the report",
                      ToolIcon("document-print", QStyle::SP_FileIcon, *this),
                      &TfrmReportView::btnPrintClick);
    btnCSV = button("btnCSV", "Save as CSV file",
                    ToolIcon("document-save-as", QStyle::SP_DialogSaveButton, *this),
                    &TfrmReportView::btnCSVClick);
    btnSendEmail = button("btnSendEmail", "Send report as an email",
                          ToolIcon("mail-send", QStyle::SP_ArrowForward, *this),
                          &TfrmReportView::btnSendEmailClick);
    btnClose = button("btnClose", "Close this window",
                      ToolIcon("window-close", QStyle::SP_DialogCloseButton, *this),
                      &TfrmReportView::btnCloseClick);

    WebBrowser1 = new LocalBrowser(this);
    WebBrowser1->setObjectName("WebBrowser1");
    WebBrowser1->setReadOnly(true);
    WebBrowser1->setOpenExternalLinks(false);
    WebBrowser1->setOpenLinks(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(WebBrowser1, 1);

    askCsvFile = [this] { return askCsvFileByDialog(); };
    askPrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    widgets::Centre(*this);
}

void TfrmReportView::load(const std::string& path) {
    path_ = path;
    // Report pages are written as UTF-8 HTML whatever the file's name ends in.
    WebBrowser1->setSource(QUrl::fromLocalFile(QString::fromStdString(path)),
                           QTextDocument::HtmlResource);
}

void TfrmReportView::show(ZLMReport& report, const std::string& path) {
    report_ = &report;
    load(path);
    btnCSV->defaultAction()->setEnabled(true);
    btnSendEmail->defaultAction()->setVisible(report.customerId > 0);
    exec();
}

void TfrmReportView::showFile(const std::string& path) {
    report_ = nullptr;
    load(path);
    btnCSV->defaultAction()->setEnabled(false);
    btnSendEmail->defaultAction()->setVisible(false);
    exec();
}

void TfrmReportView::btnPrintClick() {
    try {
        QPrinter printer;
        if (!askPrinter(printer))
            return;
        WebBrowser1->document()->print(&printer);
        if (printer.printerState() == QPrinter::Error)
            throw std::runtime_error("The report could not be printed.");
    } catch (const std::exception& e) {
        LogError("TfrmReportView.btnPrintClick", e.what(), "");
    }
}

std::string TfrmReportView::askCsvFileByDialog() {
    QFileDialog dialog(this, "Save as CSV file");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix("csv");
    dialog.setNameFilter("CSV files (*.csv)");
    // An existing file is replaced only after the dialog has asked.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setDirectory(QDir::homePath());  // never the program's working folder
    if (!widgets::RunFileDialog(dialog))
        return "";
    return dialog.selectedFiles().first().toStdString();
}

void TfrmReportView::btnCSVClick() {
    if (!report_)
        return;
    const std::string file = askCsvFile();
    if (file.empty())
        return;
    try {
        report_->exportCSV(file);
    } catch (const std::exception& e) {
        AppendErrorLog("TfrmReportView.btnCSVClick", e.what(), file);
        ui::ShowMessage(widgets::HandleOf(this),
                        "The CSV file " + file + " could not be saved.\n" + e.what(), "CSV Export",
                        ui::Icon::Warning);
        return;
    }
    ui::ShowMessage(widgets::HandleOf(this), "CSV export completed", "CSV Export",
                    ui::Icon::Information);
}

void TfrmReportView::btnSendEmailClick() {
    if (!report_)
        return;
    TDataMod& dm = *DataMod;
    const CloseOnExit closeBoth(qDoc, qItem);
    try {
        // Both queries open on an empty set: only the appended row is wanted.
        if (!dm.openQuery(dm.zlmConn, qDoc, kFilingTag, "select * from zlm_doc where 1=0") ||
            !dm.Append(qDoc, kFilingTag))
            return;
        qDoc.FieldByName("customer_id").SetAsInteger(report_->customerId);
        qDoc.FieldByName("bus_unit_id").SetAsInteger(report_->busUnitId);
        qDoc.FieldByName("dimension_id").SetAsInteger(9);  // a contact event
        qDoc.FieldByName("contact_type_id").SetAsInteger(1);
        qDoc.FieldByName("zlm_doc_time")
            .SetAsString(format::FormatDateTime("hh:mm", format::Now()));
        qDoc.FieldByName("zlm_doc_descr").SetAsString(report_->htmlTitle());
        qDoc.Post();
        const int docId = qDoc.FieldByName("zlm_doc_id").AsInteger();

        if (!dm.openQuery(dm.zlmConn, qItem, kFilingTag, "select * from doc_item where 1=0") ||
            !dm.Append(qItem, kFilingTag))
            return;
        qItem.FieldByName("sys_user_id").SetAsInteger(report_->userId);
        qItem.FieldByName("zlm_doc_id").SetAsInteger(docId);
        qItem.FieldByName("dimension_id").SetAsInteger(15);
        qItem.FieldByName("doc_type_id").SetAsInteger(8);
        qItem.FieldByName("doc_item_file").SetAsString(path_);
        qItem.FieldByName("doc_item_descr").SetAsString("Quotation file");
        qItem.Post();
    } catch (const std::exception& e) {
        LogError(kFilingTag, e.what(), "");
    }
}

void TfrmReportView::btnCloseClick() {
    close();
}

}  // namespace zl::reportserver
