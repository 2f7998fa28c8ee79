#include "shell/TfrmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cstring>

#include "core/CSVExporter.h"
#include "core/CSVImporter.h"
#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/ListIndexes.h"
#include "core/Passwords.h"
#include "core/ReportServer.h"
#include "core/Rights.h"
#include "core/StartupCheck.h"
#include "frames/TBrowseFrame.h"
#include "platform/db/DbError.h"
#include "platform/desktop/Desktop.h"
#include "platform/ui/Prompter.h"
#include "screens/TfrmBillable.h"
#include "screens/TfrmCustomer.h"
#include "screens/TfrmInquiry.h"
#include "screens/TfrmOrg.h"
#include "shell/TfrmLogin.h"
#include "shell/TfrmOptions.h"
#include "shell/TfrmSplash.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

// An icon of the desktop's theme, or Qt's own when the theme has none of that name.
QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(name, QApplication::style()->standardIcon(fallback));
}

// Runs one shutdown step; a failing step never keeps the next ones from running.
template <class Step>
void Guarded(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

// The file a connection string names.
std::string DataSource(const std::string& connectionString) {
    return db::Connection::ConnectionItem(connectionString, "Data Source");
}

// TDataMod::Connect has already said why a file did not open: start-up ends here, before
// anything else is asked of that file.
void RequireConnected(const db::Connection& conn) {
    if (!conn.Connected())
        throw db::DbError("The database file " + DataSource(conn.ConnectionString()) +
                          " could not be opened.");
}

// The report and chart commands: ShowReport(id, unit, user, key, file) or
// PrintGraph(id, unit, 0, 0, file). The key of a report is the business unit, or 0.
enum class ServerCall { Report, Graph };
struct ReportCommand {
    const char* action;
    const char* caption;
    const char* submenu;  // nullptr: no menu entry
    ServerCall call;
    int id;
    bool keyIsBusinessUnit;
};
constexpr ReportCommand kReportCommands[] = {
    {"OrdersByCustomer", "Summarized &orders by customer", "C&ustomers", ServerCall::Report, 10,
     true},
    {"CompOrdersPeriod", "Component &orders by time period", "&Components", ServerCall::Report, 11,
     true},
    {"ServiceOrdersPeriod", "Service &orders by time period", "&Services", ServerCall::Report, 12,
     true},
    {"AssemblyOrdersPeriod", "Assembly &orders by time period", "&Assemblies", ServerCall::Report,
     13, true},
    {"QuotationsByPeriod", "Summarized &quotations by time period", "&Quotations",
     ServerCall::Report, 17, true},
    {"QuotationsByStatus", "Summarized quotations by &status", "&Quotations", ServerCall::Report,
     18, true},
    {"QuoteYMGraph", "Quotations vs Forecast by year and month graph", "&Quotations",
     ServerCall::Graph, 2, false},
    {"OrdersByPeriod", "Summarized &orders by period", "&Orders", ServerCall::Report, 15, true},
    {"OrdersByStatus", "Summarized orders by stat&us", "&Orders", ServerCall::Report, 23, true},
    {"OrdersYMGraph", "Orders vs Forecast by year and month graph", "&Orders", ServerCall::Graph, 3,
     false},
    {"InvoicesbyPeriod", "&Summarized invoices by period", "&Invoices", ServerCall::Report, 22,
     true},
    {"InvoicesByStatus", "Summarized invoices by stat&us", "&Invoices", ServerCall::Report, 24,
     true},
    {"ProfitLossReport", "&Profit / Loss Report by period", "&Invoices", ServerCall::Report, 25,
     true},
    {"InvoiceYMGraph", "Invoices vs Forecast by year and month &graph", "&Invoices",
     ServerCall::Graph, 4, false},
    {"BillableOrdersPeriod", "Summarized &orders by time period", nullptr, ServerCall::Report, 15,
     false},
    {"QuotationsByUser", "Summarized quotations by &system user", nullptr, ServerCall::Report, 19,
     true},
    {"OrdersByBusUnit", "Summarized orders by &business unit", nullptr, ServerCall::Report, 21,
     true},
    {"ForecastVsActualGraph", "Forecast vs Actual &Graph", nullptr, ServerCall::Graph, 1, false},
    {"OrderBreakdownPieChart", "Billable item breakdown &pie chart ", nullptr, ServerCall::Graph, 5,
     false},
};

// The Reports menu: groups of submenus with a separator between groups.
const std::vector<std::vector<const char*>> kReportsMenuGroups = {
    {"C&ustomers"},
    {"&Components", "&Services", "&Assemblies"},
    {"&Quotations", "&Orders", "&Invoices"},
};

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The CSV file chosen in `chooser`, "" when the choice was cancelled; both CSV dialogs open in
// its folder next time.
std::string ChooseCsvFile(QFileDialog* chooser, QFileDialog* other) {
    if (!widgets::RunFileDialog(*chooser))
        return "";
    const QString path = chooser->selectedFiles().first();
    for (QFileDialog* dialog : {chooser, other})
        dialog->setDirectory(QFileInfo(path).absolutePath());
    return LocalPath(path);
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    setWindowTitle("Zelmar");
    resize(870, 642);
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName("mdiArea");
    setCentralWidget(mdiArea);
    BuildMenusAndToolBar();

    statusPanel0 = new QLabel(this);
    statusPanel0->setMinimumWidth(300);
    statusPanel1 = new QLabel(this);
    statusPanel1->setObjectName("statusPanel1");
    statusPanel1->setMinimumWidth(200);
    statusBar()->setObjectName("StatusBar1");
    statusBar()->addWidget(statusPanel0);
    statusBar()->addWidget(statusPanel1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(5);
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    Timer1->start();
    versionTimer = new QTimer(this);
    versionTimer->setObjectName("versionTimer");
    versionTimer->setInterval(5000);
    versionTimer->setSingleShot(true);
    connect(versionTimer, &QTimer::timeout, this, &TfrmMain::versionTimerTimer);

    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName("SaveDialog1");
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setDefaultSuffix("csv");
    SaveDialog1->setNameFilter("CSV files (*.csv)");
    // The home folder first, then the folder last used: never the program's working folder.
    SaveDialog1->setDirectory(QDir::homePath());
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setDefaultSuffix("csv");
    OpenDialog1->setNameFilter("CSV files (*.csv)");
    OpenDialog1->setDirectory(QDir::homePath());
}

TfrmMain::~TfrmMain() {
    if (Dimensions == dimensions_.get())
        Dimensions = nullptr;
}

void TfrmMain::BuildMenusAndToolBar() {
    auto action = [this](const char* name, const char* caption, const char* hint, QIcon icon,
                         void (TfrmMain::*handler)()) {
        auto* a = new QAction(icon, caption, this);
        a->setObjectName(name);
        if (*hint)
            a->setToolTip(hint);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Customers =
        action("Customers", "&Customers", "Customers",
               ThemeIcon("system-users", QStyle::SP_DirHomeIcon), &TfrmMain::CustomersExecute);
    MyOrganization =
        action("MyOrganization", "My &organization", "My organization",
               ThemeIcon("go-home", QStyle::SP_ComputerIcon), &TfrmMain::MyOrganizationExecute);
    Inquiry = action("Inquiry", "&Inquiries", "Inquiries",
                     ThemeIcon("mail-message-new", QStyle::SP_FileDialogDetailedView),
                     &TfrmMain::InquiryExecute);
    Billable = action("Billable", "&Billable items", "Billable items",
                      ThemeIcon("x-office-spreadsheet", QStyle::SP_FileDialogListView),
                      &TfrmMain::BillableExecute);
    for (QAction* hub : {Customers, MyOrganization, Inquiry, Billable})
        hub->setCheckable(true);
    Options = action("Options", "&Options", "", QIcon(), &TfrmMain::OptionsExecute);
    Login = action("Login", "Log &in again", "", QIcon(), &TfrmMain::LoginExecute);
    ShowSplash = action("ShowSplash", "&About", "", QIcon(), &TfrmMain::ShowSplashExecute);
    HelpContents = action("HelpContents", "&Contents", "",
                          ThemeIcon("help-browser", QStyle::SP_DialogHelpButton),
                          &TfrmMain::HelpContentsExecute);
    Exit1 = action("Exit1", "E&xit", "", QIcon(), &TfrmMain::Exit1Click);
    ImportFromCSV = action("ImportFromCSV", "&Import customers from CSV file", "", QIcon(),
                           &TfrmMain::ImportFromCSVExecute);
    ExportToCSV = action("ExportToCSV", "&Export customers to CSV file", "", QIcon(),
                         &TfrmMain::ExportToCSVExecute);
    CascadeAction =
        action("CascadeAction", "C&ascade", "", QIcon(), &TfrmMain::CascadeActionExecute);
    TileAction = action("TileAction", "&Tile", "", QIcon(), &TfrmMain::TileActionExecute);

    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(Options);
    file->addAction(Login);
    file->addSeparator();
    file->addAction(ImportFromCSV);
    file->addAction(ExportToCSV);
    file->addSeparator();
    file->addAction(Exit1);
    QMenu* window = menuBar()->addMenu("Window");
    window->addAction(Customers);
    window->addAction(MyOrganization);
    window->addAction(Billable);
    window->addAction(Inquiry);
    window->addSeparator();
    window->addAction(CascadeAction);
    window->addAction(TileAction);
    BuildReportActions();
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(ShowSplash);
    help->addSeparator();
    help->addAction(HelpContents);

    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->addSeparator();
    ToolBar1->addAction(MyOrganization);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Billable);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Customers);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Inquiry);
    for (QAction* a : ToolBar1->actions())
        if (QWidget* button = ToolBar1->widgetForAction(a); button && !a->isSeparator())
            button->setMinimumSize(41, 41);
    auto* busUnitPanel = new QWidget(ToolBar1);
    busUnitPanel->setObjectName("busUnitPanel");
    busUnitPanel->setFixedWidth(349);
    auto* row = new QHBoxLayout(busUnitPanel);
    row->addWidget(new QLabel("Business unit: ", busUnitPanel));
    cbBusUnit = new QComboBox(busUnitPanel);
    cbBusUnit->setObjectName("cbBusUnit");
    cbBusUnit->setFixedWidth(249);
    row->addWidget(cbBusUnit);
    ToolBar1->addWidget(busUnitPanel);
    connect(cbBusUnit, &QComboBox::activated, this, &TfrmMain::cbBusUnitClick);
}

