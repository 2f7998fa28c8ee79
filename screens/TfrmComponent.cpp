#include "screens/TfrmComponent.h"

namespace zl {

namespace {

constexpr CatalogueColumn kComponentColumns[] = {
    {"billable_descr", "Description: ", "", ""},
    {"billable_code", "Our code: ", "", ""},
    {"billable_custcode", "External code: ", "", ""},
    {"billable_sku", "SKU: ", "", ""},
    {"billable_barcode", "Barcode: ", "", ""},
    {"billable_units", "Units: ", "", ""},
    {"billable_defqty", "Default quantity: ", "0.00", ""},
    {"billable_minqty", "Minimum quantity: ", "0.00", "0.000"},
    {"billable_maxqty", "Maximum quantity:", "0.00", "0.000"},
};

constexpr CatalogueKind kComponent{
    .className = "TfrmComponent",
    .objectName = "frmComponent",
    .caption = "Component",
    .dimension = 10,
    .columns = kComponentColumns,
    .detailsTab = "Details",
    .listHeading = "Component rates: ",
    .rates = true,
    .imagesTab = "Component images",
    .okCaption = "&Save and Close",
};

}  // namespace

TfrmComponent::TfrmComponent(QWidget* owner) : CatalogueItemDialog(kComponent, owner) {}

}  // namespace zl
