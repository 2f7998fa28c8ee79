#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "frames/TfrmLookup.h"
#include "platform/db/DbError.h"
#include "platform/format/Format.h"
#include "screens/TfrmAssemblyItem.h"
#include "screens/TfrmBillRate.h"
#include "screens/TfrmBillableImage.h"
#include "screens/TfrmSelItemType.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DataControls.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr const char* kErase = "You will ERASE this record. Proceed?";
constexpr const char* kNotSaved = "The record could not be saved. Discard your changes and close?";

std::string Day(int offset) {
    return format::DateTimeToIso(format::IncDay(format::Date(), offset));
}

// The user leaves an edit for another control.
void Leave(QWidget* edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

class CatalogueLineDialogsTest : public test::FrameFixture {
  protected:
    // A stored assembly line, rate 9501 and image "Front", each to be edited in its dialog.
    void StoreOneOfEach() {
        StoreNewLine();
        Dimensions->Find(25)->SetEditMode(DimensionTable::EditRecord);
        StoreRate(9501, 9101, 0, 10);
        OpenRate(DimensionTable::EditRecord, 9501);
        StoreImage("Front", "/nowhere/front.png");
    }
    void SetUp() override {
        FrameFixture::SetUp();
        // Kit (9301) is the assembly being edited. Frame holds Sub, which holds Kit; Box holds
        // nothing; Loop and Knot hold each other.
        Exec(
            "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
            "billable_code) values (9101, 10, 0, \"Bolt\", \"B-1\"), (9201, 14, 0, \"Install\", "
            "\"S-1\"), (9301, 11, 0, \"Kit\", \"K-1\"), (9302, 11, 0, \"Frame\", \"F-1\"), "
            "(9303, 11, 0, \"Sub\", \"U-1\"), (9304, 11, 0, \"Box\", \"X-1\"), (9305, 11, 0, "
            "\"Loop\", \"L-1\"), (9306, 11, 0, \"Knot\", \"N-1\"), (9103, 10, 0, \"Nut\", "
            "\"NUT-0123456789-0123456789-0123456789\")");
        Exec(
            "insert into bill_item (bill_item_id, billable_id, component_id, service_id, "
            "assembly_id, bill_item_qty) values (9311, 9302, 0, 0, 9303, 1), (9312, 9303, 0, 0, "
            "9301, 2), (9313, 9305, 0, 0, 9306, 1), (9314, 9306, 0, 0, 9305, 1)");
    }

    // The assembly line the detail list stores before it opens the dialog.
    void StoreNewLine() {
        Exec("delete from bill_item where bill_item_id=9401");
        Exec(
            "insert into bill_item (bill_item_id, billable_id, dimension_id, allow_delete, "
            "component_id, service_id, assembly_id, bill_item_descr, bill_item_code, "
            "bill_item_qty) values (9401, 9301, 25, 0, 0, 0, 0, \"[no value]\", \"[no value]\", "
            "1)");
        Dimensions->Find(25)->SetParentId(9301);
        Dimensions->Find(25)->SetRecordId(9401);
        Dimensions->Find(25)->SetEditMode(DimensionTable::Add);
    }
    // Chooses the kind and answers the pick; the dialog runs modally and must close by itself
    // unless `closeAfter` closes it once the start-up work is done.
    void RunNewLine(int type, std::function<void(TfrmLookup&)> pick, bool closeAfter) {
        StoreNewLine();
        TfrmAssemblyItem dialog;
        WhenModal<TfrmSelItemType>([type](TfrmSelItemType& chooser) {
            chooser.itemType->button(type)->setChecked(true);
            chooser.btnOK->click();
        });
        WhenModal<TfrmLookup>(pick);
        if (closeAfter) {
            dialog.Timer1Timer();
            dialog.close();
        } else {
            dialog.exec();  // returns only when the dialog closed itself
        }
        EXPECT_FALSE(dialog.isVisible());
    }
    std::string Line(const std::string& columns) {
        return Main("select " + columns + " from bill_item where bill_item_id=9401");
    }

    void StoreRate(int id, int item, int fromDay, int toDay) {
        Exec(
            "insert into bill_rate (bill_rate_id, billable_id, dimension_id, allow_delete, "
            "bill_rate_from, bill_rate_to, bill_rate_selling, bill_rate_cost, bill_rate_markup, "
            "bill_rate_maxdisc, bill_rate_tax) values (" +
            std::to_string(id) + ", " + std::to_string(item) + ", 21, 0, '" + Day(fromDay) +
            "', '" + Day(toDay) + "', 1, 1, 1, 1, 1)");
    }
    void OpenRate(int mode, int id) {
        Dimensions->Find(21)->SetParentId(9101);
        Target(21, mode, id);
    }
    std::string Rate(const std::string& columns) {
        return Main("select " + columns + " from bill_rate where bill_rate_id=9501");
    }

    void StoreImage(const std::string& descr, const std::string& file) {
        Exec(
            "insert into billable_image (billable_image_id, billable_id, dimension_id, "
            "allow_delete, billable_image_descr, billable_image_file) values (9601, 9101, 29, 0, "
            "'" +
            descr + "', '" + file + "')");
        Dimensions->Find(29)->SetRecordId(9601);
        Dimensions->Find(29)->SetEditMode(DimensionTable::EditRecord);
    }
};

// Picks the row of the list whose key is `id`.
std::function<void(TfrmLookup&)> PickRow(int id) {
    return [id](TfrmLookup& lookup) {
        EXPECT_TRUE(lookup.qLookup.Locate("billable_id", {db::Value{static_cast<long long>(id)}}));
        lookup.btnOK->click();
    };
}

TEST_F(CatalogueLineDialogsTest, ANewLineNamesThePickedItemOfTheChosenKindOnly) {
    struct Case {
        int type;
        int item;
        const char* expected;  // service/component/assembly ids, description, code
    };
    const Case cases[] = {
        {0, 9201, "9201/0/0/Install/S-1"},
        {1, 9101, "0/9101/0/Bolt/B-1"},
        {2, 9304, "0/0/9304/Box/X-1"},
        {2, 9305, "0/0/9305/Loop/L-1"},  // its own loop does not involve Kit
        {1, 9103, "0/9103/0/Nut/NUT-0123456789-0123456789-0123"},  // cut to the line's 30
    };
    for (const Case& c : cases) {
        RunNewLine(c.type, PickRow(c.item), true);
        EXPECT_EQ(Line("service_id || '/' || component_id || '/' || assembly_id || '/' || "
                       "bill_item_descr || '/' || bill_item_code"),
                  c.expected)
            << c.item;
        EXPECT_EQ(Line("bill_item_qty"), "1");  // the new row's quantity stays
    }
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(CatalogueLineDialogsTest, ACancelledPickDropsTheLineOrLeavesItBlankAndCloses) {
    prompter.Push(ui::Button::Yes);
    RunNewLine(
        1, [](TfrmLookup& lookup) { lookup.btnCancel->click(); }, false);
    EXPECT_EQ(Texts(), std::vector<std::string>{kErase});
    EXPECT_EQ(Line("count(*)"), "0");

    prompter.Push(ui::Button::No);
    RunNewLine(
        1, [](TfrmLookup& lookup) { lookup.btnCancel->click(); }, false);
    // Neither the cancelled pick's 0 nor the first row's description reaches the line.
    EXPECT_EQ(Line("component_id || '/' || bill_item_descr || '/' || bill_item_code"),
              "0/[no value]/[no value]");
}

TEST_F(CatalogueLineDialogsTest, AnEmptyListWritesNoKeyIntoTheLine) {
    Exec("delete from billable where dimension_id=14");
    prompter.Push(ui::Button::Ok);
    prompter.Push(ui::Button::No);
    RunNewLine(
        0, [](TfrmLookup&) { ADD_FAILURE() << "an empty list is never shown"; }, false);
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"There are no records in the lookup table", kErase}));
    EXPECT_EQ(Line("service_id || '/' || bill_item_descr"), "0/[no value]");
}