void TfrmMain::BuildReportActions() {
    for (std::size_t i = 0; i < std::size(kReportCommands); ++i) {
        auto* a = new QAction(kReportCommands[i].caption, this);
        a->setObjectName(kReportCommands[i].action);
        connect(a, &QAction::triggered, this, [this, i] { RunReport(i); });
        reportActions.push_back(a);
    }
    ReportsMenu = menuBar()->addMenu("&Reports");
    ReportsMenu->setObjectName("ReportsMenu");
    for (std::size_t group = 0; group < kReportsMenuGroups.size(); ++group) {
        if (group > 0)
            ReportsMenu->addSeparator();
        for (const char* submenuCaption : kReportsMenuGroups[group]) {
            QMenu* submenu = ReportsMenu->addMenu(submenuCaption);
            for (std::size_t i = 0; i < std::size(kReportCommands); ++i)
                if (kReportCommands[i].submenu &&
                    std::strcmp(kReportCommands[i].submenu, submenuCaption) == 0)
                    submenu->addAction(reportActions[i]);
        }
    }
}

void TfrmMain::RunReport(std::size_t command) {
    const ReportCommand& c = kReportCommands[command];
    if (!MayViewReports(widgets::HandleOf(this)))
        return;
    if (!ReportServer)
        throw ReportServerError("The report server is not running.");
    // A failure here or in the server raises to the application's error box.
    const std::string file = DataMod->NewDocPath("rep", ".html");
    if (c.call == ServerCall::Graph)
        ReportServer->PrintGraph(c.id, CurBusUnitId, 0, 0, file);
    else
        ReportServer->ShowReport(c.id, CurBusUnitId, CurUserId,
                                 c.keyIsBusinessUnit ? CurBusUnitId : 0, file);
}

