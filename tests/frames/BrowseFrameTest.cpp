#include "frames/TBrowseFrame.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "platform/db/JetDialect.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/QtFixture.h"
#include "tests/support/StatementCounter.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DBGrid.h"

namespace zl {
namespace {

class BrowseFrameTest : public test::FrameFixture {
  protected:
    void AddCustomers() {
        Exec(
            "insert into entity (entity_id, dimension_id, allow_delete, entity_name, entity_first,"
            " entity_title) values (5001, 1, 0, \"Smith\", \"Ann\", \"Ms\"), (5002, 1, 0, "
            "\"smalley\", \"Bob\", \"Mr\"), (5003, 1, 0, \"Jones\", \"Cy\", \"Dr\")");
    }
    void AddQuotations() {
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
            "allow_delete, zlm_doc_ref) values (6001, 6, 17, 2, 0, \"Q1\"), (6002, 6, 17, 1, 0, "
            "\"Q2\"), (6003, 6, 0, 2, 0, \"Q3\"), (6004, 7, 17, 2, 0, \"O1\")");
    }
    std::vector<std::string> OrderEntries(TBrowseFrame& frame) {
        std::vector<std::string> entries;
        for (int i = 0; i < frame.cbOrder->count(); ++i)
            entries.push_back(frame.cbOrder->itemText(i).toStdString());
        return entries;
    }
};

TEST_F(BrowseFrameTest, TheListStatementFollowsParentTypeAndOrder) {
    AddQuotations();
    TBrowseFrame frame;
    test::TopLevelDialog dialog(6);
    frame.bindDimension(Dimensions->Find(6), &dialog);
    // The first open is in the order the combo shows.
    EXPECT_EQ(frame.cbOrder->currentText(), "Reference");
    EXPECT_EQ(frame.qBrowse.SQL(),
              "select * from [lstQuotation] where true  and [customer_id]=0 order by [Reference]");
    EXPECT_EQ(frame.qBrowse.RecordCount(), 1);
    EXPECT_EQ(frame.cbType->currentText(), "[all]");
    EXPECT_EQ(frame.labType->text(), "Status:");
    EXPECT_TRUE(frame.printButton->isVisible());

    frame.setParentID(17);
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.SQL(),
              "select * from [lstQuotation] where true  and [customer_id]=17 order by [Reference]");
    EXPECT_EQ(frame.qBrowse.RecordCount(), 2);

    frame.cbType->setCurrentIndex(frame.cbType->findText("Sent"));  // doc_status 2
    frame.cbOrder->setCurrentIndex(frame.cbOrder->findText("Date"));
    frame.openTables();
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.SQL(),
              "select * from [lstQuotation] where true  and [customer_id]=17 "
              "and [doc_status_id]=2 order by [Date]");
    ASSERT_EQ(frame.qBrowse.RecordCount(), 1);
    EXPECT_EQ(frame.qBrowse.FieldByName("zlm_doc_id").AsInteger(), 6001);
    EXPECT_EQ(Dimensions->Find(6)->GetRecordId(), 6001);

    // The order list never offers the key or an id column; names with blanks are bracketed.
    EXPECT_EQ(OrderEntries(frame),
              (std::vector<std::string>{"Reference", "Date", "Description", "Status",
                                        "Customer reference", "Total"}));
    frame.cbOrder->setCurrentIndex(frame.cbOrder->findText("Customer reference"));
    frame.openTables();
    frame.FinishFill();
    EXPECT_TRUE(frame.qBrowse.Active());
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(BrowseFrameTest, AKindWithoutParentOrTypeAddsNoClauses) {
    TBrowseFrame frame;
    test::TopLevelDialog dialog(14);
    frame.bindDimension(Dimensions->Find(14), &dialog);
    EXPECT_EQ(frame.qBrowse.SQL(), "select * from [lstService] where true  order by [Code]");
    EXPECT_FALSE(frame.cbType->isVisibleTo(&frame));
    EXPECT_FALSE(frame.labType->isVisibleTo(&frame));
    EXPECT_FALSE(frame.printButton->isVisible());  // no report for services
    frame.openTables();
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.SQL(), "select * from [lstService] where true  order by [Code]");
    EXPECT_EQ(Dimensions->Find(14)->GetRecordId(), 0);  // an empty list
}

