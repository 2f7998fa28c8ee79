#include "core/RecordCopier.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"
#include "platform/format/Format.h"

namespace zl {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

RecordCopier::RecordCopier() : qSource(&DataMod->zlmConn), qTarget(&DataMod->zlmConn) {}

int RecordCopier::CopyRec(const std::string& table, const std::string& parentField, int id,
                          int newParentValue) {
    const std::string tag = "RecordCopier.CopyRec";
    const std::string sql = "select * from " + db::QuoteName(table) + " where " +
                            db::QuoteName(table + "_id") + "=" + format::Format("%d", id);
    try {
        if (!DataMod->openQuery(DataMod->zlmConn, qSource, tag, sql) ||
            !DataMod->openQuery(DataMod->zlmConn, qTarget, tag, sql))
            return 0;  // openQuery has told the user
        if (qSource.IsEmpty())
            return 0;
        if (!DataMod->Append(qTarget, tag)) {
            if (qTarget.State() == db::DataSetState::dsInsert)
                qTarget.Cancel();
            return 0;  // Append has told the user
        }
        CopyColumns(parentField, newParentValue);
        qTarget.Post();
        return qTarget.FieldByName(table + "_id").AsInteger();
    } catch (const std::exception& e) {
        if (qTarget.State() == db::DataSetState::dsInsert)
            qTarget.Cancel();
        LogError(tag, e.what(), "");
        return 0;
    }
}

void RecordCopier::CopyRecWithKey(const std::string& table, const std::string& parentField, int id,
                                  int newParentValue, int key) {
    const std::string name = db::QuoteName(table);
    const std::string keyColumn = db::QuoteName(table + "_id");
    qSource.Close();
    qSource.SetConnection(&DataMod->zlmConn);
    qSource.SetSQL("select * from " + name + " where " + keyColumn + "=" +
                   format::Format("%d", id));
    qSource.Open();
    if (qSource.IsEmpty())
        throw db::DbError("There is no row " + std::to_string(id) + " in " + table + " to copy.");
    // Only the columns are needed: the copy is appended to an empty set.
    qTarget.Close();
    qTarget.SetConnection(&DataMod->zlmConn);
    qTarget.SetSQL("select * from " + name + " where 1=0");
    qTarget.Open();
    DataMod->AppendWithKey(qTarget, key);
    try {
        CopyColumns(parentField, newParentValue);
        qTarget.Post();
    } catch (...) {
        if (qTarget.State() == db::DataSetState::dsInsert)
            qTarget.Cancel();
        throw;
    }
}

void RecordCopier::CopyColumns(const std::string& parentField, int newParentValue) {
    for (int i = 1; i < qSource.FieldCount(); ++i) {
        const db::Field& source = qSource.Fields(i);
        db::Field& target = qTarget.FieldByName(source.FieldName());
        if (SameName(source.FieldName(), parentField))
            target.SetAsInteger(newParentValue);
        else
            target.SetAsVariant(source.AsVariant());
    }
}

}  // namespace zl
