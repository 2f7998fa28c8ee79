#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestDataFolder.h"
#include "widgets/DataControls.h"

namespace zl::widgets {
namespace {

// The delivered main database with three customers, two regions and two documents, and a
// dataset over the customers.
class DataControlsTest : public testing::Test {
  protected:
    void SetUp() override {
        conn.SetConnectionString("Data Source=" + folder.MainDb());
        conn.Open();
        conn.Execute(
            "insert into entity (entity_id, dimension_id, entity_name, entity_title, entity_code, "
            "region_id, allow_delete) values "
            "(101, 1, 'Smith', 'Mr', 'T', 202, 0), (102, 1, 'Jones', 'Dr', 'F', 0, 1), "
            "(103, 5, 'Brown', 'Ms', 'B', 201, 0), (201, 16, 'North', '', '', 0, 1), "
            "(202, 16, 'South', '', '', 0, 1)");
        q.SetSQL("select * from entity where entity_id between 101 and 103 order by entity_id");
    }

    // One column of a stored row, read on a connection of its own.
    std::string Stored(int id, const std::string& column, const std::string& table = "entity") {
        db::Connection other;
        other.SetConnectionString("Data Source=" + folder.MainDb());
        other.Open();
        db::Query read(&other);
        read.SetSQL("select " + column + " from " + table + " where " + table +
                    "_id=" + std::to_string(id));
        read.Open();
        return read.Fields(0).AsString();
    }

    // Binds a control to a column of the customers, or of another source.
    template <class Control>
    void Bind(Control& control, const char* field, DataSource& from) {
        control.SetDataSource(&from);
        control.SetDataField(field);
    }
    template <class Control>
    void Bind(Control& control, const char* field) {
        Bind(control, field, customers);
    }

    // The columns assigned from now on.
    std::vector<std::string>& WatchAssignments() {
        q.OnDataChange([this](db::DataEvent event, const db::Field* field) {
            if (event == db::DataEvent::FieldChanged)
                assigned.push_back(field->FieldName());
        });
        return assigned;
    }

    // Two documents being edited, the first dated 2024-03-05, the second without a date.
    void OpenDocuments() {
        conn.Execute(
            "insert into zlm_doc (zlm_doc_id, dimension_id, zlm_doc_date) values "
            "(301, 6, '2024-03-05 00:00:00'), (302, 6, null)");
        docs.SetSQL("select * from zlm_doc where zlm_doc_id > 300 order by zlm_doc_id");
        docs.Open();
        docs.Edit();
    }

