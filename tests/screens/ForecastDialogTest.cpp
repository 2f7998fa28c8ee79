// The forecast and forecast line dialogs: a new forecast over a year stored on close with its
// lines and their total, lines priced at the rate of the day, an abandoned pick, a failed save
// and records deleted meanwhile.
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "platform/format/Format.h"
#include "screens/TfrmForecast.h"
#include "screens/TfrmForecastItem.h"
#include "screens/TfrmSelItemType.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr int kBusUnit = 3;

std::string Day(int offset) {
    return format::DateTimeToIso(format::IncDay(format::Date(), offset));
}

// The user leaves an edit for another control.
void Leave(QWidget* edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

void Type(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

using LookupStep = std::function<void(TfrmLookup&)>;
using LineStep = std::function<void(TfrmForecastItem&)>;

LookupStep Pick(int billableId) {
    return [billableId](TfrmLookup& lookup) {
        ASSERT_TRUE(lookup.qLookup.Locate("billable_id", {static_cast<long long>(billableId)}));
        lookup.btnOK->click();
    };
}

const LookupStep kCancelPick = [](TfrmLookup& lookup) { lookup.btnCancel->click(); };
const LineStep kOK = [](TfrmForecastItem& line) { line.btnOK->click(); };

class ForecastDialogTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        CurBusUnitId = kBusUnit;
        Exec("update id_control set next_id=20000");
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, region_id) values "
            "(9001, 1, \"Acme\", 9050), (9050, 16, \"Abroad\", 0)");
        Exec(
            "insert into exchange_rate (exchange_rate_id, region_id, exchange_rate_from, "
            "exchange_rate_to, exchange_rate) values (9060, 9050, '" +
            Day(-10) + "', '" + Day(10) + "', 0.5)");
        Exec(
            "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
            "billable_code, billable_defqty) values (9201, 14, 0, \"Installation\", \"S-1\", 3), "
            "(9202, 14, 0, \"Survey\", \"S-2\", 2), (9101, 10, 0, \"Bolt\", \"B-1\", 2)");
        // Installation cost 10 until ten days ago; 12.5 since.
        Exec(
            "insert into bill_rate (bill_rate_id, billable_id, bill_rate_from, bill_rate_to, "
            "bill_rate_selling, bill_rate_cost) values (9211, 9201, '" +
            Day(-40) + "', '" + Day(-10) + "', 10, 4), (9212, 9201, '" + Day(-9) + "', '" +
            Day(30) + "', 12.5, 5), (9221, 9202, '" + Day(-9) + "', '" + Day(30) + "', 7.5, 3)");
        // A stored forecast of a customer abroad, with one line.
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, "
            "zlm_doc_descr) values (8001, 15, 9001, 3, \"Spring\")");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
            "doc_item_descr, doc_item_code, doc_item_qty, doc_item_rate, doc_item_tax, "
            "doc_item_discount, doc_item_total, doc_item_costrate) values (8150, 8001, 24, 0, "
            "\"Fitting\", \"F-1\", 5, 20, 0, 0, 100, 0)");
    }
    void TearDown() override {
        CurBusUnitId = 0;
        FrameFixture::TearDown();
    }
    // Shows the forecast dialog as the billable-items window would, with `step` acting on it.
    void RunForecast(int mode, int record, std::function<void(TfrmForecast&)> step) {
        RunDialog<TfrmForecast>(15, mode, record, std::move(step));
    }
    // Adds a line from the lines list: the item type chosen, the pick answered (no `pick`: no
    // pick dialog opens) and, when the line dialog stays open, `lineStep` acting on it.
    void AddLine(TfrmForecast& forecast, int type, LookupStep pick, LineStep lineStep = nullptr) {
        WhenModal<TfrmSelItemType>([type](TfrmSelItemType& chooser) {
            chooser.itemType->button(type)->setChecked(true);
            chooser.btnOK->click();
        });
        if (pick)
            WhenModal<TfrmLookup>([pick, lineStep](TfrmLookup& lookup) {
                pick(lookup);
                if (lineStep)
                    WhenModal<TfrmForecastItem>(lineStep);
            });
        forecast.itemFrame->btnAddClick();
    }
    // Shows the line dialog on a stored line as the lines list would.
    void RunLine(int mode, int line, std::function<void(TfrmForecastItem&)> step) {
        RunDialog<TfrmForecastItem>(24, mode, line, std::move(step));
    }
    std::string Line(int id, const std::string& columns) {
        return Main("select " + columns + " from doc_item where doc_item_id=" + std::to_string(id));
    }
    bool Shown(const std::string& text) {
        for (const ui::Message& m : prompter.Messages())
            if (m.text == text)
                return true;
        return false;
    }
};

