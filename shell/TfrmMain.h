// The main window: the start-up sequence, the hub windows, the business-unit selector, the
// File, Window, Reports and Help commands, the version check and the shutdown.
#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ReportServer.h"
#include "core/StartupCheck.h"
#include "platform/db/Query.h"

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QMenu;
class QMdiArea;
class QTimer;
class QToolBar;

namespace zl {

class HubWindow;
class DimCollection;

class TfrmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The start-up sequence; run once from Timer1.
    void Timer1Timer();
    void popBU();
    void cbBusUnitClick(int index);
    void CustomersExecute();
    void MyOrganizationExecute();
    void InquiryExecute();
    void BillableExecute();
    void LoginExecute();
    void OptionsExecute();
    void ShowSplashExecute();
    void HelpContentsExecute();
    void Exit1Click();
    // Writes every customer to the CSV file chosen in SaveDialog1.
    void ExportToCSVExecute();
    // Stores the customers of the CSV file chosen in OpenDialog1 as new customers.
    void ImportFromCSVExecute();
    void CascadeActionExecute();
    // Each window the full width of the area, one below the other.
    void TileActionExecute();
    // The newer-version notice, once per run, five seconds after start-up.
    void versionTimerTimer();
    // Has the customers window's list read its rows again; nothing when that window is closed.
    void RefreshCustomerList();

    bool Started() const { return started; }
    // Whether the program was told to end without the shutdown steps.
    bool Halted() const { return halted; }

    QMdiArea* mdiArea;
    QToolBar* ToolBar1;
    QComboBox* cbBusUnit;
    QLabel* statusPanel0;
    QLabel* statusPanel1;
    QTimer* Timer1;
    QTimer* versionTimer;
    QAction* Customers;
    QAction* MyOrganization;
    QAction* Inquiry;
    QAction* Billable;
    QAction* Options;
    QAction* Login;
    QAction* ShowSplash;
    QAction* HelpContents;
    QAction* Exit1;
    QAction* ExportToCSV;
    QAction* ImportFromCSV;
    QAction* CascadeAction;
    QAction* TileAction;
    // The report and chart commands, by their action names ("OrdersByCustomer"); five of them
    // have no menu entry.
    std::vector<QAction*> reportActions;
    QMenu* ReportsMenu;
    QFileDialog* SaveDialog1;
    QFileDialog* OpenDialog1;

    // How start-up creates the report server: by class id unless replaced (tests replace it).
    std::function<std::unique_ptr<ReportServerClient>()> createReportServer =
        ReportServerClient::Create;

    // How start-up tells whether a database file or its folder may be written (tests replace
    // it where the user may write anything).
    WritableTest isWritable = IsWritable;

    // How a halt ends the program: the event loop stops with the exit status given (tests
    // replace it).
    std::function<void(int exitStatus)> endProgram = [](int exitStatus) {
        QCoreApplication::exit(exitStatus);
    };

    // The hub windows; null once a window is gone.
    QPointer<HubWindow> frmCustomer, frmOrg, frmInquiry, frmBillable;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenusAndToolBar();
    void BuildReportActions();
    // One report or chart command: the user's report right, a new repository path, the call.
    void RunReport(std::size_t command);
    // Ends the program at once, without the shutdown steps, with that exit status; the database
    // files are closed.
    void Halt(int exitStatus);
    // Whether the data folder and these database files can be used; when not, says why in one
    // box and ends the program with status 1, nothing opened or changed.
    bool DataFilesUsable(const std::vector<std::string>& databaseFiles);
    void Shutdown();
    template <class Window>
    void OpenHub(bool& openFlag, QPointer<HubWindow>& window, QAction* action);
    void CheckOnly(QAction* action);
    std::string FirstBusinessUnitName();

    db::Query qBU;
    std::unique_ptr<DimCollection> dimensions_;
    std::vector<int> BusUnitIds;
    bool started = false;
    bool halted = false;
    bool shutDown = false;
};

}  // namespace zl