    test::TestDataFolder folder;
    db::Connection conn;
    db::Query q{&conn};
    db::Query docs{&conn};
    DataSource customers{&q};
    std::vector<std::string> assigned;
};

TEST_F(DataControlsTest, ControlsShowTheCurrentRow) {
    DBEdit name;
    Bind(name, "entity_name");
    DBText title;
    Bind(title, "ENTITY_TITLE");
    EXPECT_EQ(name.text(), "");

    q.Open();
    EXPECT_EQ(name.text(), "Smith");
    EXPECT_EQ(title.text(), "Mr");
    q.Next();
    EXPECT_EQ(name.text(), "Jones");
    EXPECT_EQ(title.text(), "Dr");
    q.Last();
    EXPECT_EQ(name.text(), "Brown");
    q.Close();
    EXPECT_EQ(name.text(), "");
    EXPECT_EQ(title.text(), "");
}

TEST_F(DataControlsTest, TypingThenPostWritesOnlyTheTypedColumn) {
    DBEdit name;
    Bind(name, "entity_name");
    DBEdit title;
    Bind(title, "entity_title");
    q.Open();
    q.Next();
    // Another user changes the title meanwhile: only changed columns are written back.
    conn.Execute("update entity set entity_title='Prof' where entity_id=102");

    name.selectAll();
    QTest::keyClicks(&name, "Jonas");
    EXPECT_EQ(q.State(), db::DataSetState::dsEdit);
    // Typed again as it was: no change to write.
    title.selectAll();
    QTest::keyClicks(&title, "Dr");
    auto& columns = WatchAssignments();
    q.Post();

    EXPECT_EQ(columns, std::vector<std::string>{"entity_name"});
    EXPECT_EQ(Stored(102, "entity_name"), "Jonas");
    EXPECT_EQ(Stored(102, "entity_title"), "Prof");
    EXPECT_EQ(name.text(), "Jonas");
}

TEST_F(DataControlsTest, UntouchedControlsChangeNothing) {
    DBEdit name;
    Bind(name, "entity_name");
    DBMemo title;
    Bind(title, "entity_title");
    q.Open();
    conn.Execute("update entity set entity_name='Smythe' where entity_id=101");
    auto& columns = WatchAssignments();
    q.Edit();
    q.Post();
    EXPECT_TRUE(columns.empty());
    EXPECT_EQ(Stored(101, "entity_name"), "Smythe");

    // A value set by code shows at once and is not overwritten by the control.
    q.Edit();
    q.FieldByName("entity_title").SetAsString("Sir");
    EXPECT_EQ(title.toPlainText(), "Sir");
    q.Post();
    EXPECT_EQ(Stored(101, "entity_title"), "Sir");
}

TEST_F(DataControlsTest, LeavingAnEditedRowWritesThePendingEdit) {
    DBMemo title;
    Bind(title, "entity_title");
    q.Open();
    title.selectAll();
    QTest::keyClicks(&title, "Dame");
    q.Next();
    EXPECT_EQ(Stored(101, "entity_title"), "Dame");
    EXPECT_EQ(title.toPlainText(), "Dr");
}

TEST_F(DataControlsTest, CancelShowsTheStoredValueAgain) {
    DBEdit name;
    Bind(name, "entity_name");
    q.Open();
    QTest::keyClicks(&name, "xyz");
    q.Cancel();
    EXPECT_EQ(name.text(), "Smith");
    q.Edit();
    q.Post();
    EXPECT_EQ(Stored(101, "entity_name"), "Smith");
}

TEST_F(DataControlsTest, MaxLengthFollowsTheFieldWidth) {
    DBEdit title;
    Bind(title, "entity_title");
    DBEdit month;
    Bind(month, "entity_birthmonth");
    q.Open();
    EXPECT_EQ(title.maxLength(), 10);
    EXPECT_EQ(month.maxLength(), 32767);
    title.selectAll();
    QTest::keyClicks(&title, "Professor Emeritus");
    EXPECT_EQ(title.text(), "Professor ");
    // Typed into a combo, the same width holds.
    DBComboBox titles;
    titles.SetItems({"Mr", "Ms"});
    Bind(titles, "entity_title");
    EXPECT_EQ(titles.lineEdit()->maxLength(), 10);
}

TEST_F(DataControlsTest, TypingIntoAnEmptyDatasetInsertsAndKeepsTheText) {
    db::Query types(&conn);
    types.SetSQL("select * from customer_type");
    types.Open();
    DataSource source(&types);
    DBEdit descr;
    Bind(descr, "customer_type_descr", source);
    QTest::keyClicks(&descr, "Retail");
    EXPECT_EQ(types.State(), db::DataSetState::dsInsert);
    EXPECT_EQ(descr.text(), "Retail");
    types.Post();
    db::Query read(&conn);
    read.SetSQL("select customer_type_descr from customer_type");
    read.Open();
    ASSERT_EQ(read.RecordCount(), 1);
    EXPECT_EQ(read.Fields(0).AsString(), "Retail");
}

TEST_F(DataControlsTest, ControlsOfAViewAreReadOnly) {
    db::Query regions(&conn);
    regions.SetSQL("select * from brwRegion");
    regions.Open();
    DataSource source(&regions);
    DBEdit name;
    Bind(name, "Region name", source);
    EXPECT_EQ(name.text(), "North");
    EXPECT_TRUE(name.isReadOnly());
}

TEST_F(DataControlsTest, LookupShowsAndWritesKeys) {
    db::Query regions(&conn);
    regions.SetSQL("select * from brwRegion order by entity_id");
    regions.Open();
    DBLookupComboBox region;
    region.SetListSource(&regions, "entity_id", "Region name");
    Bind(region, "region_id");
    q.Open();
    ASSERT_EQ(region.count(), 2);
    EXPECT_EQ(region.itemText(0), "North");
    EXPECT_EQ(region.currentText(), "South");
    q.Next();  // region 0 is no entry
    EXPECT_EQ(region.currentIndex(), -1);
    q.Prior();

    QTest::keyClick(&region, Qt::Key_Up);
    EXPECT_EQ(q.State(), db::DataSetState::dsEdit);
    EXPECT_EQ(q.FieldByName("region_id").AsInteger(), 201);
    q.Post();
    EXPECT_EQ(Stored(101, "region_id"), "201");
    EXPECT_EQ(region.currentText(), "North");

    // The list follows its dataset.
    conn.Execute(
        "insert into entity (entity_id, dimension_id, entity_name) values (203, 16, 'East')");
    regions.Requery();
    EXPECT_EQ(region.count(), 3);
    EXPECT_EQ(region.currentText(), "North");
}

TEST_F(DataControlsTest, CheckBoxWritesItsValues) {
    DBCheckBox allowDelete;
    Bind(allowDelete, "allow_delete");
    DBCheckBox code;
    code.SetValueChecked("T");
    code.SetValueUnchecked("F");
    Bind(code, "entity_code");
    q.Open();
    EXPECT_FALSE(allowDelete.isChecked());
    EXPECT_TRUE(code.isChecked());

    allowDelete.click();
    EXPECT_EQ(q.FieldByName("allow_delete").AsString(), "1");
    code.click();
    EXPECT_EQ(q.FieldByName("entity_code").AsString(), "F");
    q.Post();
    EXPECT_EQ(Stored(101, "allow_delete"), "1");
    EXPECT_EQ(Stored(101, "entity_code"), "F");

    q.Next();
    EXPECT_TRUE(allowDelete.isChecked());
    EXPECT_FALSE(code.isChecked());
    allowDelete.click();
    q.Post();
    EXPECT_EQ(Stored(102, "allow_delete"), "0");
}

TEST_F(DataControlsTest, RadioGroupWritesTheChosenValue) {
    DBRadioGroup kind;
    kind.SetItems({"Customer", "Region"}, {"1", "16"});
    Bind(kind, "dimension_id");
    q.Open();
    EXPECT_EQ(kind.ItemIndex(), 0);
    kind.Button(1)->click();
    EXPECT_EQ(q.FieldByName("dimension_id").AsInteger(), 16);
    q.Post();
    EXPECT_EQ(Stored(101, "dimension_id"), "16");
    q.Last();  // dimension 5 is no entry
    EXPECT_EQ(kind.ItemIndex(), -1);
}

TEST_F(DataControlsTest, AValueOutsideTheFieldsRangeIsRefusedByEveryControl) {
    ui::ScriptedPrompter prompter;
    q.SetFieldRange("entity_taxrate", 0, 1000);
    q.SetFieldRange("dimension_id", 1, 10);
    QWidget window;
    auto* rate = new DBEdit(&window);  // writes when the record is posted
    Bind(*rate, "entity_taxrate");
    auto* kind = new DBRadioGroup(&window);  // writes at the click
    kind->SetItems({"Customer", "Region"}, {"1", "16"});
    Bind(*kind, "dimension_id");
    q.Open();
    window.show();

    rate->selectAll();
    QTest::keyClicks(rate, "2000");
    EXPECT_THROW(q.Post(), db::RangeError);
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "Please enter a value between 0 and 1000.");
    EXPECT_EQ(prompter.Messages()[0].title, "Invalid value");
    EXPECT_EQ(prompter.Messages()[0].owner, static_cast<void*>(&window));
    EXPECT_TRUE(rate->text().isEmpty());             // the stored value (none) shown again
    EXPECT_EQ(q.State(), db::DataSetState::dsEdit);  // nothing posted, nothing lost

