#include "screens/TfrmService.h"

namespace zl {

namespace {

constexpr CatalogueColumn kServiceColumns[] = {
    {"billable_descr", "Description: ", "", ""},
    {"billable_code", "Our code: ", "", ""},
    {"billable_custcode", "External code:", "", ""},
    {"billable_units", "Units: ", "", ""},
    {"billable_defqty", "Default quantity: ", "", ""},
    {"billable_minqty", "Minimum quantity: ", "0.00", "0.000"},
    {"billable_maxqty", "Maximum quantity:", "0.00", "0.000"},
};

constexpr CatalogueKind kService{
    .className = "TfrmService",
    .objectName = "frmService",
    .caption = "Service",
    .dimension = 14,
    .columns = kServiceColumns,
    .detailsTab = nullptr,
    .listHeading = "Component rates: ",
    .rates = true,
    .imagesTab = nullptr,
    .okCaption = "&Save and Close",
};

}  // namespace

TfrmService::TfrmService(QWidget* owner) : CatalogueItemDialog(kService, owner) {}

}  // namespace zl
