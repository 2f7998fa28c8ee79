// The data module's record routines: the key counter, appending a row with its first values,
// and positioning a query on a key.
#include <exception>
#include <limits>
#include <optional>
#include <string>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/format/Format.h"

namespace zl {

using db::FieldType;

namespace {

// The key in column 0 and the first value of every other column of the row being inserted.
void WriteFirstValues(db::Query& ds, int key) {
    for (int i = 0; i < ds.FieldCount(); ++i) {
        db::Field& f = ds.Fields(i);
        if (i == 0) {
            f.SetAsInteger(key);
            continue;
        }
        const FieldType type = f.DataType();
        const std::string& name = f.FieldName();
        if (type == FieldType::ftString || type == FieldType::ftWideString)
            f.SetAsString("[no value]");
        else if (type == FieldType::ftSmallint || type == FieldType::ftInteger)
            f.SetAsInteger(0);
        else if (type == FieldType::ftFloat)
            f.SetAsFloat(1);
        if (name.find("_code") != std::string::npos)
            f.SetAsString(ds.Fields(0).AsString());
        if (name == "sys_user_id")
            f.SetAsInteger(CurUserId);
        if (name == "created_by_id")
            f.SetAsInteger(CurUserId);
        if (name == "bus_unit_id")
            f.SetAsInteger(CurBusUnitId);
        if (name == "time")
            f.SetAsString(format::FormatDateTime("hh:mm:ss", format::Now()));
        if (type == FieldType::ftDateTime)
            f.SetAsDateTime(format::Date());
    }
}

}  // namespace

int TDataMod::nextID() {
    return nextIDs(1);
}

int TDataMod::nextIDs(int count) {
    const std::string counterSql = "select * from id_control";
    // Logged only once the transaction has rolled back: the warning box waits for the user, and
    // must not hold the main file's write lock meanwhile.
    std::string where = "TDataMod.nextID";
    std::string message;
    std::string extra;
    try {
        // Read and write the counter under one write lock, so that the report server's
        // connection can never be handed the same key.
        db::Transaction transaction(zlmConn);
        if (std::optional<std::string> error = TryOpen(zlmConn, qID, counterSql, {})) {
            where = "TDataMod.openQuery > TDataMod.nextID";
            message = *error;
            extra = counterSql;
        } else {
            if (qID.IsEmpty())
                throw db::DbError("The key counter row is missing.");
            qID.Edit();
            const long long last = qID.FieldByName("next_id").AsInteger();
            // Keys are positive 32-bit numbers and never issued twice.
            if (count < 1 || last < 0 || last + count > std::numeric_limits<int>::max())
                throw db::DbError("No more record keys can be issued.");
            qID.FieldByName("next_id").SetAsInteger(static_cast<int>(last + count));
            qID.Post();
            transaction.Commit();
            qID.Close();
            return static_cast<int>(last + 1);
        }
    } catch (const std::exception& e) {
        message = e.what();
    }
    qID.Close();
    LogError(where, message, extra);
    return 0;
}

bool TDataMod::Append(db::Query& ds, const std::string& tag) {
    try {
        ds.Append();
        const int key = nextID();
        if (key == 0) {
            // A row keyed 0 must never reach the table.
            ds.Cancel();
            return false;
        }
        WriteFirstValues(ds, key);
        return true;
    } catch (const std::exception& e) {
        LogError("TDataMod.Append > " + tag, e.what(), "");
        return false;
    }
}

void TDataMod::AppendWithKey(db::Query& ds, int key) {
    ds.Append();
    try {
        WriteFirstValues(ds, key);
    } catch (...) {
        ds.Cancel();
        throw;
    }
}

bool TDataMod::Seek(db::Query& q, const std::string& field, int value) {
    try {
        q.Locate(field, {static_cast<long long>(value)});
        return q.FieldByName(field).AsInteger() == value;
    } catch (const std::exception& e) {
        LogError("TDataMod.Seek", e.what(), "");
        return false;
    }
}

}  // namespace zl
