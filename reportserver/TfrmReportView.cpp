#include "reportserver/TfrmReportView.h"

#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QPrintDialog>
#include <QPrinter>
#include <QQuickWindow>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/desktop/Desktop.h"
#include "platform/desktop/Files.h"
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
// log of the start is switched off. The view puts the engine's frames on screen through Qt Quick,
// which would draw them with OpenGL, and Qt and the OpenGL library (Mesa) would keep the shaders
// it compiles under ~/.cache: it draws them in software, which compiles none, and Mesa, which the
// engine still opens when it starts, keeps no cache. All of it must be set before the engine
// starts, which is when the first report window is made.
void PrepareEngine() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    if (QQuickWindow::graphicsApi() != QSGRendererInterface::Software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
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
                             IsPartsOfAPage(info);
        info.block(!allowed);
    }

  private:
    // The parts of a large page reach their view as content, which the engine loads as a data:
    // URL. Only a main frame may load it, and each view lets through no main-frame load but its
    // own.
    static bool IsPartsOfAPage(const QWebEngineUrlRequestInfo& info) {
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

// `size` bytes of the file at `path` from `offset` (fewer where the file ends before).
std::string ReadPart(const std::string& path, std::uint64_t offset, std::uint64_t size) {
    std::string bytes(size, '\0');
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, file.gcount())));
    return bytes;
}

// Whether the engine can be given each part of `split` as content: a part with its head and
// reopened tags is at most kLargestContent bytes.
bool FitsTheEngine(const PageParts& split) {
    return std::all_of(split.parts.begin(), split.parts.end(), [&](const PagePart& part) {
        return split.head.size() + part.reopen.size() + (part.end - part.begin) <= kLargestContent;
    });
}

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

std::string PageRefusal(const std::string& path, const std::vector<std::string>& folders,
                        std::uintmax_t largest) {
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
        return !f.empty() && !missing && desktop::IsInside(file, folder);
    });
    if (!inside)
        return "it lies outside the data folder and the document repository";
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > largest)
        return "it is larger than " + std::to_string(largest / (1024 * 1024)) + " MB";
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
    // Only the load of the page asked for counts: a refused navigation ends as a failed load.
    connect(WebBrowser1->page(), &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (loaded_ || windowed())
            return;
        loaded_ = true;
        loadedOk_ = ok;
    });
    PageBar = new QScrollBar(Qt::Vertical, this);
    PageBar->setObjectName("PageBar");
    PageBar->hide();
    connect(PageBar, &QScrollBar::valueChanged, this, &TfrmReportView::pageBarMoved);
    PageWidthBar = new QScrollBar(Qt::Horizontal, this);
    PageWidthBar->setObjectName("PageWidthBar");
    PageWidthBar->hide();
    connect(PageWidthBar, &QScrollBar::valueChanged, this, [this](int x) {
        WebBrowser1->page()->runJavaScript(
            QStringLiteral("window.scrollTo(%1,window.scrollY)").arg(x),
            QWebEngineScript::ApplicationWorld);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    // The page; a large page's two views one above the other, with the page's scroll bar.
    auto* pages = new QWidget(this);
    pages_ = new QStackedLayout(pages);
    pages_->setStackingMode(QStackedLayout::StackAll);
    pages_->addWidget(WebBrowser1);
    auto* across = new QVBoxLayout;
    across->setSpacing(0);
    across->addWidget(pages, 1);
    across->addWidget(PageWidthBar);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addLayout(across, 1);
    row->addWidget(PageBar);
    layout->addLayout(row, 1);

    askCsvFile = [this] { return askCsvFileByDialog(); };
    askPrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    widgets::Centre(*this);
}

TfrmReportView::~TfrmReportView() {
    // The views with their pages, before the profile. A script's answer still to come arrives
    // empty, and measure drops it.
    delete spare_;
    spare_ = nullptr;
    delete WebBrowser1;
    WebBrowser1 = nullptr;
}

bool TfrmReportView::refuse(const std::string& path, const std::string& refusal, const char* tag) {
    AppendErrorLog(tag, "The page is not shown: " + refusal, path);
    ui::ShowMessage(widgets::HandleOf(this),
                    "The report " + path + " cannot be shown: " + refusal + ".", "Report viewer",
                    ui::Icon::Warning);
    return false;
}

bool TfrmReportView::load(const std::string& path, const char* tag) {
    path_ = path;
    url_ = QUrl::fromLocalFile(QString::fromStdString(path));
    loaded_ = loadedOk_ = false;
    const std::string refusal = PageRefusal(path, PageFolders(), kLargestWindowedPage);
    if (!refusal.empty())
        return refuse(path, refusal, tag);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (size > kWindowedAbove) {
        // The first parts are cut from the page's beginning alone, as the scan of the whole page
        // cuts them: they are shown while the rest is scanned.
        split_ = SplitPage(ReadPart(path, 0, kFirstScanBytes), kPartBytes);
        const bool cutBeforeTheEnd = split_.parts.size() > kPartsShown;
        split_.parts.resize(std::min(split_.parts.size(), kPartsShown));
        if (cutBeforeTheEnd && FitsTheEngine(split_)) {
            scan_ = std::async(std::launch::async, [path, size] {
                return SplitPage(ReadPart(path, 0, size), kPartBytes);
            });
            showWindowed();
            return true;
        }
        split_ = SplitPage(ReadPart(path, 0, size), kPartBytes);
        if (split_.parts.size() > 1 && FitsTheEngine(split_)) {
            scanned();
            showWindowed();
            return true;
        }
        split_ = PageParts{};  // no row ends to cut at often enough: the engine takes it whole
        if (const std::string tooLarge = PageRefusal(path, PageFolders()); !tooLarge.empty())
            return refuse(path, tooLarge, tag);
    }
    static_cast<FixedPage*>(WebBrowser1->page())->Expect(url_);
    WebBrowser1->load(url_);
    return true;
}

void TfrmReportView::showWindowed() {
    WebBrowser1->page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    newSpare();
    PageBar->setSingleStep(3);
    PageBar->show();
    if (scan_.valid()) {  // the page's scroll bar waits for the scan of the whole page
        PageBar->setEnabled(false);
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            if (scan_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                return;
            poll->deleteLater();
            split_ = scan_.get();
            scanned();
        });
        poll->start(10);
    }
    showRowAt(0, 0, true);
}

