#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/DataMod.h"
#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "tests/support/Dispatch.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TempConfigHome.h"
#include "tests/support/TestDataFolder.h"

namespace zl::reportserver {
namespace {

using namespace com;

// Customers 9001 to 9005, contact persons 9011 to 9013 of customer 9001.
constexpr const char* kPeople = R"(
INSERT INTO entity (entity_id, dimension_id, parent_id, entity_name, entity_email) VALUES
    (9001, 1, 0, 'Harrow Foods', 'office@harrow.example'),
    (9002, 1, 0, 'Lintel Ltd', 'info@lintel.example'),
    (9003, 1, 0, 'Marsh & Co', 'desk@marsh.example'),
    (9004, 1, 0, 'Quiet Ltd', NULL),
    (9005, 1, 0, 'Empty Ltd', ''),
    (9011, 17, 9001, 'Anna Berg', 'anna@harrow.example'),
    (9012, 17, 9001, 'Ben Cole', NULL),
    (9013, 17, 9001, 'Cara Dunn', '');
INSERT INTO address (address_id, entity_id, address_email1, address_email2) VALUES
    (9101, 9001, 'orders@harrow.example', 'other@harrow.example'),
    (9102, 9001, 'second@harrow.example', ''),
    (9103, 9002, '', 'unused@lintel.example'),
    (9104, 9005, NULL, '');
)";

class ContactEMailTest : public ::testing::Test, public test::Dispatch {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegisterServerLibrary(ZELMAR_REPORTSERVER_PATH), S_OK);
        server = test::CreateReportObject();
        ASSERT_TRUE(server);
        object = server.Get();
        ASSERT_EQ(Call(u"Connect", {Str(Conn(folder.MainDb())), Str(Conn(folder.MetaDb())),
                                    Str(Conn(folder.LocalDb()))}),
                  S_OK);
        db.SetConnectionString(Conn(folder.MainDb()));
        db.Open();
        db.ExecuteScript(kPeople);
    }

    std::string Conn(const std::string& path) const { return program.BuildConnectionString(path); }
    std::string ErrorLog() const { return test::ReadFile(folder.DataFolder() + "zlm.err.log"); }

    // The address as the interface returns it; "<failed>" on an error result.
    std::string Address(int customer, int contact) {
        BSTR rv = nullptr;
        const HRESULT hr = server->GetContactEMail(customer, contact, &rv);
        if (hr != S_OK) {
            EXPECT_EQ(rv, nullptr);
            return "<failed>";
        }
        EXPECT_NE(rv, nullptr);
        const std::string text = FromBstr(rv);
        SysFreeString(rv);
        return text;
    }

    // One value read on the test's own connection; "<none>" without a row.
    std::string Stored(const std::string& sql) {
        db::Query q(&db);
        q.SetSQL(sql);
        q.Open();
        return q.IsEmpty() ? "<none>" : q.Fields(0).AsString();
    }

    test::TempConfigHome config;
    test::TestDataFolder folder;
    TDataMod program;
    db::Connection db;
    ComPtr<IReportObject> server;
};

