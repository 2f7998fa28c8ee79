// The "My organization" and "Billable items" hubs: every tab lists its own kind and opens the
// window's own dialog on the row under the cursor; the organisation's tab change re-opens the
// user group and business unit lists.
#include <QApplication>
#include <QTabWidget>
#include <algorithm>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmAssembly.h"
#include "screens/TfrmBillable.h"
#include "screens/TfrmBusUnit.h"
#include "screens/TfrmCampaign.h"
#include "screens/TfrmComponent.h"
#include "screens/TfrmCustType.h"
#include "screens/TfrmDocTemplate.h"
#include "screens/TfrmForecast.h"
#include "screens/TfrmOrg.h"
#include "screens/TfrmQuestionnaire.h"
#include "screens/TfrmRegion.h"
#include "screens/TfrmService.h"
#include "screens/TfrmSysUser.h"
#include "screens/TfrmUserGroup.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

struct Tab {
    const char* caption;
    TBrowseFrame* frame;
    QDialog* dialog;
    int dimension;
    int key;  // the one row seeded for this kind
};

class HubWindowsTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name) values (7001, 3, "
            "\"Sales\"), (7003, 5, \"Head office\"), (7004, 16, \"Europe\")");
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_username, "
            "entity_pwd) values (7002, 4, \"Ward\", \"ward\", \"s3cret\")");
        Exec(
            "insert into customer_type (customer_type_id, customer_type_descr) values (7005, "
            "\"Trade\")");
        Exec(
            "insert into doc_template (doc_template_id, doc_template_name) values (7006, "
            "\"Offer\")");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, zlm_doc_descr) values (7007, 28, "
            "\"Spring\"), (7008, 15, \"Next year\")");
        Exec(
            "insert into questionnaire (questionnaire_id, questionnaire_name) values (7009, "
            "\"Needs\")");
        Exec(
            "insert into billable (billable_id, dimension_id, billable_descr) values (7010, 14, "
            "\"Fitting\"), (7011, 10, \"Bolt\"), (7012, 11, \"Gate\")");
        // A service or component is not left without a rate.
        Exec(
            "insert into bill_rate (bill_rate_id, billable_id, dimension_id, bill_rate_selling) "
            "values (7013, 7010, 21, 10), (7014, 7011, 21, 2)");
    }
    static std::vector<int> Listed(TBrowseFrame& frame) { return test::Keys(frame.qBrowse); }
    static bool Lists(TBrowseFrame& frame, int key) {
        const std::vector<int> keys = Listed(frame);
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    }
    // Each tab in turn: its caption, its seeded row listed and no other tab's, and Edit on that
    // row opening this window's dialog for that kind and row.
    void CheckTabs(QTabWidget& pages, const std::vector<Tab>& tabs) {
        ASSERT_EQ(pages.count(), static_cast<int>(tabs.size()));
        EXPECT_EQ(pages.currentIndex(), 0);
        for (size_t i = 0; i < tabs.size(); ++i) {
            const Tab& tab = tabs[i];
            SCOPED_TRACE(tab.caption);
            pages.setCurrentIndex(static_cast<int>(i));
            EXPECT_EQ(pages.tabText(static_cast<int>(i)), tab.caption);
            EXPECT_EQ(pages.currentWidget(), tab.frame);
            ASSERT_NE(tab.dialog, nullptr);
            for (const Tab& other : tabs)
                EXPECT_EQ(Lists(*tab.frame, other.key), other.key == tab.key) << other.key;
            ASSERT_TRUE(tab.frame->qBrowse.Locate(tab.frame->qBrowse.Fields(0).FieldName(),
                                                  {db::Value{tab.key}}));
            QWidget* opened = nullptr;
            int record = 0;
            test::WhenModal<QDialog>([&](QDialog& d) {
                opened = &d;
                record = Dimensions->Find(tab.dimension)->GetRecordId();
                d.close();
            });
            tab.frame->EditExecute();
            for (auto& m : prompter.Messages())
                ADD_FAILURE() << m.text;
            EXPECT_EQ(opened, tab.dialog);
            EXPECT_EQ(record, tab.key);
            EXPECT_FALSE(Dimensions->AnyInEdit());
        }
    }
};

TEST_F(HubWindowsTest, MyOrganizationHasEightTabsEachWithItsKindAndDialog) {
    TfrmOrg window;
    window.setCollection(Dimensions);
    window.FinishFill();
    EXPECT_EQ(window.windowTitle(), "My organization");
    CheckTabs(
        *window.PageControl1,
        {{"Business units", window.busUnitFrame, window.frmBusUnit, 5, 7003},
         {"User groups", window.userGroupFrame, window.frmUserGroup, 3, 7001},
         {"System users", window.sysUserFrame, window.frmSysUser, 4, 7002},
         {"Regions", window.regionFrame, window.frmRegion, 16, 7004},
         {"Document templates", window.templateFrame, window.frmDocTemplate, 26, 7006},
         {"Customer types", window.custTypeFrame, window.frmCustType, 13, 7005},
         {"Campaigns", window.campaignFrame, window.frmCampaign, 28, 7007},
         {"Questionnaire definitions", window.questFrame, window.frmQuestionnaire, 33, 7009}});
}

TEST_F(HubWindowsTest, BillableItemsHasFourTabsEachWithItsKindAndDialog) {
    TfrmBillable window;
    window.setCollection(Dimensions);
    window.FinishFill();
    EXPECT_EQ(window.windowTitle(), "Billable items");
    CheckTabs(*window.PageControl1,
              {{"Services", window.serviceFrame, window.frmService, 14, 7010},
               {"Components", window.compFrame, window.frmComponent, 10, 7011},
               {"Assemblies", window.assemblyFrame, window.frmAssembly, 11, 7012},
               {"Sales forecasts", window.forecastFrame, window.frmForecast, 15, 7008}});
}

TEST_F(HubWindowsTest, ChangingTabsReopensTheUserGroupAndBusinessUnitListsOnly) {
    TfrmOrg window;
    window.setCollection(Dimensions);
    window.FinishFill();
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name) values (7021, 5, \"Branch\"), "
        "(7022, 3, \"Support\"), (7023, 16, \"Asia\")");
    EXPECT_FALSE(Lists(*window.busUnitFrame, 7021));
    window.PageControl1->setCurrentIndex(1);
    window.FinishFill();
    EXPECT_TRUE(Lists(*window.userGroupFrame, 7022));
    window.PageControl1->setCurrentIndex(0);
    window.FinishFill();
    EXPECT_TRUE(Lists(*window.busUnitFrame, 7021));
    // The regions list is not re-opened by a change of tab; its own Refresh shows the new row.
    window.PageControl1->setCurrentIndex(3);
    EXPECT_FALSE(Lists(*window.regionFrame, 7023));
    window.regionFrame->RefreshExecute();
    window.regionFrame->FinishFill();
    EXPECT_TRUE(Lists(*window.regionFrame, 7023));
}

}  // namespace
}  // namespace zl
