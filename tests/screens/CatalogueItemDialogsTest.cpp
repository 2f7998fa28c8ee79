// The service, component and assembly dialogs: a new item stored at show, the rate a service or
// component must have before it closes, the quantity ranges, an assembly's lines rolled up into
// its rate, and an item deleted meanwhile.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/BOMPopulater.h"
#include "core/BillRate.h"
#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "platform/format/Format.h"
#include "screens/TfrmAssembly.h"
#include "screens/TfrmComponent.h"
#include "screens/TfrmSelItemType.h"
#include "screens/TfrmService.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr int kService = 14;
constexpr int kComponent = 10;
constexpr int kAssembly = 11;

std::unique_ptr<CatalogueItemDialog> Make(int dimension) {
    switch (dimension) {
        case kService:
            return std::make_unique<TfrmService>();
        case kComponent:
            return std::make_unique<TfrmComponent>();
        default:
            return std::make_unique<TfrmAssembly>();
    }
}

std::string Day(int offset) {
    return "'" + format::DateTimeToIso(format::IncDay(format::Date(), offset)) + "'";
}

void TypeInto(QLineEdit* edit, const QString& text) {
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

class CatalogueItemDialogsTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        // New keys lie above every row made here.
        Exec("update id_control set next_id=20000");
        Exec(
            "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
            "billable_code, billable_minqty, billable_maxqty) values "
            "(9101, 10, 0, \"Bolt\", \"B-1\", 2, 50), (9201, 14, 0, \"Fitting\", \"S-1\", 1, 8)");
        Exec(
            "insert into bill_rate (bill_rate_id, billable_id, dimension_id, bill_rate_from, "
            "bill_rate_to, bill_rate_selling, bill_rate_cost) values (9111, 9101, 21, " +
            Day(-1) + ", " + Day(1) + ", 10, 6), (9211, 9201, 21, " + Day(-1) + ", " + Day(1) +
            ", 4, 2)");
    }
    // Runs the dialog of the kind in the given mode with `step` acting on it while it shows.
    void Run(int dimension, int mode, int record, std::function<void(CatalogueItemDialog&)> step) {
        Target(dimension, mode, record);
        ExecWith(*Make(dimension), std::move(step));
    }
    // Counts the rate dialogs shown until the test ends.
    void CountRateDialogs(int& shown) {
        WhenModal<TfrmBillRate>([this, &shown](TfrmBillRate& rate) {
            ++shown;
            rate.close();
            CountRateDialogs(shown);
        });
    }
    std::string Item(int id, const std::string& columns) {
        return Main("select " + columns + " from billable where billable_id=" + std::to_string(id));
    }
    int Rates(int id) {
        return std::stoi(
            Main("select count(*) from bill_rate where billable_id=" + std::to_string(id)));
    }
    // Adds a line of the given type (0 service, 1 component) picking the kind's first item.
    void AddLine(CatalogueItemDialog& d, int type, const QString& quantity) {
        WhenModal<TfrmSelItemType>([type](TfrmSelItemType& chooser) {
            chooser.itemType->button(type)->setChecked(true);
            chooser.btnOK->click();
        });
        WhenModal<TfrmLookup>([quantity](TfrmLookup& lookup) {
            lookup.btnOK->click();
            WhenModal<TfrmAssemblyItem>([quantity](TfrmAssemblyItem& line) {
                TypeInto(line.DBEdit3, quantity);
                line.btnOK->click();
            });
        });
        d.compFrame->btnAddClick();
    }
};

