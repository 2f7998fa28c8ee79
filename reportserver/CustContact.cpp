#include "reportserver/CustContact.h"

#include <string_view>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"

namespace zl::reportserver {
namespace {

constexpr const char* kTag = "CustContact.getContactEMail";

// A query that could not be opened raises here instead of reading as an empty result.
void RequireOpen(const db::Query& q) {
    if (!q.Active())
        throw db::DbError("Cannot perform this operation on a closed dataset");
}

std::string Column(db::Query& q, std::string_view name) {
    RequireOpen(q);
    return q.FieldByName(name).AsString();
}

}  // namespace

void CustContact::getContactEMail(int customer, int contact, std::string& address) {
    address.clear();
    TDataMod& dm = *DataMod;
    if (contact != 0) {
        dm.OpenByField(q_, "entity", contact, kTag, "entity_id");
        address = Column(q_, "entity_email");
        return;
    }
    dm.OpenByField(q_, "repEntityAddress", customer, kTag, "bus_unit_id");
    RequireOpen(q_);
    if (q_.IsEmpty()) {
        dm.OpenByField(q_, "entity", customer, kTag, "entity_id");
        address = Column(q_, "entity_email");
        return;
    }
    address = Column(q_, "address_email1");
    if (address.empty())
        address = Column(q_, "entity_email");
}

}  // namespace zl::reportserver