TEST_F(BrowseFrameTest, TheInitialTypeIsSelectedOnlyWhenItExists) {
    Exec("update dimension set type_initialid=3 where dimension_id=6");
    {
        DimensionTable quotations(6);
        TBrowseFrame frame;
        frame.bindDimension(&quotations, nullptr);
        EXPECT_EQ(frame.cbType->currentText(), "Accepted");
        EXPECT_NE(frame.qBrowse.SQL().find(" and [doc_status_id]=3"), std::string::npos);
    }
    Exec("update dimension set type_initialid=99 where dimension_id=6");
    DimensionTable quotations(6);
    TBrowseFrame frame;
    frame.bindDimension(&quotations, nullptr);
    EXPECT_EQ(frame.cbType->currentIndex(), 0);
    EXPECT_EQ(frame.cbType->currentText(), "[all]");
    // The combos take no typed text.
    EXPECT_FALSE(frame.cbType->isEditable());
    EXPECT_FALSE(frame.cbOrder->isEditable());
}

TEST_F(BrowseFrameTest, SearchFollowsTheTypedTextInAnyCase) {
    AddCustomers();
    TBrowseFrame frame;
    frame.bindDimension(Dimensions->Find(1), nullptr);
    frame.openTables();
    frame.FinishFill();
    ASSERT_EQ(frame.cbOrder->currentText(), "full name");
    const auto name = [&] { return frame.qBrowse.FieldByName("full name").AsString(); };
    QTest::keyClicks(frame.edFind, "S");
    EXPECT_EQ(name().substr(0, 1) == "S" || name().substr(0, 1) == "s", true);
    QTest::keyClicks(frame.edFind, "m");
    const std::string atSm = name();
    EXPECT_TRUE(atSm == "Smith Ann Ms" || atSm == "smalley Bob Mr") << atSm;
    QTest::keyClicks(frame.edFind, "x");  // no row starts with "smx"
    EXPECT_EQ(name(), atSm);
    QTest::keyClick(frame.edFind, Qt::Key_Backspace);
    QTest::keyClicks(frame.edFind, "a");  // "sma"
    EXPECT_EQ(name(), "smalley Bob Mr");
    EXPECT_EQ(Dimensions->Find(1)->GetRecordId(), 5002);
    frame.edFind->selectAll();
    QTest::keyClicks(frame.edFind, "jo");  // typed over the selection
    EXPECT_EQ(name(), "Jones Cy Dr");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(BrowseFrameTest, AddStandsOnTheNewRowAndDeleteOnTheFirst) {
    AddCustomers();
    TBrowseFrame frame;
    test::TopLevelDialog dialog(1);
    dialog.whileShown = [](test::TopLevelDialog& d) {
        d.q.FieldByName("entity_name").SetAsString("Newman");
        d.SaveAndClose();
    };
    frame.bindDimension(Dimensions->Find(1), &dialog);
    frame.AddExecute();
    frame.FinishFill();
    EXPECT_EQ(dialog.windowTitle(), "Add new customer");
    const int added = Dimensions->Find(1)->GetRecordId();
    EXPECT_GT(added, 1000);
    EXPECT_EQ(frame.qBrowse.FieldByName("entity_id").AsInteger(), added);
    EXPECT_EQ(Main("select entity_name from entity where entity_id=" + std::to_string(added)),
              "Newman");

    frame.EditExecute();
    frame.FinishFill();
    EXPECT_EQ(dialog.windowTitle(), "Edit existing customer");
    EXPECT_EQ(frame.qBrowse.FieldByName("entity_id").AsInteger(), added);

    prompter.Push(ui::Button::Yes);
    frame.DeleteExecute();
    frame.FinishFill();
    EXPECT_EQ(Main("select count(*) from entity where entity_id=" + std::to_string(added)), "0");
    EXPECT_EQ(frame.qBrowse.RecNo(), 1);
    // The current record follows the row under the cursor, not the deleted one.
    EXPECT_EQ(Dimensions->Find(1)->GetRecordId(), frame.qBrowse.Fields(0).AsInteger());
}

TEST_F(BrowseFrameTest, ACancelledAddLeavesTheCurrentRecordOnAListedRow) {
    AddCustomers();
    TBrowseFrame frame;
    test::TopLevelDialog dialog(1);
    dialog.whileShown = [](test::TopLevelDialog& d) { d.CancelAndClose(); };
    frame.bindDimension(Dimensions->Find(1), &dialog);
    frame.AddExecute();
    frame.FinishFill();
    EXPECT_EQ(Dimensions->Find(1)->GetRecordId(), frame.qBrowse.Fields(0).AsInteger());
    EXPECT_EQ(frame.qBrowse.RecNo(), 1);
}

TEST_F(BrowseFrameTest, EmptyListsRightsAndTheGridKeys) {
    TBrowseFrame frame;
    test::TopLevelDialog dialog(14);
    frame.bindDimension(Dimensions->Find(14), &dialog);
    frame.EditExecute();
    frame.FinishFill();
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "There are no records to edit");
    EXPECT_EQ(prompter.Messages()[0].title, "Cannot edit");
    EXPECT_EQ(prompter.Messages()[0].icon, ui::Icon::Warning);
    frame.PrintExecute();  // nothing on an empty list
    EXPECT_EQ(prompter.Count(), 1u);

    CurUserId = 5;  // no rights
    frame.DeleteExecute();
    frame.FinishFill();
    EXPECT_EQ(prompter.Messages().back().text,
              "You do not have system rights to delete a record. Please contact your system "
              "administrator.");
    EXPECT_EQ(prompter.Messages().back().title, "Access denied");
    CurUserId = 2;
    frame.DeleteExecute();
    frame.FinishFill();
    EXPECT_EQ(prompter.Messages().back().text, "No record to delete.");

    // The Insert key adds, the Delete key deletes.
    QTest::keyClick(frame.grdBrowse, Qt::Key_Insert);
    frame.FinishFill();
    EXPECT_EQ(dialog.timesShown, 1);
    EXPECT_EQ(frame.qBrowse.RecordCount(), 1);
    prompter.Push(ui::Button::Yes);
    QTest::keyClick(frame.grdBrowse, Qt::Key_Delete);
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.RecordCount(), 0);
}

