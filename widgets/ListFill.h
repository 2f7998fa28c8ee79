// Fills a list's dataset from a worker thread: the rows are read over a connection of their own
// and handed to the dataset on the window's thread in one step, so that neither a fill nor a
// refresh holds up the window. An empty list shows its first screen of rows as soon as they are
// read; anything that needs every row meanwhile waits for the rest. While the rows are read the
// list alone shows the busy cursor. Rows are never handed over while a row of the list is edited,
// while the user is asked about the row he sees (WhileAsking), or while a modal window opened
// after the read began is open: they wait, and are handed over once that has closed, the current
// row kept by its key.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/BackgroundRead.h"
#include "platform/db/Query.h"

class QWidget;

namespace zl::widgets {

class ListFill : public QObject {
  public:
    // Rows enough for a first screen of any list: an empty list shows them while the rest is
    // read.
    static constexpr int kFirstScreen = 200;

    // `list` shows `query`; `tag` names the routine in the error log.
    ListFill(db::Query& query, QWidget* list, std::string tag);
    ~ListFill() override;

    // Called after rows were handed over.
    void SetFilled(std::function<void()> filled) { filled_ = std::move(filled); }
    // Called after a failed read left the list empty.
    void SetFailed(std::function<void()> failed) { failed_ = std::move(failed); }

    // Starts reading `sql` over `connection`'s file for the dataset, which keeps showing what it
    // shows (or nothing) until the rows arrive; rows that cannot be handed over yet wait until
    // they can. False while a read is under way, or when it cannot start (logged then).
    bool Fill(db::Connection& connection, const std::string& sql,
              std::vector<db::Value> parameters = {});
    // Starts reading the dataset's own statement again, but only when the file changed since
    // its rows were read; false when nothing changed (nothing is read then) or a read is under
    // way.
    bool Refresh();
    bool Pending() const { return pending_; }
    // Whether rows are being handed to the dataset now (its notifications come from the fill,
    // not from the user).
    bool Handing() const { return handing_; }
    // Waits for the read under way and hands its rows over now, unless the list is in use (they
    // wait then).
    void Finish();
    // Stops the read under way and drops its rows: the dataset is to be read anew.
    void Discard();

    // Runs `ask` (a question about the row the user sees, or what follows from it) with no rows
    // handed over meanwhile, unless the dataset needs every row; returns what it returns.
    template <class Ask>
    auto WhileAsking(Ask&& ask) {
        struct Hold {
            int& holds;
            explicit Hold(int& h) : holds(++h) {}
            ~Hold() { --holds; }
        } hold(holds_);
        return ask();
    }

  private:
    bool Start(db::Connection& connection, const std::string& sql,
               std::vector<db::Value> parameters, bool keep);
    // `needed`: the dataset asked for every row; they are handed over even under a dialog.
    void Deliver(bool needed = false);
    // `afterFirstScreen`: all rows, where the list showed its first screen of them.
    bool Hand(db::BackgroundRead::Outcome& outcome, bool afterFirstScreen = false);
    // Whether what the list shows is in use, so that rows must wait.
    bool InUse(bool needed) const;
    void Failed(const std::string& error, const std::string& sql);
    void Done();

    db::Query& query_;
    QPointer<QWidget> list_;
    std::string tag_;
    db::Connection* connection_ = nullptr;
    std::function<void()> filled_;
    std::function<void()> failed_;
    db::BackgroundRead read_;
    bool pending_ = false;
    bool handing_ = false;
    // The rows were asked for (not a refresh): a failed read leaves the list empty.
    bool keep_ = false;
    // The modal window open when the read began: rows may be handed over under it, as it stood
    // on nothing they replace.
    QPointer<QWidget> modalAtStart_;
    int holds_ = 0;
    // Rows read while the list was in use, offered again shortly.
    std::optional<db::BackgroundRead::Outcome> held_;
};

}  // namespace zl::widgets
