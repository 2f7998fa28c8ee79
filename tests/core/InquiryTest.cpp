// Follow-up inquiries of quotations, orders and invoices.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "core/Inquiry.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

constexpr int kSource = 9101;
constexpr int kCustomer = 9201;
constexpr int kSourceBusUnit = 9301;
constexpr int kCurrentBusUnit = 9302;

// The columns a follow-up fills, in this order.
constexpr const char* kColumns =
    "zlm_doc_id, zlm_doc_ref, dimension_id, inq_status_id, customer_id, bus_unit_id, "
    "quotation_id, order_id, invoice_id, zlm_doc_descr, zlm_doc_followup, zlm_doc_date, "
    "zlm_doc_time, zlm_doc_notes";

using Row = std::vector<std::string>;

class InquiryTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        CurBusUnitId = kCurrentBusUnit;
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, "
            "zlm_doc_descr) values (9101, 6, 9201, 9301, 'Source')");
    }

    void SetRemindDays(int days) {
        ASSERT_TRUE(dm->actionQuery(
            dm->localConn, "update config set config_reminddays=" + std::to_string(days), "test"));
        ASSERT_TRUE(dm->openQuery(dm->localConn, dm->qConfig, "test", "select * from config"));
    }

    // The stored follow-up rows (kColumns) in key order, read on a connection of their own.
    std::vector<Row> FollowUps() const {
        return StoredRows(folder.MainDb(), std::string("select ") + kColumns +
                                               " from zlm_doc where dimension_id=18 order by "
                                               "zlm_doc_id");
    }

    std::string LastKey() const {
        return Stored(folder.MainDb(), "select next_id from id_control");
    }

    static std::string DayText(int days) {
        return format::DateTimeToStr(format::IncDay(format::Date(), days));
    }

    // The row a follow-up of kSource should be, with `link` holding the source key.
    Row Expected(const std::string& key, const std::string& link, const std::string& descr,
                 int remindDays) const {
        return {key,
                key,
                "18",
                "1",
                std::to_string(kCustomer),
                std::to_string(kCurrentBusUnit),
                link == "quotation_id" ? "9101" : "0",
                link == "order_id" ? "9101" : "0",
                link == "invoice_id" ? "9101" : "0",
                descr,
                DayText(remindDays),
                DayText(0),
                "[no value]",
                "<null>"};
    }
};

TEST_F(InquiryTest, AQuotationFollowUpIsDueAfterTheRemindDays) {
    // The delivered settings remind after 7 days.
    Inquiry inquiry;
    EXPECT_TRUE(inquiry.quotationFollowUp(kSource));
    const std::string key = LastKey();
    EXPECT_EQ(FollowUps(),
              std::vector<Row>{Expected(key, "quotation_id", "Quotation follow-up", 7)});
    EXPECT_EQ(inquiry.qDoc.State(), db::DataSetState::dsBrowse);
    EXPECT_EQ(inquiry.qDoc.FieldByName("zlm_doc_id").AsString(), key);
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(InquiryTest, AnOrderFollowUpLinksTheOrder) {
    SetRemindDays(3);
    Inquiry inquiry;
    inquiry.orderFollowUp(kSource);
    EXPECT_EQ(FollowUps(), std::vector<Row>{Expected(LastKey(), "order_id", "Order follow-up", 3)});
}

TEST_F(InquiryTest, AnInvoiceFollowUpLinksTheInvoice) {
    SetRemindDays(30);
    Inquiry inquiry;
    inquiry.invoiceFollowUp(kSource);
    EXPECT_EQ(FollowUps(),
              std::vector<Row>{Expected(LastKey(), "invoice_id", "Invoice follow-up", 30)});
}

TEST_F(InquiryTest, WithNoRemindDaysTheFollowUpIsDueToday) {
    SetRemindDays(0);
    Inquiry inquiry;
    inquiry.quotationFollowUp(kSource);
    const std::vector<Row> rows = FollowUps();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][10], DayText(0));
    // Stored in the canonical form, midnight.
    EXPECT_EQ(
        Stored(folder.MainDb(), "select zlm_doc_followup || '' from zlm_doc where dimension_id=18"),
        format::DateTimeToIso(format::Date()));
}

