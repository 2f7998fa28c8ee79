#include "core/DimCollection.h"

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"

namespace zl {

DimCollection::DimCollection() {
    db::Query& q = DataMod->qDims;
    if (!DataMod->openQuery(DataMod->zlmConn, q, "DimCollection.Create", "select * from dimension"))
        return;
    for (q.First(); !q.Eof(); q.Next())
        tables_.push_back(
            std::make_unique<DimensionTable>(q.FieldByName("dimension_id").AsInteger()));
}

DimensionTable* DimCollection::Find(int id) const {
    for (const auto& t : tables_)
        if (t->GetDimensionId() == id)
            return t.get();
    return nullptr;
}

DimensionTable* DimCollection::Require(int id, const std::string& tag) const {
    DimensionTable* found = Find(id);
    if (!found)
        AppendErrorLog(tag, "No kind of record has the dimension id " + std::to_string(id) + ".",
                       "");
    return found;
}

bool DimCollection::AnyInEdit() const {
    for (const auto& t : tables_)
        if (t->GetEditMode() > 0)
            return true;
    return false;
}

std::vector<int> DimCollection::Missing(const std::vector<int>& ids) const {
    std::vector<int> missing;
    for (int id : ids)
        if (!Find(id))
            missing.push_back(id);
    return missing;
}

const std::vector<int>& ProgramDimensionIds() {
    // Every kind a window or dialog of the program lists or edits: all the kinds of the
    // dimension table but contact items (19), which nothing opens.
    static const std::vector<int> ids{1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 14, 15, 16, 17,
                                      18, 21, 22, 24, 25, 26, 27, 28, 29, 33, 34, 35, 36, 37};
    return ids;
}

bool ReportMissingDimensions(const DimCollection& dimensions, ui::WindowHandle owner) {
    const std::vector<int> missing = dimensions.Missing(ProgramDimensionIds());
    if (missing.empty())
        return true;
    std::string list;
    for (int id : missing)
        list += (list.empty() ? "" : ", ") + std::to_string(id);
    ui::ShowMessage(owner,
                    "The database has no row in table dimension for the record kind(s) " + list +
                        ". The windows and dialogs of these kinds will not open until the "
                        "database is repaired.",
                    "Missing record kinds", ui::Icon::Warning);
    return false;
}

}  // namespace zl
