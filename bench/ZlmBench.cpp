// zlm-bench: what the program costs over plain SQLite on a large main database. It fills a
// temporary main file with N customers and their documents (bench/BenchData), then measures
// each row several times, alternating the program's way with the raw SQLite read of the same
// statements, and prints both as min and median with the row's target: login to both hub
// windows usable, the inquiry window's refresh (the longest time its thread is blocked), a
// document dialog closed from that window, the first screens of the customer list and of the
// inquiry window's documents in their order, reports 10 and 1 written and shown, and one record
// opened by its key.
#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "bench/BenchData.h"
#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/Globals.h"
#include "data/DeliveredFiles.h"
#include "frames/TBrowseFrame.h"
#include "platform/db/BackgroundRead.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "reportserver/TfrmReportView.h"
#include "reportserver/ZLMReport.h"
#include "screens/TfrmCustomer.h"
#include "screens/TfrmInquiry.h"
#include "setup/Installer.h"
#include "shell/TfrmMain.h"
#include "widgets/DBGrid.h"
#include "widgets/ListFill.h"
#include "widgets/QtPlatform.h"

namespace {

using Clock = std::chrono::steady_clock;

// Keeps the reads from being optimised away.
volatile size_t sink = 0;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

// Document lines in one statement: a recursive count feeds INSERT ... SELECT; `perDocument`
// lines go to each document from `firstDocument` on.
void FillDocumentLines(const std::string& path, int count, int firstKey, int firstDocument,
                       int perDocument) {
    sqlite3* db = nullptr;
    Check(sqlite3_open(path.c_str(), &db), db, "open");
    const std::string sql =
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " +
        std::to_string(count) +
        ") "
        "INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, component_id, "
        "service_id, assembly_id, doc_item_billtype, doc_item_descr, doc_item_rate, doc_item_qty, "
        "doc_item_tax, doc_item_discount, doc_item_total, doc_item_date, doc_item_time) "
        "SELECT " +
        std::to_string(firstKey) + " + i, " + std::to_string(firstDocument) + " + i / " +
        std::to_string(perDocument) +
        ", 24, 0, 0, 0, 0, 1, 'Line ' || i, 12.5, 2, 15, 0, 28.75, "
        "'2024-03-05 00:00:00', '09:00' FROM n";
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db, "insert lines");
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// The file opened once through the raw SQLite API, as the program's connection is.
class RawFile {
  public:
    // `cachedAsTheProgram`: with the page cache the program's connections use (and, as they do,
    // no memory-mapped reads), so that a read over many pages compares like with like.
    explicit RawFile(const std::string& path, bool cachedAsTheProgram = false) {
        Check(sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr), db_, "open");
        if (cachedAsTheProgram)
            Check(sqlite3_exec(db_, "PRAGMA cache_size=-65536; PRAGMA mmap_size=0", nullptr,
                               nullptr, nullptr),
                  db_, "cache");
    }
    ~RawFile() { sqlite3_close(db_); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // The time of reading one row by its key: prepare, bind, step, every column read,
    // finalise, as the dataset layer does for one record on its open connection.
    double ReadOne(const std::string& table, int key) {
        const auto start = Clock::now();
        const std::string sql = "select * from " + table + " where " + table + "_id=?";
        sqlite3_stmt* stmt = nullptr;
        Check(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), db_, "prepare");
        sqlite3_bind_int(stmt, 1, key);
        size_t rows = 0, bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, c));
            ++rows;
        }
        sqlite3_finalize(stmt);
        const double took = Seconds(start);
        sink = bytes;
        if (rows != 1)
            throw std::runtime_error("raw SQLite did not find " + table + " " +
                                     std::to_string(key));
        return took;
    }

    // The time of reading every row of a statement, every column.
    double ReadAll(const std::string& sql) {
        const auto start = Clock::now();
        sqlite3_stmt* stmt = nullptr;
        Check(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), db_, "prepare");
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, c));
        sqlite3_finalize(stmt);
        sink = bytes;
        return Seconds(start);
    }

    static void Exec(const std::string& path, const std::string& sql) {
        sqlite3* db = nullptr;
        Check(sqlite3_open(path.c_str(), &db), db, "open");
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        const std::string error = sqlite3_errmsg(db);
        sqlite3_close(db);
        if (rc != SQLITE_OK)
            throw std::runtime_error(error);
    }

  private:
    sqlite3* db_ = nullptr;
};