void TfrmMain::Timer1Timer() {
    Timer1->stop();
    try {
        if (!DataFilesUsable({DataSource(DataMod->LocalDbConnectionString()),
                              DataSource(DataMod->MetaDbConnectionString())}))
            return;
        ui::CurrentCursor().Set(ui::CursorShape::HourGlass);
        auto splash = std::make_unique<TfrmSplash>(this);
        DataMod->Connect(DataMod->localConn, DataMod->LocalDbConnectionString());
        RequireConnected(DataMod->localConn);
        DataMod->Connect(DataMod->repConn, DataMod->MetaDbConnectionString());
        RequireConnected(DataMod->repConn);
        DataMod->qConfig.SetConnection(&DataMod->localConn);
        DataMod->qConfig.SetSQL("select * from config");
        DataMod->qConfig.Open();
        // The first run points the settings at the delivered main file and writes to it at once,
        // so the main file is checked here, before CheckFirst.
        const bool firstRun = DataMod->qConfig.FieldByName("config_firstflag").AsInteger() <= 0;
        const std::string mainFile = firstRun ? GetAppDataDir() + "db/zlm.dat"
                                              : DataSource(DataMod->MainDbConnectionString());
        if (!DataFilesUsable({mainFile}))
            return;
        DataMod->CheckFirst();
        if (firstRun)
            RequireConnected(DataMod->zlmConn);
        splash->showSplash();
        started = true;
        ReportServer = createReportServer();
        DataMod->Connect(DataMod->zlmConn, DataMod->MainDbConnectionString());
        RequireConnected(DataMod->zlmConn);
        // A main database made by an earlier version still counts the rights of deleted groups
        // and users; a failure is logged and the program goes on with the old view.
        UpdateRightsView(DataMod->zlmConn);
        // Before the report server opens the file: a file made before passwords were hashed
        // gets a column wide enough for a hash.
        WidenPasswordColumn(DataMod->zlmConn);
        // A file made before the customer list's index gets it; without it the list is slower.
        AddListIndexes(DataMod->zlmConn);
        ReportServer->Connect(DataMod->MainDbConnectionString(), DataMod->MetaDbConnectionString(),
                              DataMod->LocalDbConnectionString());
        dimensions_ = std::make_unique<DimCollection>();
        Dimensions = dimensions_.get();
        ReportMissingDimensions(*Dimensions, widgets::HandleOf(this));
        OrganizationName = FirstBusinessUnitName();
        ReportServer->SetRegisteredToCompany(OrganizationName);
        splash.reset();
        LoginExecute();
        if (halted)
            return;
        InquiryExecute();
        CustomersExecute();
        popBU();
        ui::CurrentCursor().Set(ui::CursorShape::Default);
        DataMod->UsageReport();
        versionTimer->start();
    } catch (const std::exception& e) {
        LogError("TfrmMain.Timer1Timer", e.what(), "");
        close();
        Halt(1);
    }
}

