// The "My organization" hub: the organisation's own records on eight tabs, each a list frame
// bound to its kind and edit dialog.
#pragma once

#include "screens/HubWindow.h"

class QTabWidget;

namespace zl {

class TBrowseFrame;
class TfrmBusUnit;
class TfrmUserGroup;
class TfrmSysUser;
class TfrmRegion;
class TfrmDocTemplate;
class TfrmCustType;
class TfrmCampaign;
class TfrmQuestionnaire;

class TfrmOrg : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmOrg(QWidget* parent = nullptr);
    ~TfrmOrg() override;

    void setCollection(DimCollection* dimensions) override;
    // Hands the user group under the cursor to the user group and business unit lists, which
    // re-open.
    void PageControl1Change();

    QTabWidget* PageControl1;
    TBrowseFrame* busUnitFrame;
    TBrowseFrame* userGroupFrame;
    TBrowseFrame* sysUserFrame;
    TBrowseFrame* regionFrame;
    TBrowseFrame* templateFrame;
    TBrowseFrame* custTypeFrame;
    TBrowseFrame* campaignFrame;
    TBrowseFrame* questFrame;

    // Created once, owned by the window and reused for every add and edit.
    TfrmBusUnit* frmBusUnit = nullptr;
    TfrmUserGroup* frmUserGroup = nullptr;
    TfrmSysUser* frmSysUser = nullptr;
    TfrmRegion* frmRegion = nullptr;
    TfrmDocTemplate* frmDocTemplate = nullptr;
    TfrmCustType* frmCustType = nullptr;
    TfrmCampaign* frmCampaign = nullptr;
    TfrmQuestionnaire* frmQuestionnaire = nullptr;

  private:
    void buildOrgFrames();
};

}  // namespace zl