// The program's data module on the bench's files: the main file, and the meta and local files
// created from the delivered scripts; the entity metadata; the delivered user and business
// unit; pages allowed from the folder.
struct ConnectedDataModule {
    ConnectedDataModule(const std::string& folder, const std::string& path) {
        for (const char* name : {"zlm_meta", "zlmlocal"})
            zl::setup::CreateDatabase(folder + "/" + name + ".dat",
                                      *zl::data::DeliveredFile(std::string(name) + ".sql"));
        zl::DataMod = &dataModule;
        dataModule.Connect(dataModule.zlmConn, dataModule.BuildConnectionString(path));
        dataModule.Connect(dataModule.repConn,
                           dataModule.BuildConnectionString(folder + "/zlm_meta.dat"));
        dataModule.Connect(dataModule.localConn,
                           dataModule.BuildConnectionString(folder + "/zlmlocal.dat"));
        if (!dataModule.openQuery(dataModule.localConn, dataModule.qConfig, "zlm-bench",
                                  "select * from config") ||
            !dataModule.openQuery(dataModule.repConn, dataModule.qSynonym, "zlm-bench",
                                  "select * from synonym"))
            throw std::runtime_error("the report databases could not be opened");
        // The report window loads pages of the data folder and the document repository only.
        dataModule.qConfig.Edit();
        dataModule.qConfig.FieldByName("config_docrepository").SetAsString(folder + "/");
        dataModule.qConfig.Post();
        dimensions = std::make_unique<zl::DimCollection>();
        zl::Dimensions = dimensions.get();
        zl::CurUserId = 2;
        zl::CurBusUnitId = 3;
    }
    ~ConnectedDataModule() {
        zl::Dimensions = nullptr;
        dimensions.reset();
        zl::DataMod = nullptr;
    }
    ConnectedDataModule(const ConnectedDataModule&) = delete;
    ConnectedDataModule& operator=(const ConnectedDataModule&) = delete;

    zl::TDataMod dataModule;
    std::unique_ptr<zl::DimCollection> dimensions;
};

// A kind in edit mode on one record for as long as its dialog would be open.
class EditingRecord {
  public:
    EditingRecord(zl::DimensionTable& kind, int key) : kind_(kind) {
        kind_.SetEditMode(zl::DimensionTable::EditRecord);
        kind_.SetRecordId(key);
    }
    ~EditingRecord() { kind_.SetEditMode(zl::DimensionTable::None); }
    EditingRecord(const EditingRecord&) = delete;
    EditingRecord& operator=(const EditingRecord&) = delete;

  private:
    zl::DimensionTable& kind_;
};

// The customer dialog's controller opening one customer to edit: the add/edit controller in
// edit mode on dimension 1, on a dialog of its own. Returns the time it took.
double OpenCustomerAsTheDialogDoes(int key) {
    zl::DimensionTable* customers = zl::Dimensions->Find(1);
    if (!customers)
        throw std::runtime_error("the database has no customer kind");
    QDialog dialog;
    zl::widgets::WidgetDialog adapter(dialog);
    zl::db::Query qEdit;
    const EditingRecord editing(*customers, key);
    const auto start = Clock::now();
    const zl::EditForm controller(adapter, *customers, qEdit);
    const double took = Seconds(start);
    if (!qEdit.Editing() || qEdit.FieldByName("entity_id").AsInteger() != key)
        throw std::runtime_error("the customer dialog's controller did not open customer " +
                                 std::to_string(key));
    return took;
}

// The line dialog opening one document line by its key.
double OpenLineAsTheDialogDoes(int key) {
    zl::db::Query qEdit;
    const auto start = Clock::now();
    if (!zl::DataMod->OpenById(qEdit, "doc_item", key, "TfrmBillItem.Timer1Timer"))
        throw std::runtime_error("the line could not be opened");
    const double took = Seconds(start);
    if (qEdit.RecordCount() != 1 || qEdit.FieldByName("doc_item_id").AsInteger() != key)
        throw std::runtime_error("the line dialog's query did not find line " +
                                 std::to_string(key));
    return took;
}

// Whether the rows y0 to y1 of a picture hold a dark pixel: text drawn on the white page.
bool HasInk(const QImage& picture, int y0, int y1) {
    for (int y = y0; y < y1; y += 2)
        for (int x = 0; x < picture.width(); x += 2)
            if (qGray(picture.pixel(x, y)) < 128)
                return true;
    return false;
}

// Whether the window shows a full first screen of the page: text at its top and in its
// bottom quarter.
bool FirstScreenPainted(QWidget& page) {
    const QImage picture = page.grab().toImage();
    const int h = picture.height();
    return h > 0 && HasInk(picture, 0, h / 4) && HasInk(picture, 3 * h / 4, h);
}

// A figure of /proc/<pid>/status in MB ("VmRSS", "VmHWM"); 0 when it cannot be read.
long StatusMegabytes(long long pid, const std::string& item) {
    std::ifstream status("/proc/" + (pid ? std::to_string(pid) : "self") + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(item + ":", 0) == 0)
            return std::atol(line.c_str() + item.size() + 1) / 1024;
    return 0;
}

// The times of one row, the program's and the raw read's, taken in turn.
struct Times {
    std::vector<double> ours, raw;
};