    kind->Button(1)->click();
    EXPECT_EQ(prompter.Count(), 2u);
    EXPECT_EQ(prompter.Messages()[1].text, "Please enter a value between 1 and 10.");
    EXPECT_EQ(kind->ItemIndex(), 0);
    EXPECT_EQ(q.FieldByName("dimension_id").AsInteger(), 1);

    rate->selectAll();
    QTest::keyClicks(rate, "1000");
    q.Post();
    EXPECT_EQ(Stored(101, "entity_taxrate"), "1000");
    EXPECT_EQ(Stored(101, "dimension_id"), "1");
}

TEST_F(DataControlsTest, ComboBoxWritesItsText) {
    DBComboBox code;
    code.SetItems({"B", "F", "T"});
    Bind(code, "entity_code");
    q.Open();
    EXPECT_EQ(code.currentText(), "T");
    code.lineEdit()->selectAll();
    QTest::keyClicks(code.lineEdit(), "Typed");
    q.Post();
    EXPECT_EQ(Stored(101, "entity_code"), "Typed");

    code.SetEditable(false);
    // A stored value that is no entry shows nothing and stays as it is.
    conn.Execute("update entity set entity_code='Q' where entity_id=102");
    q.Requery();
    q.Next();
    EXPECT_EQ(code.currentIndex(), -1);
    q.Edit();
    q.Post();
    EXPECT_EQ(Stored(102, "entity_code"), "Q");
    q.Edit();
    q.FieldByName("entity_code").SetAsString("F");
    q.Post();
    EXPECT_EQ(code.currentText(), "F");
    QTest::keyClick(&code, Qt::Key_Down);
    q.Post();
    EXPECT_EQ(Stored(102, "entity_code"), "T");
}

TEST_F(DataControlsTest, DateEditWritesEveryChange) {
    OpenDocuments();
    DBDateEdit date;
    DateFieldControl& frame = date;
    frame.BindField(docs, "zlm_doc_date");
    EXPECT_EQ(date.date(), QDate(2024, 3, 5));

    date.setDate(QDate(2024, 3, 9));
    EXPECT_EQ(docs.FieldByName("zlm_doc_date").AsString(), "2024/03/09");
    docs.Next();
    EXPECT_EQ(date.date(), QDate(1899, 12, 30));
    docs.First();
    EXPECT_EQ(date.date(), QDate(2024, 3, 9));
}

TEST_F(DataControlsTest, ADateFieldKeepsItsDateOnAClickAndTakesATypedDateAsTyped) {
    OpenDocuments();
    DBDateEdit date;
    date.BindField(docs, "zlm_doc_date");
    date.resize(160, 26);
    date.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&date));
    const auto stored = [this] { return docs.FieldByName("zlm_doc_date").AsString(); };

    // A click in the text, on the year and elsewhere, only places the cursor.
    for (int x : {8, 40, 70}) {
        QTest::mouseClick(&date, Qt::LeftButton, {}, QPoint(x, date.height() / 2));
        EXPECT_EQ(date.date(), QDate(2024, 3, 5)) << x;
    }
    const struct {
        const char* how;
        std::function<void()> before;
        const char* typed;
        QDate expected;
    } cases[] = {
        {"into the filled field", [] {}, "2026/11/01", QDate(2026, 11, 1)},
        {"after Ctrl+A", [&date] { QTest::keyClick(&date, Qt::Key_A, Qt::ControlModifier); },
         "2023/11/01", QDate(2023, 11, 1)},
        {"after a click",
         [&date] {
             QTest::mouseClick(&date, Qt::LeftButton, {}, {50, 13});
         },
         "2025/02/28", QDate(2025, 2, 28)},
        {"a short day and month, taken on Enter", [] {}, "2025/1/5\r", QDate(2025, 1, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        c.before();
        QTest::keyClicks(&date, c.typed);
        EXPECT_EQ(date.date(), c.expected);
        EXPECT_EQ(stored(), c.expected.toString("yyyy/MM/dd").toStdString());
    }
    // Something that is no date is refused when the user leaves it.
    ui::ScriptedPrompter prompter;
    QTest::keyClicks(&date, "2025/13");
    QTest::keyClick(&date, Qt::Key_Tab);
    EXPECT_EQ(date.date(), QDate(2025, 1, 5));
    EXPECT_EQ(date.text(), "2025/01/05");
    EXPECT_EQ(prompter.Count(), 1u);

    // An empty field takes a typed date too.
    docs.Next();
    docs.Edit();
    date.setFocus();
    EXPECT_EQ(date.date(), QDate(1899, 12, 30));
    QTest::keyClicks(&date, "2026/11/01");
    EXPECT_EQ(stored(), "2026/11/01");
}

// A date and a time field on a form, as the dialogs lay them out, over the first document,
// dated 2024-03-05 at 10:15; and a field to move on to.
class EntryFormTest : public DataControlsTest {
  protected:
    void SetUp() override {
        DataControlsTest::SetUp();
        OpenDocuments();
        docs.FieldByName("zlm_doc_time").SetAsString("10:15");
        auto* form = new QFormLayout(&window);
        date = new DBDateEdit;
        form->addRow("Date &due: ", date);
        time = new DBEdit;
        form->addRow("Time due: ", time);
        form->addRow("Next: ", new QLineEdit);
        date->BindField(docs, "zlm_doc_date");
        time->SetDataSource(&source);
        time->SetDataField("zlm_doc_time");
        time->SetTimeEntry();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    std::string InRecord(const char* column) { return docs.FieldByName(column).AsString(); }
    // The one message shown since `before` messages.
    std::string Told(std::size_t before) const {
        const auto messages = prompter.Messages();
        return messages.size() == before + 1
                   ? messages.back().text
                   : "(" + std::to_string(messages.size() - before) + " messages)";
    }

    ui::ScriptedPrompter prompter;
    QWidget window;
    DataSource source{&docs};
    DBDateEdit* date = nullptr;
    DBEdit* time = nullptr;
};

TEST_F(EntryFormTest, ADateThatIsNoRealDateInTheFormatIsRefusedNamingTheField) {
    const std::string refused = "'Date due' is not a valid date. Please enter it as yyyy/MM/dd.";
    const struct {
        const char* typed;
        Qt::Key leave;
    } cases[] = {
        {"2026/02/31", Qt::Key_Return}, {"2026/02/31", Qt::Key_Tab}, {"31/02/2026", Qt::Key_Tab},
        {"letters", Qt::Key_Return},    {"2026-03-07", Qt::Key_Tab}, {"2026/3/7/1", Qt::Key_Return},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.leave == Qt::Key_Tab ? " Tab" : " Enter"));
        const std::size_t before = prompter.Count();
        date->setFocus();
        QTest::keyClicks(date, c.typed);
        QTest::keyClick(date, c.leave);
        EXPECT_EQ(Told(before), refused);
        EXPECT_EQ(date->date(), QDate(2024, 3, 5));
        EXPECT_EQ(date->text(), "2024/03/05");
        EXPECT_EQ(InRecord("zlm_doc_date"), "2024/03/05");
        EXPECT_TRUE(date->hasFocus());
    }
    // An entry still being typed when the record is saved is refused by the save.
    const std::size_t before = prompter.Count();
    QTest::keyClicks(date, "2026/02/30");
    EXPECT_THROW(docs.Post(), db::RangeError);
    EXPECT_EQ(Told(before), refused);
    docs.Post();
    EXPECT_EQ(Stored(301, "zlm_doc_date", "zlm_doc"), "2024/03/05");
}

