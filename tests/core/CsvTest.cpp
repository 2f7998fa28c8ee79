// Customers to a CSV file and back: quoting, the same customers under new keys, semicolon
// files, columns left out, and rows that do not fit rolling everything back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/CSVExporter.h"
#include "core/CSVImporter.h"
#include "core/DataMod.h"
#include "core/Globals.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

class CsvTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        CurUserId = 2;
        csv = folder.Home() + "/customers.csv";
        // No box may wait while the import holds the main file's write lock.
        prompter.onShow = [this](const ui::Message&) { EXPECT_FALSE(dm->zlmConn.InTransaction()); };
    }
    void TearDown() override { prompter.onShow = nullptr; }

    void Exec(const std::string& sql) { ASSERT_TRUE(dm->actionQuery(sql, "test")) << sql; }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
    int Count(const std::string& table) const {
        return std::stoi(Main("select count(*) from " + table));
    }
    void WriteFile(const std::string& text) const { std::ofstream(csv, std::ios::binary) << text; }

    // A customer stored the way the customer dialog stores one: appended with its first values,
    // then the columns given.
    int AddCustomer(const std::vector<std::pair<std::string, std::string>>& values) {
        db::Query entity(&dm->zlmConn);
        db::Query address(&dm->zlmConn);
        EXPECT_TRUE(dm->openQuery(entity, "select * from entity where 1=0", "t"));
        EXPECT_TRUE(dm->openQuery(address, "select * from address where 1=0", "t"));
        EXPECT_TRUE(dm->Append(entity, "t"));
        const int id = entity.Fields(0).AsInteger();
        entity.FieldByName("dimension_id").SetAsInteger(1);
        entity.FieldByName("entity_currencysymbol").SetAsString("");
        EXPECT_TRUE(dm->Append(address, "t"));
        address.FieldByName("entity_id").SetAsInteger(id);
        for (const auto& [column, value] : values)
            (column.rfind("address_", 0) == 0 ? address : entity)
                .FieldByName(column)
                .SetAsString(value);
        entity.FieldByName("entity_fullname")
            .SetAsString(entity.FieldByName("entity_name").AsString() + " " +
                         entity.FieldByName("entity_first").AsString() + " " +
                         entity.FieldByName("entity_title").AsString());
        entity.Post();
        address.Post();
        return id;
    }

    // Whether the customer file carries the column; every column but text does.
    static bool InFile(const db::Field& field) {
        if (field.DataType() != db::FieldType::ftString &&
            field.DataType() != db::FieldType::ftWideString)
            return true;
        for (const CustomerColumn& c : CustomerFileColumns())
            if (c.name == field.FieldName())
                return true;
        return false;
    }
    // Every stored column of a customer and of its address that the file carries, but the keys
    // and the link, as "name=value" lines.
    std::string CustomerText(int id) {
        std::string text;
        for (const auto& [table, column] :
             {std::pair<std::string, std::string>{"entity", "entity_id"},
              {"address", "entity_id"}}) {
            db::Query q(&dm->zlmConn);
            EXPECT_TRUE(dm->openQuery(
                q, "select * from " + table + " where " + column + "=" + std::to_string(id), "t"));
            EXPECT_EQ(q.RecordCount(), 1) << table << " of " << id;
            for (int i = 1; i < q.FieldCount(); ++i)
                if (q.Fields(i).FieldName() != "entity_id" && InFile(q.Fields(i)))
                    text += q.Fields(i).FieldName() + "=" +
                            (q.Fields(i).IsNull() ? "<null>" : q.Fields(i).AsString()) + "\n";
        }
        return text;
    }
    int IdOf(const std::string& name, int after) {
        return std::stoi(Main("select entity_id from entity where dimension_id=1 and entity_id>" +
                              std::to_string(after) + " and entity_name='" + name + "'"));
    }

    std::string csv;
};

