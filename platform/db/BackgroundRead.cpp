#include "platform/db/BackgroundRead.h"

#include <sqlite3.h>

#include <exception>

namespace zl::db {
namespace {

// Asked by the engine every thousand steps of a statement: a non-zero answer stops it.
int StopWhenCancelled(void* cancelled) {
    return static_cast<std::atomic<bool>*>(cancelled)->load() ? 1 : 0;
}

}  // namespace

std::string FirstRowsSql(const std::string& sql, int rows) {
    return "select * from (" + sql + ") limit " + std::to_string(rows);
}

BackgroundRead::~BackgroundRead() {
    Cancel();
}

bool BackgroundRead::Start(Connection& like, std::string sql, std::vector<Value> parameters,
                           std::function<void()> ready, int firstRows) {
    if (Running())
        return false;
    Wait();  // the thread of a read that has ended
    const ChangeToken token = like.Changes();
    if (!reader_ || reader_->ConnectionString() != like.ConnectionString()) {
        reader_.reset();
        auto reader = std::make_unique<Connection>();
        reader->OpenLike(like);
        sqlite3_progress_handler(reader->Handle(), 1000, &StopWhenCancelled, &cancelled_);
        reader_ = std::move(reader);
    }
    cancelled_ = false;
    {
        std::lock_guard lock(mutex_);
        running_ = true;
        outcome_.reset();
    }
    worker_ = std::thread(&BackgroundRead::Run, this, std::move(sql), std::move(parameters), token,
                          std::move(ready), firstRows);
    return true;
}

void BackgroundRead::Run(std::string sql, std::vector<Value> parameters, ChangeToken token,
                         std::function<void()> ready, int firstRows) {
    Outcome outcome{sql, parameters, token, std::nullopt, {}};
    try {
        if (firstRows > 0) {
            // The first rows by a statement of their own: an ordered result that must be sorted
            // whole gives them only once it is, while its first rows alone sort in a fraction of
            // that time.
            ReadResult first = Query::Read(*reader_, FirstRowsSql(sql, firstRows), parameters);
            if (first.rows.Rows() >= firstRows) {
                first.complete = false;
                {
                    std::lock_guard lock(mutex_);
                    outcome_ = Outcome{sql, parameters, token, std::move(first), {}};
                }
                if (ready)
                    ready();
            }
        }
        outcome.rows = Query::Read(*reader_, sql, parameters);
    } catch (const std::exception& e) {
        outcome.error = e.what();
        if (!cancelled_)
            reader_.reset();  // opened afresh next time: the file may have been replaced
    }
    {
        std::lock_guard lock(mutex_);
        outcome_ = std::move(outcome);
        running_ = false;
    }
    if (ready)
        ready();
}

bool BackgroundRead::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void BackgroundRead::Wait() {
    if (worker_.joinable())
        worker_.join();
}

void BackgroundRead::Cancel() {
    cancelled_ = true;
    Wait();
}

std::optional<BackgroundRead::Outcome> BackgroundRead::Take() {
    std::lock_guard lock(mutex_);
    std::optional<Outcome> taken = std::move(outcome_);
    outcome_.reset();
    return taken;
}

}  // namespace zl::db
