#include "screens/TfrmCustEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

class CustomerDialogTest : public test::FrameFixture {
  protected:
    DimensionTable& Customers() { return *Dimensions->Find(1); }
    void Type(TfrmCustEdit& d, const char* column, const QString& text) {
        auto* edit = d.findChild<QLineEdit*>(column);
        ASSERT_NE(edit, nullptr) << column;
        TypeInto(edit, text);
    }
    // Runs the dialog in the given mode with `step` acting on it while it shows.
    void Run(int mode, int record, std::function<void(TfrmCustEdit&)> step) {
        Customers().SetEditMode(mode);
        Customers().SetRecordId(record);
        TfrmCustEdit dialog;
        WhenModal<TfrmCustEdit>(step);
        dialog.exec();
    }
    std::string AddressOf(int entity, const char* column = "address_postal1") {
        return Main("select " + std::string(column) +
                    " from address where entity_id=" + std::to_string(entity));
    }
    int AddressCount(int entity) {
        return std::stoi(
            Main("select count(*) from address where entity_id=" + std::to_string(entity)));
    }
};

TEST_F(CustomerDialogTest, AddingStoresTheCustomerWithOneAddressRowAndTheFullName) {
    Run(DimensionTable::Add, 0, [this](TfrmCustEdit& d) {
        EXPECT_EQ(d.windowTitle(), "Customer");
        EXPECT_EQ(d.PageControl1->tabText(0), "General");
        EXPECT_EQ(d.PageControl1->tabText(3), "Contact persons");
        Type(d, "entity_name", "Smith");
        Type(d, "entity_first", "John");
        Type(d, "entity_title", "Mr");
        Type(d, "address_postal1", "12 High Street");
        d.btnOK->click();
    });
    const int id = Customers().GetRecordId();
    ASSERT_GT(id, 1000);
    EXPECT_EQ(Main("select entity_fullname from entity where entity_id=" + std::to_string(id)),
              "Smith John Mr");
    EXPECT_EQ(Main("select dimension_id from entity where entity_id=" + std::to_string(id)), "1");
    EXPECT_EQ(AddressCount(id), 1);
    EXPECT_EQ(AddressOf(id), "12 High Street");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(CustomerDialogTest, EditingChangesOnlyThisCustomersAddress) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, \"Acme\"), "
        "(9002, 1, \"Other\")");
    Exec(
        "insert into address (address_id, entity_id, address_postal1) values (9011, 9002, "
        "\"Other street\"), (9012, 9001, \"Old street\")");
    Run(DimensionTable::EditRecord, 9001, [this](TfrmCustEdit& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("address_postal1")->text(), "Old street");
        Type(d, "address_postal1", "New street");
        Type(d, "entity_title", "");
        d.close();  // the close box saves like the button
    });
    EXPECT_EQ(AddressOf(9001), "New street");
    EXPECT_EQ(AddressCount(9001), 1);
    EXPECT_EQ(AddressOf(9002), "Other street");
    EXPECT_EQ(Main("select entity_fullname from entity where entity_id=9001"), "Acme  ");
}

TEST_F(CustomerDialogTest, CancelLeavesTheAddressAsItWas) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, \"Acme\")");
    Exec(
        "insert into address (address_id, entity_id, address_postal1) values (9012, 9001, "
        "\"Old street\")");
    Run(DimensionTable::EditRecord, 9001, [this](TfrmCustEdit& d) {
        Type(d, "address_postal1", "Changed");
        Type(d, "entity_name", "Changed");
        prompter.Push(ui::Button::No);
        d.btnCancel->click();
        EXPECT_TRUE(d.isVisible());  // No: nothing happens
        prompter.Push(ui::Button::Yes);
        d.btnCancel->click();
    });
    EXPECT_EQ(prompter.Messages().back().text, "You will lose any changes you have made. Proceed?");
    EXPECT_EQ(AddressOf(9001), "Old street");
    EXPECT_EQ(Main("select entity_name from entity where entity_id=9001"), "Acme");
}