TEST_F(CsvTest, ExportThenImportGivesTheSameCustomersUnderNewKeys) {
    Exec(
        "insert into customer_type (customer_type_id, customer_type_descr) values (9020, "
        "'Retail')");
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9030, 16, 'North')");
    const std::vector<std::string> names = {"Smith, Jones & Co", "The \"Best\" Café",
                                            "Müller-Šťastný 東京"};
    const int first = AddCustomer({{"entity_name", names[0]},
                                   {"entity_first", " leading blank"},
                                   {"entity_taxrate", "15.5"},
                                   {"entity_discount", "2.25"},
                                   {"customer_type_id", "9020"},
                                   {"region_id", "9030"},
                                   {"address_postal1", "PO Box 12\r\nCape Town"},
                                   {"address_pcode", "8001"}});
    const int second = AddCustomer({{"entity_name", names[1]},
                                    {"entity_code", "\"Q\"; 5"},
                                    {"entity_f1", "line one\nline two"},
                                    {"address_email1", "best@example.com"}});
    const int third = AddCustomer({{"entity_name", names[2]},
                                   {"entity_first", "Jürgen"},
                                   {"entity_title", "Dr"},
                                   {"address_phys1", "Straße 1, 3. OG"}});
    const std::vector<int> originals = {first, second, third};

    ASSERT_EQ(CSVExporter().Export(csv), std::nullopt);
    const std::string written = test::ReadFile(csv);
    EXPECT_EQ(
        written.rfind("entity_id,region_id,customer_type_id,entity_name,entity_first,entity_title,"
                      "entity_initials,entity_code,entity_legalref,entity_taxref,entity_taxrate,"
                      "entity_discount,entity_f1,entity_f2,entity_f3,entity_f4,entity_f5,"
                      "address_postal1,address_postal2,address_postal3,address_pcode,address_phys1,"
                      "address_phys2,address_phys3,address_phys4,address_tel1,address_tel2,"
                      "address_tel3,address_cell,address_email1,address_email2,address_fax1,"
                      "address_fax2\r\n" +
                          std::to_string(first) +
                          ",9030,9020,\"Smith, Jones & Co\",\" leading blank\",[no value],",
                      0),
        0u)
        << written;
    EXPECT_NE(written.find(",15.5,2.25,"), std::string::npos);
    EXPECT_NE(written.find(",\"PO Box 12\r\nCape Town\",[no value],[no value],8001,"),
              std::string::npos);
    EXPECT_NE(written.find(",\"The \"\"Best\"\" Café\",[no value],[no value],[no value],"
                           "\"\"\"Q\"\"; 5\","),
              std::string::npos);
    EXPECT_NE(written.find("\"line one\nline two\""), std::string::npos);
    EXPECT_NE(written.find("Müller-Šťastný 東京,Jürgen,Dr,"), std::string::npos);
    EXPECT_NE(written.find("\"Straße 1, 3. OG\""), std::string::npos);
    // The placeholder for "no customer" is no customer of the user's.
    EXPECT_EQ(written.find("[no customer]"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(csv + ".part"));

    const int lastKey = std::stoi(Main("select next_id from id_control"));
    const CSVImporter::Result result = CSVImporter().Import(csv);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.imported, 3);
    EXPECT_TRUE(result.leftOut.empty());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const int copy = IdOf(names[i], lastKey);
        EXPECT_EQ(CustomerText(copy), CustomerText(originals[i]));
        // What the file does not carry stays empty.
        EXPECT_EQ(Main("select entity_email || '|' || entity_username from entity where "
                       "entity_id=" +
                       std::to_string(copy)),
                  "|");
    }
    EXPECT_EQ(Main("select count(*) from entity where dimension_id=1"), "7");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(CsvTest, FormulasAreWrittenAsTextAndReadBackAsTyped) {
    const std::string link = "=HYPERLINK(\"http://x.test/?a\",\"Open\")";
    const int original = AddCustomer({{"entity_name", link},
                                      {"entity_first", "'=1+1"},
                                      {"entity_title", "'plain"},
                                      {"entity_code", "-2"},
                                      {"address_tel1", "+27 21 555"},
                                      {"address_email1", "@home"},
                                      {"address_phys1", "\tTab"}});
    ASSERT_EQ(CSVExporter().Export(csv), std::nullopt);
    const std::string written = test::ReadFile(csv);
    EXPECT_NE(
        written.find(",\"'=HYPERLINK(\"\"http://x.test/?a\"\",\"\"Open\"\")\",''=1+1,'plain,"),
        std::string::npos)
        << written;
    for (const char* guarded : {",'-2,", ",'+27 21 555,", ",'@home,", ",'\tTab,"})
        EXPECT_NE(written.find(guarded), std::string::npos) << guarded;
    EXPECT_EQ(std::filesystem::status(csv).permissions(), std::filesystem::perms(0600));

    const int lastKey = std::stoi(Main("select next_id from id_control"));
    const CSVImporter::Result result = CSVImporter().Import(csv);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(CustomerText(IdOf(link, lastKey)), CustomerText(original));
}

TEST_F(CsvTest, OnlyValuesWrittenAsTextGetTheApostrophe) {
    db::Query q(&dm->zlmConn);
    ASSERT_TRUE(dm->openQuery(
        q, "select -5 as n, -2.5 as f, '-5' as t, '=A1' as a, 'x=1' as b, '''x' as c", "t"));
    const char* expected[] = {"-5", "-2.5", "'-5", "'=A1", "x=1", "'x"};
    for (int i = 0; i < q.FieldCount(); ++i)
        EXPECT_EQ(CsvText(q.Fields(i)), expected[i]) << i;
    EXPECT_EQ(FromSpreadsheetText("'x"), "'x");
    EXPECT_EQ(FromSpreadsheetText("'\r"), "\r");
}

