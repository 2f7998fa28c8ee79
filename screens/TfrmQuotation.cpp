#include "screens/TfrmQuotation.h"

#include "core/Inquiry.h"

namespace zl {

namespace {

const DocumentKind kKind{
    "TfrmQuotation",
    "frmQuotation",
    "Quotation",
    6,
    "Quotation date: ",
    "Quotation time: ",
    "Quotation items",
    "&OK",
    &Inquiry::quotationFollowUp,
    1,
    "TfrmQuotation.openTables",
    true,
    true,
};

}  // namespace

TfrmQuotation::TfrmQuotation(QWidget* owner) : DocumentDialog(kKind, owner) {}

}  // namespace zl
