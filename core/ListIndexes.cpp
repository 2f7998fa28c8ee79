#include "core/ListIndexes.h"

#include <exception>
#include <string>

#include "core/ErrorLog.h"
#include "platform/db/Query.h"

namespace zl {

const char* CustomerNameIndexSql() {
    return "CREATE INDEX entity_by_full_name ON entity (dimension_id, "
           "(COALESCE(entity_name, '') || ' ' || COALESCE(entity_first, '') || ' ' || "
           "COALESCE(entity_title, '')))";
}

IndexUpdate AddListIndexes(db::Connection& main) {
    try {
        {
            // Asked first, so that a workstation starting on a shared file that has the index
            // takes no write lock.
            db::Query stored(&main);
            stored.SetSQL(
                "select count(*) from sqlite_master where type='index' and "
                "name='entity_by_full_name'");
            stored.Open();
            if (stored.Fields(0).AsInteger() > 0)
                return IndexUpdate::Present;
        }
        main.Execute(CustomerNameIndexSql());
        return IndexUpdate::Added;
    } catch (const std::exception& e) {
        // Nothing is open by now: the statement has ended, and the box holds no lock.
        LogError("TDataMod.AddListIndexes", e.what(), CustomerNameIndexSql());
        return IndexUpdate::Failed;
    }
}

}  // namespace zl