TEST_F(CatalogueItemDialogsTest, EachKindHasItsLabelsTabsListsAndButtons) {
    struct Expected {
        int dimension;
        const char* caption;
        std::vector<QString> labels;
        std::vector<QString> tabs;
        const char* heading;
        const char* ok;
        bool rates, lines, images;
    };
    const Expected kinds[] = {
        {kService,
         "Service",
         {"Description: ", "Our code: ", "External code:", "Units: ", "Default quantity: ",
          "Minimum quantity: ", "Maximum quantity:"},
         {},
         "Component rates: ",
         "&Save and Close",
         true,
         false,
         false},
        {kComponent,
         "Component",
         {"Description: ", "Our code: ", "External code: ", "SKU: ", "Barcode: ", "Units: ",
          "Default quantity: ", "Minimum quantity: ", "Maximum quantity:"},
         {"Details", "Component images"},
         "Component rates: ",
         "&Save and Close",
         true,
         false,
         true},
        {kAssembly,
         "Assembly",
         {"Description: ", "Code: ", "Customer code: ", "SKU: "},
         {"Assembly details", "Assembly images"},
         "Assembly components and services",
         "&Save and close",
         false,
         true,
         true},
    };
    for (const Expected& e : kinds) {
        std::unique_ptr<CatalogueItemDialog> d = Make(e.dimension);
        EXPECT_EQ(d->windowTitle(), e.caption);
        EXPECT_EQ(d->DimensionId, e.dimension);
        auto* form = qobject_cast<QFormLayout*>(
            d->findChild<QWidget*>("details")->layout()->itemAt(0)->layout());
        ASSERT_NE(form, nullptr);
        std::vector<QString> labels;
        for (int row = 0; row < form->rowCount(); ++row)
            labels.push_back(
                qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget())->text());
        EXPECT_EQ(labels, e.labels) << e.caption;
        std::vector<QString> tabs;
        for (int i = 0; d->PageControl1 && i < d->PageControl1->count(); ++i)
            tabs.push_back(d->PageControl1->tabText(i));
        EXPECT_EQ(tabs, e.tabs) << e.caption;
        EXPECT_EQ(d->labList->text(), e.heading);
        EXPECT_TRUE(d->labList->font().bold());
        EXPECT_EQ(d->btnOK->text(), e.ok);
        EXPECT_EQ(d->btnCancel->text(), "&Cancel");
        EXPECT_EQ(d->rateFrame != nullptr, e.rates) << e.caption;
        EXPECT_EQ(d->compFrame != nullptr, e.lines) << e.caption;
        EXPECT_EQ(d->imageFrame != nullptr, e.images) << e.caption;
    }
}

TEST_F(CatalogueItemDialogsTest, ANewServiceIsStoredAtShowAndGetsARateBeforeItCloses) {
    int id = 0;
    std::string storedAtShow;
    int rateDialogs = 0;
    bool openWhileRating = false;
    QString rateCaption;
    Run(kService, DimensionTable::Add, 0, [&](CatalogueItemDialog& d) {
        id = d.ItemId();
        storedAtShow = Item(id, "dimension_id || '/' || billable_descr || '/' || billable_minqty");
        EXPECT_EQ(d.rateFrame->recordCount(), 0);
        EXPECT_EQ(d.findChild<QLineEdit*>("billable_minqty")->text(), "1.00");
        TypeInto(d.findChild<QLineEdit*>("billable_descr"), "Installation");
        WhenModal<TfrmBillRate>([&](TfrmBillRate& rate) {
            ++rateDialogs;
            rateCaption = rate.windowTitle();
            openWhileRating = d.isVisible();
            EXPECT_EQ(Rates(id), 1);  // stored before its dialog opened
            rate.close();
        });
        d.btnOK->click();
    });
    ASSERT_GE(id, 20000);
    EXPECT_EQ(storedAtShow, "14/[no value]/1.0");
    EXPECT_EQ(rateDialogs, 1);
    EXPECT_TRUE(openWhileRating);
    EXPECT_EQ(rateCaption, "Add new bill rate");
    EXPECT_EQ(Item(id, "billable_descr"), "Installation");
    EXPECT_EQ(Main("select count(*) || '/' || min(dimension_id) from bill_rate where billable_id=" +
                   std::to_string(id)),
              "1/21");
    EXPECT_EQ(prompter.Count(), 0u);

    // Closed again with its rate: no further rate is asked for.
    CountRateDialogs(rateDialogs);
    Run(kService, DimensionTable::EditRecord, id, [](CatalogueItemDialog& d) { d.close(); });
    EXPECT_EQ(rateDialogs, 1);
    EXPECT_EQ(Rates(id), 1);
}

TEST_F(CatalogueItemDialogsTest, AComponentCannotCloseWithoutARateEither) {
    Exec(
        "insert into billable (billable_id, dimension_id, allow_delete, billable_descr) values "
        "(9050, 10, 0, \"Bolt\")");
    int rateDialogs = 0;
    CountRateDialogs(rateDialogs);
    Run(kComponent, DimensionTable::EditRecord, 9050, [](CatalogueItemDialog& d) { d.close(); });
    EXPECT_EQ(rateDialogs, 1);  // a stored component without a rate is given one on closing
    EXPECT_EQ(Rates(9050), 1);
    Run(kComponent, DimensionTable::EditRecord, 9050, [](CatalogueItemDialog& d) { d.close(); });
    EXPECT_EQ(rateDialogs, 1);
    EXPECT_EQ(Rates(9050), 1);
}