bool TfrmMain::DataFilesUsable(const std::vector<std::string>& databaseFiles) {
    const std::optional<std::string> problem =
        CheckDataFiles(GetAppDataDir(), databaseFiles, isWritable);
    if (!problem)
        return true;
    ui::CurrentCursor().Set(ui::CursorShape::Default);
    ui::ShowMessage(widgets::HandleOf(this), *problem, "Zelmar", ui::Icon::Warning);
    // Halted first: the window then closes without the shutdown steps, which would open pages
    // of the data folder and ask the web host for the version.
    Halt(1);
    close();
    return false;
}

std::string TfrmMain::FirstBusinessUnitName() {
    db::Query q;
    if (!DataMod->openQuery(
            q, "select entity_name from entity where dimension_id=5 order by entity_id",
            "TfrmMain.Timer1Timer") ||
        q.IsEmpty())
        return "";
    return q.Fields(0).AsString();
}

void TfrmMain::popBU() {
    cbBusUnit->clear();
    BusUnitIds.clear();
    if (DataMod->openQuery(qBU, "select * from entity where dimension_id=5", "TfrmMain.popBU")) {
        for (qBU.First(); !qBU.Eof(); qBU.Next()) {
            cbBusUnit->addItem(QString::fromStdString(qBU.FieldByName("entity_name").AsString()));
            BusUnitIds.push_back(qBU.FieldByName("entity_id").AsInteger());
        }
    }
    // With no business unit at all the selector stays empty and new rows carry unit 0.
    if (BusUnitIds.empty()) {
        CurBusUnitId = 0;
        return;
    }
    cbBusUnit->setCurrentIndex(0);
    CurBusUnitId = BusUnitIds[0];
}

