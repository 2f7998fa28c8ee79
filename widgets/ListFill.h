// Fills a list's dataset from a worker thread: the rows are read over a connection of their own
// and handed to the dataset on the window's thread in one step, so that neither a first fill nor
// a refresh holds up the window. An empty list shows its first screen of rows as soon as they
// are read. While the rows are read the list alone shows the busy cursor.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/BackgroundRead.h"
#include "platform/db/Query.h"

class QWidget;

namespace zl::widgets {

class ListFill : public QObject {
  public:
    // `list` shows `query`; `tag` names the routine in the error log.
    ListFill(db::Query& query, QWidget* list, std::string tag);
    ~ListFill() override;

    // Called after rows were handed over.
    void SetFilled(std::function<void()> filled) { filled_ = std::move(filled); }

    // Starts reading `sql` over `connection`'s file for the dataset, which keeps showing what it
    // shows (or nothing) until the rows arrive. False while a read is under way.
    bool Fill(db::Connection& connection, const std::string& sql,
              std::vector<db::Value> parameters = {});
    // Starts reading the dataset's own statement again, but only when the file changed since
    // its rows were read; false when nothing changed (nothing is read then) or a read is under
    // way.
    bool Refresh();
    bool Pending() const { return pending_; }
    // Waits for the read under way and hands its rows over now.
    void Finish();
    // Waits for the read under way and drops its rows: the dataset was opened anew meanwhile.
    void Discard();

  private:
    void Deliver();
    // `afterFirstScreen`: all rows, where the list showed its first screen of them.
    bool Hand(db::BackgroundRead::Outcome& outcome, bool afterFirstScreen = false);
    void Done();

    db::Query& query_;
    QPointer<QWidget> list_;
    std::string tag_;
    db::Connection* connection_ = nullptr;
    std::function<void()> filled_;
    db::BackgroundRead read_;
    bool pending_ = false;
    // The list shows the first screen of rows still being read.
    bool firstScreen_ = false;
    // All rows, read while a dialog stood on the first screen.
    std::optional<db::BackgroundRead::Outcome> held_;
};

}  // namespace zl::widgets
