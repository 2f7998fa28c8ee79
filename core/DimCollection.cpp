#include "core/DimCollection.h"

#include "core/DataMod.h"
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

bool DimCollection::AnyInEdit() const {
    for (const auto& t : tables_)
        if (t->GetEditMode() > 0)
            return true;
    return false;
}

}  // namespace zl