double Min(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs the raw read and the program's way in turn, `runs` times each.
template <class Ours, class Raw>
Times Alternate(int runs, Ours&& ours, Raw&& raw) {
    Times times;
    for (int i = 0; i < runs; ++i) {
        times.raw.push_back(raw());
        times.ours.push_back(ours());
    }
    return times;
}

const char* Mark(bool met) {
    return met ? "met" : "not met";
}

void PrintRow(const std::string& what, const std::vector<double>& ours,
              const std::vector<double>& raw, const std::string& target, bool met) {
    std::printf(
        "%s: min %.1f ms, median %.1f ms (raw SQLite min %.1f ms, median %.1f ms; ratio of "
        "medians %.2f)",
        what.c_str(), 1000 * Min(ours), 1000 * Median(ours), 1000 * Min(raw), 1000 * Median(raw),
        Median(raw) > 0 ? Median(ours) / Median(raw) : 0.0);
    if (!target.empty())
        std::printf("; target %s: %s", target.c_str(), Mark(met));
    std::printf("\n");
    std::fflush(stdout);
}

// Pings the event loop every 5 ms and keeps the longest gap between two pings: the longest
// time the window's thread was blocked since Start.
class Pinger {
  public:
    Pinger() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(5);
        timer_.callOnTimeout([this] { Ping(); });
    }
    void Start() {
        last_ = Clock::now();
        longest_ = 0;
        timer_.start();
    }
    double Longest() {
        Ping();
        return longest_;
    }

  private:
    void Ping() {
        const auto now = Clock::now();
        longest_ = std::max(longest_, std::chrono::duration<double>(now - last_).count());
        last_ = now;
    }
    QTimer timer_;
    Clock::time_point last_ = Clock::now();
    double longest_ = 0;
};