const char* const kPriced =
    "doc_item_billtype || '/' || service_id || '/' || doc_item_descr || '/' || doc_item_code || "
    "'/' || doc_item_qty || '/' || doc_item_rate || '/' || doc_item_tax || '/' || "
    "doc_item_discount || '/' || doc_item_total || '/' || doc_item_roe || '/' || "
    "doc_item_costrate";

TEST_F(ForecastDialogTest, ANewForecastCoversAYearAndIsStoredOnCloseWithItsLinesAndTotal) {
    int id = 0;
    std::string storedWhileOpen, dates, total;
    RunForecast(DimensionTable::Add, 0, [&](TfrmForecast& f) {
        id = f.ForecastId();
        for (const char* column : {"zlm_doc_date", "zlm_doc_from", "zlm_doc_to"})
            dates += format::DateTimeToIso(f.qEdit.FieldByName(column).AsDateTime()) + "|";
        EXPECT_EQ(f.dtTo->dtPicker->date(), QDate::currentDate().addDays(365));
        Type(f.edDescr, "Next year");
        AddLine(f, 0, Pick(9201), kOK);
        AddLine(f, 0, Pick(9202), kOK);
        storedWhileOpen =
            Main("select count(*) from zlm_doc where zlm_doc_id=" + std::to_string(id));
        total = f.itemFrame->labTotal->text().toStdString();
        f.btnOK->click();
    });
    ASSERT_GT(id, 0);
    EXPECT_EQ(dates, Day(0) + "|" + Day(0) + "|" + Day(365) + "|");
    EXPECT_EQ(storedWhileOpen, "0");
    EXPECT_EQ(total, "20.00");
    const std::string doc = " from zlm_doc where zlm_doc_id=" + std::to_string(id);
    EXPECT_EQ(Main("select dimension_id || '/' || bus_unit_id || '/' || zlm_doc_descr" + doc),
              "15/3/Next year");
    EXPECT_EQ(Main("select zlm_doc_date || '|' || zlm_doc_from || '|' || zlm_doc_to || '|'" + doc),
              dates);
    // One of each, untaxed, at today's rate; no customer, so no exchange; no cost.
    EXPECT_EQ(Main("select group_concat(" + std::string(kPriced) +
                   ", '|') from (select * from doc_item where zlm_doc_id=" + std::to_string(id) +
                   " order by doc_item_id)"),
              "0/9201/Installation/S-1/1.0/12.5/0.0/0.0/12.5/1.0/0.0|"
              "0/9202/Survey/S-2/1.0/7.5/0.0/0.0/7.5/1.0/0.0");
    // What the chart of planned sales reads.
    EXPECT_EQ(
        Main("select sum(total) from repForecastItems where zlm_doc_id=" + std::to_string(id)),
        "20");
    EXPECT_FALSE(Dimensions->AnyInEdit());
}

TEST_F(ForecastDialogTest, ACancelledNewForecastIsNeverWritten) {
    int id = 0;
    RunForecast(DimensionTable::Add, 0, [&](TfrmForecast& f) {
        id = f.ForecastId();
        Type(f.edDescr, "Dropped");
        prompter.Push(ui::Button::Yes);
        f.btnCancel->click();
    });
    ASSERT_GT(id, 0);
    EXPECT_EQ(prompter.Messages().back().text, "You will lose any changes you have made. Proceed?");
    EXPECT_EQ(Main("select count(*) from zlm_doc where dimension_id=15"), "1");  // 8001 only
}

TEST_F(ForecastDialogTest, ALineTakesTheRateOfTheDayAndTheExchangeRateAndARecomputedAmount) {
    std::string shown, recomputed, total;
    int line = 0;
    RunForecast(DimensionTable::EditRecord, 8001, [&](TfrmForecast& f) {
        EXPECT_EQ(f.itemFrame->labTotal->text(), "100.00");
        AddLine(f, 0, Pick(9201), [&](TfrmForecastItem& d) {
            line = d.qEdit.FieldByName("doc_item_id").AsInteger();
            shown = (d.DBEdit3->text() + "/" + d.DBEdit4->text() + "/" + d.DBEdit5->text())
                        .toStdString();
            Type(d.DBEdit4, "4");
            Leave(d.DBEdit4);
            recomputed = d.DBEdit5->text().toStdString();
            d.btnOK->click();
        });
        total = f.itemFrame->labTotal->text().toStdString();
        f.btnOK->click();
    });
    EXPECT_EQ(shown, "12.50/1.00/12.50");
    EXPECT_EQ(recomputed, "50.00");
    EXPECT_EQ(total, "150.00");
    EXPECT_EQ(Line(line, kPriced), "0/9201/Installation/S-1/4.0/12.5/0.0/0.0/50.0/0.5/0.0");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(ForecastDialogTest, OKAndTheCloseBoxBothRecomputeAndSave) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "OK");
        Exec("update doc_item set doc_item_qty=5, doc_item_total=100 where doc_item_id=8150");
        RunLine(DimensionTable::EditRecord, 8150, [closeBox](TfrmForecastItem& d) {
            Type(d.DBEdit4, "3");  // not left: only the close recomputes
            Type(d.DBEdit5, "1");  // a typed amount gives way to the computed one
            if (closeBox)
                d.close();
            else
                d.btnOK->click();
        });
        EXPECT_EQ(Line(8150, "doc_item_qty || '/' || doc_item_total"), "3.0/60.0");
    }
}