bool TfrmReportView::showWhole() {
    std::error_code error;
    if (std::filesystem::file_size(path_, error) > kLargestPage || error)
        return false;
    split_ = PageParts{};
    loading_ = false;
    next_.reset();
    delete spare_;
    spare_ = nullptr;
    PageBar->hide();
    PageWidthBar->hide();
    rowTops_.clear();
    WebBrowser1->page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, true);
    static_cast<FixedPage*>(WebBrowser1->page())->Expect(url_);
    WebBrowser1->load(url_);
    return true;
}

void TfrmReportView::newSpare() {
    // A view loads one window only: the views of parts no longer shown are freed with their
    // engine process, so that the engine's memory does not grow as the user goes through the
    // page. The next view is made now, so that it is ready when the user scrolls on.
    delete spare_;  // with its page; the layout forgets it
    spare_ = LockedView(profile_, this);
    spare_->setObjectName("SpareView");
    pages_->addWidget(spare_);  // below the view on screen
    QWebEnginePage* page = spare_->page();
    page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) {
        if (spare_ && page == spare_->page())
            windowLoaded(ok);
    });
    connect(page, &QWebEnginePage::scrollPositionChanged, this,
            [this, page](const QPointF& at) { scrolled(page, at); });
}

void TfrmReportView::scanned() {
    if (!FitsTheEngine(split_) && !showWhole())
        AppendErrorLog("TfrmReportView.show",
                       "Rows of the page are too long to be shown: more than " +
                           std::to_string(kLargestContent >> 10) + " KB without a row end",
                       path_);
    if (!windowed())
        return;
    PageBar->setRange(0, std::max(0, split_.rows - 1));
    PageBar->setEnabled(true);
    if (loaded_ && !loading_)
        scrolled(WebBrowser1->page(), {shownX_, shownY_});
}

std::size_t TfrmReportView::partOfRow(int row) const {
    const auto after =
        std::upper_bound(split_.parts.begin(), split_.parts.end(), row,
                         [](int r, const PagePart& part) { return r < part.firstRow; });
    return after == split_.parts.begin()
               ? 0
               : static_cast<std::size_t>(after - split_.parts.begin()) - 1;
}

std::size_t TfrmReportView::windowAround(std::size_t part) const {
    const std::size_t count = split_.parts.size();
    const std::size_t first = part > 0 ? part - 1 : 0;
    return std::min(first, count >= kPartsShown ? count - kPartsShown : 0);
}

int TfrmReportView::rowAt(double y) const {
    const auto after = std::upper_bound(rowTops_.begin(), rowTops_.end(), y);
    const int index =
        after == rowTops_.begin() ? 0 : static_cast<int>(after - rowTops_.begin()) - 1;
    return rowBase_ + index;
}