// Runs the event loop until `done` or for at most `seconds`.
template <class Done>
bool RunEvents(double seconds, Done&& done) {
    const auto start = Clock::now();
    while (!done()) {
        if (Seconds(start) > seconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void RunEventsFor(double seconds) {
    RunEvents(seconds, [] { return false; });
}

// Whether the list shows its first screen: rows in its visible grid.
bool ShowsRows(const zl::TBrowseFrame* frame) {
    return frame && frame->grdBrowse->isVisible() && frame->grdBrowse->model()->rowCount() > 0;
}

// Waits for the first screen of each list and paints the window; raises after a minute.
void WaitFirstScreens(QWidget& window, const std::vector<const zl::TBrowseFrame*>& lists) {
    if (!RunEvents(60, [&] {
            return std::all_of(lists.begin(), lists.end(),
                               [](const zl::TBrowseFrame* f) { return ShowsRows(f); });
        }))
        throw std::runtime_error("a list showed no rows within a minute");
    sink = static_cast<size_t>(window.grab().width());
}

// The statements the grids of these windows read.
std::vector<std::string> GridStatements(const std::vector<QWidget*>& windows) {
    std::vector<std::string> statements;
    for (QWidget* window : windows)
        for (const auto* grid : window->findChildren<zl::widgets::DBGrid*>())
            if (grid->DataSet() && grid->DataSet()->Active())
                statements.push_back(grid->DataSet()->SQL());
    return statements;
}

double ReadAllOf(RawFile& raw, const std::vector<std::string>& statements) {
    double took = 0;
    for (const std::string& sql : statements)
        took += raw.ReadAll(sql);
    return took;
}

// Login's OK to the main window usable: the inquiry and customer windows opened as after the
// login, until both lists show their first screen.
void BenchLogin(RawFile& raw, int runs) {
    std::vector<std::string> statements;
    std::vector<double> blocked;
    auto ours = [&] {
        zl::TfrmMain main;
        main.Timer1->stop();
        main.resize(1200, 800);
        main.show();
        RunEventsFor(0.05);
        Pinger pinger;
        pinger.Start();
        const auto start = Clock::now();
        main.InquiryExecute();
        main.CustomersExecute();
        main.popBU();
        auto* customers = qobject_cast<zl::TfrmCustomer*>(main.frmCustomer.data());
        auto* inquiries = qobject_cast<zl::TfrmInquiry*>(main.frmInquiry.data());
        if (!customers || !inquiries)
            throw std::runtime_error("the hub windows did not open");
        WaitFirstScreens(main, {customers->customerFrame, inquiries->inquiryFrame});
        const double shown = Seconds(start);
        blocked.push_back(pinger.Longest());
        if (statements.empty())
            statements = GridStatements({customers, inquiries});
        return shown;
    };
    ours();  // the statements, and a warm cache for both
    const Times t = Alternate(runs, ours, [&] { return ReadAllOf(raw, statements); });
    PrintRow("login to both hubs usable (first screen of both lists)", t.ours, t.raw,
             "within 0.5 s", Median(t.ours) <= 0.5);
    std::printf("  longest block of the window's thread meanwhile: min %.3f s, median %.3f s\n",
                Min(blocked), Median(blocked));
}

// The customer list read again after the user chooses another order: the longest time the
// window's thread is blocked from the choice until the rows are shown.
void BenchOrderChosen(RawFile& raw, int runs) {
    QWidget window;
    window.resize(1000, 700);
    auto* frame = new zl::TBrowseFrame(&window);
    frame->resize(1000, 700);
    window.show();
    frame->bindDimension(zl::Dimensions->Find(1), nullptr, true);
    if (!RunEvents(60, [&] { return !frame->Filling() && frame->cbOrder->count() > 1; }))
        throw std::runtime_error("the customer list was not filled");
    int entry = 0;
    auto ours = [&] {
        entry = 1 - entry;
        bool asked = false;
        Pinger pinger;
        pinger.Start();
        QTimer::singleShot(0, frame, [&] {
            frame->cbOrder->setCurrentIndex(entry);
            emit frame->cbOrder->activated(entry);
            asked = true;
        });
        if (!RunEvents(60, [&] { return asked && !frame->Filling(); }))
            throw std::runtime_error("the customer list was not read again");
        RunEventsFor(0.02);  // painted
        return pinger.Longest();
    };
    const Times t = Alternate(runs, ours, [&] { return raw.ReadAll(frame->qBrowse.SQL()); });
    PrintRow("customer list, another order chosen: longest block", t.ours, t.raw,
             "never over 100 ms", Median(t.ours) <= 0.1);
}

// Whether a row of the grid shows `text` in the column titled `column`.
bool GridShows(const zl::widgets::DBGrid& grid, const QString& column, const QString& text) {
    const QAbstractItemModel& model = *grid.model();
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal).toString() == column)
            for (int r = 0; r < model.rowCount(); ++r)
                if (model.index(r, c).data().toString() == text)
                    return true;
    return false;
}

// The inquiry window's refresh: nothing changed, then one document changed by another
// connection; and a document dialog opened from the window and closed. Each measured as the
// longest time the window's thread is blocked.
void BenchInquiryWindow(RawFile& raw, const std::string& path, int firstDocument, int runs) {
    zl::TfrmInquiry inquiry;
    inquiry.setCollection(zl::Dimensions);
    inquiry.resize(1000, 700);
    inquiry.show();
    // The documents' tab, as a user watching them has it.
    inquiry.PageControl1->setCurrentWidget(inquiry.documentsTab);
    inquiry.Timer1->stop();
    if (!RunEvents(60, [&] { return inquiry.grdQOI->model()->rowCount() > 0; }))
        throw std::runtime_error("the inquiry window showed no documents");
    const std::vector<std::string> statements = GridStatements({&inquiry});
    const double rawMedian = Median([&] {
        std::vector<double> v;
        for (int i = 0; i < 3; ++i)
            v.push_back(ReadAllOf(raw, statements));
        return v;
    }());
    // Long enough for a re-read on another thread to arrive and be handed over.
    const double settle = std::max(0.3, 3 * rawMedian);

    auto refresh = [&] {
        Pinger pinger;
        pinger.Start();
        QTimer::singleShot(0, &inquiry, [&inquiry] { inquiry.Timer1Timer(); });
        RunEventsFor(settle);
        return pinger.Longest();
    };
    const Times same = Alternate(runs, refresh, [&] { return ReadAllOf(raw, statements); });
    PrintRow("inquiry window's refresh, nothing changed: longest block", same.ours, same.raw,
             "never over 100 ms", Median(same.ours) <= 0.1 && Min(same.ours) <= 0.1);
    int change = 0, shown = 0;
    const Times changed = Alternate(
        runs,
        [&] {
            const QString text = "Changed " + QString::number(++change);
            RawFile::Exec(path, "update zlm_doc set zlm_doc_descr='" + text.toStdString() +
                                    "' where zlm_doc_id=" + std::to_string(firstDocument + 3));
            const double blocked = refresh();
            shown += GridShows(*inquiry.grdQOI, "Description", text) ? 1 : 0;
            return blocked;
        },
        [&] { return ReadAllOf(raw, statements); });
    PrintRow("inquiry window's refresh after one change: longest block", changed.ours, changed.raw,
             "never over 100 ms", Median(changed.ours) <= 0.1);
    std::printf("  the change shown after %d of %d refreshes\n", shown, runs);

    // A document dialog opened from the window and closed at once.
    auto dialogClosed = [&] {
        Pinger pinger;
        bool closed = false, returned = false;
        QTimer closer;
        closer.callOnTimeout([&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                if (!closed)
                    pinger.Start();
                closed = true;
                dialog->reject();
            }
        });
        closer.start(20);
        QTimer::singleShot(0, &inquiry, [&] {
            inquiry.btnEditClick();
            returned = true;
        });
        if (!RunEvents(60, [&] { return returned; }))
            throw std::runtime_error("the document dialog did not close");
        closer.stop();
        RunEventsFor(settle);
        if (!closed)
            throw std::runtime_error("no document dialog opened");
        return pinger.Longest();
    };
    const Times dialog = Alternate(runs, dialogClosed, [&] { return ReadAllOf(raw, statements); });
    PrintRow("document dialog closed from the inquiry window: longest block", dialog.ours,
             dialog.raw, "never over 100 ms", Median(dialog.ours) <= 0.1);
}