struct AbandonCase {
    const char* name;
    int type;           // 2: assemblies, of which there are none
    bool pickedBefore;  // the dialog picked an item for another line first
    ui::Button erase;
};

TEST_F(ForecastDialogTest, AnAbandonedPickWritesNothingAndOffersToEraseTheLine) {
    const AbandonCase cases[] = {
        {"cancelled, erased", 1, false, ui::Button::Yes},
        {"cancelled after another pick, kept", 1, true, ui::Button::No},
        {"nothing to pick, erased", 2, false, ui::Button::Yes},
        {"nothing to pick, kept", 2, false, ui::Button::No},
    };
    const std::string blank =
        "doc_item_billtype || '/' || service_id || '/' || component_id || '/' || assembly_id || "
        "'/' || doc_item_descr || '/' || doc_item_code || '/' || doc_item_rate || '/' || "
        "doc_item_total";
    for (const AbandonCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string total, kept;
        int line = 0;
        RunForecast(DimensionTable::EditRecord, 8001, [&](TfrmForecast& f) {
            if (c.pickedBefore)
                AddLine(f, 0, Pick(9202), kOK);
            const std::string before = f.itemFrame->labTotal->text().toStdString();
            if (c.type == 2)
                prompter.Push(ui::Button::Ok);  // "There are no records in the lookup table"
            prompter.Push(c.erase);
            // With nothing to pick no pick dialog opens: the line dialog asks and closes.
            AddLine(f, c.type, c.type == 2 ? nullptr : kCancelPick);
            line = Dimensions->Find(24)->GetRecordId();
            kept = Line(line, blank);
            EXPECT_EQ(f.itemFrame->labTotal->text().toStdString(), before);
            f.btnOK->click();
        });
        EXPECT_TRUE(Shown("You will ERASE this record. Proceed?"));
        if (c.type == 2) {
            EXPECT_TRUE(Shown("There are no records in the lookup table"));
        }
        if (c.erase == ui::Button::Yes)
            EXPECT_EQ(kept, "<none>");
        else
            // Just as the lines list stored it: no type, key or description of any item.
            EXPECT_EQ(kept, "0/0/0/0/[no value]/" + std::to_string(line) + "/0.0/0.0");
        Exec("delete from doc_item where doc_item_id<>8150");
    }
}

TEST_F(ForecastDialogTest, AFailedSaveOfALineAsksToDiscardAndClosesOnYes) {
    // Stands in for a full disk: every write of a line fails.
    Exec(
        "create trigger refuse_line before update on doc_item begin select raise(abort, "
        "'database or disk is full'); end");
    bool openAfterNo = false, closedAfterYes = false;
    RunLine(DimensionTable::EditRecord, 8150, [&](TfrmForecastItem& d) {
        Type(d.DBEdit4, "3");
        prompter.Push(ui::Button::Ok);  // the log's warning
        prompter.Push(ui::Button::No);
        d.btnOK->click();
        openAfterNo = d.isVisible();
        prompter.Push(ui::Button::Ok);
        prompter.Push(ui::Button::Yes);
        d.btnOK->click();
        closedAfterYes = !d.isVisible();
    });
    EXPECT_TRUE(openAfterNo);
    EXPECT_TRUE(closedAfterYes);
    ASSERT_EQ(prompter.Count(), 4u);
    EXPECT_EQ(prompter.Messages()[1].text,
              "The record could not be saved. Discard your changes and close?");
    EXPECT_EQ(prompter.Messages()[3].text, prompter.Messages()[1].text);
    EXPECT_EQ(Line(8150, "doc_item_qty || '/' || doc_item_total"), "5.0/100.0");
}

TEST_F(ForecastDialogTest, ARecordDeletedMeanwhileIsNotEditedNorWrittenAgain) {
    Exec("delete from doc_item where doc_item_id=8150");
    RunLine(DimensionTable::EditRecord, 8150, nullptr);
    Exec("delete from zlm_doc where zlm_doc_id=8001");
    RunForecast(DimensionTable::EditRecord, 8001, [](TfrmForecast& f) {
        ADD_FAILURE() << "the forecast dialog stayed open";
        f.close();
    });
    ExpectMessages(
        {{"There is no record to edit", "No record"}, {"There is no record to edit", "No record"}});
    EXPECT_EQ(Main("select (select count(*) from doc_item) || '/' || (select count(*) from "
                   "zlm_doc where zlm_doc_id=8001)"),
              "0/0");
}

}  // namespace
}  // namespace zl
