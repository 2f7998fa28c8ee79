// The delivered rows: entity kinds and their list views, starting values, the first user
// and his rights, the key counter, the settings row and the score view.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ScriptDb.h"

namespace {

using zl::test::ReadScript;
using zl::test::ScriptDb;

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class MainDb : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(db.Exec(ReadScript("zlm.sql")), ""); }
    ScriptDb db;
};

TEST_F(MainDb, OneDimensionRowForEachEntityKind) {
    std::vector<std::string> ids;
    for (const auto& row : db.Rows("select dimension_id from dimension order by dimension_id")) {
        ids.push_back(row[0]);
    }
    const std::vector<std::string> expected = {"1",  "3",  "4",  "5",  "6",  "7",  "8",  "9",
                                               "10", "11", "13", "14", "15", "16", "17", "18",
                                               "19", "21", "22", "24", "25", "26", "27", "28",
                                               "29", "33", "34", "35", "36", "37", "38"};
    EXPECT_EQ(ids, expected);
    // Quotations, orders and invoices print reports 1, 2 and 3.
    EXPECT_EQ(db.Int("select dimension_reportid from dimension where dimension_id=6"), 1);
    EXPECT_EQ(db.Int("select dimension_reportid from dimension where dimension_id=7"), 2);
    EXPECT_EQ(db.Int("select dimension_reportid from dimension where dimension_id=8"), 3);
    EXPECT_EQ(db.Int("select count(*) from dimension where dimension_caption is null "
                     "or dimension_caption=''"),
              0);
}

TEST_F(MainDb, EveryDimensionNamesATableAndAListViewThatFit) {
    const auto dims = db.Rows(
        "select dimension_id, dimension_table, dimension_idfield, dimension_parentfield, "
        "dimension_query, type_table, type_idfield, type_orderfield from dimension");
    ASSERT_EQ(dims.size(), 31u);
    for (const auto& d : dims) {
        const std::string& id = d[0];
        const std::string &table = d[1], &idField = d[2], &parent = d[3], &query = d[4];
        const std::string &typeTable = d[5], &typeId = d[6], &typeOrder = d[7];
        SCOPED_TRACE("dimension " + id + " (" + query + ")");

        const auto tableCols = db.TableColumns(table);
        ASSERT_FALSE(tableCols.empty()) << "no table " << table;
        EXPECT_EQ(tableCols[0], idField);
        EXPECT_TRUE(Has(tableCols, "dimension_id"));
        EXPECT_TRUE(Has(tableCols, "allow_delete"));

        std::vector<std::string> cols;
        ASSERT_NO_THROW(cols = db.Columns("select * from " + query + " where true"));
        ASSERT_FALSE(cols.empty());
        EXPECT_EQ(cols[0], idField);
        EXPECT_TRUE(Has(cols, "allow_delete"));
        if (!parent.empty()) {
            EXPECT_TRUE(Has(tableCols, parent));
            EXPECT_TRUE(Has(cols, parent));
        }
        if (!typeTable.empty()) {
            EXPECT_TRUE(Has(cols, typeId));
            EXPECT_TRUE(Has(db.TableColumns(typeTable), typeId));
            EXPECT_TRUE(Has(db.TableColumns(typeTable), typeOrder));
            EXPECT_NO_THROW(db.Rows("select * from " + typeTable + " order by " + typeOrder));
        }
        // The statement the list frame builds, with a parent, a type and an order column.
        std::string sql = "select * from " + query + " where true ";
        if (!parent.empty()) {
            sql += " and " + parent + "=0";
        }
        if (!typeTable.empty()) {
            sql += " and " + typeId + "=1";
        }
        if (cols.size() > 1) {
            sql += " order by [" + cols.back() + "]";
        }
        EXPECT_NO_THROW(db.Rows(sql));
    }
}

TEST_F(MainDb, DocumentsContactEventsAndInquiriesHaveTypeFilters) {
    const std::map<int, std::string> expected = {{6, "doc_status"},
                                                 {7, "doc_status"},
                                                 {8, "doc_status"},
                                                 {9, "contact_type"},
                                                 {18, "inq_status"}};
    for (const auto& [dim, table] : expected) {
        const auto row = db.Rows(
            "select type_table, type_idfield, type_caption from dimension "
            "where dimension_id=" +
            std::to_string(dim));
        ASSERT_EQ(row.size(), 1u);
        EXPECT_EQ(row[0][0], table) << dim;
        EXPECT_EQ(row[0][1], table + "_id") << dim;
        EXPECT_FALSE(row[0][2].empty()) << dim;
    }
}

