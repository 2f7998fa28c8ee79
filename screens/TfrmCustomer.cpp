#include "screens/TfrmCustomer.h"

#include "core/Globals.h"

namespace zl {

TfrmCustomer::TfrmCustomer(QWidget* parent) : HubWindow("Customers", CustomersOpen, parent) {}

}  // namespace zl
