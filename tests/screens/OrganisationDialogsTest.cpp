#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TchildFrame.h"
#include "platform/format/Format.h"
#include "screens/TfrmBusUnit.h"
#include "screens/TfrmCustType.h"
#include "screens/TfrmExchange.h"
#include "screens/TfrmRegion.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr const char* kNotSaved = "The record could not be saved. Discard your changes and close?";

std::string Day(int offset) {
    return format::DateTimeToIso(format::IncDay(format::Date(), offset)).substr(0, 10);
}

std::string Iso(const db::Field& date) {
    return format::DateTimeToIso(date.AsDateTime()).substr(0, 10);
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

class OrganisationDialogsTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Exec("update id_control set next_id=20000");  // new keys above every row made here
    }
    static void Type(QWidget& d, const char* column, const QString& text) {
        auto* edit = d.findChild<QLineEdit*>(column);
        ASSERT_NE(edit, nullptr) << column;
        TypeInto(edit, text);
    }
    int Count(const std::string& where) { return std::stoi(Main("select count(*) from " + where)); }
    std::string MakeFile(const std::string& relative) {
        const std::string path = folder.Home() + "/" + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << "GIF89a";
        return path;
    }
};

TEST_F(OrganisationDialogsTest, ABusinessUnitIsAddedWithItsOneAddressAndEditedWithoutASecond) {
    const int addressesBefore = Count("address");
    int id = 0;
    int storedAtShow = 0;
    RunDialog<TfrmBusUnit>(5, DimensionTable::Add, 0, [&](TfrmBusUnit& d) {
        EXPECT_EQ(d.windowTitle(), "Business Unit");
        EXPECT_EQ(d.PageControl1->tabText(0), "General");
        EXPECT_EQ(d.PageControl1->tabText(1), "Address");
        EXPECT_EQ(d.btnOK->text(), "&Save and Close");
        EXPECT_EQ(d.btnImage->toolTip(), "Click here to pick an image file for use as a logo");
        id = d.qEdit.FieldByName("entity_id").AsInteger();
        storedAtShow = Count("entity where entity_id=" + std::to_string(id));
        EXPECT_FALSE(d.findChild<QLineEdit*>("address_postal1")->isReadOnly());
        Type(d, "entity_name", "Head office");
        Type(d, "address_postal1", "1 Main Road");
        d.btnOK->click();
    });
    ASSERT_GE(id, 20000);
    EXPECT_EQ(storedAtShow, 1);  // the new unit is stored when the dialog opens
    const std::string unit = std::to_string(id);
    EXPECT_EQ(Main("select dimension_id || '/' || entity_name from entity where entity_id=" + unit),
              "5/Head office");
    EXPECT_EQ(Count("address"), addressesBefore + 1);
    EXPECT_EQ(Main("select address_postal1 from address where entity_id=" + unit), "1 Main Road");
    const std::string addressId = Main("select address_id from address where entity_id=" + unit);
    EXPECT_GE(std::stoi(addressId), 20000);

    // Edited: the same row changes; a cancel leaves it as it was.
    RunDialog<TfrmBusUnit>(5, DimensionTable::EditRecord, id, [](TfrmBusUnit& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("address_postal1")->text(), "1 Main Road");
        Type(d, "address_postal1", "2 Main Road");
        d.close();
    });
    RunDialog<TfrmBusUnit>(5, DimensionTable::EditRecord, id, [this](TfrmBusUnit& d) {
        Type(d, "address_postal1", "Dropped");
        prompter.Push(ui::Button::Yes);
        d.btnCancel->click();
    });
    EXPECT_EQ(prompter.Messages().back().text, "You will lose any changes you have made. Proceed?");
    EXPECT_EQ(Count("address"), addressesBefore + 1);
    EXPECT_EQ(
        Main("select address_id || '/' || address_postal1 from address where entity_id=" + unit),
        addressId + "/2 Main Road");
    EXPECT_EQ(Count("address where address_id is null or entity_id is null"), 0);
}

TEST_F(OrganisationDialogsTest, AUnitWithoutAddressGetsNoneAndItsAddressFieldsAreReadOnly) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 5, \"Branch\")");
    const int addressesBefore = Count("address");
    bool allReadOnly = true;
    RunDialog<TfrmBusUnit>(5, DimensionTable::EditRecord, 9001, [&](TfrmBusUnit& d) {
        for (QLineEdit* edit : d.addressEdits)
            allReadOnly = allReadOnly && edit->isReadOnly();
        EXPECT_EQ(d.addressEdits.size(), 16u);
        Type(d, "address_postal1", "Ignored");
        Type(d, "entity_name", "Branch North");
        d.btnOK->click();
    });
    EXPECT_TRUE(allReadOnly);
    EXPECT_EQ(Count("address"), addressesBefore);
    EXPECT_EQ(Main("select entity_name from entity where entity_id=9001"), "Branch North");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(OrganisationDialogsTest, TheLogoIsPickedAsAPathAndViewedWithoutEverRunningAProgram) {
    const std::string logo = MakeFile("logos/logo.gif");
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 5, \"Branch\")");
    RunDialog<TfrmBusUnit>(5, DimensionTable::EditRecord, 9001, [&](TfrmBusUnit& d) {
        WhenModal<QFileDialog>([](QFileDialog& files) { files.reject(); });
        d.btnImage->click();
        d.btnView->click();  // no logo yet: nothing opens
        WhenModal<QFileDialog>([logo](QFileDialog& files) {
            files.findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(logo));
            QMetaObject::invokeMethod(&files, "accept");
        });
        d.btnImage->click();
        EXPECT_EQ(d.DBText1->text().toStdString(), logo);
        d.btnView->click();
        const std::string program = MakeFile("logos/setup.sh");
        std::filesystem::permissions(program, std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
        d.qEdit.FieldByName("entity_logo").SetAsString(program);
        d.btnView->click();
        d.qEdit.FieldByName("entity_logo").SetAsString(logo);
        d.btnOK->click();
    });
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{logo});
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, test::kRefusedScript);
    EXPECT_EQ(Main("select entity_logo from entity where entity_id=9001"), logo);
}

