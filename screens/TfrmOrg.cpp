#include "screens/TfrmOrg.h"

#include "core/Globals.h"

namespace zl {

TfrmOrg::TfrmOrg(QWidget* parent) : HubWindow("My organization", OrganizationOpen, parent) {}

}  // namespace zl