TEST_F(CatalogueLineDialogsTest, AnAssemblyHoldingTheEditedOneAtAnyDepthIsRefused) {
    // Kit itself, Sub (holds Kit), Frame (holds Sub).
    for (int refused : {9301, 9303, 9302}) {
        prompter.Push(ui::Button::Ok);
        prompter.Push(ui::Button::No);
        RunNewLine(2, PickRow(refused), false);
        EXPECT_EQ(Line("assembly_id || '/' || bill_item_descr || '/' || bill_item_code"),
                  "0/[no value]/[no value]")
            << refused;
    }
    const std::vector<std::string> once{"An assembly cannot contain itself.", kErase};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), once.begin(), once.end());
    EXPECT_EQ(Texts(), expected);
}

TEST_F(CatalogueLineDialogsTest, AnExistingLineIsEditedByHandWithoutChooserOrPick) {
    StoreNewLine();
    Exec("update bill_item set service_id=9201, bill_item_descr='Install' where bill_item_id=9401");
    Dimensions->Find(25)->SetEditMode(DimensionTable::EditRecord);
    TfrmAssemblyItem dialog;
    dialog.show();
    dialog.Timer1Timer();
    EXPECT_EQ(dialog.DBEdit1->text(), "Install");
    EXPECT_EQ(dialog.DBEdit3->text(), "1.00");
    TypeInto(dialog.DBEdit3, "2.5");
    dialog.close();
    EXPECT_EQ(Line("service_id || '/' || bill_item_qty"), "9201/2.5");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(CatalogueLineDialogsTest, ARecordDeletedMeanwhileIsReportedByEachDialog) {
    Dimensions->Find(25)->SetRecordId(9999);
    Dimensions->Find(25)->SetEditMode(DimensionTable::EditRecord);
    OpenRate(DimensionTable::Add, 9999);
    Dimensions->Find(29)->SetRecordId(9999);
    {
        TfrmAssemblyItem line;
        line.show();
        line.Timer1Timer();
        TfrmBillRate rate;
        rate.show();
        TfrmBillableImage image;
        image.show();
        QApplication::processEvents();
        EXPECT_FALSE(line.isVisible());
        EXPECT_FALSE(rate.isVisible());
        EXPECT_FALSE(image.isVisible());
    }
    EXPECT_EQ(Texts(), std::vector<std::string>(3, "There is no record to edit"));
    EXPECT_EQ(Main("select (select count(*) from bill_item where bill_item_id=9999) + (select "
                   "count(*) from bill_rate where bill_rate_id=9999)"),
              "0");
}

TEST_F(CatalogueLineDialogsTest, EachDialogRestoredAfterBeingMinimisedKeepsWhatWasTyped) {
    StoreOneOfEach();
    TfrmAssemblyItem line;
    line.show();
    line.Timer1Timer();
    TfrmBillRate rate;
    rate.show();
    TfrmBillableImage image;
    image.show();
    const struct {
        QDialog* dialog;
        QLineEdit* edit;
        const char* typed;
    } cases[] = {
        {&line, line.DBEdit2, "K-2"}, {&rate, rate.DBEdit1, "80"}, {&image, image.DBEdit1, "Back"}};
    for (const auto& c : cases) {
        TypeInto(c.edit, c.typed);
        test::MinimiseAndRestore(*c.dialog);
        EXPECT_EQ(c.edit->text(), c.typed);
        c.dialog->close();
    }
    EXPECT_EQ(Line("bill_item_code"), "K-2");
    EXPECT_EQ(Rate("bill_rate_cost"), "80");
    EXPECT_EQ(Main("select billable_image_descr from billable_image"), "Back");
    EXPECT_TRUE(Texts().empty());
}

TEST_F(CatalogueLineDialogsTest, AFailedSaveAsksAndClosesOnYesInEachDialog) {
    StoreOneOfEach();
    // Stands in for a full disk: no row of the three tables can be written.
    for (const char* table : {"bill_item", "bill_rate", "billable_image"})
        Exec(std::string("create trigger refuse_") + table + " before update on " + table +
             " begin select raise(abort, 'database or disk is full'); end");

    TfrmAssemblyItem line;
    line.show();
    line.Timer1Timer();
    TypeInto(line.DBEdit2, "K-2");
    prompter.Push(ui::Button::Ok);  // the log's warning
    prompter.Push(ui::Button::No);
    line.close();
    EXPECT_TRUE(line.isVisible());  // No keeps the dialog and what was typed
    EXPECT_EQ(line.DBEdit2->text(), "K-2");
    prompter.Push(ui::Button::Ok);
    prompter.Push(ui::Button::Yes);
    line.close();
    EXPECT_FALSE(line.isVisible());

    TfrmBillRate rate;
    rate.show();
    TypeInto(rate.DBEdit1, "80");
    prompter.Push(ui::Button::Ok);
    prompter.Push(ui::Button::Yes);
    rate.close();
    EXPECT_FALSE(rate.isVisible());

    TfrmBillableImage image;
    image.show();
    TypeInto(image.DBEdit1, "Back");
    prompter.Push(ui::Button::Ok);
    prompter.Push(ui::Button::Yes);
    image.close();
    EXPECT_FALSE(image.isVisible());

    const std::vector<std::string> texts = Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), kNotSaved), 4);
    EXPECT_EQ(Line("bill_item_code"), "[no value]");
    EXPECT_EQ(Rate("bill_rate_cost"), "1");
    EXPECT_EQ(Main("select billable_image_descr from billable_image"), "Front");
}

