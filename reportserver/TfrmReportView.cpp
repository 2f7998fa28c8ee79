#include "reportserver/TfrmReportView.h"

#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QLoggingCategory>
#include <QPrintDialog>
#include <QPrinter>
#include <QStackedLayout>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/desktop/Desktop.h"
#include "platform/format/Format.h"
#include "platform/ui/Prompter.h"
#include "reportserver/ZLMReport.h"
#include "widgets/QtPlatform.h"

namespace zl::reportserver {
namespace {

constexpr const char* kFilingTag = "TfrmReportView.btnSendEmailClick";

// Chromium will not start its sandbox for root and asks for it to be switched off; it is
// switched off then and only then. Report pages need no GPU and a machine may have none: the
// engine draws in software, and so needs no OpenGL context shared with the application (which
// Qt would make at every program start, before the report server library is loaded). Qt
// WebEngine 6.4 still reads that context to log it when it starts, and fails without one: its
// log of the start is switched off. All of it must be set before the engine starts, which is when
// the first report window is made.
void PrepareEngine() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --disable-gpu");
    QLoggingCategory::setFilterRules("qt.webenginecontext.info=false");
}

// Lets through only what the window may load: files of the report folders (PageRefusal).
// Every other scheme (http, https, ftp, data, blob...) is refused.
class LocalFilesOnly : public QWebEngineUrlRequestInterceptor {
  public:
    LocalFilesOnly(std::vector<std::string> folders, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), folders_(std::move(folders)) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        const bool allowed = (url.scheme() == "file" && url.host().isEmpty() &&
                              PageRefusal(url.toLocalFile().toStdString(), folders_).empty()) ||
                             IsFirstScreen(info);
        info.block(!allowed);
    }

  private:
    // A first screen reaches its page as content, which the engine loads as a data: URL. Only
    // a main frame may load it, and each page lets through no main-frame load but its own.
    static bool IsFirstScreen(const QWebEngineUrlRequestInfo& info) {
        return info.requestUrl().scheme() == "data" &&
               info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
    }

    const std::vector<std::string> folders_;  // read from the engine's threads: never changed
};

// A page that goes nowhere: it loads the one file the window names (or the content it is
// given), and refuses every other navigation (links, forms, redirects, back and forward) and
// every new window.
class FixedPage : public QWebEnginePage {
  public:
    using QWebEnginePage::QWebEnginePage;
    void Expect(const QUrl& url) { expected_ = url; }
    void ExpectContent() { content_ = true; }

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame || (type != NavigationTypeTyped && type != NavigationTypeOther))
            return false;
        if (content_ && url.scheme() == "data") {
            content_ = false;  // once
            return true;
        }
        if (url != expected_)
            return false;
        expected_.clear();  // once
        return true;
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

  private:
    QUrl expected_;
    bool content_ = false;
};

void LockDown(QWebEngineSettings& settings) {
    using S = QWebEngineSettings;
    for (const S::WebAttribute off : {S::JavascriptEnabled,
                                      S::JavascriptCanOpenWindows,
                                      S::JavascriptCanAccessClipboard,
                                      S::JavascriptCanPaste,
                                      S::PluginsEnabled,
                                      S::LocalStorageEnabled,
                                      S::LocalContentCanAccessRemoteUrls,
                                      S::HyperlinkAuditingEnabled,
                                      S::ErrorPageEnabled,
                                      S::FullScreenSupportEnabled,
                                      S::ScreenCaptureEnabled,
                                      S::WebGLEnabled,
                                      S::Accelerated2dCanvasEnabled,
                                      S::AutoLoadIconsForPage,
                                      S::TouchIconsEnabled,
                                      S::AllowRunningInsecureContent,
                                      S::AllowGeolocationOnInsecureOrigins,
                                      S::AllowWindowActivationFromJavaScript,
                                      S::DnsPrefetchEnabled,
                                      S::PdfViewerEnabled,
                                      S::NavigateOnDropEnabled})
        settings.setAttribute(off, false);
    // Pictures of the report folders (a business unit's logo) are shown.
    settings.setAttribute(S::AutoLoadImages, true);
    settings.setAttribute(S::LocalContentCanAccessFileUrls, true);
    settings.setAttribute(S::PrintElementBackgrounds, true);
    // Report pages are written as UTF-8 and name no character set.
    settings.setDefaultTextEncoding("UTF-8");
}

// A view of a page that goes nowhere, shown with `profile`'s locks.
QWebEngineView* LockedView(QWebEngineProfile* profile, QWidget* parent) {
    auto* view = new QWebEngineView(parent);
    view->setContextMenuPolicy(Qt::NoContextMenu);
    view->setAcceptDrops(false);
    auto* page = new FixedPage(profile, view);
    LockDown(*page->settings());
    view->setPage(page);
    return view;
}

// Whether `file` lies below `folder` (both canonical).
bool IsInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    auto f = file.begin();
    for (auto d = folder.begin(); d != folder.end(); ++d, ++f) {
        if (f == file.end() || *f != *d)
            return false;
    }
    return f != file.end();
}

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

std::vector<std::string> PageFolders() {
    std::vector<std::string> folders{desktop::UserDataFolder()};
    if (DataMod && DataMod->qConfig.Active() && !DataMod->qConfig.Eof()) {
        const std::string repository =
            DataMod->qConfig.FieldByName("config_docrepository").AsString();
        if (!repository.empty())
            folders.push_back(repository);
    }
    return folders;
}

std::string FirstScreenOf(std::string_view page) {
    page = page.substr(0, kFirstScreenBytes);
    std::string lower(page);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string_view rowEnd = "</tr>";
    if (const auto row = lower.rfind(rowEnd); row != std::string::npos)
        return std::string(page.substr(0, row + rowEnd.size()));
    const auto tag = page.rfind('>');
    return tag == std::string_view::npos ? "" : std::string(page.substr(0, tag + 1));
}