void TfrmMain::cbBusUnitClick(int index) {
    if (index >= 0 && index < static_cast<int>(BusUnitIds.size()))
        CurBusUnitId = BusUnitIds[index];
}

template <class Window>
void TfrmMain::OpenHub(bool& openFlag, QPointer<HubWindow>& window, QAction* action) {
    if (!openFlag || !window) {
        auto* created = new Window(mdiArea);
        mdiArea->addSubWindow(created);
        window = created;
        // The flag says "open" only once the window exists.
        openFlag = true;
        created->setCollection(Dimensions);
    }
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        frame->showNormal();
        mdiArea->setActiveSubWindow(frame);
    }
    window->show();
    CheckOnly(action);
}

void TfrmMain::CheckOnly(QAction* action) {
    for (QAction* hub : {Customers, MyOrganization, Inquiry, Billable})
        hub->setChecked(hub == action);
}

void TfrmMain::CustomersExecute() {
    OpenHub<TfrmCustomer>(CustomersOpen, frmCustomer, Customers);
}
void TfrmMain::MyOrganizationExecute() {
    OpenHub<TfrmOrg>(OrganizationOpen, frmOrg, MyOrganization);
}
void TfrmMain::InquiryExecute() {
    OpenHub<TfrmInquiry>(InquiryOpen, frmInquiry, Inquiry);
}
void TfrmMain::BillableExecute() {
    OpenHub<TfrmBillable>(BillableOpen, frmBillable, Billable);
}

void TfrmMain::LoginExecute() {
    TfrmLogin login(this);
    if (!login.loginDialogExecute()) {
        // Cancelling is the user's choice, not a failure.
        Halt(0);
        return;
    }
    statusPanel1->setText("Currently logged in: " + QString::fromStdString(CurUserName));
}

void TfrmMain::OptionsExecute() {
    if (!DataMod->checkRight(CurUserId, 1))
        return;
    TfrmOptions options(this);
    // A save ends the program the way a halt does, so this window's hook decides how.
    options.endProgram = [this] { Halt(0); };
    options.exec();
}

void TfrmMain::ShowSplashExecute() {
    TfrmSplash splash(this);
    splash.showSplash();
}

void TfrmMain::HelpContentsExecute() {
    // As every page the user opens: a browser that cannot be started is said, not ignored.
    OpenDocumentFile(widgets::HandleOf(this), GetAppDataDir() + "help.html");
}

void TfrmMain::Exit1Click() {
    close();
    Halt(0);
}

void TfrmMain::ExportToCSVExecute() {
    const std::string file = ChooseCsvFile(SaveDialog1, OpenDialog1);
    if (file.empty())
        return;
    widgets::WaitCursor wait;
    const std::optional<std::string> failure = CSVExporter().Export(file);
    wait.Restore();
    if (failure) {
        ui::ShowMessage(widgets::HandleOf(this),
                        "The customers could not be exported to " + file + ": " + *failure + ".",
                        "CSV Export", ui::Icon::Warning);
        return;
    }
    ui::ShowMessage(widgets::HandleOf(this), "CSV Export completed.", "Complete",
                    ui::Icon::Information);
}

void TfrmMain::ImportFromCSVExecute() {
    ui::ShowMessage(widgets::HandleOf(this),
                    "Please note that the CSV file you select must contain field names on its "
                    "first row, and it must be either comma- or semicolon-delimited.",
                    "CSV File", ui::Icon::Information);
    const std::string file = ChooseCsvFile(OpenDialog1, SaveDialog1);
    if (file.empty())
        return;
    widgets::WaitCursor wait;
    const CSVImporter::Result result = CSVImporter().Import(file);
    if (result.imported > 0)
        RefreshCustomerList();
    wait.Restore();
    if (!result.ok) {
        ui::ShowMessage(widgets::HandleOf(this),
                        "Nothing was imported from " + file + ".\n\n" + result.error, "CSV Import",
                        ui::Icon::Warning);
        return;
    }
    std::string text = std::to_string(result.imported) +
                       (result.imported == 1 ? " customer" : " customers") + " imported from " +
                       file + ".";
    if (!result.leftOut.empty()) {
        // A long list is cut, so that the box stays on the screen.
        constexpr std::size_t kListed = 20;
        const std::size_t listed = std::min(result.leftOut.size(), kListed);
        text += "\n\nThese columns are no customer or address fields and were not imported: ";
        for (std::size_t i = 0; i < listed; ++i)
            text += (i > 0 ? ", " : "") + result.leftOut[i];
        if (result.leftOut.size() > listed)
            text += " and " + std::to_string(result.leftOut.size() - listed) + " more";
        text += ".";
    }
    ui::ShowMessage(widgets::HandleOf(this), text, "CSV Import", ui::Icon::Information);
}