// The raw read of a list's first screen in its order: its first rows by the statement the list
// reads them with.
double ReadFirstScreen(RawFile& raw, const std::string& sql) {
    return raw.ReadAll(zl::db::FirstRowsSql(sql, zl::widgets::ListFill::kFirstScreen));
}

void PrintWithinRawRead(const std::string& what, const Times& t) {
    PrintRow(what, t.ours, t.raw, "within 1.5x the raw read of that screen",
             Median(t.ours) <= 1.5 * Median(t.raw));
}

// Writes over more memory than the processor caches hold, so that the next read finds the pages
// of its SQLite cache in memory but none of them in a processor cache: a read repeated on one
// thread would otherwise find them there, which no list's first read does.
void EvictProcessorCaches() {
    static std::vector<char> sweep(64 << 20);
    for (size_t i = 0; i < sweep.size(); i += 64)
        ++sweep[i];
    sink = static_cast<size_t>(sweep[sweep.size() / 2]);
}

// The time from the start of a list's worker read of `sql`, as a list starts it (a reader of
// its own, taken from the connection's spares), until its first screen of rows can be handed
// over.
double ReadFirstScreenOnAWorker(const std::string& sql) {
    zl::db::BackgroundRead read;
    std::atomic<bool> ready = false;
    std::atomic<Clock::time_point> readyAt = Clock::now();
    const auto start = Clock::now();
    if (!read.Start(
            zl::DataMod->zlmConn, sql, {},
            [&] {
                if (!ready)
                    readyAt = Clock::now();
                ready = true;
            },
            zl::widgets::ListFill::kFirstScreen))
        throw std::runtime_error("the read did not start");
    while (!ready)
        std::this_thread::yield();
    const double took = std::chrono::duration<double>(readyAt.load() - start).count();
    read.Cancel();
    return took;
}

// The customer list's first screen in its order: the customers' list frame bound to its kind as
// the customers window binds it, and shown.
void BenchCustomerList(RawFile& raw, int runs) {
    std::string sql;
    std::vector<double> blocked, all;
    auto ours = [&] {
        QWidget window;
        window.resize(1000, 700);
        auto* frame = new zl::TBrowseFrame(&window);
        frame->resize(1000, 700);
        window.show();
        RunEventsFor(0.02);
        Pinger pinger;
        pinger.Start();
        const auto start = Clock::now();
        // As the customers window binds it: rows read while the window stays usable.
        frame->bindDimension(zl::Dimensions->Find(1), nullptr, true);
        WaitFirstScreens(window, {frame});
        const double took = Seconds(start);
        // The rest of the rows, handed over while the list is shown.
        if (!RunEvents(60, [&] { return !frame->Filling(); }))
            throw std::runtime_error("the list did not take all its rows within a minute");
        all.push_back(Seconds(start));
        blocked.push_back(pinger.Longest());
        sql = frame->qBrowse.SQL();
        return took;
    };
    ours();
    blocked.clear();
    all.clear();
    const Times t = Alternate(runs, ours, [&] { return ReadFirstScreen(raw, sql); });
    PrintRow("customer list, first screen in its order", t.ours, t.raw, "150 ms",
             Median(t.ours) <= 0.15);
    // Its read alone: the window's building and painting its grid take longer than this read.
    // A read of a millisecond swings with what the processor caches hold: each is measured
    // with none of its pages there, and more often.
    PrintWithinRawRead("customer list, its first screen read on the list's worker",
                       Alternate(
                           15,
                           [&] {
                               EvictProcessorCaches();
                               return ReadFirstScreenOnAWorker(sql);
                           },
                           [&] {
                               EvictProcessorCaches();
                               return ReadFirstScreen(raw, sql);
                           }));
    std::vector<double> whole;
    for (int i = 0; i < runs; ++i)
        whole.push_back(raw.ReadAll(sql));
    std::printf(
        "  all rows handed over: min %.1f ms, median %.1f ms (raw read of all rows: median %.1f "
        "ms); longest block of the window's thread until then: min %.1f ms, median %.1f ms\n",
        1000 * Min(all), 1000 * Median(all), 1000 * Median(whole), 1000 * Min(blocked),
        1000 * Median(blocked));
    std::fflush(stdout);
}

