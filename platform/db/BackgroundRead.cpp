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

BackgroundRead::BackgroundRead() {
    worker_ = std::thread(&BackgroundRead::Work, this);
}

BackgroundRead::~BackgroundRead() {
    Cancel();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
    if (reader_ && spares_) {
        sqlite3_progress_handler(reader_->Handle(), 0, nullptr, nullptr);
        spares_->Give(std::move(reader_));
    }
}

bool BackgroundRead::Start(Connection& like, std::string sql, std::vector<Value> parameters,
                           std::function<void()> ready, int firstRows) {
    if (Running())
        return false;
    Wait();  // the end of a read whose outcome is there
    const ChangeToken token = like.Changes();
    if (!reader_ || reader_->ConnectionString() != like.ConnectionString()) {
        reader_.reset();
        spares_ = like.Spares();
        std::unique_ptr<Connection> reader = spares_ ? spares_->Take() : nullptr;
        if (!reader || reader->ConnectionString() != like.ConnectionString()) {
            reader = std::make_unique<Connection>();
            reader->OpenLike(like);
        }
        sqlite3_progress_handler(reader->Handle(), 1000, &StopWhenCancelled, &cancelled_);
        reader_ = std::move(reader);
    }
    cancelled_ = false;
    {
        std::lock_guard lock(mutex_);
        running_ = working_ = true;
        outcome_.reset();
        job_ = Job{std::move(sql), std::move(parameters), token, std::move(ready), firstRows};
    }
    changed_.notify_all();
    return true;
}

void BackgroundRead::Work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return job_ || stopping_; });
        if (!job_)
            return;
        Job job = std::move(*job_);
        job_.reset();
        lock.unlock();
        Run(std::move(job));
    }
}

void BackgroundRead::Run(Job job) {
    Outcome outcome{job.sql, job.parameters, job.token, std::nullopt, {}};
    try {
        if (job.firstRows > 0) {
            // The first rows by a statement of their own: an ordered result that must be sorted
            // whole gives them only once it is, while its first rows alone sort in a fraction of
            // that time.
            ReadResult first =
                Query::Read(*reader_, FirstRowsSql(job.sql, job.firstRows), job.parameters);
            if (first.rows.Rows() >= job.firstRows) {
                first.complete = false;
                {
                    std::lock_guard lock(mutex_);
                    outcome_ = Outcome{job.sql, job.parameters, job.token, std::move(first), {}};
                }
                if (job.ready)
                    job.ready();
            }
        }
        outcome.rows = Query::Read(*reader_, job.sql, job.parameters);
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
    if (job.ready)
        job.ready();
    {
        std::lock_guard lock(mutex_);
        working_ = false;
    }
    changed_.notify_all();
}

bool BackgroundRead::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void BackgroundRead::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !working_; });
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
