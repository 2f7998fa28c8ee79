// Reads a dataset's rows on a worker thread, over a connection of its own, so that a long list
// never holds up the thread that shows it. One read at a time; the result waits until the
// owner takes it.
#pragma once

#include <atomic>
#include <condition_variable>
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

    // Starts the worker, which waits for reads from now on: a read starts without starting a
    // thread.
    BackgroundRead();
    // Stops a read under way and the worker, and gives the reader back to the spares it came
    // from.
    ~BackgroundRead();
    BackgroundRead(const BackgroundRead&) = delete;
    BackgroundRead& operator=(const BackgroundRead&) = delete;

    // Starts reading `sql` from the file of `like` and returns at once, over a spare reader of
    // `like` or one opened the same way; `ready` is called on the worker thread when an outcome
    // can be taken: once at the end, and before that once for the first `firstRows` rows (read
    // by FirstRowsSql, ahead of the whole result) when the result has as many. False, and
    // nothing started, while an earlier read is still running. Raises DbError when the file
    // cannot be opened or its state read.
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
    // One read, as Start hands it to the worker.
    struct Job {
        std::string sql;
        std::vector<Value> parameters;
        ChangeToken token;
        std::function<void()> ready;
        int firstRows = 0;
    };
    void Work();
    void Run(Job job);

    // Taken or opened by Start, used by one read at a time on the worker; kept from read to
    // read, and given back to `spares_` at the end.
    std::unique_ptr<Connection> reader_;
    std::shared_ptr<SpareReaders> spares_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> job_;  // handed to the worker, not yet begun
    bool running_ = false;    // from Start until the read's last outcome is there
    bool working_ = false;    // from Start until the worker is done with the read
    bool stopping_ = false;
    std::atomic<bool> cancelled_ = false;
    std::optional<Outcome> outcome_;
    std::thread worker_;  // last: it starts once everything it uses is there
};

}  // namespace zl::db