TEST_F(BrowseFrameTest, RowsAreStripedAndFloatsShowTwoDecimals) {
    Exec(
        "insert into bill_rate (bill_rate_id, billable_id, dimension_id, allow_delete, "
        "bill_rate_selling) values (7001, 70, 21, 0, 3.14159), (7002, 70, 21, 0, 2), "
        "(7003, 70, 21, 0, 1)");
    TBrowseFrame frame;
    frame.bindDimension(Dimensions->Find(21), nullptr);
    frame.setParentID(70);
    frame.FinishFill();
    auto& model = frame.grdBrowse->Model();
    const int selling = frame.qBrowse.FieldByName("Selling").Index();
    const auto text = [&](int row) {
        return model.data(model.index(row, selling), Qt::DisplayRole).toString().toStdString();
    };
    const auto background = [&](int row) {
        return model.data(model.index(row, selling), Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(text(0), "3.14");
    EXPECT_EQ(text(1), "2.00");
    EXPECT_EQ(background(0), QColor(255, 255, 255));
    EXPECT_EQ(background(1), QColor(217, 217, 255));
    EXPECT_EQ(background(2), QColor(255, 255, 255));
    const int alignment = model.data(model.index(0, selling), Qt::TextAlignmentRole).toInt();
    EXPECT_TRUE(alignment & Qt::AlignLeft);
    // The key is titled "ID" and the other id columns are hidden.
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "ID");
    EXPECT_TRUE(frame.grdBrowse->isColumnHidden(frame.qBrowse.FieldByName("billable_id").Index()));
}

TEST_F(BrowseFrameTest, PrintAsksTheReportServerForTheKindsReport) {
    AddQuotations();
    auto fake = test::FakeReportServer::Create();
    ReportServer = fake->NewClient();
    CurBusUnitId = 3;
    dm->qConfig.Edit();
    dm->qConfig.FieldByName("config_docrepository").SetAsString(folder.DataFolder() + "doc/");
    dm->qConfig.Post();
    TBrowseFrame frame;
    frame.bindDimension(Dimensions->Find(6), nullptr);
    frame.setParentID(17);
    frame.FinishFill();
    frame.PrintExecute();
    ASSERT_EQ(fake->calls.size(), 1u);
    const std::string& call = fake->calls[0];
    const std::string key = frame.qBrowse.Fields(0).AsString();
    EXPECT_EQ(call.rfind("ShowReport(1|3|2|" + key + "|", 0), 0u) << call;
    EXPECT_NE(call.find("|" + folder.DataFolder() + "doc/reports/0000000000/rep"),
              std::string::npos)
        << call;
    EXPECT_EQ(call.substr(call.size() - 6), ".html)");

    // Without a report the button hides, yet the menu's Print still asks for report 0.
    TBrowseFrame customers;
    AddCustomers();
    customers.bindDimension(Dimensions->Find(1), nullptr);
    EXPECT_FALSE(customers.printButton->isVisible());
    customers.Print->trigger();
    EXPECT_EQ(fake->calls.back().rfind("ShowReport(0|3|2|", 0), 0u);
}

TEST_F(BrowseFrameTest, ThePrintButtonKeepsToTheReportIdWhenTheToolBarIsLaidOut) {
    AddQuotations();
    TBrowseFrame services;
    TBrowseFrame quotations;
    services.bindDimension(Dimensions->Find(14), nullptr);  // no report
    quotations.bindDimension(Dimensions->Find(6), nullptr);
    for (TBrowseFrame* frame : {&services, &quotations}) {
        frame->resize(900, 300);
        frame->show();
        QApplication::processEvents();
        frame->resize(1200, 400);  // a second layout pass
        QApplication::processEvents();
    }
    EXPECT_FALSE(services.btnDoPrint->isVisible());
    EXPECT_TRUE(quotations.btnDoPrint->isVisible());
    // The context menu keeps its Print entry either way.
    EXPECT_TRUE(services.PopupMenu1->actions().contains(services.Print));
    EXPECT_TRUE(services.Print->isVisible());
    EXPECT_TRUE(services.Print->isEnabled());
}

TEST_F(BrowseFrameTest, AKindIsBeingEditedOnlyWhileItsDialogIsOpen) {
    AddCustomers();
    TBrowseFrame frame;
    test::TopLevelDialog dialog(1);
    std::vector<bool> whileOpen;
    dialog.whileShown = [&](test::TopLevelDialog& d) {
        whileOpen.push_back(Dimensions->AnyInEdit());
        d.SaveAndClose();
    };
    frame.bindDimension(Dimensions->Find(1), &dialog);
    EXPECT_FALSE(Dimensions->AnyInEdit());
    frame.AddExecute();
    frame.FinishFill();
    EXPECT_FALSE(Dimensions->AnyInEdit());
    frame.EditExecute();
    frame.FinishFill();
    EXPECT_FALSE(Dimensions->AnyInEdit());
    EXPECT_EQ(whileOpen, (std::vector<bool>{true, true}));
    EXPECT_EQ(Dimensions->Find(1)->GetEditMode(), DimensionTable::None);
}

TEST(OrderByClause, BracketsAnyColumnName) {
    EXPECT_EQ(OrderByClause("full name"), " order by [full name]");
    EXPECT_EQ(OrderByClause("odd]name"), " order by [odd]]name]");
}

// The customers list bound, filled, and standing on `key`.
class RefreshingFrameTest : public BrowseFrameTest {
  protected:
    void SetUp() override {
        BrowseFrameTest::SetUp();
        AddCustomers();
        frame.bindDimension(Dimensions->Find(1), &dialog);
        ASSERT_TRUE(frame.qBrowse.Locate("entity_id", {db::Value{5002}}));
        listed = frame.qBrowse.RecordCount();
        elsewhere.OpenLike(DataMod->zlmConn);  // another workstation
    }
    int Current() { return frame.qBrowse.FieldByName("entity_id").AsInteger(); }
    std::vector<int> Listed() { return test::Keys(frame.qBrowse); }
    TBrowseFrame frame;
    test::TopLevelDialog dialog{1};
    db::Connection elsewhere;
    int listed = 0;
};

TEST_F(RefreshingFrameTest, NothingChangedNothingIsRead) {
    test::StatementCounter counter(DataMod->zlmConn);
    frame.RefreshExecute();
    EXPECT_FALSE(frame.Filling());  // no worker started either
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(frame.qBrowse.RecordCount(), listed);
}

TEST_F(RefreshingFrameTest, AChangeElsewhereIsSeenAtTheNextRefreshOnTheSameRow) {
    elsewhere.Execute(
        "insert into entity (entity_id, dimension_id, allow_delete, entity_name) values (5004, "
        "1, 0, \"Adams\")");
    elsewhere.Execute("update entity set entity_first='Rob' where entity_id=5002");
    frame.RefreshExecute();
    ASSERT_TRUE(frame.Filling());
    EXPECT_EQ(frame.grdBrowse->cursor().shape(), Qt::BusyCursor);  // on this list only
    EXPECT_EQ(frame.qBrowse.RecordCount(), listed);  // shown as it was until the rows arrive
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.RecordCount(), listed + 1);
    EXPECT_EQ(Current(), 5002);
    EXPECT_EQ(Dimensions->Find(1)->GetRecordId(), 5002);
    EXPECT_EQ(frame.qBrowse.FieldByName("full name").AsString(), "smalley Rob Mr");
    // The current row gone elsewhere: the list stands on its first row, as opened anew.
    ASSERT_GT(frame.qBrowse.RecNo(), 1);
    elsewhere.Execute("delete from entity where entity_id=5002");
    frame.RefreshExecute();
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.RecNo(), 1);
    EXPECT_EQ(Dimensions->Find(1)->GetRecordId(), frame.qBrowse.Fields(0).AsInteger());
    EXPECT_EQ(frame.grdBrowse->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(RefreshingFrameTest, TheFirstFillIsInTheOrderShownAndARefreshKeepsTheRecordOnItsRow) {
    // Binary order of the full names ("[no customer]" delivered), not the order of the keys.
    EXPECT_EQ(frame.cbOrder->currentText(), "full name");
    EXPECT_EQ(Listed(), (std::vector<int>{5003, 5001, 5, 5002}));
    ASSERT_TRUE(frame.qBrowse.Locate("entity_id", {db::Value{5001}}));
    elsewhere.Execute(
        "insert into entity (entity_id, dimension_id, allow_delete, entity_name) values (5004, "
        "1, 0, \"Young\")");
    frame.RefreshExecute();
    frame.FinishFill();
    EXPECT_EQ(Listed(), (std::vector<int>{5003, 5001, 5004, 5, 5002}));
    EXPECT_EQ(Current(), 5001);
    EXPECT_EQ(frame.qBrowse.RecNo(), 2);
}

TEST_F(RefreshingFrameTest, AfterARefreshTheCurrentRecordIsInView) {
    std::string values;
    for (int i = 0; i < 60; ++i)
        values +=
            (i ? ", (" : "(") + std::to_string(5100 + i) + ", 1, 0, 'Z" + std::to_string(i) + "')";
    elsewhere.Execute(
        "insert into entity (entity_id, dimension_id, allow_delete, entity_name) "
        "values " +
        values);
    frame.RefreshExecute();
    frame.FinishFill();
    frame.resize(600, 200);
    frame.show();
    QApplication::processEvents();
    ASSERT_TRUE(frame.qBrowse.Locate("entity_id", {db::Value{5159}}));  // far down the list
    frame.grdBrowse->verticalScrollBar()->setValue(0);                  // the user looks at the top
    elsewhere.Execute("update entity set entity_first='Rob' where entity_id=5002");
    frame.RefreshExecute();
    frame.FinishFill();
    EXPECT_EQ(Current(), 5159);
    const QRect row = frame.grdBrowse->visualRect(frame.grdBrowse->currentIndex());
    EXPECT_TRUE(frame.grdBrowse->viewport()->rect().contains(row.center())) << row.y();
}

TEST_F(RefreshingFrameTest, RefreshAppliesAnOrderChosenMeanwhile) {
    // An entry set without a read of its own: Refresh reads the list as the combos stand.
    frame.cbOrder->setCurrentIndex(frame.cbOrder->findText("Code"));
    frame.RefreshExecute();
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.SQL(), "select * from [lstCustomer] where true  order by [Code]");
    EXPECT_EQ(Current(), 5002);
}

