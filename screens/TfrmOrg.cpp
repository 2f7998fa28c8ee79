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
    frmDocTemplate = new TfrmDocTemplate(this);
    templateFrame->bindDimension(dimensions_->Require(26, tag), frmDocTemplate);
    frmBusUnit = new TfrmBusUnit(this);
    busUnitFrame->bindDimension(dimensions_->Require(5, tag), frmBusUnit);
    frmUserGroup = new TfrmUserGroup(this);
    userGroupFrame->bindDimension(dimensions_->Require(kUserGroups, tag), frmUserGroup);
    frmSysUser = new TfrmSysUser(this);
    sysUserFrame->bindDimension(dimensions_->Require(4, tag), frmSysUser);
    frmRegion = new TfrmRegion(this);
    regionFrame->bindDimension(dimensions_->Require(16, tag), frmRegion);
    frmCustType = new TfrmCustType(this);
    custTypeFrame->bindDimension(dimensions_->Require(13, tag), frmCustType);
    frmCampaign = new TfrmCampaign(this);
    campaignFrame->bindDimension(dimensions_->Require(28, tag), frmCampaign);
    frmQuestionnaire = new TfrmQuestionnaire(this);
    questFrame->bindDimension(dimensions_->Require(33, tag), frmQuestionnaire);
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
