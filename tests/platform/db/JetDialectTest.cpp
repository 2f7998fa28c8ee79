#include "platform/db/JetDialect.h"

#include <gtest/gtest.h>

#include "platform/db/DbError.h"
#include "platform/format/Format.h"

namespace zl::db {
namespace {

TEST(JetDialect, DateLiteralsUseTheShortDateFormatAndBecomeStoredText) {
    EXPECT_EQ(TranslateJet("select * from inc_exp where inc_exp_date>=#2026/01/31# and "
                           "inc_exp_date<=#2026/02/28 17:05:09#"),
              "select * from inc_exp where inc_exp_date>='2026-01-31 00:00:00' and "
              "inc_exp_date<='2026-02-28 17:05:09'");

    auto& settings = format::Settings();
    const auto saved = settings;
    settings.ShortDateFormat = "dd/MM/yyyy";
    EXPECT_EQ(TranslateJet("x=#07/03/2026#"), "x='2026-03-07 00:00:00'");
    settings = saved;

    EXPECT_THROW(TranslateJet("x=#2026/02/30#"), DbError);
    EXPECT_THROW(TranslateJet("x=#2026/02/28"), DbError);
}

TEST(JetDialect, DatesWrittenBySqlDateMeanTheSameDayWhateverTheShortDateFormat) {
    const format::TDateTime day = format::EncodeDate(2026, 3, 7) + format::EncodeTime(9, 5, 0, 0);
    EXPECT_EQ(SqlDate(day), "#2026-03-07 09:05:00#");
    auto& settings = format::Settings();
    const auto saved = settings;
    for (const char* shortDate : {"yyyy/MM/dd", "dd/MM/yyyy", "MM/dd/yyyy", "dd-MM-yyyy"}) {
        settings.ShortDateFormat = shortDate;
        EXPECT_EQ(TranslateJet("x>=" + SqlDate(day)), "x>='2026-03-07 09:05:00'") << shortDate;
    }
    settings = saved;
}

TEST(JetDialect, DoubleQuotedValuesBecomeStringLiterals) {
    EXPECT_EQ(TranslateJet("select * from entity where lcase(entity_username)=\"system\""),
              "select * from entity where lcase(entity_username)='system'");
    // A doubled quote inside stays one quote; an apostrophe is escaped for SQLite.
    EXPECT_EQ(TranslateJet("x=\"say \"\"hi\"\"\" and y=\"O'Neil\""),
              "x='say \"hi\"' and y='O''Neil'");
}

TEST(JetDialect, SingleQuotedTextAndCommentsAreNeverRewritten) {
    EXPECT_EQ(TranslateJet("x='#1/1/2000# true [a] \"b\" top 5' -- true #x"),
              "x='#1/1/2000# true [a] \"b\" top 5' -- true #x");
    EXPECT_EQ(TranslateJet("x='it''s true'"), "x='it''s true'");
    EXPECT_THROW(TranslateJet("x='open"), DbError);
}

TEST(JetDialect, BracketsBooleansAndReservedColumnNames) {
    EXPECT_EQ(TranslateJet("select [full name], [a\"b] from x"),
              "select \"full name\", \"a\"\"b\" from x");
    EXPECT_EQ(TranslateJet("order by [odd]]name]"), "order by \"odd]name\"");
    EXPECT_EQ(TranslateJet("where a=True and b=FALSE and c_true=1"),
              "where a=1 and b=0 and c_true=1");
    EXPECT_EQ(TranslateJet("select template_tag_tag, table, suffix from template_tag where "
                           "table='entity'"),
              "select template_tag_tag, \"table\", suffix from template_tag where "
              "\"table\"='entity'");
    EXPECT_EQ(TranslateJet("create table t (a int); drop table t"),
              "create table t (a int); drop table t");
}

TEST(JetDialect, TopBecomesLimitOfItsOwnSelect) {
    EXPECT_EQ(TranslateJet("select top 1 usr_weight.* from usr_weight where sys_usr_id=3 "
                           "order by usr_weight_date desc"),
              "select usr_weight.* from usr_weight where sys_usr_id=3 "
              "order by usr_weight_date desc limit 1");
    EXPECT_EQ(TranslateJet("select distinct top 5 a from t"), "select distinct a from t limit 5");
    EXPECT_EQ(TranslateJet("select a from t where b in (select top 2 b from u order by b)"),
              "select a from t where b in (select b from u order by b limit 2)");
    EXPECT_EQ(TranslateJet("select top 3 a from t;"), "select a from t limit 3;");
    EXPECT_EQ(TranslateJet("select topper from t"), "select topper from t");
}

}  // namespace
}  // namespace zl::db