TEST_F(InquiryTest, TheFollowUpBelongsToTheCurrentBusinessUnitNotTheSources) {
    CurBusUnitId = 0;
    Inquiry inquiry;
    inquiry.orderFollowUp(kSource);
    EXPECT_EQ(Stored(folder.MainDb(), "select bus_unit_id from zlm_doc where dimension_id=18"),
              "0");
    EXPECT_EQ(Stored(folder.MainDb(), "select bus_unit_id from zlm_doc where zlm_doc_id=9101"),
              std::to_string(kSourceBusUnit));
}

TEST_F(InquiryTest, TwoFollowUpsOfOneSourceAreTwoRows) {
    Inquiry inquiry;
    inquiry.quotationFollowUp(kSource);
    const std::string first = LastKey();
    inquiry.quotationFollowUp(kSource);
    const std::string second = LastKey();
    EXPECT_EQ(std::stoi(second), std::stoi(first) + 1);
    EXPECT_EQ(FollowUps(),
              (std::vector<Row>{Expected(first, "quotation_id", "Quotation follow-up", 7),
                                Expected(second, "quotation_id", "Quotation follow-up", 7)}));
}

TEST_F(InquiryTest, AppendGenFillsTheRowButLeavesItUnposted) {
    Inquiry inquiry;
    EXPECT_TRUE(inquiry.appendGen(kSource, "invoice_id"));
    EXPECT_EQ(inquiry.qDoc.State(), db::DataSetState::dsInsert);
    EXPECT_EQ(inquiry.qDoc.FieldByName("zlm_doc_ref").AsString(), LastKey());
    EXPECT_EQ(inquiry.qDoc.FieldByName("invoice_id").AsInteger(), kSource);
    EXPECT_EQ(inquiry.qDoc.FieldByName("customer_id").AsInteger(), kCustomer);
    EXPECT_EQ(inquiry.qDoc.FieldByName("zlm_doc_descr").AsString(), "[no value]");
    EXPECT_EQ(inquiry.qSource.FieldByName("zlm_doc_descr").AsString(), "Source");
    EXPECT_EQ(FollowUps(), std::vector<Row>{});
}

// A query that cannot be opened, or a key that cannot be issued, is told once; the follow-up
// then stops instead of writing into a closed query, which would tell it a second time.
TEST_F(InquiryTest, AFollowUpThatCannotBeMadeIsToldOnceAndPostsNothing) {
    struct Case {
        const char* table;
        const char* boxFrom;
    };
    const Case cases[] = {
        {"zlm_doc", "TDataMod.openQuery > Inquiry.Create"},
        {"id_control", "TDataMod.openQuery > TDataMod.nextID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const std::string table = c.table;
        Exec("alter table " + table + " rename to " + table + "_gone");
        const std::size_t before = prompter.Count();
        {
            Inquiry inquiry;
            EXPECT_FALSE(inquiry.quotationFollowUp(kSource));
            EXPECT_NE(inquiry.qDoc.State(), db::DataSetState::dsInsert);
        }
        EXPECT_EQ(prompter.Count(), before + 1);
        EXPECT_EQ(LastBoxFirstLine(), std::string("Exception occurred in: ") + c.boxFrom);
        Exec("alter table " + table + "_gone rename to " + table);
        EXPECT_EQ(FollowUps(), std::vector<Row>{});
    }
}

TEST_F(InquiryTest, AnErrorPassesToTheCaller) {
    Inquiry inquiry;
    EXPECT_THROW(inquiry.appendGen(kSource, "no_such_id"), db::DbError);
    EXPECT_EQ(FollowUps(), std::vector<Row>{});
    EXPECT_EQ(ErrorLog(), "");
}

}  // namespace
}  // namespace zl