// Kinds that share a table each list only their own rows.
TEST_F(MainDb, ListViewsShowRowsOfTheirOwnKindOnly) {
    const auto dims = db.Rows(
        "select dimension_id, dimension_table, dimension_idfield, dimension_query "
        "from dimension");
    for (const auto& d : dims) {
        const int key = 500 + std::stoi(d[0]);
        ASSERT_EQ(db.Exec("insert into " + d[1] + " (" + d[2] +
                          ", dimension_id, allow_delete) "
                          "values (" +
                          std::to_string(key) + ", " + d[0] + ", 0)"),
                  "")
            << d[1];
    }
    for (const auto& d : dims) {
        SCOPED_TRACE("dimension " + d[0] + " (" + d[3] + ")");
        const bool shared =
            db.Int("select count(*) from dimension where dimension_table='" + d[1] + "'") > 1;
        std::set<int> keys;
        for (const auto& row : db.Rows("select " + d[2] + " from " + d[3])) {
            if (std::stoi(row[0]) >= 500) {
                keys.insert(std::stoi(row[0]));
            }
        }
        if (shared) {
            EXPECT_EQ(keys, std::set<int>{500 + std::stoi(d[0])});
        } else {
            EXPECT_TRUE(keys.count(500 + std::stoi(d[0])));
        }
    }
}

TEST_F(MainDb, CustomerListShowsTheFullName) {
    ASSERT_EQ(db.Exec("insert into entity (entity_id, dimension_id, entity_name, entity_first, "
                      "entity_title, allow_delete) values (600, 1, 'Smith', 'John', 'Mr', 0),"
                      "(601, 1, 'Acme Ltd', '', '', 0), (602, 1, 'Jones', NULL, 'Dr', 0)"),
              "");
    const std::string view =
        db.Rows("select dimension_query from dimension where dimension_id=1")[0][0];
    EXPECT_EQ(db.Rows("select \"full name\" from " + view + " where entity_id=600")[0][0],
              "Smith John Mr");
    EXPECT_EQ(db.Rows("select \"full name\" from " + view + " where entity_id=601")[0][0],
              "Acme Ltd  ");
    EXPECT_EQ(db.Rows("select \"full name\" from " + view + " where entity_id=602")[0][0],
              "Jones  Dr");
    // The pick lists expose the same text as "Full name".
    EXPECT_EQ(db.Rows("select \"Full name\" from brwCustomer where entity_id=600")[0][0],
              "Smith John Mr");
    // The placeholder customer 5 is a customer that cannot be deleted.
    const auto five = db.Rows("select allow_delete from " + view + " where entity_id=5");
    ASSERT_EQ(five.size(), 1u);
    EXPECT_NE(five[0][0], "0");
}

