// The report window: a page of HTML with buttons to print it, save its detail sections as a
// CSV file and file it with the report's customer as an e-mail document. The page is shown by
// the browser engine, locked down: no script, no plugin, nothing from outside the data folder
// and the document repository, no navigation away from the page, no download.
#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <optional>

#include <QPointF>
#include <QUrl>
#include <string>
#include <vector>

#include "platform/db/Query.h"
#include "reportserver/PageParts.h"
#include "widgets/FormDialog.h"

class QPrinter;
class QScrollBar;
class QStackedLayout;
class QToolBar;
class QToolButton;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

namespace zl::reportserver {

class ZLMReport;

// The largest page or picture the engine loads whole. Report 1 of a 10,000-line document is
// about 6 MB; the engine needs over a hundred times a page's size to lay it out.
constexpr std::uintmax_t kLargestPage = 32u * 1024 * 1024;
// The largest page the window shows, a few parts at a time: 2,000,000 rows of report 10.
constexpr std::uintmax_t kLargestWindowedPage = 512u * 1024 * 1024;

// A page larger than this is shown a few parts at a time (PageParts): the engine would take
// seconds and hundreds of megabytes over the whole of it, and paint nothing before it had
// parsed most of it.
constexpr std::uintmax_t kWindowedAbove = 512u * 1024;
// The size of one part: a few screens of rows. The engine is given three parts at a time.
constexpr std::size_t kPartBytes = 64u * 1024;
constexpr std::size_t kPartsShown = 3;
// The most the engine is given of a page as content (it takes content as a data: URL, of at
// most 2 MB encoded): a page with longer stretches between its row ends is given whole.
constexpr std::size_t kLargestContent = 1024u * 1024;
// The beginning of a large page whose parts are shown while the rest of the page is scanned.
constexpr std::size_t kFirstScanBytes = 1024u * 1024;

// The folders whose files the window loads: the per-user data folder and the document
// repository of the settings (when the settings are open).
std::vector<std::string> PageFolders();

// Why the window does not load the file at `path`, or "" when it does: only a regular file
// (a symbolic link counts as the file it points at) inside one of `folders`, of at most
// `largest` bytes.
std::string PageRefusal(const std::string& path, const std::vector<std::string>& folders,
                        std::uintmax_t largest = kLargestPage);

// Created and freed by its caller; shown modally by show or showFile.
class TfrmReportView : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmReportView(QWidget* owner = nullptr);
    ~TfrmReportView() override;

    // Shows the report's page modally; the e-mail button only for a report with a customer.
    // A file the window does not load is refused with a message, and the window is not shown.
    void show(ZLMReport& report, const std::string& path);
    // Shows any page modally, without CSV and e-mail (questionnaire printouts).
    void showFile(const std::string& path);
    using QDialog::show;

    // Whether the page (a large page: its first parts) has finished loading, and whether it
    // loaded.
    bool PageLoaded() const { return loaded_; }
    bool PageLoadedOk() const { return loadedOk_; }
    // A large page: the parts the engine shows, and the parts of the whole page (once the page's
    // scroll bar is enabled; before, of its beginning).
    std::size_t FirstPartShown() const { return first_; }
    std::size_t LastPartShown() const { return last_; }
    std::size_t Parts() const { return split_.parts.size(); }

    QToolBar* ToolBar1;
    QToolButton* btnPrint;
    QToolButton* btnCSV;
    QToolButton* btnSendEmail;
    QToolButton* btnClose;
    // The view on screen. A large page has two views: the other one loads the next parts and
    // takes its place once they are laid out where the user is.
    QWebEngineView* WebBrowser1;
    // A large page's scroll bar: over all its rows, not only the parts in the engine.
    QScrollBar* PageBar;
    // Its horizontal scroll bar, shown when the parts are wider than the view.
    QScrollBar* PageWidthBar;
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
    bool load(const std::string& path, const char* tag);
    bool refuse(const std::string& path, const std::string& refusal, const char* tag);
    bool printPage(QPrinter& printer);
    // Prints `view`'s page, waiting for its load unless it has `loaded`.
    bool printWhole(QWebEngineView& view, QPrinter& printer, bool loaded);
    std::string askCsvFileByDialog();

    bool windowed() const { return !split_.parts.empty(); }
    void showWindowed();
    // Gives the engine the whole page instead of its parts, when it may take it; whether it did.
    bool showWhole();
    // The whole page has been cut into its parts: the page's scroll bar spans all its rows.
    void scanned();
    // A large page: the parts around `row` (the page's own row index) loaded into the spare
    // view, which is scrolled to that row, `below` pixels down from its top, and swapped in.
    // Row 0 is the page's top. A `quick` show loads the row's part alone, and the parts around
    // it follow.
    void showRowAt(int row, double below, bool quick = false);
    // Scrolls `page` to its `row` (counted from its first <tr>; none when negative), `below`
    // pixels down from its top, and answers `then` with the tops of its rows, how far across it
    // scrolls and where it stands.
    void measure(QWebEnginePage* page, int row, double below,
                 std::function<void(std::vector<int>, double, double)> then);
    // The page's horizontal scroll bar, for a page `widest` pixels wider than the view.
    void showWidth(double widest);
    // The parts around the row at the top of the view, the view kept where it is.
    void showRowAtShown();
    std::size_t partOfRow(int row) const;
    // The first of the kPartsShown parts shown around `part`.
    std::size_t windowAround(std::size_t part) const;
    void newSpare();
    void windowLoaded(bool ok);
    void swapIn();
    void scrolled(QWebEnginePage* page, QPointF at);
    void pageBarMoved(int row);
    int rowAt(double y) const;

    QWebEngineProfile* profile_;
    QStackedLayout* pages_;
    // A large page: its parts, and the windows of parts on screen and loading.
    PageParts split_;
    std::future<PageParts> scan_;  // of the whole page, while its first parts are shown
    QWebEngineView* spare_ = nullptr;
    std::size_t first_ = 0, last_ = 0;
    int rowBase_ = 0;           // the page's row of the shown view's first <tr>
    std::vector<int> rowTops_;  // the shown view's rows, from its top (CSS pixels)
    struct Window {
        std::size_t first = 0, last = 0;
        int row = 0;
        double below = 0;
        double widest = 0;
        int rowBase = 0;
        std::vector<int> rowTops;
    };
    bool loading_ = false;
    Window loadingWindow_;
    std::optional<Window> next_;  // asked for while another loads
    double shownX_ = 0;
    double shownY_ = 0;
    double targetY_ = 0;  // where the loading view is scrolled to
    ZLMReport* report_ = nullptr;
    std::string path_;
    QUrl url_;
    bool loaded_ = false;
    bool loadedOk_ = false;
};

}  // namespace zl::reportserver