TEST_F(EntryFormTest, EditingTheDayAloneKeepsTheYearAndMonth) {
    // A click after the day, two Backspaces and the new day.
    const QRect text = date->findChild<QLineEdit*>()->geometry();
    const int end = text.left() + date->fontMetrics().horizontalAdvance("2024/03/05") + 4;
    QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(end, date->height() / 2));
    QTest::keyClick(date, Qt::Key_Backspace);
    QTest::keyClick(date, Qt::Key_Backspace);
    EXPECT_EQ(date->text(), "2024/03/");
    QTest::keyClicks(date, "07");
    EXPECT_EQ(date->text(), "2024/03/07");
    EXPECT_EQ(InRecord("zlm_doc_date"), "2024/03/07");
    QTest::keyClick(date, Qt::Key_Tab);
    EXPECT_EQ(date->date(), QDate(2024, 3, 7));
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(EntryFormTest, ATimeFieldTakesOnlyHoursAndMinutesOfTheDay) {
    const std::string refused = "'Time due' is not a valid time. Please enter it as hh:mm.";
    const struct {
        const char* typed;
        bool taken;
    } cases[] = {
        {"25:99", false},    {"24:00", false}, {"12:60", false}, {"9:30", false}, {"ab:cd", false},
        {"12:30:15", false}, {"23:59", true},  {"00:00", true},  {"", true},
    };
    std::string held = "10:15";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::size_t before = prompter.Count();
        time->setFocus();
        time->selectAll();
        QTest::keyClick(time, Qt::Key_Backspace);
        QTest::keyClicks(time, c.typed);
        QTest::keyClick(time, Qt::Key_Tab);
        if (c.taken) {
            held = c.typed;
            EXPECT_EQ(prompter.Count(), before);
        } else {
            EXPECT_EQ(Told(before), refused);
            EXPECT_TRUE(time->hasFocus());
        }
        EXPECT_EQ(InRecord("zlm_doc_time"), held);
        EXPECT_EQ(time->text().toStdString(), held);
    }
    // Saved without leaving the field, the entry is refused all the same.
    const std::size_t before = prompter.Count();
    time->selectAll();
    QTest::keyClicks(time, "25:99");
    EXPECT_THROW(docs.Post(), db::RangeError);
    EXPECT_EQ(Told(before), refused);
}