TEST_F(MainDb, NamedQueriesExposeTheColumnsTheProgramReads) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"brwQOI",
         {"zlm_doc_id", "dimension_id", "doc_status_id", "Customer", "Document type", "Date",
          "Status"}},
        {"brwCustomer", {"entity_id", "Full name"}},
        {"brwContactPerson", {"entity_id", "Full name"}},
        {"brwSysUser", {"entity_id", "Full name"}},
        {"brwUserGroup", {"entity_id", "Name"}},
        {"brwRegion", {"entity_id", "Region name"}},
        {"brwInqItem", {"doc_item_id", "zlm_doc_id"}},
        {"qCustomerTaxRate", {"doc_item_id", "entity_taxrate"}},
        {"qCustomerExchangeRate",
         {"doc_item_id", "exchange_rate_from", "exchange_rate_to", "exchange_rate"}},
        {"qQuestionAnswer",
         {"answer_id", "question_prompt", "question_type", "answer_text", "choice_id",
          "question_id", "question_default", "question_min"}},
        {"qScore", {"comp_quest_id", "score"}},
        {"repEntityAddress",
         {"bus_unit_id", "address_email1", "entity_email", "entity_name", "entity_fullname"}},
        {"repForecastItems", {"bus_unit_id", "zlm_doc_from", "zlm_doc_to", "total"}},
        {"usr_op", {"sys_op_id", "sys_usr_id"}},
        {"repFoodCals",
         {"sys_usr_id", "food_intake_date", "carbs", "fat", "proteins", "saturated"}},
        {"repCalorieGraph", {"sys_usr_id", "food_intake_date", "kj", "calories"}},
        {"repExerciseGraph",
         {"sys_usr_id", "usr_exercise_dt", "light", "medium", "heavy", "lightkj", "mediumkj",
          "heavykj"}},
        {"repWeightGraph", {"sys_usr_id", "usr_weight_date", "kg", "lbs", "bmi", "bmiimp"}},
    };
    for (const auto& [view, cols] : expected) {
        std::vector<std::string> actual;
        ASSERT_NO_THROW(actual = db.Columns("select * from " + view)) << view;
        for (const auto& col : cols) {
            EXPECT_TRUE(Has(actual, col)) << view << " lacks " << col;
        }
    }
}

TEST_F(MainDb, EntityAddressGivesOneRowPerEntityWithItsAddress) {
    ASSERT_EQ(db.Exec("insert into entity (entity_id, dimension_id, entity_name) values "
                      "(700, 1, 'Acme'), (701, 1, 'No address');"
                      "insert into address (address_id, entity_id, address_email1) values "
                      "(702, 700, 'sales@acme.example'), (703, 700, 'other@acme.example');"),
              "");
    EXPECT_EQ(db.Int("select count(*) from repEntityAddress"),
              db.Int("select count(*) from entity"));
    EXPECT_EQ(db.Rows("select address_email1 from repEntityAddress where bus_unit_id=700")[0][0],
              "sales@acme.example");
    EXPECT_EQ(db.Rows("select entity_name from repEntityAddress where bus_unit_id=701")[0][0],
              "No address");
    // The business unit's row carries its address.
    const long long unit = db.Int("select min(entity_id) from entity where dimension_id=5");
    EXPECT_EQ(db.Int("select count(*) from repEntityAddress where bus_unit_id=" +
                     std::to_string(unit) + " and address_postal1 <> ''"),
              1);
}

TEST_F(MainDb, ExchangeRatesOfTheLinesCustomerComeInPeriodOrder) {
    ASSERT_EQ(db.Exec("insert into entity (entity_id, dimension_id, region_id, entity_taxrate) "
                      "values (710, 1, 711, 15.0), (711, 16, 0, 0.0);"
                      "insert into exchange_rate (exchange_rate_id, region_id, dimension_id, "
                      "exchange_rate_from, exchange_rate_to, exchange_rate) values "
                      "(714, 711, 27, '2026-02-01 00:00:00', '2026-02-28 00:00:00', 2.0),"
                      "(713, 711, 27, '2026-01-01 00:00:00', '2026-01-31 00:00:00', 1.5);"
                      "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id) values "
                      "(712, 6, 710);"
                      "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id) values "
                      "(715, 712, 24);"),
              "");
    EXPECT_EQ(db.Rows("select entity_taxrate from qCustomerTaxRate where doc_item_id=715")[0][0],
              "15.0");
    const auto rates =
        db.Rows("select exchange_rate from qCustomerExchangeRate where doc_item_id=715");
    ASSERT_EQ(rates.size(), 2u);
    EXPECT_EQ(rates[0][0], "1.5");
    EXPECT_EQ(rates[1][0], "2.0");
}

TEST_F(MainDb, ForecastItemsCarryPeriodAndTotal) {
    ASSERT_EQ(db.Exec("insert into zlm_doc (zlm_doc_id, dimension_id, bus_unit_id, zlm_doc_from, "
                      "zlm_doc_to) values (720, 15, 3, '2026-01-01 00:00:00', "
                      "'2026-03-31 00:00:00'), (721, 6, 3, NULL, NULL);"
                      "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, "
                      "doc_item_total) values (722, 720, 24, 900.0), (723, 721, 24, 50.0);"),
              "");
    const auto rows =
        db.Rows("select zlm_doc_from, zlm_doc_to, total from repForecastItems where bus_unit_id=3");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"2026-01-01 00:00:00", "2026-03-31 00:00:00", "900.0"}));
}

