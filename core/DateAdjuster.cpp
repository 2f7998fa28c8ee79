#include "core/DateAdjuster.h"

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/format/Format.h"

namespace zl {

DateAdjuster::DateAdjuster() : qPrev(&DataMod->zlmConn) {}

void DateAdjuster::prevDates(const std::string& table, const std::string& orderField,
                             const std::string& keyField, int keyValue, db::Query& dataset,
                             const std::string& fromField, const std::string& toField, int days) {
    try {
        const std::string sql = "select * from " + db::QuoteName(table) + " where " +
                                db::QuoteName(keyField) + "=" + std::to_string(keyValue) +
                                " order by " + db::QuoteName(orderField) + " desc";
        // A failed open has been logged by openQuery; the row keeps its values.
        if (!DataMod->openQuery(DataMod->zlmConn, qPrev, "DateAdjuster.prevDates", sql))
            return;
        // Descending order puts rows without an end last: the first row has none only when no
        // row has one, and then there is no period to follow.
        if (qPrev.IsEmpty() || qPrev.FieldByName(orderField).IsNull()) {
            qPrev.Close();
            defaultDates(dataset, fromField, days, toField);
            return;
        }
        const format::TDateTime last = qPrev.FieldByName(orderField).AsDateTime();
        qPrev.Close();
        dataset.FieldByName(fromField).SetAsDateTime(last);
        dataset.FieldByName(toField).SetAsDateTime(format::IncDay(last, days));
    } catch (...) {
        qPrev.Close();
    }
}

void DateAdjuster::defaultDates(db::Query& dataset, const std::string& fromField, int days,
                                const std::string& toField) {
    try {
        const format::TDateTime today = format::Date();
        dataset.FieldByName(fromField).SetAsDateTime(today);
        dataset.FieldByName(toField).SetAsDateTime(format::IncDay(today, days));
    } catch (...) {
        // The row keeps what it had.
    }
}

}  // namespace zl
