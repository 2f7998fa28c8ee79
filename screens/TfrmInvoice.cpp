#include "screens/TfrmInvoice.h"

#include "core/Inquiry.h"

namespace zl {

namespace {

const DocumentKind kKind{
    "TfrmInvoice",
    "frmInvoice",
    "Invoice",
    8,
    "Invoice date:",
    "Invoice time: ",
    "Invoice items",
    "&Save and Close",
    &Inquiry::invoiceFollowUp,
    3,
    "TfrmInvoice.openTables",
    false,
    false,
};

}  // namespace

TfrmInvoice::TfrmInvoice(QWidget* owner) : DocumentDialog(kKind, owner) {}

}  // namespace zl