TEST_F(MainDb, SystemUserLogsInAndHoldsRightsThroughHisGroup) {
    const auto users = db.Rows(
        "select entity_id, dimension_id from entity where lower(entity_username)='system' "
        "and lower(entity_pwd)='velkran'");
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0][1], "4");
    const std::string sys = users[0][0];
    EXPECT_EQ(db.Rows("select * from usr_op where sys_op_id=1 and sys_usr_id=" + sys).size(), 1u);
    // His group is a user group.
    EXPECT_EQ(db.Int("select e.dimension_id from group_user_link l join entity e on "
                     "e.entity_id=l.user_group_id where l.sys_user_id=" +
                     sys),
              3);

    // A user in no group has no rights; joining a group grants exactly its rights.
    ASSERT_EQ(db.Exec("insert into entity (entity_id, dimension_id, entity_username, "
                      "entity_pwd) values (730, 4, 'clerk', 'x');"
                      "insert into entity (entity_id, dimension_id, entity_name) values "
                      "(731, 3, 'Clerks');"
                      "insert into group_right values (732, 731, 3);"),
              "");
    EXPECT_EQ(db.Int("select count(*) from usr_op where sys_usr_id=730"), 0);
    ASSERT_EQ(db.Exec("insert into group_user_link values (733, 730, 731)"), "");
    EXPECT_EQ(db.Int("select count(*) from usr_op where sys_usr_id=730 and sys_op_id=3"), 1);
    EXPECT_EQ(db.Int("select count(*) from usr_op where sys_usr_id=730 and sys_op_id=1"), 0);
}

TEST_F(MainDb, DeliveredRowsTheScreensRelyOn) {
    EXPECT_EQ(db.Int("select count(*) from entity where entity_id=5 and dimension_id=1"), 1);
    EXPECT_EQ(db.Int("select count(*) from entity where dimension_id=5"), 1);
    EXPECT_EQ(db.Int("select count(*) from address a join entity e on e.entity_id=a.entity_id "
                     "where e.dimension_id=5"),
              1);
    EXPECT_EQ(db.Int("select count(*) from doc_template"), 1);
    EXPECT_EQ(db.Int("select dimension_id from doc_template"), 26);
    EXPECT_EQ(db.Rows("select sys_op_id from sys_op order by sys_op_id"),
              (std::vector<std::vector<std::string>>{{"1"}, {"2"}, {"3"}}));
    EXPECT_EQ(db.Int("select count(*) from inq_status where inq_status_id=1"), 1);
    EXPECT_EQ(db.Int("select count(*) from contact_type where contact_type_id=1"), 1);
    EXPECT_EQ(db.Int("select count(*) from doc_type where doc_type_id=8"), 1);
    EXPECT_GE(db.Int("select count(*) from doc_status"), 3);
    EXPECT_LE(db.Int("select count(*) from doc_status"), 40);
    EXPECT_GE(db.Int("select count(*) from inquiry_type"), 1);
}

TEST_F(MainDb, StartingValuesNameRealColumnsOfTheirKind) {
    const auto defs = db.Rows(
        "select d.dimension_id, m.dimension_table, d.dim_def_field from dim_def d "
        "left join dimension m on m.dimension_id=d.dimension_id");
    ASSERT_FALSE(defs.empty());
    for (const auto& def : defs) {
        ASSERT_FALSE(def[1].empty()) << "dim_def row of unknown dimension " << def[0];
        EXPECT_TRUE(Has(db.TableColumns(def[1]), def[2])) << def[0] << ": " << def[2];
    }
    auto value = [&](int dim, const std::string& field) {
        const auto rows =
            db.Rows("select dim_def_value from dim_def where dimension_id=" + std::to_string(dim) +
                    " and dim_def_field='" + field + "'");
        return rows.size() == 1 ? rows[0][0] : std::string("<") + std::to_string(rows.size()) + ">";
    };
    for (int dim : {6, 7, 8, 9, 15, 18, 28}) {
        EXPECT_EQ(value(dim, "zlm_doc_time"), "time") << dim;
    }
    for (int dim : {6, 7, 8}) {
        const std::string status = value(dim, "doc_status_id");
        EXPECT_EQ(db.Int("select count(*) from doc_status where doc_status_id=" + status), 1);
    }
    EXPECT_EQ(value(9, "zlm_doc_file"), "[none]");
    EXPECT_EQ(value(18, "inq_status_id"), "1");
    EXPECT_EQ(value(22, "inq_status_id"), "1");
    for (const char* f : {"doc_item_rate", "doc_item_tax", "doc_item_discount", "doc_item_total"}) {
        EXPECT_EQ(value(24, f), "0") << f;
    }
    for (const char* f : {"bill_rate_selling", "bill_rate_cost", "bill_rate_tax"}) {
        EXPECT_EQ(value(21, f), "0") << f;
    }
    EXPECT_EQ(value(28, "zlm_doc_campaigngenerated"), "0");
}

