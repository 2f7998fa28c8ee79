#include "screens/TfrmOrg.h"

#include <QTabWidget>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmBusUnit.h"
#include "screens/TfrmCampaign.h"
#include "screens/TfrmCustType.h"
#include "screens/TfrmDocTemplate.h"
#include "screens/TfrmQuestionnaire.h"
#include "screens/TfrmRegion.h"
#include "screens/TfrmSysUser.h"
#include "screens/TfrmUserGroup.h"

namespace zl {

namespace {
constexpr int kUserGroups = 3;
}

TfrmOrg::TfrmOrg(QWidget* parent) : HubWindow("My organization", OrganizationOpen, parent) {
    setObjectName("frmOrg");
    PageControl1 = NewPageControl();
    busUnitFrame = AddFrameTab(PageControl1, "busUnitFrame", "Business units");
    userGroupFrame = AddFrameTab(PageControl1, "userGroupFrame", "User groups");
    sysUserFrame = AddFrameTab(PageControl1, "sysUserFrame", "System users");
    regionFrame = AddFrameTab(PageControl1, "regionFrame", "Regions");
    templateFrame = AddFrameTab(PageControl1, "templateFrame", "Document templates");
    custTypeFrame = AddFrameTab(PageControl1, "custTypeFrame", "Customer types");
    campaignFrame = AddFrameTab(PageControl1, "campaignFrame", "Campaigns");
    questFrame = AddFrameTab(PageControl1, "questFrame", "Questionnaire definitions");
    PageControl1->setCurrentIndex(0);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

TfrmOrg::~TfrmOrg() = default;

void TfrmOrg::setCollection(DimCollection* dimensions) {
    HubWindow::setCollection(dimensions);
    buildOrgFrames();
}

void TfrmOrg::buildOrgFrames() {
    if (!dimensions_)
        return;
    const std::string tag = "TfrmOrg.buildOrgFrames";
    frmDocTemplate = BindFrame<TfrmDocTemplate>(templateFrame, 26, tag);
    frmBusUnit = BindFrame<TfrmBusUnit>(busUnitFrame, 5, tag);
    frmUserGroup =
        BindFrame<TfrmUserGroup>(userGroupFrame, kUserGroups, tag, ChangeRule::UserAdministrators);
    frmSysUser =
        BindFrame<TfrmSysUser>(sysUserFrame, 4, tag, ChangeRule::UserAdministratorsOrOwnRow);
    frmRegion = BindFrame<TfrmRegion>(regionFrame, 16, tag);
    frmCustType = BindFrame<TfrmCustType>(custTypeFrame, 13, tag);
    frmCampaign = BindFrame<TfrmCampaign>(campaignFrame, 28, tag);
    frmQuestionnaire = BindFrame<TfrmQuestionnaire>(questFrame, 33, tag);
}

void TfrmOrg::PageControl1Change() {
    if (!dimensions_)
        return;
    const DimensionTable* groups = dimensions_->Find(kUserGroups);
    const int group = groups ? groups->GetRecordId() : 0;
    // Where the kinds name no parent field this simply refreshes both lists.
    userGroupFrame->setParentID(group);
    busUnitFrame->setParentID(group);
}

}  // namespace zl