// The inquiry window's documents tab, from the moment it is first shown to its first screen of
// documents in the order its combos show.
void BenchDocumentsTab(RawFile& raw, int runs) {
    std::string sql;
    std::vector<double> all;
    auto ours = [&] {
        zl::TfrmInquiry inquiry;
        inquiry.Timer1->stop();
        inquiry.setCollection(zl::Dimensions);
        inquiry.resize(1000, 700);
        inquiry.show();
        if (!RunEvents(60, [&] { return !inquiry.Filling(); }))
            throw std::runtime_error("the inquiry list was not filled");
        const auto start = Clock::now();
        inquiry.PageControl1->setCurrentWidget(inquiry.documentsTab);
        if (!RunEvents(60, [&] { return inquiry.grdQOI->model()->rowCount() > 0; }))
            throw std::runtime_error("the inquiry window showed no documents");
        sink = static_cast<size_t>(inquiry.grab().width());
        const double took = Seconds(start);
        if (!RunEvents(60, [&] { return !inquiry.Filling(); }))
            throw std::runtime_error("the documents did not all arrive within a minute");
        all.push_back(Seconds(start));
        sql = inquiry.qQOI.SQL();
        return took;
    };
    ours();
    all.clear();
    const Times t = Alternate(runs, ours, [&] { return ReadFirstScreen(raw, sql); });
    PrintWithinRawRead("documents tab, first screen in its order", t);
    std::printf("  all documents handed over: min %.1f ms, median %.1f ms\n", 1000 * Min(all),
                1000 * Median(all));
    std::fflush(stdout);
}

// The page's file reserved empty, as the program's new repository paths are.
void Reserve(const std::string& page) {
    std::filesystem::remove(page);
    std::ofstream{page};
}

struct Shown {
    double painted = -1;  // from the call to the first screen painted in the window
    double usable =
        -1;  // from the call to the first screen painted and the scroll bar over all rows
    double loaded = -1;  // from the call to the page's last row on screen
    long programMb = 0;  // resident while the report is open
    long pageMb = 0;     // the engine's processes that lay the page out, at their peak
};

// The peak of the engine's processes that show the window's page (a large page has two views).
long EngineMegabytes(zl::reportserver::TfrmReportView& view) {
    long most = 0;
    for (const QWebEngineView* engine : view.findChildren<QWebEngineView*>()) {
        if (const qint64 pid = engine->page()->renderProcessPid())  // 0: none started yet
            most = std::max(most, StatusMegabytes(pid, "VmHWM"));
    }
    return most;
}

// Runs a report as ShowReport does: written, then shown in a new report window, where the
// page's scroll bar is then dragged to its end as a user would to see the last row.
Shown ShowReportUntilPainted(int reportId, int key, const std::string& page) {
    zl::reportserver::ZLMReport report;
    Shown shown;
    Reserve(page);
    const auto start = Clock::now();
    QTimer watch;
    bool toTheEnd = false;
    watch.callOnTimeout([&] {
        auto* view =
            qobject_cast<zl::reportserver::TfrmReportView*>(QApplication::activeModalWidget());
        if (!view)
            return;
        // What the window shows: the page, or its first parts.
        if (shown.painted < 0 && FirstScreenPainted(*view->WebBrowser1->parentWidget()))
            shown.painted = Seconds(start);
        if (!view->PageLoaded() || shown.painted < 0 || !view->PageBar->isEnabled()) {
            if (Seconds(start) > 120)
                view->close();
            return;
        }
        if (shown.usable < 0)
            shown.usable = Seconds(start);
        if (view->Parts() > 0 && !toTheEnd) {
            view->PageBar->setValue(view->PageBar->maximum());
            toTheEnd = true;
        }
        if (view->Parts() == 0 || view->LastPartShown() + 1 == view->Parts()) {
            shown.loaded = Seconds(start);
            shown.programMb = StatusMegabytes(0, "VmRSS");
            shown.pageMb = EngineMegabytes(*view);
            view->close();
        }
    });
    watch.start(10);
    report.Run(reportId, 3, 2, key, page);
    if (shown.loaded < 0)
        throw std::runtime_error("the report window did not show the page within two minutes");
    return shown;
}

// The report written to HTML through the report engine, as Run writes it.
double WriteReport(int reportId, int key, const std::string& page) {
    zl::reportserver::ZLMReport report;
    report.busUnitId = 3;
    report.userId = 2;
    report.reportKey = key;
    Reserve(page);
    const auto start = Clock::now();
    if (!report.createHTML(page))
        throw std::runtime_error("the page could not be created");
    report.Populate(reportId);
    report.Generate();
    report.closeHTML();
    return Seconds(start);
}

