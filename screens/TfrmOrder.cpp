#include "screens/TfrmOrder.h"

#include "core/Inquiry.h"

namespace zl {

namespace {

const DocumentKind kKind{
    "TfrmOrder",
    "frmOrder",
    "Order",
    7,
    "Order date:",
    "Order time: ",
    "Order items",
    "&Save and Close",
    &Inquiry::orderFollowUp,
    2,
    "TfrmOrder.OpenTables",
    false,
    true,
};

}  // namespace

TfrmOrder::TfrmOrder(QWidget* owner) : DocumentDialog(kKind, owner) {}

}  // namespace zl
