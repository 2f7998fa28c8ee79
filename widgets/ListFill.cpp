#include "widgets/ListFill.h"

#include <QApplication>
#include <QWidget>
#include <exception>

#include "core/ErrorLog.h"

namespace zl::widgets {

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
        // dropped if this object is gone by then.
        if (!read_.Start(connection, sql, std::move(parameters), [this] {
                QMetaObject::invokeMethod(
                    this, [this] { Deliver(); }, Qt::QueuedConnection);
            }))
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
    if (pending_ || !query_.GetConnection() || !query_.ChangedSinceRead())
        return false;
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
    pending_ = false;
    if (list_)
        list_->unsetCursor();
}

void ListFill::Deliver() {
    std::optional<db::BackgroundRead::Outcome> outcome = read_.Take();
    if (!outcome)
        return;  // handed over already, or still being read
    pending_ = false;
    if (list_)
        list_->unsetCursor();
    if (!outcome->rows) {
        LogError(tag_, outcome->error, outcome->sql);
        return;
    }
    // What is shown may be in use: a row edited, or a dialog standing on it. A first fill
    // replaces nothing anyone stands on.
    if (query_.Active()) {
        const bool may =
            mayReplace_ ? mayReplace_() : !query_.Editing() && !QApplication::activeModalWidget();
        if (!may)
            return;
    }
    try {
        query_.Adopt(std::move(*outcome->rows), outcome->token, *connection_,
                     std::move(outcome->sql), std::move(outcome->parameters));
    } catch (const std::exception& e) {
        LogError(tag_, e.what(), query_.SQL());
        return;
    }
    if (filled_)
        filled_();
}

}  // namespace zl::widgets