void TfrmReportView::showRowAt(int row, double below, bool quick) {
    Window window;
    const std::size_t part = partOfRow(row);
    window.first = quick ? part : windowAround(part);
    window.last = quick ? part : std::min(split_.parts.size(), window.first + kPartsShown) - 1;
    window.row = row;
    window.below = below;
    const PagePart& first = split_.parts[window.first];
    window.rowBase = first.firstRow - first.reopenedRows;
    if (loading_ && quick) {  // a jump: the parts loading for where the user was are dropped
        loading_ = false;
        newSpare();
    } else if (loading_) {  // the newest wish waits for the load under way
        next_ = window;
        return;
    }
    next_.reset();
    const std::uint64_t begin = first.begin;
    const std::string html = PartsPage(
        split_, window.first, ReadPart(path_, begin, split_.parts[window.last].end - begin));
    loading_ = true;
    loadingWindow_ = std::move(window);
    static_cast<FixedPage*>(spare_->page())->ExpectContent();
    spare_->page()->setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())),
                            url_);
}

void TfrmReportView::windowLoaded(bool ok) {
    if (!ok) {
        loading_ = false;
        AppendErrorLog("TfrmReportView.show", "The engine did not load rows of the page", path_);
        loaded_ = true;  // loadedOk_ stays as it was: false for the first parts
        newSpare();
        return;
    }
    QWebEnginePage* page = spare_->page();
    if (loadingWindow_.row == 0 && loadingWindow_.below == 0) {
        // The page's top: shown at once, its rows measured once it is on screen.
        targetY_ = 0;
        swapIn();
        measure(page, -1, 0, [this, page](std::vector<int> tops, double widest, double) {
            if (page != WebBrowser1->page())
                return;
            rowTops_ = std::move(tops);
            showWidth(widest);
            scrolled(page, {shownX_, shownY_});
            // The parts below follow a moment later: a jump the user makes meanwhile need not
            // wait for them.
            QTimer::singleShot(250, this, [this, page] {
                if (WebBrowser1 && page == WebBrowser1->page() && !loading_ && last_ == first_ &&
                    first_ + 1 < split_.parts.size())
                    showRowAtShown();
            });
        });
        return;
    }
    const Window& window = loadingWindow_;
    measure(page, window.row - window.rowBase, window.below,
            [this, page](std::vector<int> tops, double widest, double y) {
                if (!spare_ || page != spare_->page() || !loading_)
                    return;  // the view was swapped meanwhile
                loadingWindow_.rowTops = std::move(tops);
                loadingWindow_.widest = widest;
                targetY_ = y;
                if (std::abs(page->scrollPosition().y() - targetY_) < 1) {
                    swapIn();
                    return;
                }
                // Swapped in when the scroll arrives (scrolled); at the latest after this.
                QTimer::singleShot(300, this, [this, page] {
                    if (loading_ && spare_ && page == spare_->page())
                        swapIn();
                });
            });
}

void TfrmReportView::measure(QWebEnginePage* page, int row, double below,
                             std::function<void(std::vector<int>, double, double)> then) {
    // Scrolls to the row (from the page's first <tr>), then measures the tops of the rows, how
    // far across the view can scroll and where it stands. Run apart from the page, whose own
    // scripts are off.
    static const QString kMeasure = QStringLiteral(
        "(function(i,b,x){var r=document.getElementsByTagName('tr'),t=[];"
        "for(var k=0;k<r.length;k++)t.push(Math.round(r[k].getBoundingClientRect().top+"
        "window.scrollY));"
        "if(i>=0)window.scrollTo(x,(i<t.length?t[i]:0)+b);"
        "var d=document.documentElement;t.push(Math.max(0,d.scrollWidth-window.innerWidth));"
        "t.push(window.scrollY);return t;})(%1,%2,%3)");
    page->runJavaScript(kMeasure.arg(row).arg(below).arg(shownX_),
                        QWebEngineScript::ApplicationWorld,
                        [this, then = std::move(then)](const QVariant& answer) {
                            if (!WebBrowser1 || !answer.isValid())
                                return;  // the window is closing
                            std::vector<int> tops;
                            for (const QVariant& top : answer.toList())
                                tops.push_back(top.toInt());
                            if (tops.size() < 2)
                                return;
                            const double y = tops.back();
                            tops.pop_back();
                            const double widest = tops.back();
                            tops.pop_back();
                            then(std::move(tops), widest, y);
                        });
}

