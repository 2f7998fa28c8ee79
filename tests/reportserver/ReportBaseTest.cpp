// The HTML writer's exact bytes, its file handling and the synonym look-up; the date dialog.
#include "reportserver/ReportBase.h"

#include <sys/resource.h>

#include <QApplication>
#include <QDateEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/DataMod.h"
#include "reportserver/TfrmRepDates.h"
#include "tests/support/QtFixture.h"
#include "widgets/DataControls.h"

namespace zl::reportserver {
namespace {

using test::WhenModal;

class ReportBaseTest : public test::QtFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
    }
    std::string File() const { return folder.DataFolder() + "page.html"; }
    std::string Written() const { return test::ReadFile(File()); }
    ReportBase writer;
};

// Files of this process grow no larger than `bytes` while it lives; a write beyond fails.
class DiskFullAt {
  public:
    explicit DiskFullAt(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~DiskFullAt() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    DiskFullAt(const DiskFullAt&) = delete;
    DiskFullAt& operator=(const DiskFullAt&) = delete;

  private:
    void (*handler_)(int);
    rlimit saved_{};
};

struct Primitive {
    const char* what;
    std::function<void(ReportBase&)> write;
    const char* bytes;
};

TEST_F(ReportBaseTest, EveryPrimitiveWritesItsExactBytes) {
    const Primitive cases[] = {
        {"text", [](ReportBase& w) { w.write("a <b> & \xC3\xA9"); }, "a <b> & \xC3\xA9"},
        {"empty line", [](ReportBase& w) { w.writeLine(""); }, "\r\n"},
        {"line", [](ReportBase& w) { w.writeLine("x"); }, "x\r\n"},
        {"integer", [](ReportBase& w) { w.writeInt(-42); }, "-42"},
        {"tag", [](ReportBase& w) { w.writeTag("title", "Q 1"); }, "<title>Q 1</title>\r\n"},
        {"table", [](ReportBase& w) { w.beginTable(100, 0); },
         "<table width=\"100%\" border=\"0\">\r\n"},
        {"negative width", [](ReportBase& w) { w.beginTable(-5, 1); },
         "<table width=\"-5%\" border=\"1\">\r\n"},
        {"table end", [](ReportBase& w) { w.endTable(); }, "</table>\r\n"},
        {"bold font", [](ReportBase& w) { w.fontOn("Arial", 2, 1); },
         "<font size=\"2\" face=\"Arial\">\r\n<b>"},
        {"plain font and its end",
         [](ReportBase& w) {
             w.fontOn("Arial", 3, 0);
             w.fontOff();
         },
         "<font size=\"3\" face=\"Arial\">\r\n</b></font>\r\n"},
    };
    for (const Primitive& c : cases) {
        std::filesystem::remove(File());  // each page is a new file
        ASSERT_TRUE(writer.createHTML(File())) << c.what;
        c.write(writer);
        writer.closeHTML();
        EXPECT_EQ(Written(),
                  std::string("<html>\r\n<head>\r\n") + c.bytes + "</body>\r\n</html>\r\n")
            << c.what;
        EXPECT_FALSE(writer.hasStream());
    }
}

TEST_F(ReportBaseTest, ABorrowedStreamWritesIntoTheOwnersReservedFileAndAnOlderOneIsKept) {
    const std::string older = folder.DataFolder() + "older.html";
    std::ofstream(older) << "an older report that a filed event still opens";
    EXPECT_FALSE(writer.createHTML(older));
    EXPECT_EQ(test::ReadFile(older), "an older report that a filed event still opens");
    EXPECT_FALSE(writer.hasStream());

    std::ofstream(File()).close();  // the empty file that reserved the path
    ASSERT_TRUE(writer.createHTML(File()));
    ReportBase borrower;
    borrower.setStream(writer.getStream());
    borrower.writeLine("from the borrower");
    writer.closeHTML();
    EXPECT_EQ(Written(), "<html>\r\n<head>\r\nfrom the borrower\r\n</body>\r\n</html>\r\n");
}

TEST_F(ReportBaseTest, AFileThatCannotBeCreatedIsLoggedAndNothingIsWritten) {
    const std::string path = folder.DataFolder() + "no/such/folder/page.html";
    EXPECT_FALSE(writer.createHTML(path));
    EXPECT_FALSE(writer.hasStream());
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: ReportBase.createHTML");
    EXPECT_NE(ErrorLog().find(";" + path + "\r\n"), std::string::npos);
    EXPECT_THROW(writer.write("x"), std::exception);
}

TEST_F(ReportBaseTest, ALinkPutInPlaceOfTheReservedFolderReceivesNothing) {
    const SwappedReservation swapped = ReserveThenSwapFolderForLink("rep", ".html");
    EXPECT_FALSE(writer.createHTML(swapped.reserved));
    EXPECT_FALSE(writer.hasStream());
    EXPECT_EQ(std::filesystem::file_size(swapped.linkTarget), 0u);
    EXPECT_EQ(LogCount("ReportBase.createHTML;Cannot create file \"" + swapped.reserved + "\". "),
              1);
}

TEST_F(ReportBaseTest, AWriteThatFailsRaisesAndClosingTheFileKeepsWhatWasWritten) {
    {
        // The disk fills up: a file size limit on this process (a device is no page to write).
        const DiskFullAt full(1 << 16);
        ASSERT_TRUE(writer.createHTML(folder.DataFolder() + "big.html"));
        EXPECT_THROW(
            {
                for (int i = 0; i < 10000; ++i)
                    writer.writeLine(std::string(100, 'x'));
            },
            std::ios_base::failure);
        writer.closeFile();
        EXPECT_FALSE(writer.hasStream());
    }

    ASSERT_TRUE(writer.createHTML(File()));
    writer.writeLine("half a page");
    writer.closeFile();
    EXPECT_EQ(Written(), "<html>\r\n<head>\r\nhalf a page\r\n");
}

TEST_F(ReportBaseTest, SynonymsAreLookedUpByIdAndAMissingIdGivesNoText) {
    ASSERT_TRUE(dm->actionQuery(dm->repConn,
                                "insert into synonym (synonym_id, synonym_local) values "
                                "(9001, 'Totaal'), (9002, 'Datum')",
                                "test"));
    ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
    EXPECT_EQ(writer.synonym(9002), "Datum");
    EXPECT_EQ(writer.synonym(9001), "Totaal");
    EXPECT_EQ(writer.synonym(987654), "");  // not the row the query last stood on
}

class RepDatesTest : public test::QtFixture {};

format::TDateTime Day(const QDateEdit* edit) {
    return widgets::FromQDate(edit->date());
}

TEST_F(RepDatesTest, ExecuteOffersTheLastThirtyDaysAndReturnsWhatWasConfirmed) {
    const format::TDateTime today = format::Date();
    TfrmRepDates dialog;
    EXPECT_EQ(dialog.windowTitle(), "Report dates");
    WhenModal<TfrmRepDates>([&](TfrmRepDates& d) {
        EXPECT_EQ(Day(d.dtFrom), today - 30);
        EXPECT_EQ(Day(d.dtTo), today);
        d.dtFrom->setDate(widgets::ToQDate(today - 10));
        d.btnOK->click();
    });
    format::TDateTime from = 0, to = 0;
    EXPECT_TRUE(dialog.execute(from, to));
    EXPECT_EQ(from, today - 10);
    EXPECT_EQ(to, today);

    WhenModal<TfrmRepDates>([](TfrmRepDates& d) { d.btnCancel->click(); });
    EXPECT_FALSE(dialog.execute(from, to));
    EXPECT_EQ(from, today - 30);  // the dates as they stood
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(RepDatesTest, ExecuteTwoGivesYearMonthTextsOfTheLastYear) {
    const format::TDateTime today = format::Date();
    TfrmRepDates dialog;
    WhenModal<TfrmRepDates>([](TfrmRepDates& d) { d.btnOK->click(); });
    std::string from, to;
    EXPECT_TRUE(dialog.execute2(from, to));
    EXPECT_EQ(from, format::FormatDateTime("yyyyMM", today - 365));
    EXPECT_EQ(to, format::FormatDateTime("yyyyMM", today));
    EXPECT_EQ(from.size(), 6u);
}

TEST_F(RepDatesTest, AFromDateAfterTheToDateIsCorrectedAndOkMustBeUsedAgain) {
    const format::TDateTime to = format::EncodeDate(2024, 3, 15);
    TfrmRepDates dialog;
    bool stayedOpen = false;
    format::TDateTime corrected = 0;
    WhenModal<TfrmRepDates>([&](TfrmRepDates& d) {
        d.dtTo->setDate(widgets::ToQDate(to));
        d.dtFrom->setDate(widgets::ToQDate(to + 2));
        d.btnOK->click();
        stayedOpen = d.isVisible();
        corrected = Day(d.dtFrom);
        d.btnOK->click();  // now valid
    });
    format::TDateTime from = 0, until = 0;
    EXPECT_TRUE(dialog.execute(from, until));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(corrected, to - 1);
    EXPECT_EQ(from, to - 1);
    EXPECT_EQ(until, to);
    ASSERT_GE(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages().back().text, "From date cannot be later than to date.");
    EXPECT_EQ(prompter.Messages().back().title, "Invalid date");
    EXPECT_EQ(prompter.Messages().back().icon, ui::Icon::Warning);
}

TEST_F(RepDatesTest, LeavingAPickerWithFromAfterToWarnsOnceByMouseAndByTab) {
    TfrmRepDates dialog;
    std::vector<std::size_t> warnings;
    WhenModal<TfrmRepDates>([&](TfrmRepDates& d) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        const auto leave = [](QWidget* picker) {
            for (int section = 0; section < 3; ++section)  // year, month, day, then out
                QTest::keyClick(picker, Qt::Key_Tab);
        };
        d.dtTo->setDate(QDate(2024, 3, 15));
        d.dtFrom->setFocus();
        d.dtFrom->setDate(QDate(2024, 3, 20));
        QTest::mouseClick(d.dtTo, Qt::LeftButton, {}, QPoint(8, d.dtTo->height() / 2));
        EXPECT_EQ(d.dtFrom->date(), QDate(2024, 3, 14));
        EXPECT_EQ(d.dtTo->date(), QDate(2024, 3, 15));
        leave(d.dtTo);
        warnings.push_back(prompter.Count());

        d.dtFrom->setFocus();
        d.dtFrom->setDate(QDate(2024, 4, 1));
        leave(d.dtFrom);
        warnings.push_back(prompter.Count());
        d.btnOK->click();
    });
    format::TDateTime from = 0, to = 0;
    EXPECT_TRUE(dialog.execute(from, to));
    EXPECT_EQ(warnings, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(Texts(), std::vector<std::string>(2, "From date cannot be later than to date."));
}

TEST_F(RepDatesTest, EqualDatesAreValid) {
    TfrmRepDates dialog;
    const format::TDateTime day = format::EncodeDate(2024, 2, 29);
    WhenModal<TfrmRepDates>([&](TfrmRepDates& d) {
        d.dtFrom->setDate(widgets::ToQDate(day));
        d.dtTo->setDate(widgets::ToQDate(day));
        d.btnOK->click();
    });
    format::TDateTime from = 0, to = 0;
    EXPECT_TRUE(dialog.execute(from, to));
    EXPECT_EQ(from, day);
    EXPECT_EQ(to, day);
    EXPECT_EQ(prompter.Count(), 0u);
}

// The close box confirms what the pickers show, unchecked and without a word, even with the
// focus in a picker when the window goes.
TEST_F(RepDatesTest, TheCloseBoxConfirmsThePickersAsTheyStand) {
    const format::TDateTime to = format::EncodeDate(2024, 3, 15);
    TfrmRepDates dialog;
    bool closed = false;
    WhenModal<TfrmRepDates>([&](TfrmRepDates& d) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        d.dtTo->setDate(widgets::ToQDate(to));
        d.dtFrom->setFocus();
        d.dtFrom->setDate(widgets::ToQDate(to + 2));
        d.close();
        closed = !d.isVisible();
        if (!closed)
            d.btnCancel->click();
    });
    format::TDateTime from = 0, until = 0;
    EXPECT_TRUE(dialog.execute(from, until));
    EXPECT_TRUE(closed);
    EXPECT_EQ(from, to + 2);
    EXPECT_EQ(until, to);
    QApplication::processEvents();
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(Day(dialog.dtFrom), to + 2);
}

}  // namespace
}  // namespace zl::reportserver
