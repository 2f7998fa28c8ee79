// The customers' index: delivered, added to an older main database at start-up, and used by the
// list's ordered read.
#include "core/ListIndexes.h"

#include <gtest/gtest.h>

#include <regex>

#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

class ListIndexesTest : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
    // How the customer list's statement is read: each step of the plan, one a line.
    std::string Plan() const {
        std::string plan;
        for (const auto& row : StoredRows(folder.MainDb(),
                                          "explain query plan select * from lstCustomer where 1 "
                                          "order by [full name]"))
            plan += row.back() + "\n";
        return plan;
    }
    static std::string Collapsed(const std::string& sql) {
        return std::regex_replace(sql, std::regex("\\s+"), " ");
    }
};

TEST_F(ListIndexesTest, AnOlderFileGetsTheDeliveredIndexOnceAndTheListReadsThroughIt) {
    // The delivered file holds the index start-up adds, and it is not written again.
    EXPECT_EQ(Collapsed(Main("select sql from sqlite_master where name='entity_by_full_name'")),
              Collapsed(CustomerNameIndexSql()));
    EXPECT_EQ(AddListIndexes(dm->zlmConn), IndexUpdate::Present);

    Exec("drop index entity_by_full_name");
    EXPECT_NE(Plan().find("TEMP B-TREE FOR ORDER BY"), std::string::npos) << Plan();
    EXPECT_EQ(AddListIndexes(dm->zlmConn), IndexUpdate::Added);
    // The list's order comes from the index: nothing is sorted.
    EXPECT_NE(Plan().find("entity_by_full_name"), std::string::npos) << Plan();
    EXPECT_EQ(Plan().find("TEMP B-TREE"), std::string::npos) << Plan();
    EXPECT_EQ(AddListIndexes(dm->zlmConn), IndexUpdate::Present);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(ListIndexesTest, AnIndexThatCannotBeAddedIsLoggedOnce) {
    Exec("drop index entity_by_full_name");
    Exec("create table entity_by_full_name (x INTEGER)");  // the name taken
    EXPECT_EQ(AddListIndexes(dm->zlmConn), IndexUpdate::Failed);
    EXPECT_EQ(LogCount("TDataMod.AddListIndexes"), 1) << ErrorLog();
    EXPECT_FALSE(dm->zlmConn.InTransaction());
}

}  // namespace
}  // namespace zl
