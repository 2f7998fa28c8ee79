#include "shell/TfrmOptions.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/ui/Prompter.h"
#include "screens/DialogSupport.h"
#include "widgets/DBGrid.h"
#include "widgets/QtPlatform.h"

namespace zl {

// The synonym rows, editable in place: a cell's new text goes into the dataset's row, which is
// posted as the cursor leaves it. Rows are never added here.
class SynonymModel : public widgets::QueryTableModel {
  public:
    using QueryTableModel::QueryTableModel;

    // Off once the window closes, so an editor still open commits nothing.
    bool accepting = true;

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags result = QueryTableModel::flags(index);
        if (index.isValid() && index.column() != IdColumn())
            result |= Qt::ItemIsEditable;
        return result;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        db::Query* q = GetQuery();
        const bool pendingRow = q && q->Editing() && index.row() == q->RecNo() - 1;
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && pendingRow &&
            index.column() < q->FieldCount())
            return QString::fromStdString(q->Fields(index.column()).AsString());
        return QueryTableModel::data(index, role == Qt::EditRole ? Qt::DisplayRole : role);
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        db::Query* q = GetQuery();
        if (!accepting || !q || role != Qt::EditRole || !index.isValid())
            return false;
        bool written = false;
        RunGuarded("TfrmOptions.qSynonym", [&] {
            q->SetRecNo(index.row() + 1);
            q->Edit();
            q->Fields(index.column()).SetAsString(value.toString().toStdString());
            written = true;
        });
        emit dataChanged(index, index);
        return written;
    }

    int IdColumn() const {
        db::Query* q = GetQuery();
        for (int i = 0; q && i < q->FieldCount(); ++i)
            if (q->Fields(i).FieldName() == "synonym_id")
                return i;
        return -1;
    }
};

namespace {

constexpr const char* kMailClient = "Default mail client";

QFormLayout* NewForm(QWidget* parent) {
    auto* form = new QFormLayout(parent);
    form->setLabelAlignment(Qt::AlignLeft);
    return form;
}

widgets::DBMemo* AddMemo(QWidget* parent, QVBoxLayout* column, const QString& caption,
                         widgets::DataSource* source, const char* field) {
    column->addWidget(new QLabel(caption, parent));
    auto* memo = new widgets::DBMemo(parent);
    memo->setObjectName(field);
    memo->SetDataSource(source);
    memo->SetDataField(field);
    column->addWidget(memo);
    return memo;
}

}  // namespace

TfrmOptions::TfrmOptions(QWidget* owner) : FormDialog(owner), dsConfig(&qConfig) {
    setObjectName("frmOptions");
    setWindowTitle("Options");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    PageControl1 = widgets::NewPageControl(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->addTab(BuildEmailTab(), "email options");
    PageControl1->addTab(BuildPrintoutsTab(), "Printouts");
    PageControl1->addTab(BuildSynonymTab(), "Local language equivalents");
    PageControl1->addTab(BuildRemindersTab(), "Reminders");
    PageControl1->addTab(BuildPathsTab(), "Paths");
    PageControl1->addTab(BuildCustomFieldsTab(), "Custom customer fields");
    PageControl1->setCurrentIndex(0);
    layout->addWidget(PageControl1);

    QHBoxLayout* buttons = NewOkCancelRow(this, btnOK, btnCancel);
    layout->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &TfrmOptions::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOptions::btnCancelClick);

    FontDialog1 = new QFontDialog(this);
    FontDialog1->setObjectName("FontDialog1");
    FontDialog1->setOption(QFontDialog::DontUseNativeDialog);
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setDefaultSuffix("mdb");
    OpenDialog1->setNameFilter("Database files (*.dat)");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setSizeGripEnabled(true);

    setFixedSize(685, 446);
    FormCreate();
}

TfrmOptions::~TfrmOptions() = default;

