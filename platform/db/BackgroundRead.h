// Reads a dataset's rows on a worker thread, over a connection of its own, so that a long list
// never holds up the thread that shows it. One read at a time; the result waits until the
// owner takes it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/Query.h"

namespace zl::db {

// The statement that reads the first `rows` rows of `sql`'s result, in its order.
std::string FirstRowsSql(const std::string& sql, int rows);

class BackgroundRead {
  public:
    // What one read gave: the rows, or the error that stopped it.
    struct Outcome {
        std::string sql;
        std::vector<Value> parameters;
        ChangeToken token;  // the file's state before the read began
        std::optional<ReadResult> rows;
        std::string error;
    };

    BackgroundRead() = default;
    // Stops a read under way.
    ~BackgroundRead();
    BackgroundRead(const BackgroundRead&) = delete;
    BackgroundRead& operator=(const BackgroundRead&) = delete;

    // Starts reading `sql` from the file of `like` (opened the same way) and returns at once;
    // `ready` is called on the worker thread when an outcome can be taken: once at the end, and
    // before that once for the first `firstRows` rows (read by FirstRowsSql, ahead of the whole
    // result) when the result has as many. False, and nothing started, while an earlier read is
    // still running. Raises DbError when the file cannot be opened or its state read.
    bool Start(Connection& like, std::string sql, std::vector<Value> parameters,
               std::function<void()> ready, int firstRows = 0);
    bool Running() const;
    // Waits until the read under way, if any, has ended.
    void Wait();
    // Stops the read under way, if any, as soon as the database engine lets it (its outcome is
    // an error then), and waits for it to end.
    void Cancel();
    // The latest outcome of the last read, once: its first rows (ReadResult::complete false)
    // while it runs, else all of them; nullopt when there is none or it was taken.
    std::optional<Outcome> Take();

  private:
    void Run(std::string sql, std::vector<Value> parameters, ChangeToken token,
             std::function<void()> ready, int firstRows);

    // Opened by Start, used by one read at a time on the worker; kept open from read to read.
    std::unique_ptr<Connection> reader_;
    std::thread worker_;
    mutable std::mutex mutex_;
    bool running_ = false;
    std::atomic<bool> cancelled_ = false;
    std::optional<Outcome> outcome_;
};

}  // namespace zl::db
