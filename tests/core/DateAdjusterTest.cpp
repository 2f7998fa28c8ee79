// The proposed validity period of a new rate: after the owner's latest period, or from today.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DataMod.h"
#include "core/DateAdjuster.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

constexpr int kItem = 6001;
constexpr int kOtherItem = 6002;

class DateAdjusterTest : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }

    void AddRate(int id, int item, const std::string& to) {
        Exec("insert into bill_rate (bill_rate_id, billable_id, bill_rate_to) values (" +
             std::to_string(id) + ", " + std::to_string(item) + ", " + to + ")");
    }
    // A new bill rate row of kItem with the period proposed for it, as "from|to".
    std::string ProposeBillRate() {
        db::Query rate(&dm->zlmConn);
        EXPECT_TRUE(dm->openQuery(rate, "select * from bill_rate where 1=0", "test"));
        rate.Append();
        DateAdjuster adjuster;
        adjuster.prevDates("bill_rate", "bill_rate_to", "billable_id", kItem, rate,
                           "bill_rate_from", "bill_rate_to", 365);
        return Text(rate.FieldByName("bill_rate_from")) + "|" +
               Text(rate.FieldByName("bill_rate_to"));
    }
    static std::string Text(const db::Field& f) {
        return f.IsNull() ? "null" : format::DateTimeToIso(f.AsDateTime());
    }
    static std::string FromToday(int days) {
        return format::DateTimeToIso(format::IncDay(format::Date(), days));
    }
};

TEST_F(DateAdjusterTest, TheNewPeriodBeginsOnTheDayTheLatestOfTheOwnerEnds) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::string>> earlierEnds;  // owner, end
        std::string expected;
    };
    const std::string today = FromToday(0) + "|" + FromToday(365);
    const Case cases[] = {
        {"no earlier period", {}, today},
        {"only other owners' periods", {{kOtherItem, "'2024-12-31 00:00:00'"}}, today},
        {"one period",
         {{kItem, "'2024-03-31 00:00:00'"}},
         "2024-03-31 00:00:00|2025-03-31 00:00:00"},
        {"several, stored out of order, another owner's later",
         {{kItem, "'2024-12-31 00:00:00'"},
          {kItem, "'2024-03-31 00:00:00'"},
          {kOtherItem, "'2026-06-30 00:00:00'"}},
         "2024-12-31 00:00:00|2025-12-31 00:00:00"},
        {"a period without an end beside one with an end",
         {{kItem, "null"}, {kItem, "'2024-03-31 00:00:00'"}},
         "2024-03-31 00:00:00|2025-03-31 00:00:00"},
        {"only a period without an end", {{kItem, "null"}}, today},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("delete from bill_rate");
        int id = 7001;
        for (const auto& [owner, end] : c.earlierEnds)
            AddRate(id++, owner, end);
        EXPECT_EQ(ProposeBillRate(), c.expected);
    }
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(DateAdjusterTest, ExchangeRatesFollowTheirRegionsLatestPeriod) {
    Exec(
        "insert into exchange_rate (exchange_rate_id, region_id, exchange_rate_to) values "
        "(7101, 16001, '2023-06-30 00:00:00'), (7102, 16001, '2024-06-30 00:00:00'), "
        "(7103, 16002, '2030-01-01 00:00:00')");
    db::Query rate(&dm->zlmConn);
    ASSERT_TRUE(dm->openQuery(rate, "select * from exchange_rate where 1=0", "test"));
    rate.Append();
    rate.FieldByName("exchange_rate_id").SetAsInteger(7104);
    rate.FieldByName("region_id").SetAsInteger(16001);
    DateAdjuster().prevDates("exchange_rate", "exchange_rate_to", "region_id", 16001, rate,
                             "exchange_rate_from", "exchange_rate_to", 365);
    EXPECT_EQ(Text(rate.FieldByName("exchange_rate_from")), "2024-06-30 00:00:00");
    // 2025 is no leap year: 365 days are one calendar year here.
    EXPECT_EQ(Text(rate.FieldByName("exchange_rate_to")), "2025-06-30 00:00:00");
    rate.Post();
    EXPECT_EQ(Stored(folder.MainDb(),
                     "select exchange_rate_from || '|' || exchange_rate_to from exchange_rate "
                     "where exchange_rate_id=7104"),
              "2024-06-30 00:00:00|2025-06-30 00:00:00");
}

TEST_F(DateAdjusterTest, AFailingLookUpLeavesTheRowAsItWasAndRaisesNothing) {
    db::Query rate(&dm->zlmConn);
    ASSERT_TRUE(dm->openQuery(rate, "select * from bill_rate where 1=0", "test"));
    rate.Append();
    rate.FieldByName("bill_rate_from").SetAsString("2020-01-01 00:00:00");
    DateAdjuster adjuster;
    EXPECT_NO_THROW(adjuster.prevDates("no_such_table", "bill_rate_to", "billable_id", kItem, rate,
                                       "bill_rate_from", "bill_rate_to", 365));
    EXPECT_EQ(Text(rate.FieldByName("bill_rate_from")), "2020-01-01 00:00:00");
    EXPECT_EQ(Text(rate.FieldByName("bill_rate_to")), "null");
    // Only the open's own entry: prevDates adds none.
    EXPECT_EQ(ErrorLog().rfind("TDataMod.openQuery > DateAdjuster.prevDates;", 0), 0u);
    EXPECT_EQ(ErrorLog().find("\r\n") + 2, ErrorLog().size());

    // A column the row does not have: nothing raised, nothing shown beyond the open's box.
    const std::size_t boxes = prompter.Count();
    EXPECT_NO_THROW(adjuster.prevDates("bill_rate", "bill_rate_to", "billable_id", kItem, rate,
                                       "no_such_column", "bill_rate_to", 365));
    EXPECT_EQ(prompter.Count(), boxes);
}

}  // namespace
}  // namespace zl