TEST_F(CatalogueLineDialogsTest, ANewRateContinuesTheItemsLatestPeriodForAYear) {
    struct Case {
        const char* name;
        int earlierTo;  // the end of the item's one earlier rate, in days from today; 0: none
        int mode;
        int from, to;  // the period expected, in days from today
    };
    const Case cases[] = {
        {"no earlier rate", 0, DimensionTable::Add, 0, 365},
        {"one earlier rate ending later", 30, DimensionTable::Add, 30, 395},
        {"one earlier rate ended", -30, DimensionTable::Add, 0, 365},
        {"an existing rate keeps its period", 30, DimensionTable::EditRecord, -5, 5},
    };
    for (const Case& c : cases) {
        Exec("delete from bill_rate");
        StoreRate(9777, 9102, 0, 500);  // another item's rate counts for nothing
        if (c.earlierTo != 0)
            StoreRate(9502, 9101, c.earlierTo - 100, c.earlierTo);
        // The new row as the detail list stores it (dates of today), or a stored rate.
        if (c.mode == DimensionTable::Add)
            StoreRate(9501, 9101, 0, 0);
        else
            StoreRate(9501, 9101, -5, 5);
        OpenRate(c.mode, 9501);
        TfrmBillRate dialog;
        dialog.show();
        const auto shown = [](TdtFrame* frame) {
            return frame->dtPicker->date().toString("yyyy-MM-dd 00:00:00").toStdString();
        };
        EXPECT_EQ(shown(dialog.dtFrame1) + "/" + shown(dialog.dtFrame2),
                  Day(c.from) + "/" + Day(c.to))
            << c.name;
        dialog.close();
        EXPECT_EQ(Rate("bill_rate_from || '/' || bill_rate_to"), Day(c.from) + "/" + Day(c.to))
            << c.name;
    }
}

