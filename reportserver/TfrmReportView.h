// The report window: a page of HTML with buttons to print it, save its detail sections as a
// CSV file and file it with the report's customer as an e-mail document. The page is shown by
// the browser engine, locked down: no script, no plugin, nothing from outside the data folder
// and the document repository, no navigation away from the page, no download.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Query.h"
#include "widgets/FormDialog.h"

class QPrinter;
class QStackedLayout;
class QToolBar;
class QUrl;
class QToolButton;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

namespace zl::reportserver {

class ZLMReport;

// The largest page or picture the window loads. Report 1 of a 10,000-line document is about
// 6 MB; a file many times that size is no report the server wrote.
constexpr std::uintmax_t kLargestPage = 32u * 1024 * 1024;

// A page larger than this shows its first screen at once: the engine takes seconds over a page
// of megabytes and paints nothing before it has parsed most of it.
constexpr std::uintmax_t kFirstScreenAbove = 512u * 1024;
// How much of the page's beginning makes that first screen: rows enough for any window.
constexpr std::size_t kFirstScreenBytes = 128u * 1024;

// The beginning of `page` to show as its first screen: at most kFirstScreenBytes, ending after
// the last complete table row or, without one, after the last complete tag, so that no row, tag
// or character is shown cut.
std::string FirstScreenOf(std::string_view page);

// The folders whose files the window loads: the per-user data folder and the document
// repository of the settings (when the settings are open).
std::vector<std::string> PageFolders();

// Why the window does not load the file at `path`, or "" when it does: only a regular file
// (a symbolic link counts as the file it points at) inside one of `folders`, of at most
// kLargestPage bytes.
std::string PageRefusal(const std::string& path, const std::vector<std::string>& folders);

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

    // Whether the page has finished loading, and whether it loaded.
    bool PageLoaded() const { return loaded_; }
    bool PageLoadedOk() const { return loadedOk_; }

    QToolBar* ToolBar1;
    QToolButton* btnPrint;
    QToolButton* btnCSV;
    QToolButton* btnSendEmail;
    QToolButton* btnClose;
    QWebEngineView* WebBrowser1;
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
    void showFirstScreen(const std::string& path, const QUrl& url);
    void dropFirstScreen();
    bool printPage(QPrinter& printer);
    std::string askCsvFileByDialog();

    QWebEngineProfile* profile_;
    QWebEnginePage* page_;
    // Over the page while a large page loads: its first screen, shown by a second engine page.
    QWebEngineView* firstScreen_ = nullptr;
    QStackedLayout* pages_;
    ZLMReport* report_ = nullptr;
    std::string path_;
    bool loaded_ = false;
    bool loadedOk_ = false;
};

}  // namespace zl::reportserver