std::string PageRefusal(const std::string& path, const std::vector<std::string>& folders) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file = fs::canonical(path, error);
    if (error)
        return "it cannot be read";
    if (!fs::is_regular_file(file, error))
        return "it is not a regular file";
    const bool inside = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
        std::error_code missing;
        const fs::path folder = fs::canonical(f, missing);
        return !f.empty() && !missing && IsInside(file, folder);
    });
    if (!inside)
        return "it lies outside the data folder and the document repository";
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > kLargestPage)
        return "it is larger than " + std::to_string(kLargestPage / (1024 * 1024)) + " MB";
    return "";
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

    PrepareEngine();
    // Off the record: the engine keeps its cache and cookies in memory, never in the home folder.
    // Every page must be gone before its profile: the destructor sees to it.
    profile_ = new QWebEngineProfile(this);
    profile_->setUrlRequestInterceptor(new LocalFilesOnly(PageFolders(), profile_));
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setSpellCheckEnabled(false);
    connect(profile_, &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });
    WebBrowser1 = LockedView(profile_, this);
    WebBrowser1->setObjectName("WebBrowser1");
    page_ = WebBrowser1->page();
    // Only the load of the page asked for counts: a refused navigation ends as a failed load.
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (loaded_)
            return;
        dropFirstScreen();
        loaded_ = true;
        loadedOk_ = ok;
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    // The page and, above it while a large page loads, its first screen.
    auto* pages = new QWidget(this);
    pages_ = new QStackedLayout(pages);
    pages_->setStackingMode(QStackedLayout::StackAll);
    pages_->addWidget(WebBrowser1);
    layout->addWidget(pages, 1);

    askCsvFile = [this] { return askCsvFileByDialog(); };
    askPrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    widgets::Centre(*this);
}

TfrmReportView::~TfrmReportView() {
    dropFirstScreen();
    delete WebBrowser1;  // with its page, before the profile
}

void TfrmReportView::showFirstScreen(const std::string& path, const QUrl& url) {
    dropFirstScreen();
    std::error_code error;
    if (std::filesystem::file_size(path, error) <= kFirstScreenAbove || error)
        return;
    std::string head(kFirstScreenBytes, '\0');
    std::ifstream file(path, std::ios::binary);
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    const std::string first = FirstScreenOf(head);
    if (first.empty())
        return;
    // A page of its own, in an engine process of its own: it is painted while the page's process
    // is still parsing. Its relative links resolve as the page's.
    firstScreen_ = LockedView(profile_, this);
    firstScreen_->setObjectName("FirstScreen");
    static_cast<FixedPage*>(firstScreen_->page())->ExpectContent();
    pages_->addWidget(firstScreen_);
    pages_->setCurrentWidget(firstScreen_);
    firstScreen_->page()->setHtml(QString::fromUtf8(first.data(), static_cast<int>(first.size())),
                                  url);
}

void TfrmReportView::dropFirstScreen() {
    delete firstScreen_;  // with its page; the layout forgets it
    firstScreen_ = nullptr;
}

bool TfrmReportView::load(const std::string& path, const char* tag) {
    path_ = path;
    loaded_ = loadedOk_ = false;
    const std::string refusal = PageRefusal(path, PageFolders());
    if (!refusal.empty()) {
        AppendErrorLog(tag, "The page is not shown: " + refusal, path);
        ui::ShowMessage(widgets::HandleOf(this),
                        "The report " + path + " cannot be shown: " + refusal + ".",
                        "Report viewer", ui::Icon::Warning);
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    static_cast<FixedPage*>(page_)->Expect(url);
    WebBrowser1->load(url);
    showFirstScreen(path, url);
    return true;
}

void TfrmReportView::show(ZLMReport& report, const std::string& path) {
    report_ = &report;
    if (!load(path, "TfrmReportView.show"))
        return;
    btnCSV->defaultAction()->setEnabled(true);
    btnSendEmail->defaultAction()->setVisible(report.customerId > 0);
    exec();
}

void TfrmReportView::showFile(const std::string& path) {
    report_ = nullptr;
    if (!load(path, "TfrmReportView.showFile"))
        return;
    btnCSV->defaultAction()->setEnabled(false);
    btnSendEmail->defaultAction()->setVisible(false);
    exec();
}

void TfrmReportView::btnPrintClick() {
    try {
        QPrinter printer;
        if (!askPrinter(printer))
            return;
        if (!printPage(printer))
            throw std::runtime_error("The report could not be printed.");
    } catch (const std::exception& e) {
        LogError("TfrmReportView.btnPrintClick", e.what(), "");
    }
}

bool TfrmReportView::printPage(QPrinter& printer) {
    QEventLoop loop;
    bool printed = false;
    const auto finish = [&](bool ok) {
        printed = ok;
        loop.quit();
    };
    connect(page_, &QWebEnginePage::renderProcessTerminated, &loop, [&] { finish(false); });
    if (!loaded_) {
        connect(page_, &QWebEnginePage::loadFinished, &loop, [&] { loop.quit(); });
        loop.exec();
        if (!loadedOk_)
            return false;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // Into a PDF file the engine writes the page itself, its text kept as text.
        connect(page_, &QWebEnginePage::pdfPrintingFinished, &loop,
                [&](const QString&, bool ok) { finish(ok); });
        page_->printToPdf(printer.outputFileName(), printer.pageLayout(), printer.pageRanges());
    } else {
        connect(WebBrowser1, &QWebEngineView::printFinished, &loop, finish);
        WebBrowser1->print(&printer);
    }
    loop.exec();
    return printed;
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
