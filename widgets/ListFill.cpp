#include "widgets/ListFill.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <exception>

#include "core/ErrorLog.h"
#include "widgets/DBGrid.h"

namespace zl::widgets {
namespace {

// Rows enough for a first screen of any list: an empty list shows them while the rest is read.
constexpr int kFirstScreen = 200;
// How long rows that arrived under a dialog wait before they are offered again, when the list
// shows only its first screen meanwhile.
constexpr int kRetryMs = 250;

}  // namespace

ListFill::ListFill(db::Query& query, QWidget* list, std::string tag)
    : query_(query), list_(list), tag_(std::move(tag)) {}

ListFill::~ListFill() {
    read_.Wait();
}

bool ListFill::Fill(db::Connection& connection, const std::string& sql,
                    std::vector<db::Value> parameters) {
    if (pending_)
        return false;
    try {
        // Called on the worker: the rows cross to this object's thread as a queued call,
        // dropped if this object is gone by then. Only a list that shows nothing yet takes a
        // first screen.
        if (!read_.Start(
                connection, sql, std::move(parameters),
                [this] {
                    QMetaObject::invokeMethod(
                        this, [this] { Deliver(); }, Qt::QueuedConnection);
                },
                query_.Active() ? 0 : kFirstScreen))
            return false;
    } catch (const std::exception& e) {
        LogError(tag_, e.what(), sql);
        return false;
    }
    connection_ = &connection;
    pending_ = true;
    if (list_)
        list_->setCursor(Qt::BusyCursor);
    return true;
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
    return Fill(*query_.GetConnection(), query_.SQL(), query_.Parameters());
}

void ListFill::Finish() {
    read_.Wait();
    Deliver();
}

void ListFill::Discard() {
    if (!pending_)
        return;
    read_.Wait();
    read_.Take();
    held_.reset();
    Done();
}

void ListFill::Done() {
    pending_ = false;
    firstScreen_ = false;
    if (list_)
        list_->unsetCursor();
}

void ListFill::Deliver() {
    std::optional<db::BackgroundRead::Outcome> outcome = read_.Take();
    if (!outcome && held_)
        outcome.swap(held_);
    if (!outcome)
        return;  // handed over already
    if (outcome->rows && !outcome->rows->complete) {
        // The first screen, for a list that shows nothing yet.
        if (!query_.Active() && Hand(*outcome))
            firstScreen_ = true;
        return;
    }
    if (!outcome->rows) {
        LogError(tag_, outcome->error, outcome->sql);
        if (firstScreen_)
            query_.Close();  // not a list that lacks rows without saying so
        Done();
        return;
    }
    // What is shown may be in use: a row edited, or a dialog standing on it. A first fill
    // replaces nothing anyone stands on.
    if (query_.Active() && (query_.Editing() || QApplication::activeModalWidget())) {
        // A first screen alone is no list to leave standing: the rest waits and is offered
        // again. Otherwise the rows are dropped and the next refresh reads again.
        if (firstScreen_) {
            held_ = std::move(outcome);
            QTimer::singleShot(kRetryMs, this, [this] { Deliver(); });
        } else {
            Done();
        }
        return;
    }
    const bool afterFirstScreen = firstScreen_;
    Done();
    Hand(*outcome, afterFirstScreen);
}

bool ListFill::Hand(db::BackgroundRead::Outcome& outcome, bool afterFirstScreen) {
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
