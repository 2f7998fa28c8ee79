#include "reportserver/CustContact.h"

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"

namespace zl::reportserver {
namespace {

constexpr const char* kTag = "CustContact.getContactEMail";

// Opens the rows of `table` whose `column` is `id`. A query that cannot be opened has been
// logged and shown by the data module; the member then ends with an error result and no
// address, and nothing is read from the closed query.
void Open(db::Query& q, const std::string& table, int id, const std::string& column) {
    if (!DataMod->OpenByField(q, table, id, kTag, column))
        throw db::DbError("Cannot perform this operation on a closed dataset");
}

}  // namespace

void CustContact::getContactEMail(int customer, int contact, std::string& address) {
    address.clear();
    if (contact != 0) {
        Open(q_, "entity", contact, "entity_id");
        address = q_.FieldByName("entity_email").AsString();
        return;
    }
    Open(q_, "repEntityAddress", customer, "bus_unit_id");
    if (q_.IsEmpty()) {
        Open(q_, "entity", customer, "entity_id");
        address = q_.FieldByName("entity_email").AsString();
        return;
    }
    address = q_.FieldByName("address_email1").AsString();
    if (address.empty())
        address = q_.FieldByName("entity_email").AsString();
}

}  // namespace zl::reportserver