TEST_F(OrganisationDialogsTest, ARegionsSecondRateStartsOnTheDayTheFirstEnds) {
    int region = 0;
    std::vector<std::string> proposed;
    RunDialog<TfrmRegion>(16, DimensionTable::Add, 0, [&](TfrmRegion& d) {
        EXPECT_EQ(d.windowTitle(), "Region");
        EXPECT_EQ(d.btnOK->text(), "&OK");
        region = d.qEdit.FieldByName("entity_id").AsInteger();
        Type(d, "entity_name", "Europe");
        Type(d, "entity_currencysymbol", "EUR");
        for (const char* rate : {"18.5", "19.25"}) {
            WhenModal<TfrmExchange>([&, rate](TfrmExchange& x) {
                proposed.push_back(Iso(x.qEdit.FieldByName("exchange_rate_from")) + "/" +
                                   Iso(x.qEdit.FieldByName("exchange_rate_to")));
                TypeInto(x.DBEdit1, rate);
                x.btnOK->click();
            });
            d.exchangeFrame->btnAddClick();
        }
        EXPECT_EQ(d.exchangeFrame->recordCount(), 2);
        d.btnOK->click();
    });
    ASSERT_GE(region, 20000);
    EXPECT_EQ(proposed,
              (std::vector<std::string>{Day(0) + "/" + Day(365), Day(365) + "/" + Day(730)}));
    const std::string key = std::to_string(region);
    EXPECT_EQ(Main("select dimension_id || '/' || entity_name || '/' || entity_currencysymbol from "
                   "entity where entity_id=" +
                   key),
              "16/Europe/EUR");
    EXPECT_EQ(Main("select group_concat(exchange_rate || '@' || substr(exchange_rate_from, 1, 10), "
                   "'|') from (select * from exchange_rate where region_id=" +
                   key + " order by exchange_rate_from)"),
              "18.5@" + Day(0) + "|19.25@" + Day(365));
}

TEST_F(OrganisationDialogsTest, ARateDeletedMeanwhileIsReportedAndTheDialogCloses) {
    Target(27, DimensionTable::EditRecord, 99999);
    TfrmExchange x;
    x.show();
    QApplication::processEvents();
    EXPECT_FALSE(x.isVisible());
    ExpectMessages({{"There is no record to edit", "No record"}});
    EXPECT_EQ(Count("exchange_rate where exchange_rate_id=99999"), 0);
}

TEST_F(OrganisationDialogsTest, AFailedRateSaveAsksAndKeepsOrDiscardsTheChange) {
    Exec(
        "insert into exchange_rate (exchange_rate_id, region_id, dimension_id, allow_delete, "
        "exchange_rate_from, exchange_rate_to, exchange_rate) values (9501, 9001, 27, 0, '" +
        Day(0) + "', '" + Day(10) + "', 2.5)");
    // Stands in for a full disk.
    Exec(
        "create trigger refuse_rate before update on exchange_rate begin select raise(abort, "
        "'database or disk is full'); end");
    Target(27, DimensionTable::EditRecord, 9501);
    TfrmExchange x;
    x.show();
    EXPECT_EQ(x.windowTitle(), "Rate of Exchange");
    for (QPushButton* button : x.findChildren<QPushButton*>())
        EXPECT_NE(button->text(), "&Cancel");  // a rate is always stored on closing
    TypeInto(x.DBEdit1, "3.75");
    prompter.Push(ui::Button::Ok);  // the log's warning
    prompter.Push(ui::Button::No);
    x.close();
    EXPECT_TRUE(x.isVisible());
    EXPECT_EQ(x.DBEdit1->text(), "3.75");  // as typed
    prompter.Push(ui::Button::Ok);
    prompter.Push(ui::Button::Yes);
    x.close();
    EXPECT_FALSE(x.isVisible());
    std::vector<std::string> texts;
    for (const auto& m : prompter.Messages())
        texts.push_back(m.text);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), kNotSaved), 2);
    EXPECT_EQ(Main("select exchange_rate from exchange_rate where exchange_rate_id=9501"), "2.5");
}

TEST_F(OrganisationDialogsTest, ACustomerTypeIsStoredOnSaveAndNotOnCancel) {
    const int before = Count("customer_type");
    RunDialog<TfrmCustType>(13, DimensionTable::Add, 0, [this](TfrmCustType& d) {
        EXPECT_EQ(d.windowTitle(), "Customer");
        Type(d, "DBEdit1", "Wholesale");
        prompter.Push(ui::Button::Yes);
        d.btnCancel->click();
    });
    EXPECT_EQ(Count("customer_type"), before);
    RunDialog<TfrmCustType>(13, DimensionTable::Add, 0, [](TfrmCustType& d) {
        Type(d, "DBEdit1", "Retail");
        d.btnOK->click();
    });
    EXPECT_EQ(Count("customer_type where customer_type_descr='Retail' and dimension_id=13"), 1);
    EXPECT_EQ(Count("customer_type"), before + 1);
}

}  // namespace
}  // namespace zl