void TfrmReportView::swapIn() {
    loading_ = false;
    std::swap(WebBrowser1, spare_);
    WebBrowser1->setObjectName("WebBrowser1");
    pages_->setCurrentWidget(WebBrowser1);
    newSpare();  // in place of the parts that were shown, with their engine process
    first_ = loadingWindow_.first;
    last_ = loadingWindow_.last;
    rowBase_ = loadingWindow_.rowBase;
    rowTops_ = std::move(loadingWindow_.rowTops);
    shownY_ = targetY_;
    showWidth(loadingWindow_.widest);
    {
        const QSignalBlocker quiet(PageBar);
        PageBar->setValue(rowAt(shownY_));
        if (rowTops_.size() > 1) {
            const double perRow = static_cast<double>(rowTops_.back() - rowTops_.front()) /
                                  static_cast<double>(rowTops_.size() - 1);
            if (perRow > 0)
                PageBar->setPageStep(std::max(1, static_cast<int>(WebBrowser1->height() / perRow)));
        }
    }
    loaded_ = loadedOk_ = true;
    if (next_) {
        const Window wish = *next_;
        next_.reset();
        showRowAt(wish.row, wish.below);
    } else {
        scrolled(WebBrowser1->page(), {shownX_, shownY_});
    }
}

void TfrmReportView::showWidth(double widest) {
    const QSignalBlocker quiet(PageWidthBar);
    PageWidthBar->setRange(0, static_cast<int>(widest));
    PageWidthBar->setPageStep(WebBrowser1->width());
    PageWidthBar->setValue(static_cast<int>(shownX_));
    PageWidthBar->setVisible(widest > 0);
}

void TfrmReportView::scrolled(QWebEnginePage* page, QPointF at) {
    if (!windowed())
        return;
    const double y = at.y();
    if (spare_ && page == spare_->page()) {
        if (loading_ && !loadingWindow_.rowTops.empty() && std::abs(y - targetY_) < 1)
            swapIn();
        return;
    }
    if (!loaded_ || rowTops_.empty())
        return;
    shownX_ = at.x();
    shownY_ = y;
    {
        const QSignalBlocker quiet(PageWidthBar);
        PageWidthBar->setValue(static_cast<int>(shownX_));
    }
    const int row = rowAt(y);
    {
        const QSignalBlocker quiet(PageBar);
        PageBar->setValue(row);
    }
    // The user has scrolled into the first or last part shown, or a jump showed one part only:
    // the parts around him are loaded.
    if (windowAround(partOfRow(row)) != first_)
        showRowAtShown();
}

void TfrmReportView::showRowAtShown() {
    const int row = rowAt(shownY_);
    const std::size_t index = static_cast<std::size_t>(row - rowBase_);
    showRowAt(row, shownY_ - (index < rowTops_.size() ? rowTops_[index] : 0));
}

void TfrmReportView::pageBarMoved(int row) {
    if (!loaded_ || !PageBar->isEnabled())
        return;
    const std::size_t index = static_cast<std::size_t>(row - rowBase_);
    if (windowAround(partOfRow(row)) == first_ && row >= rowBase_ && index < rowTops_.size()) {
        WebBrowser1->page()->runJavaScript(
            QStringLiteral("window.scrollTo(%1,%2)").arg(shownX_).arg(rowTops_[index]),
            QWebEngineScript::ApplicationWorld);
        return;
    }
    showRowAt(row, 0, true);
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
    if (!windowed())
        return printWhole(*WebBrowser1, printer, loaded_);
    // A large page is printed whole, from a view of its own that is never shown.
    const std::string refusal = PageRefusal(path_, PageFolders(), kLargestPage);
    if (!refusal.empty())
        throw std::runtime_error("The report cannot be printed: " + refusal + ".");
    const std::unique_ptr<QWebEngineView> whole(LockedView(profile_, nullptr));
    static_cast<FixedPage*>(whole->page())->Expect(url_);
    whole->load(url_);
    return printWhole(*whole, printer, false);
}

bool TfrmReportView::printWhole(QWebEngineView& view, QPrinter& printer, bool loaded) {
    QWebEnginePage* page = view.page();
    QEventLoop loop;
    bool printed = false;
    const auto finish = [&](bool ok) {
        printed = ok;
        loop.quit();
    };
    connect(page, &QWebEnginePage::renderProcessTerminated, &loop, [&] { finish(false); });
    if (!loaded) {
        bool loadedOk = false;
        connect(page, &QWebEnginePage::loadFinished, &loop, [&](bool ok) {
            loadedOk = ok;
            loop.quit();
        });
        loop.exec();
        if (!loadedOk)
            return false;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // Into a PDF file the engine writes the page itself, its text kept as text.
        connect(page, &QWebEnginePage::pdfPrintingFinished, &loop,
                [&](const QString&, bool ok) { finish(ok); });
        page->printToPdf(printer.outputFileName(), printer.pageLayout(), printer.pageRanges());
    } else {
        connect(&view, &QWebEngineView::printFinished, &loop, finish);
        view.print(&printer);
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
