#include "screens/TfrmAssembly.h"

namespace zl {

namespace {

constexpr CatalogueColumn kAssemblyColumns[] = {
    {"billable_descr", "Description: ", "", ""},
    {"billable_code", "Code: ", "", ""},
    {"billable_custcode", "Customer code: ", "", ""},
    {"billable_sku", "SKU: ", "", ""},
};

constexpr CatalogueKind kAssembly{
    .className = "TfrmAssembly",
    .objectName = "frmAssembly",
    .caption = "Assembly",
    .dimension = 11,
    .columns = kAssemblyColumns,
    .detailsTab = "Assembly details",
    .listHeading = "Assembly components and services",
    .rates = false,
    .imagesTab = "Assembly images",
    .okCaption = "&Save and close",
};

}  // namespace

TfrmAssembly::TfrmAssembly(QWidget* owner) : CatalogueItemDialog(kAssembly, owner) {}

}  // namespace zl