TEST_F(CatalogueLineDialogsTest, LeavingTheMarkupSetsTheSellingRateFromTheCost) {
    struct Case {
        const char* cost;
        const char* markup;
        double selling;
    };
    const Case cases[] = {
        {"80", "25", 100.0}, {"80", "0", 80.0}, {"0", "50", 0.0}, {"200", "12.5", 225.0}};
    StoreRate(9501, 9101, 0, 10);
    OpenRate(DimensionTable::EditRecord, 9501);
    TfrmBillRate dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Bill rate");
    for (const Case& c : cases) {
        TypeInto(dialog.DBEdit1, c.cost);
        Leave(dialog.DBEdit1);
        EXPECT_EQ(dialog.qEdit.FieldByName("bill_rate_selling").AsFloat(), 1.0)
            << "the cost alone changes nothing";
        TypeInto(dialog.DBEdit2, c.markup);
        Leave(dialog.DBEdit2);
        EXPECT_DOUBLE_EQ(dialog.qEdit.FieldByName("bill_rate_selling").AsFloat(), c.selling)
            << c.cost << " " << c.markup;
        EXPECT_DOUBLE_EQ(dialog.DBEdit3->text().toDouble(), c.selling);
        TypeInto(dialog.DBEdit3, "1");  // the user may overwrite it
        Leave(dialog.DBEdit3);
    }
    TypeInto(dialog.DBEdit3, "99.5");
    dialog.close();
    EXPECT_EQ(Rate("bill_rate_cost || '/' || bill_rate_markup || '/' || bill_rate_selling"),
              "200.0/12.5/99.5");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(CatalogueLineDialogsTest, ValuesOutsideTheirRangesAreRefusedAndTheFieldKeepsItsValue) {
    StoreRate(9501, 9101, 0, 10);
    OpenRate(DimensionTable::EditRecord, 9501);
    TfrmBillRate dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    TypeInto(dialog.DBEdit2, "-5");
    Leave(dialog.DBEdit2);
    TypeInto(dialog.DBEdit1, "-1");
    Leave(dialog.DBEdit1);
    EXPECT_EQ(Texts(), std::vector<std::string>(2, "Please enter a value between 0 and 9E99."));
    EXPECT_EQ(dialog.DBEdit2->text(), "1.00");
    // The field refused last has the focus, and its value in the edited form.
    ASSERT_TRUE(dialog.DBEdit1->hasFocus());
    EXPECT_EQ(dialog.DBEdit1->text(), "1.000");
    // The maximum discount has no control; its range holds for any writer.
    EXPECT_THROW(dialog.qEdit.FieldByName("bill_rate_maxdisc").SetAsFloat(100.5), db::RangeError);
    dialog.qEdit.FieldByName("bill_rate_maxdisc").SetAsFloat(100);
    dialog.close();
    EXPECT_EQ(Rate("bill_rate_markup || '/' || bill_rate_cost || '/' || bill_rate_maxdisc"),
              "1.0/1.0/100.0");
}

TEST_F(CatalogueLineDialogsTest, AChosenImageNamesTheDescriptionOnlyWhenItHasNone) {
    const std::string file = MakeFile("pictures/front view.png", "GIF89a");
    struct Case {
        const char* descrBefore;
        const char* descrAfter;
    };
    for (const Case& c : {Case{"[no value]", "front view.png"}, Case{"Typed", "Typed"}}) {
        Exec("delete from billable_image");
        StoreImage(c.descrBefore, "");
        TfrmBillableImage dialog;
        dialog.show();
        EXPECT_EQ(dialog.OpenpictureDialog1->nameFilters(),
                  QStringList{"Image files (*.bmp *.wmf *.jpg *.jpeg *.gif *.png *)"});
        test::WhenChoosingFile(file);
        dialog.Button1->click();
        EXPECT_EQ(dialog.DBText1->text().toStdString(), file);
        dialog.close();
        EXPECT_EQ(Main("select billable_image_descr || '|' || billable_image_file from "
                       "billable_image"),
                  std::string(c.descrAfter) + "|" + file);
    }
}

TEST_F(CatalogueLineDialogsTest, ACancelledChoiceChangesNothingAndViewOpensOnlyAnExistingDocument) {
    const std::string file = MakeFile("pictures/side.jpg", "GIF89a");
    StoreImage("[no value]", "/nowhere/missing.png");
    TfrmBillableImage dialog;
    dialog.show();
    test::WhenChoosingFile("");
    dialog.Button1->click();
    dialog.btnView->click();
    EXPECT_TRUE(opener.Targets().empty());
    dialog.qEdit.FieldByName("billable_image_file").SetAsString(file);
    dialog.btnView->click();
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{file});
    // A program named as an image is never run.
    const std::string program = MakeFile("pictures/setup.sh", "GIF89a");
    std::filesystem::permissions(program, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    dialog.qEdit.FieldByName("billable_image_file").SetAsString(program);
    dialog.btnView->click();
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{file});
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, test::kRefusedScript);
    dialog.close();
    EXPECT_EQ(Main("select billable_image_descr from billable_image"), "[no value]");
}

}  // namespace
}  // namespace zl