TEST_F(RefreshingFrameTest, RowsOfARefreshArrivingUnderADialogAreShownWhenItCloses) {
    elsewhere.Execute("delete from entity where entity_id=5003");
    frame.RefreshExecute();
    QDialog box;
    int whileOpen = -1;
    test::WhenModal<QDialog>([&](QDialog& d) {
        frame.FinishFill();
        whileOpen = frame.qBrowse.RecordCount();
        d.accept();
    });
    box.exec();
    EXPECT_EQ(whileOpen, listed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.qBrowse.RecordCount() == listed - 1; }));
    EXPECT_EQ(Current(), 5002);
    EXPECT_FALSE(frame.Filling());
}

TEST_F(RefreshingFrameTest, ADeleteQuestionOpenWhileRowsArriveDeletesTheHighlightedRecord) {
    ASSERT_EQ(frame.qBrowse.RecNo(), 4);  // 5002
    // A customer listed first, read while the question is open.
    elsewhere.Execute(
        "insert into entity (entity_id, dimension_id, allow_delete, entity_name) values (5004, "
        "1, 0, \"Adams\")");
    frame.RefreshExecute();
    std::vector<int> whileAsked;
    prompter.onShow = [&](const ui::Message&) {
        frame.FinishFill();
        whileAsked = {Current(), frame.qBrowse.RecNo()};
    };
    prompter.Push(ui::Button::Yes);
    frame.DeleteExecute();
    prompter.onShow = nullptr;
    frame.FinishFill();
    EXPECT_EQ(whileAsked, (std::vector<int>{5002, 4}));
    EXPECT_EQ(Main("select count(*) from entity where entity_id=5002"), "0");
    EXPECT_EQ(Listed(), (std::vector<int>{5004, 5003, 5001, 5}));
}

