// The options window: what each tab stores, the synonym grid's row rules, the mail sender rule,
// the notice and the end of the program after a save, and the right that guards it.
#include "shell/TfrmOptions.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <fstream>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "shell/TfrmMain.h"
#include "tests/support/QtFixture.h"

namespace zl {
namespace {

using test::WhenModal;

class OptionsTest : public test::QtFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        CurUserId = 2;
    }

    // The window as the main window shows it, with the end of the program recorded.
    std::unique_ptr<TfrmOptions> Open() {
        auto options = std::make_unique<TfrmOptions>();
        options->endProgram = [this] {
            ++exits;
            openAtExit = {dm->localConn.Connected(), dm->repConn.Connected(),
                          dm->zlmConn.Connected()};
        };
        options->show();
        return options;
    }
    static void Type(QWidget* control, const QString& text) {
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->clear();
        if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
            memo->clear();
        QTest::keyClicks(control, text);
    }
    static void Choose(QComboBox* combo, const QString& entry) {
        const int index = combo->findText(entry);
        ASSERT_GE(index, 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        emit combo->textActivated(entry);
    }
    // Edits one cell of the synonym grid the way the grid's editor commits it.
    static void EditSynonym(TfrmOptions& options, int row, const QString& local) {
        QAbstractItemModel* model = options.grdSynonym->model();
        const int column = options.qSynonym.FieldByName("synonym_local").Index();
        options.grdSynonym->setCurrentIndex(model->index(row, column));
        ASSERT_TRUE(model->setData(model->index(row, column), local, Qt::EditRole));
    }
    std::string Meta(const std::string& sql) const { return Stored(folder.MetaDb(), sql); }
    std::string Config(const std::string& column) const {
        return Local("select " + column + " from config");
    }

    int exits = 0;
    std::vector<bool> openAtExit;
};

TEST_F(OptionsTest, OkStoresEveryTabIncludingTheValueTypedLastThenTellsAndEndsClosed) {
    auto options = Open();
    ASSERT_EQ(options->PageControl1->count(), 6);
    const QStringList captions = {"email options", "Printouts", "Local language equivalents",
                                  "Reminders",     "Paths",     "Custom customer fields"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(options->PageControl1->tabText(i), captions[i]);
    EXPECT_EQ(options->PageControl1->currentIndex(), 0);

    Choose(options->cbMailSender, "SMTP server");
    Type(options->edSmtpServer, "mail.example.com");
    Type(options->edSmtpUser, "sales");
    Type(options->edSmtpPwd, "s3cret");
    EXPECT_EQ(options->edSmtpPwd->echoMode(), QLineEdit::Normal);
    Type(options->edSmtpPort, "587");
    Choose(options->cbMinusSymbol, "(");
    Type(options->mmQuoteMesg, "Valid for 30 days");
    Type(options->mmInvoiceMesg, "Pay within 14 days");
    Type(options->mmOrderMesg, "Thank you");
    Type(options->edRemindDays, "12");
    for (int i = 0; i < 4; ++i)
        Type(options->edEntityField[i], QString("Label %1").arg(i + 1));
    // Still in the field when OK is clicked.
    Type(options->edEntityField[4], "Last typed");
    options->btnOK->click();

    EXPECT_FALSE(options->isVisible());
    const std::vector<std::pair<std::string, std::string>> stored = {
        {"config_emailsender", "SMTP server"},
        {"config_smtpserver", "mail.example.com"},
        {"config_smtpuser", "sales"},
        {"config_smtppwd", "s3cret"},
        {"config_smtpport", "587"},
        {"config_minussymbol", "("},
        {"config_quotemesg", "Valid for 30 days"},
        {"config_invoicemesg", "Pay within 14 days"},
        {"config_ordermesg", "Thank you"},
        {"config_reminddays", "12"},
        {"config_entityf1", "Label 1"},
        {"config_entityf4", "Label 4"},
        {"config_entityf5", "Last typed"},
        {"config_reportfont", "Arial"}};
    for (const auto& [column, value] : stored)
        EXPECT_EQ(Config(column), value) << column;
    EXPECT_EQ(Local("select count(*) from config"), "1");

    ASSERT_EQ(prompter.Count(), 1u);
    const ui::Message notice = prompter.Messages()[0];
    EXPECT_EQ(notice.text,
              "Zelmar will now exit to make sure changes are applied. Please reload "
              "your application after it exits.");
    EXPECT_EQ(notice.title, "Notification");
    EXPECT_EQ(notice.icon, ui::Icon::Information);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(openAtExit, (std::vector<bool>{false, false, false}));
}

TEST_F(OptionsTest, CancelStoresNothingButTheTitleBarCloseSavesLikeOkEvenWithoutChanges) {
    auto options = Open();
    Type(options->edRemindDays, "99");
    options->btnCancel->click();
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(Config("config_reminddays"), "7");
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(dm->localConn.Connected());

    options = Open();
    options->close();
    EXPECT_EQ(Config("config_emailsender"), "Default mail client");
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(exits, 1);
}

TEST_F(OptionsTest, TheSmtpGroupOpensEnabledAndFollowsOnlyTheUsersChoice) {
    auto options = Open();
    ASSERT_EQ(options->cbMailSender->currentText(), "Default mail client");
    EXPECT_TRUE(options->gbSMTP->isEnabled());
    Choose(options->cbMailSender, "Default mail client");
    EXPECT_FALSE(options->gbSMTP->isEnabled());
    Choose(options->cbMailSender, "SMTP server");
    EXPECT_TRUE(options->gbSMTP->isEnabled());
    // Typed text counts only when it is exactly the entry.
    Type(options->cbMailSender->lineEdit(), "Default mail clien");
    EXPECT_TRUE(options->gbSMTP->isEnabled());
    QTest::keyClicks(options->cbMailSender->lineEdit(), "t");
    EXPECT_FALSE(options->gbSMTP->isEnabled());
    options->btnCancel->click();
}

TEST_F(OptionsTest, TheFontDialogStoresTheFaceNameAndTheFileDialogTheFullPath) {
    const std::string otherDb = folder.DataFolder() + "other.dat";
    std::ofstream(otherDb) << "x";
    auto options = Open();
    EXPECT_EQ(options->OpenDialog1->defaultSuffix(), "mdb");
    EXPECT_EQ(options->OpenDialog1->nameFilters(), QStringList{"Database files (*.dat)"});
    EXPECT_EQ(options->OpenDialog1->fileMode(), QFileDialog::ExistingFile);

    QString chosenFace;
    WhenModal<QFontDialog>([&](QFontDialog& dialog) {
        QFont font("DejaVu Serif", 20);
        font.setBold(true);
        dialog.setCurrentFont(font);
        chosenFace = dialog.currentFont().family();
        dialog.accept();
    });
    options->btnReportFont->click();
    ASSERT_FALSE(chosenFace.isEmpty());
    EXPECT_EQ(options->lblReportFont->text(), chosenFace);

    WhenModal<QFileDialog>([&](QFileDialog& dialog) {
        // Typed into the dialog's file name field, as a user would.
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(otherDb));
        static_cast<QDialog&>(dialog).accept();
    });
    options->btnMDB->click();
    EXPECT_EQ(options->lblDbPath->text().toStdString(), otherDb);

    options->btnOK->click();
    EXPECT_EQ(Config("config_reportfont"), chosenFace.toStdString());
    EXPECT_EQ(Config("config_dbpath"), otherDb);
}

TEST_F(OptionsTest, SynonymEditsAreStoredAsTheRowIsLeftAndAPendingRowIsNot) {
    const std::string rows = Meta("select count(*) from synonym");
    auto options = Open();
    QAbstractItemModel* model = options->grdSynonym->model();
    const int idColumn = options->qSynonym.FieldByName("synonym_id").Index();
    EXPECT_TRUE(options->grdSynonym->isColumnHidden(idColumn));
    const int term = options->qSynonym.FieldByName("synonym_term").Index();
    const int local = options->qSynonym.FieldByName("synonym_local").Index();
    EXPECT_EQ(model->headerData(term, Qt::Horizontal).toString(), "English term");
    EXPECT_EQ(model->headerData(local, Qt::Horizontal).toString(), "Term in your language");
    EXPECT_FALSE(model->flags(model->index(0, idColumn)) & Qt::ItemIsEditable);

    options->qSynonym.SetRecNo(1);
    const std::string firstId = options->qSynonym.FieldByName("synonym_id").AsString();
    options->qSynonym.SetRecNo(2);
    const std::string secondId = options->qSynonym.FieldByName("synonym_id").AsString();

    EditSynonym(*options, 0, "Gesamt");
    // Moving to the next row posts the first; that row's edit is still pending at the close.
    EditSynonym(*options, 1, "Angebot");
    EXPECT_EQ(Meta("select synonym_local from synonym where synonym_id=" + firstId), "Gesamt");

    // A new row is given up at once.
    const int count = options->qSynonym.RecordCount();
    options->qSynonym.Append();
    EXPECT_EQ(options->qSynonym.State(), db::DataSetState::dsBrowse);
    EXPECT_EQ(options->qSynonym.RecordCount(), count);
    EXPECT_EQ(model->rowCount(), count);

    EditSynonym(*options, 1, "Offerte");
    options->btnOK->click();
    EXPECT_EQ(Meta("select synonym_local from synonym where synonym_id=" + firstId), "Gesamt");
    // The insertion posted the pending "Angebot" before it was given up; "Offerte" was pending
    // at the close.
    EXPECT_EQ(Meta("select synonym_local from synonym where synonym_id=" + secondId), "Angebot");
    EXPECT_EQ(Meta("select count(*) from synonym"), rows);
    EXPECT_EQ(exits, 1);
}

TEST_F(OptionsTest, TheOptionsCommandOpensTheWindowModallyOnlyWithRightOne) {
    TfrmMain main;
    main.Timer1->stop();  // no start-up: the connections are the fixture's
    std::vector<int> statuses;
    main.endProgram = [&](int status) { statuses.push_back(status); };

    CurUserId = 5;  // holds no right
    // A window opened here would block until the watchdog fails the test.
    main.OptionsExecute();
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(exits, 0);

    CurUserId = 2;
    WhenModal<TfrmOptions>([](TfrmOptions& options) {
        EXPECT_TRUE(options.isModal());
        Type(options.edRemindDays, "3");
        options.btnOK->click();
    });
    main.OptionsExecute();
    EXPECT_EQ(Config("config_reminddays"), "3");
    EXPECT_EQ(statuses, std::vector<int>{0});
    EXPECT_TRUE(main.Halted());
    EXPECT_FALSE(dm->zlmConn.Connected());
}

}  // namespace
}  // namespace zl
