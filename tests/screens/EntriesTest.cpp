// What the user types stays what he typed, or is refused with a word; what the data holds never
// moves a window's controls.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "frames/TdtFrame.h"
#include "screens/TfrmCustEdit.h"
#include "screens/TfrmCustomer.h"
#include "screens/TfrmInqItem.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DataControls.h"

namespace zl {
namespace {

class EntriesTest : public test::FrameFixture {};

TEST_F(EntriesTest, ANameWithLineBreaksKeepsTheCustomersWindowsLayout) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title) "
        "values (9001, 1, 'Abbot', 'Ann', 'Ms'), (9002, 1, 'Smallwood' || char(13, 10) || "
        "'Trading' || char(10) || 'Company', 'David', 'Mr'), (9003, 1, '" +
        std::string(240, 'W') + "', '', '')");
    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.FinishFill();
    window.resize(700, 500);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto pick = [&window](int id) {
        ASSERT_TRUE(window.customerFrame->qBrowse.Locate("entity_id", {db::Value{id}}));
        QApplication::processEvents();  // the layout's own pass
    };
    pick(9001);
    const QRect tabs = window.PageControl1->geometry();
    const QRect name = window.customerName->geometry();
    for (int id : {9002, 9003}) {
        SCOPED_TRACE(id);
        pick(id);
        EXPECT_EQ(window.PageControl1->geometry(), tabs);
        EXPECT_EQ(window.customerName->geometry(), name);
        EXPECT_EQ(window.size(), QSize(700, 500));
    }
    pick(9002);
    EXPECT_EQ(window.customerName->text(), "Smallwood Trading Company David Mr");
    EXPECT_EQ(Main("select entity_name from entity where entity_id=9002"),
              "Smallwood\r\nTrading\nCompany");
}

TEST_F(EntriesTest, AStepsDueDateAndTimeAreRefusedNamingTheirLabelsAndNothingIsStored) {
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, inq_status_id, "
        "doc_item_descr, doc_item_duedate, doc_item_duetime) values (8101, 8001, 22, 2, 1, "
        "'Call back', '2024-03-05 00:00:00', '10:15')");
    RunDialog<TfrmInqItem>(22, DimensionTable::EditRecord, 8101, [](TfrmInqItem& d) {
        QDateEdit* due = d.dtDue->dtPicker;
        for (const char* typed : {"2026/02/31", "31/02/2026", "soon"}) {
            due->setFocus();
            QTest::keyClicks(due, typed);
            QTest::keyClick(due, Qt::Key_Return);  // refused: the dialog stays open
        }
        EXPECT_TRUE(d.isVisible());
        // A Tab moves the focus only in a window the platform has made active.
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        d.edDueTime->setFocus();
        d.edDueTime->selectAll();
        QTest::keyClicks(d.edDueTime, "25:99");
        QTest::keyClick(d.edDueTime, Qt::Key_Tab);
        EXPECT_EQ(d.edDueTime->text(), "10:15");
        d.btnOK->click();
    });
    const std::string date = "'Date due' is not a valid date. Please enter it as yyyy/MM/dd.";
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{
                  date, date, date, "'Time due' is not a valid time. Please enter it as hh:mm."}));
    EXPECT_EQ(Main("select doc_item_duedate || ' ' || doc_item_duetime from doc_item where "
                   "doc_item_id=8101"),
              "2024-03-05 00:00:00 10:15");
}

TEST_F(EntriesTest, AnOverlongNameIsCutAtTheFieldAndTheFullNameLimitIsToldInTheDialogsWords) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, 'Acme')");
    bool stayedOpen = false;
    RunDialog<TfrmCustEdit>(1, DimensionTable::EditRecord, 9001, [&](TfrmCustEdit& d) {
        auto* name = d.findChild<QLineEdit*>("entity_name");
        auto* first = d.findChild<QLineEdit*>("entity_first");
        name->selectAll();
        QTest::keyClicks(name, QString(260, 'N'));
        EXPECT_EQ(name->text().size(), 250);  // the column's width
        first->setFocus();
        QTest::keyClicks(first, "Smallwood");
        d.PageControl1->setCurrentIndex(1);
        d.btnOK->click();
        stayedOpen = d.isVisible();
        EXPECT_EQ(d.PageControl1->currentIndex(), 0);
        EXPECT_EQ(d.focusWidget(), name);
        name->selectAll();
        QTest::keyClicks(name, "Acme Trading");
        d.btnOK->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Texts(),
              std::vector<std::string>{
                  "The full name, made of 'Customer name (organization name or surname for "
                  "private individual)', 'First name (private individual) or sub-name "
                  "(organization)' and 'Title' with a space between them, may be at most 150 "
                  "characters long; it would be 261. Please shorten them."});
    EXPECT_EQ(Main("select entity_fullname from entity where entity_id=9001"),
              "Acme Trading Smallwood ");
}

}  // namespace
}  // namespace zl
