// Counts the statements a connection runs while it lives, its pragmas left out: a check that
// something was read at all, whatever the statement, or how often a statement of some kind ran.
// `each`, when given, is called as each such statement starts.
#pragma once

#include <sqlite3.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/Connection.h"

namespace zl::test {

class StatementCounter {
  public:
    explicit StatementCounter(db::Connection& connection, std::function<void()> each = {})
        : db_(connection.Handle()), each_(std::move(each)) {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementCounter::OnStatement, this);
    }
    ~StatementCounter() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    StatementCounter(const StatementCounter&) = delete;
    StatementCounter& operator=(const StatementCounter&) = delete;
    int Count() const { return static_cast<int>(texts_.size()); }
    // The statements whose text holds `part` (as written, "?" for each bound value).
    int Count(const std::string& part) const {
        int count = 0;
        for (const std::string& text : texts_)
            count += text.find(part) != std::string::npos ? 1 : 0;
        return count;
    }

  private:
    static int OnStatement(unsigned, void* self, void*, void* text) {
        if (strncasecmp(static_cast<const char*>(text), "PRAGMA", 6) == 0)
            return 0;
        auto& counter = *static_cast<StatementCounter*>(self);
        counter.texts_.emplace_back(static_cast<const char*>(text));
        if (counter.each_)
            counter.each_();
        return 0;
    }
    sqlite3* db_;
    std::function<void()> each_;
    std::vector<std::string> texts_;
};

}  // namespace zl::test