// A report written and shown against the raw read of its rows (report 10, orders by customer).
void BenchReport(RawFile& raw, const std::string& folder, int reportId, int key,
                 const std::string& rows, const std::string& what, int runs) {
    const std::string page = folder + "/rep" + std::to_string(reportId) + ".html";
    auto readRows = [&] { return raw.ReadAll(rows); };
    const Times written = Alternate(
        runs, [&] { return WriteReport(reportId, key, page); }, readRows);
    const auto size = std::filesystem::file_size(page);
    PrintRow(what + ", written to HTML (" + std::to_string(size / 1024) + " KB)", written.ours,
             written.raw, "within 2x the raw read",
             Median(written.ours) <= 2 * Median(written.raw));
    const Shown cold = ShowReportUntilPainted(reportId, key, page);  // the first show
    std::vector<Shown> shown;
    const Times painted = Alternate(
        runs,
        [&] {
            shown.push_back(ShowReportUntilPainted(reportId, key, page));
            return shown.back().painted;
        },
        readRows);
    std::vector<double> loaded;
    for (const Shown& s : shown)
        loaded.push_back(s.loaded);
    const bool withinTwice = Median(painted.ours) <= 2 * Median(painted.raw);
    PrintRow(what + ", command to first screen shown (engine warm; first show " +
                 std::to_string(cold.painted).substr(0, 5) + " s)",
             painted.ours, painted.raw, "within 2x the raw read", withinTwice);
    PrintRow(
        what + ", command to the page's last row on screen (its scroll bar dragged to the end)",
        loaded, painted.raw, "no longer than writing it",
        Median(loaded) - Median(written.ours) <= Median(written.ours));
    std::printf(
        "  memory with the page open: program %ld MB, the engine's page process %ld MB at its "
        "peak (%.0fx the page of %ju KB)\n",
        cold.programMb, cold.pageMb,
        size ? static_cast<double>(cold.pageMb) * 1048576 / static_cast<double>(size) : 0.0,
        static_cast<std::uintmax_t>(size / 1024));
    std::fflush(stdout);
}

// A page of `lines` rows (report 1 of one quotation): written against shown to its last row.
void BenchBigPage(RawFile& raw, const std::string& folder, const std::string& path, int lines,
                  int runs) {
    const int kDocument = 1800000000 + 2 * lines;
    RawFile::Exec(path,
                  "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, "
                  "zlm_doc_ref, zlm_doc_date) values (" +
                      std::to_string(kDocument) + ", 6, 5, 3, 'Q-BENCH', '2026-01-10 00:00:00')");
    FillDocumentLines(path, lines, kDocument + 1, kDocument, lines);
    const std::string page = folder + "/big.html";
    auto readRows = [&] {
        return raw.ReadAll("select * from repDocLines where zlm_doc_id=" +
                           std::to_string(kDocument));
    };
    const Times written = Alternate(
        runs, [&] { return WriteReport(1, kDocument, page); }, readRows);
    // The first show in a run starts the engine, unless report 10 has started it already.
    const Shown first = ShowReportUntilPainted(1, kDocument, page);
    std::vector<Shown> shown;
    for (int i = 0; i < runs; ++i)
        shown.push_back(ShowReportUntilPainted(1, kDocument, page));
    std::vector<double> loaded, painted, usable;
    for (const Shown& s : shown) {
        loaded.push_back(s.loaded);
        painted.push_back(s.painted);
        usable.push_back(s.usable);
    }
    const auto size = std::filesystem::file_size(page);
    const std::string what = "page of " + std::to_string(lines) + " rows (report 1)";
    PrintRow(what + ", written", written.ours, written.raw, "within 2x the raw read",
             Median(written.ours) <= 2 * Median(written.raw));
    PrintRow(what + ", ShowReport to the first screen painted (engine warm; first show " +
                 std::to_string(first.painted).substr(0, 5) + " s)",
             painted, written.raw, "within 1 s", Median(painted) <= 1);
    std::printf(
        "  command to the page usable to its last row (first screen painted, its scroll bar over "
        "all rows): min %.3f s, median %.3f s; target shown (command less written) no longer "
        "than writing it: %s\n",
        Min(usable), Median(usable),
        Mark(Median(usable) - Median(written.ours) <= Median(written.ours)));
    std::printf(
        "  command to its last row on screen (its scroll bar dragged to the end): min %.3f s, "
        "median %.3f s; written median %.3f s; target shown (command less written) no longer "
        "than writing it: %s\n",
        Min(loaded), Median(loaded), Median(written.ours),
        Mark(Median(loaded) - Median(written.ours) <= Median(written.ours)));
    long pageMb = 0;
    for (const Shown& s : shown)
        pageMb = std::max(pageMb, s.pageMb);
    std::printf(
        "  memory: page %ju MB; the engine's page process %ld MB at its peak (%.1fx the "
        "page); program %ld MB\n",
        static_cast<std::uintmax_t>(size >> 20), pageMb,
        size ? static_cast<double>(pageMb) / static_cast<double>(size >> 20) : 0.0,
        shown.back().programMb);
    std::fflush(stdout);
}

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