TEST_F(CsvTest, ASemicolonFileWithOtherColumnsStoresWhatItNamesAndListsTheRest) {
    WriteFile(
        "\xEF\xBB\xBF"
        "ENTITY_NAME; Entity_First ;Notes;address_pcode;entity_id;address_tel1;;entity_taxrate\r\n"
        "\"Dupont; fils\";Marie;VIP;75001;77;01 23;x;\r\n"
        "\r\n"
        "Rossi;Luca;;00184;78;;;7.5\r\n");
    const int lastKey = std::stoi(Main("select next_id from id_control"));
    const CSVImporter::Result result = CSVImporter().Import(csv);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(result.leftOut, (std::vector<std::string>{"Notes", "(column 7)"}));

    const int dupont = IdOf("Dupont; fils", lastKey);
    EXPECT_GT(dupont, lastKey);  // a new key, not the file's 77
    EXPECT_EQ(Main("select entity_first || '|' || entity_fullname || '|' || entity_title || '|' "
                   "|| entity_taxrate || '|' || entity_currencysymbol || '|' || dimension_id "
                   "from entity where entity_id=" +
                   std::to_string(dupont)),
              "Marie|Dupont; fils Marie ||0.0||1");
    EXPECT_EQ(Main("select address_pcode || '|' || address_tel1 || '|' || address_postal1 from "
                   "address where entity_id=" +
                   std::to_string(dupont)),
              "75001|01 23|");
    EXPECT_EQ(Main("select entity_taxrate from entity where entity_name='Rossi'"), "7.5");
    EXPECT_EQ(Main("select count(*) from entity where entity_id in (77, 78)"), "0");
}

TEST_F(CsvTest, ARowThatDoesNotFitStoresNothingAndNamesItsLine) {
    const std::string header = "entity_name,entity_taxrate,address_pcode,region_id\r\n";
    struct Case {
        const char* name;
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"a text too long for its column",
         header + "A,1,8001,\r\nB,2,8002,\r\nC,3,123456789012345678901,\r\n",
         "Line 4: the value of address_pcode has 21 characters; at most 20 fit."},
        {"the line counted across a value with line breaks",
         header + "\"A\nsecond line\nthird\",1,8001,\r\nB,x1,8002,\r\n",
         "Line 5: the value of entity_taxrate, \"x1\", is not a number."},
        {"a percentage out of range", header + "A,1001,,\r\n",
         "Line 2: the value of entity_taxrate is out of range. Please enter a value between 0 "
         "and 1000."},
        {"a region that does not exist", header + "A,1,,4242\r\n",
         "Line 2: there is no region 4242 (region_id)."},
        {"a customer without a name", header + "A,1,,\r\n  ,2,,\r\n",
         "Line 3: the customer has no name (entity_name is empty)."},
        {"more values than columns", header + "A,1,,,\r\n",
         "Line 2: the row has 5 values and the first row names only 4 columns."},
        {"a quote never closed", header + "A,1,,\r\n\"B,2,,\r\n",
         "Line 3: a value in quotes is not closed."},
        {"text after a closing quote", header + "\"A\"x,1,,\r\n",
         "Line 2: text follows the closing quote of a value."},
        {"no name column", "entity_first,address_pcode\r\nA,1\r\n",
         "Line 1: no column entity_name: every customer needs a name."},
        {"a column named twice", "entity_name,Entity_Name\r\nA,B\r\n",
         "Line 1: the column entity_name is named more than once."},
        {"text that is not UTF-8", header + "A,1,,\r\nM\xFCller,2,,\r\n",
         "Line 3: the text is not UTF-8."},
        {"a NUL byte in a value",
         header + "A,1,,\r\n\"B\nC\",2,,\r\nD" + std::string(1, '\0') + "E,3,,\r\n",
         "Line 5: a value holds a NUL character."},
    };
    const int customers = Count("entity");
    const int addresses = Count("address");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(c.text);
        const CSVImporter::Result result = CSVImporter().Import(csv);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.imported, 0);
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(Count("entity"), customers);
        EXPECT_EQ(Count("address"), addresses);
        EXPECT_FALSE(dm->zlmConn.InTransaction());
    }
    EXPECT_NE(ErrorLog().find("CSVImporter.Import;Line 4: the value of address_pcode has 21 "
                              "characters; at most 20 fit.;" +
                              csv + "\r\n"),
              std::string::npos);
}

TEST_F(CsvTest, AnExportThatCannotBeWrittenSaysWhyAndLeavesNoFile) {
    const std::string missing = folder.Home() + "/no such folder/customers.csv";
    EXPECT_EQ(CSVExporter().Export(missing), "No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(missing + ".part"));
    EXPECT_NE(ErrorLog().find("CSVExporter.Export;No such file or directory;" + missing),
              std::string::npos);

    // A folder in the file's place: the earlier contents of the target stay as they were.
    std::filesystem::create_directory(csv);
    EXPECT_NE(CSVExporter().Export(csv), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_directory(csv));
    EXPECT_FALSE(std::filesystem::exists(csv + ".part"));
}

}  // namespace
}  // namespace zl