TEST_F(CustomerDialogTest, ACustomerWithoutAddressGetsItsOwnRowOnlyWhenSaved) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, \"Acme\")");
    Exec(
        "insert into address (address_id, entity_id, address_postal1) values (9011, 3, "
        "\"Business unit street\")");
    Run(DimensionTable::EditRecord, 9001, [](TfrmCustEdit& d) { d.btnCancel->click(); });
    EXPECT_EQ(AddressCount(9001), 0);
    Run(DimensionTable::EditRecord, 9001, [this](TfrmCustEdit& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("address_postal1")->text(), "[no value]");
        Type(d, "address_postal1", "First street");
        d.btnOK->click();
    });
    EXPECT_EQ(AddressCount(9001), 1);
    EXPECT_EQ(AddressOf(9001), "First street");
    EXPECT_EQ(Main("select address_postal1 from address where address_id=9011"),
              "Business unit street");
}

TEST_F(CustomerDialogTest, ACustomerThatIsGoneLeavesEveryOtherRowAlone) {
    const std::string before = Main("select count(*) from address");
    const std::string first = Main(
        "select entity_name || entity_fullname from entity where "
        "entity_id=(select min(entity_id) from entity)");
    Run(DimensionTable::EditRecord, 123456, [](TfrmCustEdit& d) { d.btnOK->click(); });
    EXPECT_EQ(Main("select count(*) from address"), before);
    EXPECT_EQ(Main("select entity_name || entity_fullname from entity where "
                   "entity_id=(select min(entity_id) from entity)"),
              first);
}

TEST_F(CustomerDialogTest, ANameIsRequiredBeforeTheDialogCloses) {
    bool stayedOpen = false;
    bool focused = false;
    Run(DimensionTable::Add, 0, [&](TfrmCustEdit& d) {
        Type(d, "entity_name", "");
        d.btnOK->click();
        stayedOpen = d.isVisible();
        focused = d.focusWidget() == d.edName;  // the focus it gets once active
        Type(d, "entity_name", "Jones");
        d.btnOK->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(focused);
    ASSERT_GE(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "Please enter a value here");
    EXPECT_EQ(prompter.Messages()[0].title, "No value");
    EXPECT_EQ(Main("select entity_fullname from entity where entity_id=" +
                   std::to_string(Customers().GetRecordId())),
              "Jones [no value] [no value]");  // the other parts keep their defaults
}

TEST_F(CustomerDialogTest, ACancelledNewCustomerStaysWithoutAnAddress) {
    Run(DimensionTable::Add, 0, [](TfrmCustEdit& d) { d.btnCancel->click(); });
    const int id = Customers().GetRecordId();
    EXPECT_EQ(Main("select entity_name from entity where entity_id=" + std::to_string(id)),
              "[no value]");
    EXPECT_EQ(AddressCount(id), 0);
}

TEST_F(CustomerDialogTest, CustomCaptionsComeFromTheSettingsAndContactsFromTheDetailList) {
    dm->qConfig.Edit();
    dm->qConfig.FieldByName("config_entityf2").SetAsString("Loyalty number");
    dm->qConfig.Post();
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, \"Acme\")");
    Run(DimensionTable::EditRecord, 9001, [this](TfrmCustEdit& d) {
        EXPECT_EQ(d.customLabels[1]->text(), "Loyalty number");
        Type(d, "entity_f2", "L-77");
        WhenModal<TfrmContactPerson>([](TfrmContactPerson& person) {
            EXPECT_EQ(person.windowTitle(), "Add new contact person");
            TypeInto(person.findChild<QLineEdit*>("entity_first"), "Mary");
            TypeInto(person.findChild<QLineEdit*>("entity_name"), "Major");
            person.close();  // the close box saves
        });
        d.frContact->btnAddClick();
        EXPECT_EQ(d.frContact->recordCount(), 1);
        d.btnOK->click();
    });
    EXPECT_EQ(Main("select entity_f2 from entity where entity_id=9001"), "L-77");
    EXPECT_EQ(Main("select entity_fullname || '/' || parent_id || '/' || dimension_id from entity "
                   "where entity_first='Mary'"),
              "Major Mary [no value]/9001/17");
}

}  // namespace
}  // namespace zl
