#include "core/ReportServer.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/com/ErrorInfo.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TempConfigHome.h"

namespace zl {
namespace {

class ReportServerClientTest : public ::testing::Test {
  protected:
    com::ComPtr<test::FakeReportServer> fake = test::FakeReportServer::Create();
    std::unique_ptr<ReportServerClient> client = fake->NewClient();
};

TEST_F(ReportServerClientTest, EveryMemberHandsItsArgumentsOverUnchanged) {
    const std::string company = "Grünwald & Söhne; \"Ltd\"";
    struct Case {
        std::function<void(ReportServerClient&)> call;
        std::string recorded;
    };
    const std::vector<Case> cases = {
        {[](auto& c) { c.Connect("Data Source=/a/zlm.dat;", "meta;", ""); },
         "Connect(Data Source=/a/zlm.dat;|meta;|)"},
        {[](auto& c) { c.Disconnect(); }, "Disconnect()"},
        {[](auto& c) { c.Reconnect(); }, "Reconnect()"},
        {[&](auto& c) { c.SetRegisteredToCompany(company); },
         "RegisteredToCompany(" + company + ")"},
        {[](auto& c) { c.ShowReport(12, 3, -2, 2147483647, "/r/rep 1.html"); },
         "ShowReport(12|3|-2|2147483647|/r/rep 1.html)"},
        {[](auto& c) { c.ProcessTemplate(7, 3, 1001, "/r/brief é.rtf"); },
         "ProcessTemplate(7|3|1001|/r/brief é.rtf)"},
        {[](auto& c) { c.PrintBlankQuestionnaire(4, 5, "/q.html"); },
         "PrintBlankQuestionnaire(4|5|/q.html)"},
        {[](auto& c) { c.PrintCompletedQuestionnaire(6, 0, "/c.html"); },
         "PrintCompletedQuestionnaire(6|0|/c.html)"},
        {[](auto& c) { c.PrintGraph(8, 3, 9, -1, "/g.png"); }, "PrintGraph(8|3|9|-1|/g.png)"},
        {[](auto& c) { c.ShowNutritionBreakdown(2, 1); }, "ShowNutritionBreakdown(2|1)"},
        {[](auto& c) { c.ShowCalorieIntakeGraph(3, 0); }, "ShowCalorieIntakeGraph(3|0)"},
        {[](auto& c) { c.ShowExerciseGraph(4, 1); }, "ShowExerciseGraph(4|1)"},
        {[](auto& c) { c.ShowPlannedWeightLoss(5, 0); }, "ShowPlannedWeightLoss(5|0)"},
        {[](auto& c) { c.ShowWeightGraph(6, 1); }, "ShowWeightGraph(6|1)"},
    };
    for (const Case& c : cases) {
        c.call(*client);
        ASSERT_FALSE(fake->calls.empty());
        EXPECT_EQ(fake->calls.back(), c.recorded);
    }
    EXPECT_EQ(fake->calls.size(), cases.size());
}

TEST_F(ReportServerClientTest, AnswersComeBackAsPlainValues) {
    fake->contactEMail = "åsa.lindqvist@example.com";
    fake->copiedId = 4711;
    EXPECT_EQ(client->GetContactEMail(1001, 1002), "åsa.lindqvist@example.com");
    EXPECT_EQ(fake->calls.back(), "GetContactEMail(1001|1002)");
    EXPECT_EQ(client->CopyRecord("zlm_doc", "customer_id", 6001, 1001), 4711);
    EXPECT_EQ(fake->calls.back(), "CopyRecord(zlm_doc|customer_id|6001|1001)");
    fake->contactEMail.clear();
    EXPECT_EQ(client->GetContactEMail(1, 2), "");
}

TEST_F(ReportServerClientTest, AFailureBecomesAnErrorWithTheServersDescription) {
    fake->result = com::E_UNEXPECTED;
    fake->failureText = "No report with id 12 exists.";
    try {
        client->ShowReport(12, 3, 2, 1, "/r.html");
        FAIL() << "no error raised";
    } catch (const ReportServerError& e) {
        EXPECT_STREQ(e.what(), "No report with id 12 exists.");
    }
    // The record was taken: nothing of it is left for a later caller.
    EXPECT_FALSE(com::GetErrorInfo());

    // Without a description the result's own text stands in.
    fake->failureText.clear();
    try {
        client->Disconnect();
        FAIL() << "no error raised";
    } catch (const ReportServerError& e) {
        EXPECT_STREQ(e.what(), "OLE error 8000FFFF");
    }
    EXPECT_THROW(client->GetContactEMail(1, 2), ReportServerError);
    EXPECT_THROW(client->CopyRecord("t", "p", 1, 2), ReportServerError);

    fake->result = com::S_OK;
    EXPECT_NO_THROW(client->Reconnect());
}

TEST_F(ReportServerClientTest, TheClientHoldsOneReferenceForItsLife) {
    EXPECT_EQ(fake->references, 2);
    client.reset();
    EXPECT_EQ(fake->references, 1);
}

TEST(ReportServerCreateTest, AnUnregisteredServerIsAClearError) {
    test::TempConfigHome emptyClassStore;
    try {
        ReportServerClient::Create();
        FAIL() << "no error raised";
    } catch (const ReportServerError& e) {
        EXPECT_STREQ(e.what(), "Class not registered");
    }
}

}  // namespace
}  // namespace zl