TEST_F(DataControlsTest, AValueWithLineBreaksShowsOnOneLineWhereOneLineIsShown) {
    const std::string name = "Smallwood\r\nDavid\nJunior\rthe Third";
    conn.Execute("update entity set entity_name='" + name + "' where entity_id=101");
    DBText shown;
    Bind(shown, "entity_name");
    DBText wrapped;
    wrapped.setWordWrap(true);
    Bind(wrapped, "entity_name");
    DBLookupComboBox list;
    list.SetListSource(&q, "entity_id", "entity_name");
    q.Open();
    EXPECT_EQ(shown.text(), "Smallwood David Junior the Third");
    EXPECT_EQ(list.itemText(0), "Smallwood David Junior the Third");
    EXPECT_EQ(wrapped.text().toStdString(), name);  // a text that wraps keeps its lines
    EXPECT_EQ(Stored(101, "entity_name"), name);
}

TEST_F(DataControlsTest, ANumberShowsOneFormAndIsEditedInAnother) {
    conn.Execute("update entity set entity_discount=2.5 where entity_id=101");
    q.Open();
    q.Edit();
    DBEdit discount;
    Bind(discount, "entity_discount");
    discount.SetFloatFormat("0.00", "0.000");
    EXPECT_EQ(discount.text(), "2.50");
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&discount, &in);
    EXPECT_EQ(discount.text(), "2.500");
    discount.selectAll();
    QTest::keyClicks(&discount, "7.5");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&discount, &out);
    // What was typed is in the record before the shorter form shows it.
    EXPECT_EQ(q.FieldByName("entity_discount").AsFloat(), 7.5);
    EXPECT_EQ(discount.text(), "7.50");
}