// A save on the window's connection while a worker reads the inquiry window's documents, as
// another workstation saves while this one refreshes: with the rollback journal of a shared
// file the save waits for the read to end. Against the same save with nothing reading.
void BenchSaveDuringRead(int firstDocument, int runs) {
    zl::TDataMod& dm = *zl::DataMod;
    const std::string documents = "select * from brwQOI order by \"Customer\"";
    int change = 0;
    auto save = [&] {
        const auto start = Clock::now();
        if (!dm.actionQuery("update zlm_doc set zlm_doc_descr='Saved " + std::to_string(++change) +
                                "' where zlm_doc_id=" + std::to_string(firstDocument + 5),
                            "zlm-bench"))
            throw std::runtime_error("the save failed");
        return Seconds(start);
    };
    const Times t = Alternate(
        runs,
        [&] {
            zl::db::BackgroundRead read;
            if (!read.Start(dm.zlmConn, documents, {}, nullptr))
                throw std::runtime_error("the read did not start");
            // Well inside the read, as a save comes at any moment.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const double took = save();
            read.Wait();
            return took;
        },
        save);
    std::printf("  main file in %s mode\n", dm.zlmConn.JournalMode().c_str());
    PrintRow("a save while the documents are read on a worker: the save's time", t.ours, t.raw,
             "under the 5 s a save waits", Median(t.ours) < 5);
}

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    // "list" after the number measures the first screens of the two lists alone.
    const bool listOnly = argc > 2 && std::string(argv[2]) == "list";
    // The windows need an application object; the report window's engine a display (Xvfb).
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (count <= 0) {
        std::fprintf(stderr, "usage: zlm-bench [number of customers] [list]\n");
        return 2;
    }
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "zlm-bench-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        return 1;
    const std::string path = folder + "/zlm.dat";
    std::printf("database: %s\n", path.c_str());
    int result = 0;
    try {
        zl::setup::CreateDatabase(path, *zl::data::DeliveredFile("zlm.sql"));
        const zl::bench::BenchSize size = zl::bench::SizeFor(count);
        auto start = Clock::now();
        const zl::bench::BenchKeys keys = zl::bench::FillMainDatabase(path, size);
        std::printf("filled %d customers, %d documents, %d lines, %d inquiries in %.2f s\n",
                    size.customers, size.documents, size.lines, size.inquiries, Seconds(start));
        std::printf("each row: the program's way and the raw SQLite read in turn, %s\n",
                    "min and median");
        std::fflush(stdout);
        const int runs = count > 50000 ? 3 : 5;
        if (listOnly) {
            ConnectedDataModule module(folder, path);
            RawFile cached(path, true);
            BenchCustomerList(cached, runs);
            BenchDocumentsTab(cached, runs);
        } else {
            ConnectedDataModule module(folder, path);
            RawFile raw(path);
            RawFile cached(path, true);
            BenchCustomerList(cached, runs);
            BenchDocumentsTab(cached, runs);
            BenchLogin(raw, runs);
            BenchInquiryWindow(raw, path, keys.firstDocument, runs);
            BenchSaveDuringRead(keys.firstDocument, runs);
            BenchOrderChosen(raw, runs);

            // One record by its key, as the edit dialogs open it.
            const int customer = keys.firstCustomer + count / 2;
            const int line = keys.firstLine + size.lines / 2;
            const Times byKey = Alternate(
                5, [&] { return OpenCustomerAsTheDialogDoes(customer); },
                [&] { return raw.ReadOne("entity", customer); });
            PrintRow("customer by key (customer dialog's controller)", byKey.ours, byKey.raw,
                     "under 20 ms", Median(byKey.ours) < 0.02);
            const Times lineByKey = Alternate(
                5, [&] { return OpenLineAsTheDialogDoes(line); },
                [&] { return raw.ReadOne("doc_item", line); });
            PrintRow("document line by key (OpenById)", lineByKey.ours, lineByKey.raw,
                     "under 20 ms", Median(lineByKey.ours) < 0.02);

            // Report 1 of 10,000 lines, as its goals are set: its first show starts the engine.
            BenchBigPage(raw, folder, path, 10000, runs);
            if (count >= 100000)  // a page of 120,000 rows, as ten years of one customer's lines
                BenchBigPage(raw, folder, path, 120000, runs);
            BenchReport(raw, folder, 10, 3, "select * from repOrdersByCustomer where bus_unit_id=3",
                        "report 10 (orders by customer)", runs);
        }
        std::printf("peak memory of the program: %ld MB\n", PeakMegabytes());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zlm-bench: %s\n", e.what());
        result = 1;
    }
    std::error_code ignored;
    if (!std::getenv("ZLM_BENCH_KEEP"))
        fs::remove_all(folder, ignored);
    return result;
}