QWidget* TfrmOptions::BuildEmailTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* top = NewForm(nullptr);
    cbMailSender = new widgets::DBComboBox(page);
    cbMailSender->setObjectName("cbMailSender");
    cbMailSender->SetItems({kMailClient, "SMTP server"});
    cbMailSender->SetDataSource(&dsConfig);
    cbMailSender->SetDataField("config_emailsender");
    top->addRow("email sending mechanism: ", cbMailSender);
    column->addLayout(top);
    connect(cbMailSender, &QComboBox::textActivated, this, &TfrmOptions::cbMailSenderChange);
    if (QLineEdit* typed = cbMailSender->lineEdit())
        connect(typed, &QLineEdit::textEdited, this, &TfrmOptions::cbMailSenderChange);

    gbSMTP = new QGroupBox("SMTP Settings", page);
    gbSMTP->setObjectName("gbSMTP");
    auto* smtp = NewForm(gbSMTP);
    edSmtpServer = AddDataEdit(gbSMTP, smtp, "SMTP server name: ", &dsConfig, "config_smtpserver");
    edSmtpUser = AddDataEdit(gbSMTP, smtp, "SMTP user: ", &dsConfig, "config_smtpuser");
    edSmtpPwd = AddDataEdit(gbSMTP, smtp, "SMTP password:", &dsConfig, "config_smtppwd");
    edSmtpPort = AddDataEdit(gbSMTP, smtp, "SMTP port:", &dsConfig, "config_smtpport");
    column->addWidget(gbSMTP);
    column->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildPrintoutsTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* top = NewForm(nullptr);
    cbMinusSymbol = new widgets::DBComboBox(page);
    cbMinusSymbol->setObjectName("config_minussymbol");
    cbMinusSymbol->SetItems({"(", "-"});
    cbMinusSymbol->SetDataSource(&dsConfig);
    cbMinusSymbol->SetDataField("config_minussymbol");
    top->addRow("Negative number indicator: ", cbMinusSymbol);
    column->addLayout(top);

    auto* font = new QHBoxLayout;
    btnReportFont = new QPushButton("&Printout font", page);
    btnReportFont->setObjectName("btnReportFont");
    btnReportFont->setAutoDefault(false);
    connect(btnReportFont, &QPushButton::clicked, this, &TfrmOptions::btnReportFontClick);
    lblReportFont = new widgets::DBText(page);
    lblReportFont->setObjectName("config_reportfont");
    QFont bold = lblReportFont->font();
    bold.setBold(true);
    lblReportFont->setFont(bold);
    lblReportFont->SetDataSource(&dsConfig);
    lblReportFont->SetDataField("config_reportfont");
    font->addWidget(btnReportFont);
    font->addWidget(lblReportFont, 1);
    column->addLayout(font);

    mmQuoteMesg = AddMemo(page, column, "Quotation message", &dsConfig, "config_quotemesg");
    mmInvoiceMesg = AddMemo(page, column, "Invoice message", &dsConfig, "config_invoicemesg");
    mmOrderMesg = AddMemo(page, column, "Order message", &dsConfig, "config_ordermesg");
    return page;
}

QWidget* TfrmOptions::BuildSynonymTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    grdSynonym = new QTableView(page);
    grdSynonym->setObjectName("grdSynonym");
    grdSynonym->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdSynonym->setSelectionMode(QAbstractItemView::SingleSelection);
    grdSynonym->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdSynonym->verticalHeader()->hide();
    column->addWidget(grdSynonym);
    return page;
}

QWidget* TfrmOptions::BuildRemindersTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* form = NewForm(nullptr);
    edRemindDays =
        AddDataEdit(page, form, "Default reminder days: ", &dsConfig, "config_reminddays");
    column->addLayout(form);
    column->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildPathsTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    btnMDB = new QPushButton("Database location", page);
    btnMDB->setObjectName("btnMDB");
    btnMDB->setAutoDefault(false);
    connect(btnMDB, &QPushButton::clicked, this, &TfrmOptions::btnMDBClick);
    lblDbPath = new widgets::DBText(page);
    lblDbPath->setObjectName("config_dbpath");
    lblDbPath->SetDataSource(&dsConfig);
    lblDbPath->SetDataField("config_dbpath");
    row->addWidget(btnMDB);
    row->addWidget(lblDbPath, 1);
    column->addLayout(row);
    column->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildCustomFieldsTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* note = new QLabel(
        "Please enter the field labels for the custom fields you want to "
        "capture for your customers: ",
        page);
    note->setWordWrap(true);
    column->addWidget(note);
    auto* form = NewForm(nullptr);
    static const char* const columns[] = {"config_entityf1", "config_entityf2", "config_entityf3",
                                          "config_entityf4", "config_entityf5"};
    for (std::size_t i = 0; i < edEntityField.size(); ++i)
        edEntityField[i] = AddDataEdit(page, form, QString("Custom field label %1: ").arg(i + 1),
                                       &dsConfig, columns[i]);
    column->addLayout(form);
    column->addStretch();
    return page;
}