TEST_F(DataControlsTest, ASourceGoneLeavesItsControlsAlone) {
    DBEdit name;
    {
        DataSource source(&q);
        Bind(name, "entity_name", source);
        q.Open();
    }
    EXPECT_EQ(name.GetDataSource(), nullptr);
    q.Next();
    EXPECT_EQ(name.text(), "Smith");
    {
        DataSource source(&q);
        auto edit = std::make_unique<DBEdit>();
        Bind(*edit, "entity_name", source);
        edit.reset();
        auto& columns = WatchAssignments();
        q.Next();
        q.Edit();
        q.Post();
        EXPECT_TRUE(columns.empty());
    }
}

TEST_F(DataControlsTest, ControlsMayOutliveTheirDatasets) {
    auto types = std::make_unique<db::Query>(&conn);
    types->SetSQL("select * from customer_type");
    auto regions = std::make_unique<db::Query>(&conn);
    regions->SetSQL("select * from brwRegion");
    DataSource source(types.get());
    DBEdit descr;
    Bind(descr, "customer_type_descr", source);
    DBLookupComboBox region;
    region.SetListSource(regions.get(), "entity_id", "Region name");
    types->Open();
    regions->Open();
    types.reset();
    regions.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(descr.Field(), nullptr);
    source.SetDataSet(&q);
    q.Open();
    EXPECT_EQ(descr.text(), "");
    region.ReloadList();
    EXPECT_EQ(region.count(), 0);
}

}  // namespace
}  // namespace zl::widgets