TEST_F(CatalogueItemDialogsTest, AServiceWhoseRateCannotBeStoredStaysOpenUntilItHasOne) {
    // Stands in for a full disk: no rate row can be written.
    Exec(
        "create trigger refuse_rate before insert on bill_rate begin select raise(abort, "
        "'database or disk is full'); end");
    int id = 0;
    bool stayedOpen = false;
    int rateDialogs = 0;
    Run(kService, DimensionTable::Add, 0, [&](CatalogueItemDialog& d) {
        id = d.ItemId();
        d.btnOK->click();
        stayedOpen = d.isVisible();
        Exec("drop trigger refuse_rate");
        CountRateDialogs(rateDialogs);
        d.btnOK->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(prompter.Messages().back().text,
              "The new record could not be created. Nothing has been stored.");
    EXPECT_EQ(rateDialogs, 1);
    EXPECT_EQ(Rates(id), 1);
}

TEST_F(CatalogueItemDialogsTest, ACancelledNewComponentKeepsItsDefaultsAndGetsNoRate) {
    int id = 0;
    int rateDialogs = 0;
    CountRateDialogs(rateDialogs);
    Run(kComponent, DimensionTable::Add, 0, [&](CatalogueItemDialog& d) {
        id = d.ItemId();
        TypeInto(d.findChild<QLineEdit*>("billable_descr"), "Washer");
        prompter.Push(ui::Button::Yes);
        d.btnCancel->click();
    });
    EXPECT_EQ(prompter.Messages().back().text, "You will lose any changes you have made. Proceed?");
    EXPECT_EQ(Item(id, "dimension_id || '/' || billable_descr"), "10/[no value]");
    EXPECT_EQ(rateDialogs, 0);
    EXPECT_EQ(Rates(id), 0);
}

TEST_F(CatalogueItemDialogsTest, AComponentRefusesANegativeQuantityAndKeepsThePreviousOne) {
    const struct {
        const char* column;
        const char* typed;
        const char* kept;
    } cases[] = {{"billable_minqty", "-1", "2.000"}, {"billable_maxqty", "-0.5", "50.000"}};
    int rateDialogs = 0;
    CountRateDialogs(rateDialogs);
    for (const auto& c : cases) {
        prompter.Push(ui::Button::Ok);
        bool stayedOpen = false;
        QString shown;
        Run(kComponent, DimensionTable::EditRecord, 9101, [&](CatalogueItemDialog& d) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
            TypeInto(d.findChild<QLineEdit*>(c.column), c.typed);
            d.btnOK->click();
            stayedOpen = d.isVisible();
            shown = d.findChild<QLineEdit*>(c.column)->text();
            d.btnOK->click();
        });
        EXPECT_TRUE(stayedOpen) << c.column;
        EXPECT_EQ(shown, c.kept) << c.column;  // in its edited form: the field has the focus
        EXPECT_EQ(prompter.Messages().back().text, "Please enter a value between 0 and 9E99.");
        EXPECT_EQ(prompter.Messages().back().title, "Invalid value");
    }
    EXPECT_EQ(Item(9101, "billable_minqty || '/' || billable_maxqty"), "2.0/50.0");
    // Zero is allowed.
    Run(kComponent, DimensionTable::EditRecord, 9101, [](CatalogueItemDialog& d) {
        TypeInto(d.findChild<QLineEdit*>("billable_minqty"), "0");
        d.btnOK->click();
    });
    EXPECT_EQ(Item(9101, "billable_minqty || '/' || billable_maxqty"), "0.0/50.0");
    EXPECT_EQ(rateDialogs, 0);  // it has its rate
}

TEST_F(CatalogueItemDialogsTest, AnAssemblyOfAServiceAComponentAndASubAssemblyPricesAndExplodes) {
    // A kit of two bolts, listed before the new assembly among the assemblies.
    Exec(
        "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
        "billable_code) values (9301, 11, 0, \"Kit\", \"K-1\")");
    Exec(
        "insert into bill_item (bill_item_id, billable_id, component_id, service_id, "
        "assembly_id, dimension_id, bill_item_qty) values (9311, 9301, 9101, 0, 0, 25, 2)");
    int id = 0;
    int lines = 0;
    int rateDialogs = 0;
    Run(kAssembly, DimensionTable::Add, 0, [&](CatalogueItemDialog& d) {
        id = d.ItemId();
        EXPECT_EQ(d.PageControl1->currentIndex(), 0);
        AddLine(d, 0, "1");  // a fitting at 4 (cost 2)
        AddLine(d, 1, "3");  // three bolts at 10 (cost 6)
        AddLine(d, 2, "2");  // two kits of two bolts
        lines = d.compFrame->recordCount();
        TypeInto(d.findChild<QLineEdit*>("billable_descr"), "Fitted kits");
        CountRateDialogs(rateDialogs);
        d.btnOK->click();
    });
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(rateDialogs, 0);  // an assembly is priced by its lines
    EXPECT_EQ(Item(id, "dimension_id || '/' || billable_descr"), "11/Fitted kits");
    EXPECT_EQ(Main("select group_concat(component_id || '/' || service_id || '/' || assembly_id "
                   "|| '/' || bill_item_qty, '|') from (select * from bill_item where "
                   "billable_id=" +
                   std::to_string(id) + " order by bill_item_id)"),
              "0/9201/0/1.0|9101/0/0/3.0|0/0/9301/2.0");
    BillRate rates;
    ASSERT_TRUE(rates.SetItemID(id));
    EXPECT_DOUBLE_EQ(rates.getAssemblyRate(), 4 + 3 * 10 + 2 * (2 * 10));
    EXPECT_DOUBLE_EQ(rates.getAssemblyCost(), 2 + 3 * 6 + 2 * (2 * 6));

    // One of it on a quotation: the bill of materials lists what it is made of.
    Exec("insert into zlm_doc (zlm_doc_id, dimension_id, customer_id) values (9401, 6, 5)");
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, assembly_id, "
        "doc_item_qty) values (9402, 9401, 24, " +
        std::to_string(id) + ", 1)");
    BOMPopulater bom;
    ASSERT_TRUE(bom.Populate(9401));
    EXPECT_EQ(Stored(folder.MetaDb(),
                     "select group_concat(bom_descr || ' ' || bom_qty, '|') "
                     "from (select * from bom order by bom_id)"),
              "Fitting 1.0|Bolt 3.0|Bolt 4.0");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(CatalogueItemDialogsTest, AnItemDeletedMeanwhileIsReportedAndNothingIsStored) {
    const std::string items =
        Main("select count(*) || '/' || group_concat(billable_descr, '|') from billable");
    const std::string details = Main(
        "select (select count(*) from bill_rate) || '/' || (select count(*) from bill_item) || "
        "'/' || (select count(*) from billable_image)");
    int rateDialogs = 0;
    CountRateDialogs(rateDialogs);
    for (int dimension : {kService, kComponent, kAssembly}) {
        const std::size_t before = prompter.Count();
        Target(dimension, DimensionTable::EditRecord, 123456);
        std::unique_ptr<CatalogueItemDialog> d = Make(dimension);
        d->show();  // finds nothing, says so and closes once the event loop runs
        ASSERT_EQ(prompter.Count(), before + 1) << dimension;
        EXPECT_EQ(prompter.Messages().back().text, "There is no record to edit");
        EXPECT_EQ(d->ItemId(), 0);
        // Typing and saving before the close lands reach no row.
        TypeInto(d->findChild<QLineEdit*>("billable_descr"), "Overwritten");
        d->btnOK->click();
        QApplication::processEvents();
        EXPECT_FALSE(d->isVisible()) << dimension;
        EXPECT_EQ(prompter.Count(), before + 1) << dimension;
    }
    EXPECT_EQ(rateDialogs, 0);
    EXPECT_EQ(Main("select count(*) || '/' || group_concat(billable_descr, '|') from billable"),
              items);
    EXPECT_EQ(Main("select (select count(*) from bill_rate) || '/' || (select count(*) from "
                   "bill_item) || '/' || (select count(*) from billable_image)"),
              details);
    EXPECT_FALSE(Dimensions->AnyInEdit());
}

TEST_F(CatalogueItemDialogsTest, AFailedSaveAnsweredNoKeepsTheComponentOpen) {
    Exec(
        "create trigger refuse_item before update on billable begin select raise(abort, "
        "'database or disk is full'); end");
    bool stayedOpen = false;
    Run(kComponent, DimensionTable::EditRecord, 9101, [&](CatalogueItemDialog& d) {
        TypeInto(d.findChild<QLineEdit*>("billable_descr"), "Bolt M8");
        prompter.Push(ui::Button::Ok);  // the log's warning
        prompter.Push(ui::Button::No);
        d.btnOK->click();
        stayedOpen = d.isVisible();
        Exec("drop trigger refuse_item");
        d.btnOK->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(prompter.Messages()[1].text,
              "The record could not be saved. Discard your changes and close?");
    EXPECT_EQ(Item(9101, "billable_descr"), "Bolt M8");
}

}  // namespace
}  // namespace zl
