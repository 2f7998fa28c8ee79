// Indexes that let a long list read its first screen in its default order without sorting all
// its rows first.
#pragma once

#include "platform/db/Connection.h"

namespace zl {

// The index of customers by the full name their list is ordered by (data/zlm.sql holds the same
// text; its expression is the one of the list's view, so that the database can use it).
const char* CustomerNameIndexSql();

enum class IndexUpdate { Present, Added, Failed };
// Adds the indexes to a main database made before they were delivered; a database that has them
// is not written to. A failure is logged under "TDataMod.AddListIndexes": the lists are then
// slower, not wrong.
IndexUpdate AddListIndexes(db::Connection& main);

}  // namespace zl