void TfrmOptions::FormCreate() {
    widgets::Centre(*this);
    DataMod->openQuery(DataMod->localConn, qConfig, "TfrmOptions.FormCreate",
                       "select * from config");
    DataMod->openQuery(DataMod->repConn, qSynonym, "TfrmOptions.FormCreate",
                       "select * from synonym");
    synonymModel_ = new SynonymModel(&qSynonym, grdSynonym);
    grdSynonym->setModel(synonymModel_);
    if (const int id = synonymModel_->IdColumn(); id >= 0)
        grdSynonym->setColumnHidden(id, true);
    const QFontMetrics metrics(grdSynonym->font());
    for (int i = 0; i < qSynonym.FieldCount(); ++i) {
        const std::string name = qSynonym.Fields(i).FieldName();
        if (name == "synonym_term")
            synonymModel_->SetTitle(i, "English term");
        else if (name == "synonym_local")
            synonymModel_->SetTitle(i, "Term in your language");
        else
            continue;
        grdSynonym->setColumnWidth(i, metrics.horizontalAdvance('0') * 40);
    }
    // The dataset's cursor follows the grid: leaving a row posts its edit.
    connect(grdSynonym->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && qSynonym.Active() && current.row() + 1 != qSynonym.RecNo())
                    RunGuarded("TfrmOptions.qSynonym",
                               [&] { qSynonym.SetRecNo(current.row() + 1); });
            });
    qSynonym.OnDataChange([this](db::DataEvent event, const db::Field*) {
        if (event == db::DataEvent::StateChanged && qSynonym.State() == db::DataSetState::dsInsert)
            qSynonymAfterInsert();
    });
}

void TfrmOptions::qSynonymAfterInsert() {
    qSynonym.Cancel();
}

void TfrmOptions::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    // FormShow: every control edits the settings row directly.
    if (qConfig.Active() && !qConfig.Editing())
        RunGuarded("TfrmOptions.FormShow", [this] { qConfig.Edit(); });
}

void TfrmOptions::btnOKClick() {
    close();
}

void TfrmOptions::btnCancelClick() {
    qConfig.Cancel();
    close();
}

void TfrmOptions::btnReportFontClick() {
    if (!qConfig.Active())
        return;
    FontDialog1->setCurrentFont(
        QFont(QString::fromStdString(qConfig.FieldByName("config_reportfont").AsString())));
    if (FontDialog1->exec() != QDialog::Accepted)
        return;
    // The face name only: size, style and colour are not kept.
    const std::string face = FontDialog1->selectedFont().family().toStdString();
    RunGuarded("TfrmOptions.btnReportFontClick", [&] {
        qConfig.Edit();
        qConfig.FieldByName("config_reportfont").SetAsString(face);
    });
}

void TfrmOptions::btnMDBClick() {
    if (!qConfig.Active())
        return;
    OpenDialog1->selectFile(
        QString::fromStdString(qConfig.FieldByName("config_dbpath").AsString()));
    if (!widgets::RunFileDialog(*OpenDialog1))
        return;
    const std::string path = OpenDialog1->selectedFiles().first().toStdString();
    RunGuarded("TfrmOptions.btnMDBClick", [&] {
        qConfig.Edit();
        qConfig.FieldByName("config_dbpath").SetAsString(path);
    });
}

void TfrmOptions::cbMailSenderChange(const QString& text) {
    gbSMTP->setEnabled(text != kMailClient);
}

bool TfrmOptions::FormClose() {
    if (ended_)
        return true;
    // A synonym edit still pending in the current row is given up, whichever way the window
    // closes.
    synonymModel_->accepting = false;
    qSynonym.Cancel();
    if (!qConfig.Active() || !qConfig.Editing())
        return true;
    try {
        qConfig.Post();  // writes the value typed last as well
    } catch (const std::exception& e) {
        LogError("TfrmOptions.FormClose", e.what(), "");
        synonymModel_->accepting = true;
        return false;
    }
    ui::ShowMessage(widgets::HandleOf(this),
                    "Zelmar will now exit to make sure changes are applied. Please reload your "
                    "application after it exits.",
                    "Notification", ui::Icon::Information);
    ended_ = true;
    // The program ends without the main window's shutdown, but no database stays open.
    qConfig.Close();
    qSynonym.Close();
    for (db::Connection* conn : {&DataMod->zlmConn, &DataMod->localConn, &DataMod->repConn})
        RunGuarded("TfrmOptions.FormClose", [conn] { conn->Close(); });
    endProgram();
    return true;
}

}  // namespace zl