TEST_F(RefreshingFrameTest, AnOrderChosenIsReadOnAWorkerAndArrivesOnTheRowTheUserChose) {
    const std::string before = frame.qBrowse.SQL();
    const std::string unordered = before.substr(0, before.find(" order by"));
    frame.cbOrder->setCurrentIndex(1);
    emit frame.cbOrder->activated(1);
    ASSERT_TRUE(frame.Filling());
    EXPECT_EQ(frame.qBrowse.SQL(), before);  // shown as it was until the rows arrive
    EXPECT_EQ(frame.grdBrowse->cursor().shape(), Qt::BusyCursor);
    ASSERT_TRUE(frame.qBrowse.Locate("entity_id", {db::Value{5003}}));  // moved meanwhile
    frame.FinishFill();
    EXPECT_EQ(frame.qBrowse.SQL(),
              unordered + OrderByClause(frame.cbOrder->itemText(1).toStdString()));
    EXPECT_EQ(Current(), 5003);
    EXPECT_EQ(Dimensions->Find(1)->GetRecordId(), 5003);
    EXPECT_EQ(frame.grdBrowse->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(RefreshingFrameTest, AnEditIsReadBackOnAWorkerOnTheEditedRow) {
    dialog.whileShown = [](test::TopLevelDialog& d) {
        d.q.FieldByName("entity_first").SetAsString("Rob");
        d.SaveAndClose();
    };
    frame.EditExecute();
    ASSERT_TRUE(frame.Filling());
    EXPECT_EQ(frame.qBrowse.FieldByName("full name").AsString(), "smalley Bob Mr");
    frame.FinishFill();
    EXPECT_EQ(Current(), 5002);
    EXPECT_EQ(frame.qBrowse.FieldByName("full name").AsString(), "smalley Rob Mr");
}

TEST_F(RefreshingFrameTest, RowsAskedForUnderADialogArriveOnceItCloses) {
    elsewhere.Execute("delete from entity where entity_id=5003");
    frame.openTables();
    QDialog box;
    test::WhenModal<QDialog>([&](QDialog& d) {
        frame.FinishFill();
        EXPECT_EQ(frame.qBrowse.RecordCount(), listed);
        d.accept();
    });
    box.exec();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame.Filling(); }));
    EXPECT_EQ(frame.qBrowse.RecordCount(), listed - 1);
    EXPECT_EQ(Current(), 5002);
}

TEST_F(RefreshingFrameTest, ARefreshThatFailsIsLoggedAndLeavesTheListAsItWas) {
    elsewhere.Execute("drop view " +
                      db::QuoteName(Dimensions->Find(1)->DimString("dimension_query")));
    frame.RefreshExecute();
    frame.FinishFill();
    EXPECT_NE(ErrorLog().find("TBrowseFrame.openTables;no such table"), std::string::npos)
        << ErrorLog();
    EXPECT_EQ(frame.qBrowse.RecordCount(), listed);
    EXPECT_EQ(Current(), 5002);
    EXPECT_EQ(frame.grdBrowse->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace zl