void TfrmMain::RefreshCustomerList() {
    if (auto* customers = qobject_cast<TfrmCustomer*>(frmCustomer.data()))
        customers->customerFrame->RefreshExecute();
}

void TfrmMain::CascadeActionExecute() {
    mdiArea->cascadeSubWindows();
}

void TfrmMain::TileActionExecute() {
    // The window used last on top.
    QList<QMdiSubWindow*> windows;
    const QList<QMdiSubWindow*> history = mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); it != history.rend(); ++it)
        if ((*it)->isVisible() && !(*it)->isMinimized())
            windows.append(*it);
    if (windows.isEmpty())
        return;
    const QRect area = mdiArea->viewport()->rect();
    const int height = area.height() / windows.size();
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        const int top = i * height;
        windows[i]->setGeometry(0, top, area.width(),
                                i + 1 == windows.size() ? area.height() - top : height);
    }
}

void TfrmMain::versionTimerTimer() {
    versionTimer->stop();
    // The check never fails visibly: a host that cannot be reached counts as current.
    bool current = true;
    Guarded([&current] { current = DataMod->IsCurrentVersion(); });
    if (current)
        return;
    ui::ShowMessage(widgets::HandleOf(this),
                    "There is a newer version of Zelmar available on our web site. Please "
                    "download and install it as soon as possible.",
                    "Newer version", ui::Icon::Information);
    Guarded([] { desktop::OpenWithDesktop(GetAppDataDir() + "zlmupdate.html"); });
}

void TfrmMain::Halt(int exitStatus) {
    if (halted)
        return;
    halted = true;
    Timer1->stop();
    versionTimer->stop();
    // No shutdown steps, but no half-open database handles either.
    for (db::Connection* conn : {&DataMod->zlmConn, &DataMod->localConn, &DataMod->repConn})
        Guarded([conn] { conn->Close(); });
    endProgram(exitStatus);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!halted)
        Shutdown();
    event->accept();
}

void TfrmMain::Shutdown() {
    if (shutDown)
        return;
    shutDown = true;
    setWindowTitle("Please wait - closing database connections...");
    Guarded([this] {
        if (!DataMod->IsCurrentVersion()) {
            ui::ShowMessage(widgets::HandleOf(this),
                            "There is a newer version of Zelmar available on our web site. Please "
                            "download and install it as soon as possible.",
                            "Newer version", ui::Icon::Information);
            desktop::OpenWithDesktop(GetAppDataDir() + "zlmupdate.html");
        }
    });
    Guarded([] { desktop::OpenWithDesktop(GetAppDataDir() + "zlmquit.html"); });
    Guarded([] { QCoreApplication::processEvents(); });
    if (started) {
        // The audit row takes its key from the main database: without that connection (a damaged
        // file) the step could only fail, and shutdown reports no failure of its own.
        if (DataMod->zlmConn.Connected())
            Guarded([] { DataMod->logEvent("Application quit", "", 0, 0); });
        Guarded([] { DataMod->CloseConnections(); });
        // A start-up that failed before the server existed has nothing to disconnect.
        Guarded([] {
            if (ReportServer)
                ReportServer->Disconnect();
        });
        Guarded([] { ui::CurrentCursor().Set(ui::CursorShape::HourGlass); });
        Guarded([] { DataMod->UsageReport(); });
    }
    Guarded([] { ui::CurrentCursor().Set(ui::CursorShape::Default); });
}

}  // namespace zl
