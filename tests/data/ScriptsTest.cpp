// The delivered database scripts: they build the three files, every view selects, and
// every column is declared in the form the dataset layer maps to a field type.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "ScriptDb.h"

namespace {

using zl::test::ReadScript;
using zl::test::ScriptDb;

const char* const kScripts[] = {"zlm.sql", "zlm_meta.sql", "zlmlocal.sql"};

std::vector<std::string> Names(ScriptDb& db, const std::string& type) {
    std::vector<std::string> names;
    for (const auto& row : db.Rows("select name from sqlite_master where type='" + type +
                                   "' and name not like 'sqlite_%' order by name")) {
        names.push_back(row[0]);
    }
    return names;
}

TEST(DataScripts, EachRunsOnAnEmptyDatabaseAndTheThreeBuildFiles) {
    char tmpl[] = "/tmp/zl_data_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::filesystem::path dir(tmpl);
    const std::pair<const char*, const char*> files[] = {
        {"zlm.sql", "zlm.dat"}, {"zlm_meta.sql", "zlm_meta.dat"}, {"zlmlocal.sql", "zlmlocal.dat"}};
    for (const auto& [script, file] : files) {
        {
            ScriptDb db((dir / file).string());
            EXPECT_EQ(db.Exec(ReadScript(script)), "") << script;
        }
        // Reopened, the file holds what the script made.
        ScriptDb again((dir / file).string());
        EXPECT_GT(again.Int("select count(*) from sqlite_master where type='table'"), 0) << file;
        EXPECT_EQ(again.Rows("pragma integrity_check")[0][0], "ok") << file;
    }
    std::filesystem::remove_all(dir);
}

TEST(DataScripts, EveryViewOfEachFileSelects) {
    for (const char* script : kScripts) {
        ScriptDb db;
        ASSERT_EQ(db.Exec(ReadScript(script)), "") << script;
        for (const auto& view : Names(db, "view")) {
            EXPECT_NO_THROW(db.Rows("select * from \"" + view + "\"")) << script << ": " << view;
        }
    }
    ScriptDb main;
    ASSERT_EQ(main.Exec(ReadScript("zlm.sql")), "");
    EXPECT_GE(Names(main, "view").size(), 40u);
}

TEST(DataScripts, ColumnsUseTheLayersTypesAndTextIgnoresCase) {
    const std::regex allowed(
        "INTEGER|SMALLINT|DOUBLE|CURRENCY|BIT|DATETIME|MEMO|VARCHAR\\([1-9][0-9]*\\)");
    for (const char* script : kScripts) {
        ScriptDb db;
        ASSERT_EQ(db.Exec(ReadScript(script)), "") << script;
        for (const auto& table : Names(db, "table")) {
            const auto cols = db.TableColumns(table);
            const auto types = db.TableTypes(table);
            for (size_t i = 0; i < cols.size(); ++i) {
                EXPECT_TRUE(std::regex_match(types[i], allowed))
                    << table << "." << cols[i] << " " << types[i];
                const char* collation = nullptr;
                int notNull = 0, primary = 0, autoinc = 0;
                ASSERT_EQ(sqlite3_table_column_metadata(db.handle(), nullptr, table.c_str(),
                                                        cols[i].c_str(), nullptr, &collation,
                                                        &notNull, &primary, &autoinc),
                          SQLITE_OK);
                const bool text = types[i] == "MEMO" || types[i].rfind("VARCHAR", 0) == 0;
                EXPECT_EQ(std::string(collation), text ? "NOCASE" : "BINARY")
                    << table << "." << cols[i];
                // Only column 0 may be the key.
                if (i > 0) {
                    EXPECT_EQ(primary, 0) << table << "." << cols[i];
                }
            }
        }
        // No foreign keys and no triggers anywhere.
        EXPECT_EQ(db.Int("select count(*) from sqlite_master where type='trigger'"), 0);
        EXPECT_EQ(db.Int("select count(*) from sqlite_master where sql like '%references%'"), 0)
            << script;
    }
}

TEST(DataScripts, EveryTableButTheOneRowTablesHasItsKeyAsColumnZero) {
    for (const char* script : kScripts) {
        ScriptDb db;
        ASSERT_EQ(db.Exec(ReadScript(script)), "") << script;
        for (const auto& table : Names(db, "table")) {
            const auto info = db.Rows("pragma table_info(\"" + table + "\")");
            if (table == "id_control" || table == "config") {
                for (const auto& col : info) {
                    EXPECT_EQ(col[5], "0") << table << " has a key column " << col[1];
                }
                EXPECT_EQ(db.Int("select count(*) from " + table), 1) << table;
                continue;
            }
            ASSERT_FALSE(info.empty());
            EXPECT_EQ(info[0][1], table + "_id") << table;
            EXPECT_EQ(info[0][2], "INTEGER") << table;
            EXPECT_EQ(info[0][5], "1") << table << " key is not column 0";
        }
    }
}

TEST(DataScripts, FloatColumnsStayFloatingThroughTheViews) {
    ScriptDb db;
    ASSERT_EQ(db.Exec(ReadScript("zlm.sql")), "");
    const std::pair<const char*, const char*> cols[] = {{"qCustomerTaxRate", "entity_taxrate"},
                                                        {"qCustomerExchangeRate", "exchange_rate"},
                                                        {"repForecastItems", "total"},
                                                        {"lstDocItem", "Total"},
                                                        {"lstBillRate", "Selling"},
                                                        {"qQuestionAnswer", "question_min"},
                                                        {"repEntityAddress", "entity_taxrate"}};
    for (const auto& [view, col] : cols) {
        zl::test::ScriptDb& d = db;
        sqlite3_stmt* st = nullptr;
        const std::string sql = std::string("select \"") + col + "\" from " + view;
        ASSERT_EQ(sqlite3_prepare_v2(d.handle(), sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
        const char* decl = sqlite3_column_decltype(st, 0);
        EXPECT_STREQ(decl ? decl : "", "DOUBLE") << view << "." << col;
        sqlite3_finalize(st);
    }
    // Computed sums and scores come back as real numbers, also when there is nothing to sum.
    ASSERT_EQ(db.Exec("insert into zlm_doc (zlm_doc_id, dimension_id, customer_id) "
                      "values (900, 6, 5);"
                      "insert into comp_quest (comp_quest_id, customer_id) values (901, 5);"),
              "");
    EXPECT_EQ(db.Rows("select typeof(\"Total\") from lstQuotation")[0][0], "real");
    EXPECT_EQ(db.Rows("select typeof(score) from qScore")[0][0], "real");
}

}  // namespace
