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

    db::Query qSource;
    db::Query qTarget;
};

}  // namespace zl