TEST_F(ContactEMailTest, TheAddressOfAContactOrOfACustomer) {
    const struct {
        int customer, contact;
        const char* address;
    } cases[] = {
        // A contact gives its own address; the customer is not looked at.
        {9001, 9011, "anna@harrow.example"},
        {0, 9011, "anna@harrow.example"},
        {9002, 9011, "anna@harrow.example"},
        // A contact without an address gives "" even when the customer has one; so does a
        // contact id without a row.
        {9001, 9012, ""},
        {9001, 9013, ""},
        {9001, 9999, ""},
        // A customer gives its first address row's e-mail; when that is empty, the e-mail of
        // the entity the address query joins; without address rows, its own.
        {9001, 0, "orders@harrow.example"},
        {9002, 0, "info@lintel.example"},
        {9003, 0, "desk@marsh.example"},
        // Nothing at all gives "" and no error.
        {9004, 0, ""},
        {9005, 0, ""},
        {9999, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Address(c.customer, c.contact), c.address) << c.customer << "/" << c.contact;
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ContactEMailTest, DispatchReturnsTheAddressAsResultOrByReference) {
    VARIANT result;
    ASSERT_EQ(Call(u"GetContactEMail", {I4(9001), I4(0)}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(FromBstr(result.bstrVal), "orders@harrow.example");
    VariantClear(result);

    // The out argument by reference gives up its old string for the address.
    BSTR out = ToBstr("old value");
    ASSERT_EQ(Call(u"GetContactEMail", {I4(9001), I4(9011), Ref(&out)}), S_OK);
    EXPECT_EQ(FromBstr(out), "anna@harrow.example");
    SysFreeString(out);
}

TEST_F(ContactEMailTest, AFailedLookupReturnsAnErrorWithoutAnAddress) {
    ASSERT_EQ(server->Disconnect(), S_OK);
    Bstr old("x");
    BSTR rv = old.Get();
    EXPECT_EQ(server->GetContactEMail(9001, 0, &rv), E_UNEXPECTED);
    EXPECT_EQ(rv, nullptr);
    const std::optional<ErrorInfo> info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->iid, IID_IReportObject);
    EXPECT_EQ(info->source, "ZLMReports.ReportObject");
    EXPECT_EQ(info->description, "Cannot perform this operation on a closed dataset");
    EXPECT_NE(ErrorLog().find("TDataMod.openQuery > CustContact.getContactEMail;"),
              std::string::npos)
        << ErrorLog();

    rv = old.Get();
    EXPECT_EQ(server->GetContactEMail(9001, 9011, &rv), E_UNEXPECTED);
    EXPECT_EQ(rv, nullptr);

    // Through dispatch the failure is an exception and the result stays empty.
    VARIANT result;
    EXPECT_EQ(Call(u"GetContactEMail", {I4(9001), I4(0)}, &result), DISP_E_EXCEPTION);
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(failure.scode, E_UNEXPECTED);
    EXPECT_EQ(failure.description, "Cannot perform this operation on a closed dataset");

    // Connected again, the same call answers.
    ASSERT_EQ(server->Reconnect(), S_OK);
    EXPECT_EQ(Address(9001, 0), "orders@harrow.example");
}

TEST_F(ContactEMailTest, CopyRecordCopiesADocumentAndItsLinesUnderNewKeys) {
    db.ExecuteScript(R"(
INSERT INTO zlm_doc (zlm_doc_id, dimension_id, customer_id, zlm_doc_descr, zlm_doc_date)
VALUES (9200, 6, 9001, 'Quotation for ovens', '2024-03-05 00:00:00');
INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, doc_item_descr, doc_item_qty) VALUES
    (9201, 9200, 21, 'Oven', 2.5),
    (9202, 9200, 21, 'Fitting', 1);
)");
    Bstr docTable("zlm_doc"), dimension("dimension_id");
    std::int32_t order = -1;
    ASSERT_EQ(server->CopyRecord(docTable.Get(), dimension.Get(), 9200, 7, &order), S_OK);
    ASSERT_GT(order, 0);
    EXPECT_NE(order, 9200);
    const std::string doc = " from zlm_doc where zlm_doc_id=" + std::to_string(order);
    EXPECT_EQ(Stored("select dimension_id" + doc), "7");
    EXPECT_EQ(Stored("select customer_id" + doc), "9001");
    EXPECT_EQ(Stored("select zlm_doc_descr" + doc), "Quotation for ovens");
    EXPECT_EQ(Stored("select dimension_id from zlm_doc where zlm_doc_id=9200"), "6");

    // The lines, through dispatch: one with the key as result, one by reference.
    VARIANT result;
    ASSERT_EQ(
        Call(u"CopyRecord", {Str("doc_item"), Str("zlm_doc_id"), I4(9201), I4(order)}, &result),
        S_OK);
    ASSERT_EQ(result.vt, VT_I4);
    const std::int32_t first = result.lVal;
    std::int32_t second = -1;
    ASSERT_EQ(Call(u"CopyRecord",
                   {Str("doc_item"), Str("zlm_doc_id"), I4(9202), I4(order), Ref(&second)}),
              S_OK);

    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    for (int key : {first, second}) {
        EXPECT_NE(key, order);
        EXPECT_NE(key, 9201);
        EXPECT_NE(key, 9202);
    }
    const std::string lines = " from doc_item where zlm_doc_id=" + std::to_string(order);
    EXPECT_EQ(Stored("select count(*)" + lines), "2");
    EXPECT_EQ(Stored("select doc_item_descr" + lines + " and doc_item_id=" + std::to_string(first)),
              "Oven");
    EXPECT_EQ(Stored("select doc_item_qty" + lines + " and doc_item_id=" + std::to_string(second)),
              "1");
    EXPECT_EQ(Stored("select count(*) from doc_item where zlm_doc_id=9200"), "2");
}

TEST_F(ContactEMailTest, AFailedCopyStillSucceedsWithKeyZero) {
    Bstr table("no_such_table"), field("zlm_doc_id");
    std::int32_t newid = -1;
    EXPECT_EQ(server->CopyRecord(table.Get(), field.Get(), 1, 2, &newid), S_OK);
    EXPECT_EQ(newid, 0);
    EXPECT_NE(ErrorLog().find("RecordCopier.CopyRec"), std::string::npos) << ErrorLog();
}

TEST_F(ContactEMailTest, ProcessTemplateChangesNoFile) {
    const std::string path = folder.DataFolder() + "letter.rtf";
    const std::string bytes = "{\\rtf1\\ansi Dear <<entity_fullname>>,\\par}\r\n";
    std::ofstream(path, std::ios::binary) << bytes;
    const auto written = std::filesystem::last_write_time(path);
    Bstr file(path);
    EXPECT_EQ(server->ProcessTemplate(11, 3, 9001, file.Get()), S_OK);
    EXPECT_EQ(test::ReadFile(path), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(path), written);

    const std::string missing = folder.DataFolder() + "missing.rtf";
    Bstr none(missing);
    EXPECT_EQ(server->ProcessTemplate(0, 0, 0, none.Get()), S_OK);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(ErrorLog(), "");
}

}  // namespace
}  // namespace zl::reportserver
