// Counts the statements a connection runs while it lives, its pragmas left out: a check that
// something was read at all, whatever the statement.
#pragma once

#include <sqlite3.h>

#include <cstring>

#include "platform/db/Connection.h"

namespace zl::test {

class StatementCounter {
  public:
    explicit StatementCounter(db::Connection& connection) : db_(connection.Handle()) {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementCounter::OnStatement, this);
    }
    ~StatementCounter() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    StatementCounter(const StatementCounter&) = delete;
    StatementCounter& operator=(const StatementCounter&) = delete;
    int Count() const { return count_; }

  private:
    static int OnStatement(unsigned, void* self, void*, void* text) {
        if (strncasecmp(static_cast<const char*>(text), "PRAGMA", 6) != 0)
            ++static_cast<StatementCounter*>(self)->count_;
        return 0;
    }
    sqlite3* db_;
    int count_ = 0;
};

}  // namespace zl::test