TEST_F(MainDb, ScoreHasOneRowPerCompletedQuestionnaire) {
    ASSERT_EQ(
        db.Exec("insert into question (question_id, quest_section_id, question_type) values "
                "(800, 0, 3), (801, 0, 3), (802, 0, 0);"
                "insert into choice (choice_id, question_id, choice_score) values "
                "(810, 800, 0.0), (811, 800, 5.0), (812, 800, 10.0),"
                "(813, 801, 2.0), (814, 801, 10.0);"
                // 820: 5 of 10 and 10 of 10; 821: no answers; 822: free text only;
                // 823: questions answered without a choice.
                "insert into comp_quest (comp_quest_id, customer_id) values "
                "(820, 5), (821, 5), (822, 5), (823, 5);"
                "insert into answer (answer_id, comp_quest_id, question_id, choice_id, "
                "answer_text) values (830, 820, 800, 811, ''), (831, 820, 801, 814, ''),"
                "(832, 822, 802, 0, 'fine'), (833, 823, 800, 0, ''), (834, 823, 801, 0, '');"),
        "");
    const auto rows = db.Rows("select comp_quest_id, score from qScore order by comp_quest_id");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"820", "75.0"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"821", "0.0"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"822", "0.0"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"823", "0.0"}));
}

TEST(DataKeys, CounterIsAboveEveryDeliveredKey) {
    ScriptDb main, meta, local;
    ASSERT_EQ(main.Exec(ReadScript("zlm.sql")), "");
    ASSERT_EQ(meta.Exec(ReadScript("zlm_meta.sql")), "");
    ASSERT_EQ(local.Exec(ReadScript("zlmlocal.sql")), "");
    ASSERT_EQ(main.Int("select count(*) from id_control"), 1);
    const long long next = main.Int("select next_id from id_control");
    EXPECT_EQ(next, 1000);
    for (ScriptDb* db : {&main, &meta, &local}) {
        for (const auto& row : db->Rows("select name from sqlite_master where type='table'")) {
            const std::string& table = row[0];
            if (table == "id_control" || table == "config") {
                continue;
            }
            const auto key = db->TableColumns(table)[0];
            EXPECT_LT(db->Int("select coalesce(max(" + key + "), 0) from \"" + table + "\""), next)
                << table;
        }
    }
}

TEST(DataLocal, OneSettingsRowForAFirstStart) {
    ScriptDb db;
    ASSERT_EQ(db.Exec(ReadScript("zlmlocal.sql")), "");
    const auto rows = db.Rows(
        "select config_firstflag, config_doccounter, config_curdocdir, config_minussymbol, "
        "config_emailsender, config_reminddays, config_reportfont from config");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "0");
    EXPECT_EQ(rows[0][1], "0");
    EXPECT_EQ(rows[0][2], "0");
    EXPECT_TRUE(rows[0][3] == "-" || rows[0][3] == "(");
    EXPECT_TRUE(rows[0][4] == "Default mail client" || rows[0][4] == "SMTP server");
    EXPECT_GT(std::stoi(rows[0][5]), 0);
    EXPECT_FALSE(rows[0][6].empty());
    EXPECT_EQ(db.Int("select count(*) from audit"), 0);
}

}  // namespace
