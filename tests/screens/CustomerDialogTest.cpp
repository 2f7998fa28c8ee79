#include "screens/TfrmCustEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <tuple>

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
        RunDialog<TfrmCustEdit>(1, mode, record, std::move(step));
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

TEST_F(CustomerDialogTest, ACustomerDeletedMeanwhileIsReportedAndNothingTypedIsStored) {
    const std::string entities =
        Main("select group_concat(entity_id || entity_name || entity_fullname, '|') from entity");
    const std::string addresses = Main("select group_concat(address_postal1, '|') from address");
    Target(1, DimensionTable::EditRecord, 123456);
    TfrmCustEdit d;
    d.show();  // finds nothing, says so and closes once the event loop runs
    ExpectMessages({{"There is no record to edit", "No record"}});
    // Typing and saving before the close lands reach no row.
    Type(d, "entity_name", "Overwritten");
    Type(d, "entity_taxrate", "5");
    Type(d, "address_postal1", "Overwritten");
    d.btnOK->click();
    QApplication::processEvents();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(Main("select group_concat(entity_id || entity_name || entity_fullname, '|') from "
                   "entity"),
              entities);
    EXPECT_EQ(Main("select group_concat(address_postal1, '|') from address"), addresses);
    EXPECT_FALSE(Dimensions->AnyInEdit());
}

