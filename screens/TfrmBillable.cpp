#include "screens/TfrmBillable.h"

#include "core/Globals.h"

namespace zl {

TfrmBillable::TfrmBillable(QWidget* parent) : HubWindow("Billable items", BillableOpen, parent) {}

}  // namespace zl
