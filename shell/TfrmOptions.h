// The options window: the settings row of this machine and the local-language terms, on six
// tabs. Saving ends the program, because several settings are read only at start-up.
#pragma once

#include <QCoreApplication>
#include <array>
#include <functional>

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"

class QFileDialog;
class QFontDialog;
class QGroupBox;
class QPushButton;
class QTabWidget;
class QTableView;

namespace zl {

class SynonymModel;

class TfrmOptions : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmOptions(QWidget* owner = nullptr);
    ~TfrmOptions() override;

    void btnOKClick();
    void btnCancelClick();
    void btnReportFontClick();
    void btnMDBClick();
    // Only the user's changes of the combo call this: on opening the group stays enabled.
    void cbMailSenderChange(const QString& text);

    QPushButton* btnOK;
    QPushButton* btnCancel;
    QTabWidget* PageControl1;
    widgets::DBComboBox* cbMailSender;
    QGroupBox* gbSMTP;
    widgets::DBEdit* edSmtpServer;
    widgets::DBEdit* edSmtpUser;
    widgets::DBEdit* edSmtpPwd;
    widgets::DBEdit* edSmtpPort;
    widgets::DBComboBox* cbMinusSymbol;
    QPushButton* btnReportFont;
    widgets::DBText* lblReportFont;
    widgets::DBMemo* mmQuoteMesg;
    widgets::DBMemo* mmInvoiceMesg;
    widgets::DBMemo* mmOrderMesg;
    QTableView* grdSynonym;
    widgets::DBEdit* edRemindDays;
    QPushButton* btnMDB;
    widgets::DBText* lblDbPath;
    std::array<widgets::DBEdit*, 5> edEntityField{};
    QFontDialog* FontDialog1;
    QFileDialog* OpenDialog1;

    db::Query qConfig;
    db::Query qSynonym;

    // How a save ends the program once the databases are closed (tests replace it).
    std::function<void()> endProgram = [] { QCoreApplication::exit(0); };

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormCreate();
    void qSynonymAfterInsert();
    QWidget* BuildEmailTab();
    QWidget* BuildPrintoutsTab();
    QWidget* BuildSynonymTab();
    QWidget* BuildRemindersTab();
    QWidget* BuildPathsTab();
    QWidget* BuildCustomFieldsTab();

    widgets::DataSource dsConfig;
    SynonymModel* synonymModel_ = nullptr;
    bool ended_ = false;
};

}  // namespace zl