TEST_F(CustomerDialogTest, AFailedSaveAnsweredNoKeepsTheDialogAndWhatWasTyped) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, \"Acme\")");
    // Stands in for a full disk: every write of a customer row fails.
    Exec(
        "create trigger refuse_entity before update on entity begin select raise(abort, "
        "'database or disk is full'); end");
    bool stayedOpen = false;
    QString typed;
    Run(DimensionTable::EditRecord, 9001, [&](TfrmCustEdit& d) {
        Type(d, "entity_name", "Acme Ltd");
        prompter.Push(ui::Button::Ok);  // the log's warning
        prompter.Push(ui::Button::No);
        d.btnOK->click();
        stayedOpen = d.isVisible();
        typed = d.edName->text();
        Exec("drop trigger refuse_entity");  // space again
        d.btnOK->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(typed, "Acme Ltd");
    EXPECT_EQ(prompter.Messages()[1].text,
              "The record could not be saved. Discard your changes and close?");
    EXPECT_EQ(Main("select entity_name from entity where entity_id=9001"), "Acme Ltd");
}

TEST_F(CustomerDialogTest, AFailedSaveAnsweredYesClosesAndStoresNothing) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, \"Acme\")");
    Exec(
        "create trigger refuse_entity before update on entity begin select raise(abort, "
        "'database or disk is full'); end");
    bool closed = false;
    Run(DimensionTable::EditRecord, 9001, [&](TfrmCustEdit& d) {
        Type(d, "entity_name", "Acme Ltd");
        Type(d, "address_postal1", "New street");
        prompter.Push(ui::Button::Ok);
        prompter.Push(ui::Button::Yes);
        d.btnOK->click();
        closed = !d.isVisible();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(Main("select entity_name from entity where entity_id=9001"), "Acme");
    EXPECT_EQ(AddressCount(9001), 0);  // the address of a discarded save is dropped too
}

// Another workstation saves the same customer while this dialog shows it.
TEST_F(CustomerDialogTest, SavesThatMeetKeepTheOtherValueAndTheFullNameFollowsTheStoredParts) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title, "
        "entity_fullname) values (9001, 1, 'Smith', 'John', 'Mr', 'Smith John Mr')");
    db::Connection other;
    other.SetConnectionString(DataMod->BuildConnectionString(folder.MainDb()));
    other.Open();
    const std::string row =
        "select entity_first || '|' || entity_title || '|' || entity_fullname from entity "
        "where entity_id=9001";

    // Different columns: both saves land, the full name from the stored parts.
    Run(DimensionTable::EditRecord, 9001, [&](TfrmCustEdit& d) {
        Type(d, "entity_title", "Dr");
        other.Execute(
            "update entity set entity_first='Jack', entity_fullname='Smith Jack Mr' "
            "where entity_id=9001");
        d.btnOK->click();
    });
    EXPECT_EQ(Main(row), "Jack|Dr|Smith Jack Dr");
    EXPECT_EQ(prompter.Count(), 0u);

    // The same column: refused and told; No keeps what was typed, the other value stays.
    bool stayedOpen = false;
    QString typed;
    Run(DimensionTable::EditRecord, 9001, [&](TfrmCustEdit& d) {
        Type(d, "entity_first", "Jim");
        other.Execute(
            "update entity set entity_first='Joe', entity_fullname='Smith Joe Dr' "
            "where entity_id=9001");
        prompter.Push(ui::Button::Ok);  // the log's warning
        prompter.Push(ui::Button::No);
        d.btnOK->click();
        stayedOpen = d.isVisible();
        typed = d.findChild<QLineEdit*>("entity_first")->text();
        prompter.Push(ui::Button::Ok);
        prompter.Push(ui::Button::Yes);
        d.btnOK->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(typed, "Jim");
    ASSERT_GE(prompter.Count(), 2u);
    EXPECT_NE(prompter.Messages()[0].text.find(
                  "Row cannot be located for updating. Some values may have been changed since "
                  "it was last read."),
              std::string::npos);
    EXPECT_EQ(prompter.Messages()[1].text,
              "The record could not be saved. Discard your changes and close?");
    EXPECT_EQ(Main(row), "Joe|Dr|Smith Joe Dr");
}

TEST_F(CustomerDialogTest, TaxRateAndDiscountOutsideTheirRangesAreRefused) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_taxrate, "
        "entity_discount) values (9001, 1, \"Acme\", 14, 5)");
    // Each row: the edit, what is typed, the message.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"entity_taxrate", "2000", "Please enter a value between 0 and 1000."},
        {"entity_taxrate", "-1", "Please enter a value between 0 and 1000."},
        {"entity_discount", "150", "Please enter a value between 0 and 100."},
    };
    for (const auto& [column, typed, message] : cases) {
        prompter.Push(ui::Button::Ok);
        bool stayedOpen = false;
        bool focused = false;
        QString shown;
        Run(DimensionTable::EditRecord, 9001, [&](TfrmCustEdit& d) {
            Type(d, column, typed);
            d.btnOK->click();
            stayedOpen = d.isVisible();
            auto* edit = d.findChild<QLineEdit*>(column);
            shown = edit->text();
            focused = d.focusWidget() == edit;
            d.btnOK->click();  // the previous value is kept and saved
        });
        EXPECT_TRUE(stayedOpen) << column << " " << typed;
        EXPECT_TRUE(focused) << column << " " << typed;
        EXPECT_EQ(shown, std::string(column) == "entity_taxrate" ? "14.000" : "5.000");
        EXPECT_EQ(prompter.Messages().back().text, message);
        EXPECT_EQ(prompter.Messages().back().title, "Invalid value");
    }
    EXPECT_EQ(Main("select entity_taxrate || '/' || entity_discount from entity where "
                   "entity_id=9001"),
              "14.0/5.0");
    // Inside the range the value is stored.
    Run(DimensionTable::EditRecord, 9001, [this](TfrmCustEdit& d) {
        Type(d, "entity_taxrate", "1000");
        d.btnOK->click();
    });
    EXPECT_EQ(Main("select entity_taxrate from entity where entity_id=9001"), "1000");
}

TEST_F(CustomerDialogTest, AContactPersonDeletedMeanwhileIsReportedAndNothingTypedIsStored) {
    const std::string before = Main("select count(*) || '/' || max(entity_id) from entity");
    Dimensions->Find(17)->SetRecordId(123456);
    TfrmContactPerson person;
    person.show();
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "There is no record to edit");
    TypeInto(person.findChild<QLineEdit*>("entity_name"), "Ghost");
    person.btnOK->click();
    QApplication::processEvents();
    EXPECT_FALSE(person.isVisible());
    EXPECT_EQ(Main("select count(*) || '/' || max(entity_id) from entity"), before);
    EXPECT_EQ(Main("select count(*) from entity where entity_name='Ghost'"), "0");
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
            test::MinimiseAndRestore(person);  // what was typed stays
            person.close();                    // the close box saves
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
