// What every dialog does alike: a dialog restored after being minimised keeps what was typed,
// Escape presses Cancel where there is one and nothing else, and a double-click opens a line.
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "frames/TchildFrame.h"
#include "screens/TfrmBillItem.h"
#include "screens/TfrmContact.h"
#include "screens/TfrmCustEdit.h"
#include "screens/TfrmCustomer.h"
#include "screens/TfrmExchange.h"
#include "screens/TfrmQuotation.h"
#include "screens/TfrmSelItemType.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DBGrid.h"

namespace zl {
namespace {

using test::MinimiseAndRestore;
using test::WhenModal;

constexpr const char* kLoseChanges = "You will lose any changes you have made. Proceed?";

class DialogBehaviourTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Exec(
            "insert into entity (entity_id, dimension_id, parent_id, entity_name, entity_first, "
            "entity_title, entity_fullname) values (9001, 1, 0, 'Smith', 'John', 'Mr', "
            "'Smith John Mr')");
    }
    // A rate of exchange of 2.5 open in its dialog, with `typed` typed over it and `then` done;
    // the rate stored once the dialog has closed.
    std::string EditRate(const char* typed, const std::function<void(TfrmExchange&)>& then) {
        Exec(
            "insert into exchange_rate (exchange_rate_id, region_id, dimension_id, allow_delete, "
            "exchange_rate) values (9501, 0, 27, 0, 2.5)");
        Target(27, DimensionTable::EditRecord, 9501);
        TfrmExchange x;
        x.show();
        x.DBEdit1->selectAll();
        QTest::keyClicks(x.DBEdit1, typed);
        then(x);
        EXPECT_TRUE(x.isVisible());
        EXPECT_EQ(x.DBEdit1->text(), typed);
        x.close();
        return Main("select exchange_rate from exchange_rate where exchange_rate_id=9501");
    }
};

TEST_F(DialogBehaviourTest, ARestoredContactEventKeepsAndSavesWhatWasTyped) {
    Dimensions->Find(9)->SetParentId(9001);
    RunDialog<TfrmContact>(9, DimensionTable::Add, 0, [](TfrmContact& d) {
        d.edDescr->selectAll();
        QTest::keyClicks(d.edDescr, "Phoned about the offer");
        MinimiseAndRestore(d);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.edDescr->text(), "Phoned about the offer");
        d.btnOK->click();
    });
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(Main("select customer_id || '/' || zlm_doc_descr from zlm_doc where zlm_doc_id=" +
                   std::to_string(Dimensions->Find(9)->GetRecordId())),
              "9001/Phoned about the offer");
    // A rate of exchange: its set-up reads the rate again, over what was typed.
    EXPECT_EQ(EditRate("3.5", MinimiseAndRestore), "3.5");
    EXPECT_TRUE(Texts().empty());
}

TEST_F(DialogBehaviourTest, EscapePressesCancelWithItsQuestionAndDoesNothingWithoutOne) {
    bool stayedAfterNo = false;
    RunDialog<TfrmCustEdit>(1, DimensionTable::Add, 0, [&](TfrmCustEdit& d) {
        prompter.Push(ui::Button::No);
        QTest::keyClick(&d, Qt::Key_Escape);
        stayedAfterNo = d.isVisible();
        prompter.Push(ui::Button::Yes);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_TRUE(stayedAfterNo);
    EXPECT_EQ(Texts(), std::vector<std::string>(2, kLoseChanges));

    // The exchange rate has no Cancel: Escape leaves it open with what was typed.
    EXPECT_EQ(EditRate("3.5", [](TfrmExchange& x) { QTest::keyClick(&x, Qt::Key_Escape); }), "3.5");
    EXPECT_EQ(Texts().size(), 2u);
}

TEST_F(DialogBehaviourTest, ADoubleClickAnywhereInAListEditsOrSaysThereIsNothing) {
    // The list frame: on an empty list, below the rows, the frame's own message.
    TBrowseFrame list;
    list.resize(600, 300);
    list.bindDimension(Dimensions->Find(6), nullptr);
    list.setEditForm(new QDialog(&list));
    list.setParentID(9001);
    list.show();
    ASSERT_EQ(list.qBrowse.RecordCount(), 0);
    QTest::mouseDClick(list.grdBrowse->viewport(), Qt::LeftButton, {}, {40, 120});
    ExpectMessages({{"There are no records to edit", "Cannot edit"}});

    // A document dialog's line opens as its edit button opens it.
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, zlm_doc_ref, allow_delete) "
        "values (9101, 6, 9001, 'Q-1', 0)");
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
        "doc_item_descr, doc_item_qty, doc_item_rate) values (9201, 9101, 24, 0, 'Spade', 1, 5)");
    int lineOpened = 0;
    RunDialog<TfrmQuotation>(6, DimensionTable::EditRecord, 9101, [&](TfrmQuotation& d) {
        ASSERT_EQ(d.itemFrame->recordCount(), 1);
        WhenModal<TfrmBillItem>([&](TfrmBillItem& line) {
            lineOpened = Dimensions->Find(24)->GetRecordId();
            EXPECT_EQ(line.DBEdit1->text(), "Spade");
            line.btnOK->click();
        });
        widgets::DBGrid* grid = d.itemFrame->DBGrid1;
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           grid->visualRect(grid->model()->index(0, 1)).center());
        d.btnOK->click();
    });
    EXPECT_EQ(lineOpened, 9201);
}

TEST_F(DialogBehaviourTest, TitlesAndTabCaptionsShowWholeAndTabRowsScroll) {
    TfrmSelItemType chooser;
    QFont bold = chooser.font();
    bold.setBold(true);
    // Beside the title: the window's icon and its three buttons.
    EXPECT_GE(chooser.width(),
              QFontMetrics(bold).horizontalAdvance("Select the new item type") + 100);

    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.resize(320, 400);
    window.show();
    QTabBar* tabs = window.PageControl1->tabBar();
    ASSERT_LT(tabs->width(), tabs->sizeHint().width());  // the row does not fit
    const QList<QToolButton*> arrows = tabs->findChildren<QToolButton*>();
    EXPECT_TRUE(std::any_of(arrows.begin(), arrows.end(), [](auto* a) { return a->isVisible(); }));
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_GE(tabs->tabRect(i).width(), tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)))
            << tabs->tabText(i).toStdString();
}

}  // namespace
}  // namespace zl
