#include "widgets/ListFill.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <exception>

#include "core/ErrorLog.h"
#include "widgets/DBGrid.h"

namespace zl::widgets {
namespace {

// How long rows that arrived while the list was in use wait before they are offered again.
constexpr int kRetryMs = 250;

}  // namespace

ListFill::ListFill(db::Query& query, QWidget* list, std::string tag)
    : query_(query), list_(list), tag_(std::move(tag)) {
    // The dataset needs every row: they are waited for and handed over even under a dialog.
    query_.SetCompletion([this] {
        read_.Wait();
        Deliver(true);
    });
}

ListFill::~ListFill() {
    query_.SetCompletion({});
    read_.Cancel();
}

bool ListFill::Fill(db::Connection& connection, const std::string& sql,
                    std::vector<db::Value> parameters) {
    return Start(connection, sql, std::move(parameters), true);
}

bool ListFill::Refresh() {
    if (pending_ || !query_.GetConnection())
        return false;
    try {
        if (!query_.ChangedSinceRead())
            return false;
    } catch (const std::exception& e) {
        LogError(tag_, e.what(), query_.SQL());  // the list stays as it is
        return false;
    }
    return Start(*query_.GetConnection(), query_.SQL(), query_.Parameters(), false);
}

bool ListFill::Start(db::Connection& connection, const std::string& sql,
                     std::vector<db::Value> parameters, bool keep) {
    if (pending_)
        return false;
    keep_ = keep;
    // A list that shows nothing yet shows its first screen as soon as it is read; one that shows
    // rows keeps them until all have arrived.
    const int firstRows = query_.Active() ? 0 : kFirstScreen;
    try {
        // Called on the worker: the rows cross to this object's thread as a queued call,
        // dropped if this object is gone by then.
        if (!read_.Start(
                connection, sql, std::move(parameters),
                [this] {
                    QMetaObject::invokeMethod(
                        this, [this] { Deliver(); }, Qt::QueuedConnection);
                },
                firstRows))
            return false;
    } catch (const std::exception& e) {
        Failed(e.what(), sql);
        return false;
    }
    connection_ = &connection;
    modalAtStart_ = QApplication::activeModalWidget();
    pending_ = true;
    if (list_)
        list_->setCursor(Qt::BusyCursor);
    return true;
}

void ListFill::Finish() {
    read_.Wait();
    Deliver();
}

void ListFill::Discard() {
    if (!pending_)
        return;
    read_.Cancel();
    read_.Take();
    held_.reset();
    Done();
}

void ListFill::Done() {
    pending_ = false;
    if (list_)
        list_->unsetCursor();
}

void ListFill::Failed(const std::string& error, const std::string& sql) {
    LogError(tag_, error, sql);
    // Rows asked for that cannot be read leave the list empty, as a failed open does; so does a
    // first screen, which is not a list that lacks rows without saying so. A failed refresh
    // leaves the list as it was.
    if (keep_ || !query_.HoldsAll()) {
        query_.Close();
        if (failed_)
            failed_();
    }
    Done();
}

void ListFill::Deliver(bool needed) {
    std::optional<db::BackgroundRead::Outcome> outcome = read_.Take();
    if (!outcome && held_)
        outcome.swap(held_);
    if (!outcome)
        return;  // handed over already
    if (outcome->rows && !outcome->rows->complete) {
        // The first screen, for a list that shows nothing yet.
        if (!query_.Active())
            Hand(*outcome);
        return;
    }
    if (!outcome->rows) {
        Failed(outcome->error, outcome->sql);
        return;
    }
    if (InUse(needed)) {
        // Offered again until it can be handed over: no refresh is lost, and none replaces
        // the rows under a question about one of them.
        held_ = std::move(outcome);
        QTimer::singleShot(kRetryMs, this, [this] { Deliver(); });
        return;
    }
    const bool afterFirstScreen = query_.Active() && !query_.HoldsAll();
    Done();
    Hand(*outcome, afterFirstScreen);
}

bool ListFill::InUse(bool needed) const {
    // A first fill replaces nothing anyone stands on; a row being edited cannot be replaced.
    if (!query_.Active())
        return false;
    if (query_.Editing())
        return true;
    // Rows the dataset needs go in whatever is open: they complete the rows it shows.
    if (needed)
        return false;
    QWidget* modal = QApplication::activeModalWidget();
    return holds_ > 0 || (modal && modal != modalAtStart_);
}

bool ListFill::Hand(db::BackgroundRead::Outcome& outcome, bool afterFirstScreen) {
    handing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{handing_};
    try {
        query_.Adopt(std::move(*outcome.rows), outcome.token, *connection_, outcome.sql,
                     outcome.parameters);
    } catch (const std::exception& e) {
        LogError(tag_, e.what(), outcome.sql);
        return false;
    }
    // The columns were sized to the first screen's texts; all rows may hold wider ones.
    if (auto* grid = qobject_cast<DBGrid*>(list_.data()); grid && afterFirstScreen)
        grid->LayOutColumns();
    if (filled_)
        filled_();
    return true;
}

}  // namespace zl::widgets
