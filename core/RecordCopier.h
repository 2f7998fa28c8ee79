// Copies one row of a table under a new key, setting one column to a new parent value; the
// document conversions copy a document and its lines this way.
#pragma once

#include <string>

#include "platform/db/Query.h"

namespace zl {

class RecordCopier {
  public:
    RecordCopier();
    RecordCopier(const RecordCopier&) = delete;
    RecordCopier& operator=(const RecordCopier&) = delete;

    // Copies row id of table (key table + "_id", the first column) with every value as stored;
    // the column named parentField (any case) gets newParentValue, the key never copies. Returns
    // the new key; 0 when the row does not exist or the copy failed, and nothing is posted then.
    int CopyRec(const std::string& table, const std::string& parentField, int id,
                int newParentValue);
    // The same copy under a key issued before, for callers that copy inside a transaction of
    // their own: it logs and shows nothing and raises on every failure, a missing row included.
    // The new row stays current in qTarget.
    void CopyRecWithKey(const std::string& table, const std::string& parentField, int id,
                        int newParentValue, int key);

    db::Query qSource;
    db::Query qTarget;

  private:
    // Fills the row being inserted into qTarget from qSource's row, but for the key.
    void CopyColumns(const std::string& parentField, int newParentValue);
};

}  // namespace zl
