#include "frames/TBrowseFrame.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <stdexcept>

#include "core/DataMod.h"
#include "core/DimensionTable.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "core/Rights.h"
#include "platform/db/JetDialect.h"
#include "platform/ui/Prompter.h"
#include "widgets/DBGrid.h"
#include "widgets/ListFill.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

QIcon FrameIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget& w) {
    return QIcon::fromTheme(name, w.style()->standardIcon(fallback));
}

QWidget* LabelledPanel(const char* name, const QString& label, QWidget* field, QWidget* parent,
                       QLabel** labelOut = nullptr) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 0, 4, 0);
    auto* caption = new QLabel(label, panel);
    row->addWidget(caption);
    field->setParent(panel);
    row->addWidget(field);
    if (labelOut)
        *labelOut = caption;
    return panel;
}

}  // namespace

std::string OrderByClause(const std::string& column) {
    return " order by " + db::QuoteName(column);
}

TBrowseFrame::TBrowseFrame(QWidget* parent) : QWidget(parent) {
    setObjectName("TBrowseFrame");
    auto action = [this](const char* name, const char* caption, const char* hint, QIcon icon,
                         void (TBrowseFrame::*handler)()) {
        auto* a = new QAction(icon, caption, this);
        a->setObjectName(name);
        if (*hint)
            a->setToolTip(hint);
        if (handler)
            connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Add = action("Add", "&Add", "", FrameIcon("list-add", QStyle::SP_FileIcon, *this),
                 &TBrowseFrame::AddExecute);
    Edit = action("Edit", "&Edit", "Edit an existing record",
                  FrameIcon("document-properties", QStyle::SP_FileDialogDetailedView, *this),
                  &TBrowseFrame::EditExecute);
    Delete =
        action("Delete", "Delete", "Delete an existing record",
               FrameIcon("edit-delete", QStyle::SP_TrashIcon, *this), &TBrowseFrame::DeleteExecute);
    Find = action("Find", "Find", "", QIcon(), nullptr);
    Refresh = action("Refresh", "Refresh", "Refresh",
                     FrameIcon("view-refresh", QStyle::SP_BrowserReload, *this),
                     &TBrowseFrame::RefreshExecute);
    Print = action("Print", "&Print", "Print",
                   FrameIcon("document-print", QStyle::SP_DialogSaveButton, *this),
                   &TBrowseFrame::PrintExecute);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The print button has an action of its own: a tool bar shows or hides each button by its
    // action's visibility at every layout pass, and the context menu's Print must stay.
    printButton = new QAction(Print->icon(), Print->text(), this);
    printButton->setObjectName("printButton");
    printButton->setToolTip(Print->toolTip());
    connect(printButton, &QAction::triggered, Print, &QAction::trigger);
    const std::pair<QAction*, const char*> buttons[] = {{Add, "btnAdd"},
                                                        {Edit, "btnEdit"},
                                                        {Delete, "btnDelete"},
                                                        {Refresh, "btnRefresh"},
                                                        {printButton, "btnDoPrint"}};
    for (const auto& [a, name] : buttons) {
        ToolBar1->addAction(a);
        ToolBar1->widgetForAction(a)->setObjectName(name);
    }
    btnDoPrint = ToolBar1->widgetForAction(printButton);

    cbOrder = new QComboBox;
    cbOrder->setObjectName("cbOrder");
    cbOrder->setMinimumWidth(140);
    orderByPanel = LabelledPanel("orderByPanel", "Order by: ", cbOrder, ToolBar1);
    edFind = new QLineEdit;
    edFind->setObjectName("edFind");
    findPanel = LabelledPanel("findPanel", "Look for: ", edFind, ToolBar1);
    cbType = new QComboBox;
    cbType->setObjectName("cbType");
    cbType->setMinimumWidth(140);
    filterPanel = LabelledPanel("filterPanel", "[type]", cbType, ToolBar1, &labType);
    labType->setObjectName("labType");
    ToolBar1->addWidget(orderByPanel);
    ToolBar1->addWidget(findPanel);
    ToolBar1->addWidget(filterPanel);

    grdBrowse = new widgets::DBGrid(this);
    grdBrowse->setObjectName("grdBrowse");
    grdBrowse->setToolTip(
        "Press the INS or DEL keys to insert (add) a or delete a record, or use the buttons "
        "above to insert, edit, delete or refresh. To edit an existing record, double click on "
        "it.");
    grdBrowse->SetStriped(true);
    grdBrowse->SetFloatsRight(false);
    grdBrowse->SetDataSet(&qBrowse);
    grdBrowse->installEventFilter(this);
    grdBrowse->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    PopupMenu1->addAction(Add);
    PopupMenu1->addAction(Edit);
    PopupMenu1->addAction(Delete);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(Print);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(grdBrowse, 1);

    // The combos only ever hold their own entries, so no typed text reaches the SQL.
    connect(cbType, &QComboBox::activated, this, [this] { openTables(); });
    connect(cbOrder, &QComboBox::activated, this, [this] { openTables(); });
    connect(edFind, &QLineEdit::textEdited, this, &TBrowseFrame::edFindChanged);
    connect(grdBrowse, &widgets::DBGrid::GridDoubleClicked, this, [this] { EditExecute(); });
    connect(grdBrowse, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(grdBrowse->viewport()->mapToGlobal(at));
    });
    qBrowse.OnAfterScroll([this] { qBrowseAfterScroll(); });
    fill_ = std::make_unique<widgets::ListFill>(qBrowse, grdBrowse, "TBrowseFrame.openTables");
    fill_->SetFilled([this] { Filled(); });
    fill_->SetFailed([this] {
        if (dimTable)
            dimTable->SetRecordId(0);  // nothing listed, nothing current
    });
}

TBrowseFrame::~TBrowseFrame() = default;

void TBrowseFrame::bindDimension(DimensionTable* dim, QDialog* dialog, bool inBackground) {
    dimTable = dim;
    editForm = dialog;
    parentID = 0;
    // A kind the database lacks has been reported at start-up: the frame stays empty and idle.
    setEnabled(dimTable != nullptr);
    if (!dimTable)
        return;
    popType();
    setPrintButtonVisible(dimTable->DimInt("dimension_reportid") > 0);
    // The order list comes first, so that the list opens in the order it shows and never sorts
    // itself under the user later.
    popOrder();
    qBrowse.Close();
    openTables();
    if (!inBackground)
        FinishFill();
}

bool TBrowseFrame::Filling() const {
    return fill_->Pending();
}

void TBrowseFrame::FinishFill() {
    fill_->Finish();
}

void TBrowseFrame::setAfterFill(std::function<void()> afterFill) {
    afterFill_ = std::move(afterFill);
}

void TBrowseFrame::Filled() {
    if (!dimTable)
        return;
    if (qBrowse.HoldsAll()) {
        // On the record asked for when the rows were (or the user has moved to since), else on
        // the row the refresh kept.
        ShowListed(reopenOn_.value_or(dimTable->GetRecordId()));
        reopenOn_.reset();
    } else {
        // A first screen: it stands on its first row, and looking further would wait for the
        // rest.
        dimTable->SetupGrid(qBrowse, *grdBrowse);
    }
    // The record the user acts on is the one he sees highlighted.
    if (grdBrowse->currentIndex().isValid())
        grdBrowse->scrollTo(grdBrowse->currentIndex());
    if (afterFill_)
        afterFill_();
}

void TBrowseFrame::setPrintButtonVisible(bool visible) {
    printButton->setVisible(visible);
}

void TBrowseFrame::setPrintReport(int reportId) {
    printReport = reportId;
    setPrintButtonVisible(true);
}

void TBrowseFrame::setEditForm(QDialog* dialog) {
    editForm = dialog;
}

void TBrowseFrame::setChangeGate(ChangeGate gate) {
    changeGate_ = std::move(gate);
}

bool TBrowseFrame::MayChange(Change change, int key) {
    return !changeGate_ || changeGate_(change, key);
}

void TBrowseFrame::setParentID(int id) {
    if (!dimTable)
        return;
    parentID = id;
    dimTable->SetParentId(id);
    openTables();
}

void TBrowseFrame::popType() {
    typeIds.clear();
    const std::string typeTable = dimTable->DimString("type_table");
    if (typeTable.empty()) {
        cbType->hide();
        labType->hide();
        return;
    }
    typeIds.push_back(0);
    const std::string idField = dimTable->DimString("type_idfield");
    const std::string orderField = dimTable->DimString("type_orderfield");
    DataMod->openQuery(
        DataMod->zlmConn, qType, "TBrowseFrame.popType",
        "select * from " + db::QuoteName(typeTable) + " order by " + db::QuoteName(orderField));
    cbType->clear();
    cbType->addItem("[all]");
    const int initial = dimTable->DimInt("type_initialid");
    int selected = 0;
    if (qType.Active()) {
        for (qType.First(); !qType.Eof(); qType.Next()) {
            cbType->addItem(QString::fromStdString(qType.FieldByName(orderField).AsString()));
            typeIds.push_back(qType.FieldByName(idField).AsInteger());
            if (typeIds.back() == initial && selected == 0)
                selected = static_cast<int>(typeIds.size()) - 1;
        }
    }
    labType->setText(QString::fromStdString(dimTable->DimString("type_caption")) + ":");
    cbType->setCurrentIndex(selected);
}

void TBrowseFrame::popOrder() {
    cbOrder->clear();
    // The list's columns, from its statement read without rows. Should that fail, the list's
    // own read reports it and the list has no order.
    db::Query columns(&DataMod->zlmConn);
    columns.SetSQL("select * from " + db::QuoteName(dimTable->DimString("dimension_query")) +
                   " where false");
    try {
        columns.Open();
    } catch (const std::exception&) {
        return;
    }
    for (int i = 1; i < columns.FieldCount(); ++i) {
        const std::string& name = columns.Fields(i).FieldName();
        if (name == "dimension_id" || name == "parent_id" || name == "allow_delete" ||
            name.find("_id") != std::string::npos)
            continue;
        cbOrder->addItem(QString::fromStdString(name));
    }
    if (cbOrder->count() > 0)
        cbOrder->setCurrentIndex(0);
}

std::string TBrowseFrame::ListSQL() const {
    std::string sql =
        "select * from " + db::QuoteName(dimTable->DimString("dimension_query")) + " where true ";
    const std::string parentField = dimTable->DimString("dimension_parentfield");
    if (!parentField.empty())
        sql += " and " + db::QuoteName(parentField) + "=" + std::to_string(parentID);
    const int typeIndex = cbType->currentIndex();
    if (!dimTable->DimString("type_table").empty() && typeIndex >= 0 &&
        typeIndex < static_cast<int>(typeIds.size()) && typeIds[typeIndex] > 0)
        sql += " and " + db::QuoteName(dimTable->DimString("type_idfield")) + "=" +
               std::to_string(typeIds[typeIndex]);
    // Without a valid entry there is no order clause.
    if (cbOrder->count() > 0 && cbOrder->currentIndex() >= 0)
        sql += OrderByClause(cbOrder->currentText().toStdString());
    return sql;
}

void TBrowseFrame::openTables() {
    if (!dimTable)
        return;
    // Read on a worker, rows read for an earlier statement dropped; the list shows what it
    // shows until the rows arrive, and a read that fails is logged and leaves it so.
    fill_->Discard();
    reopenOn_ = dimTable->GetRecordId();
    fill_->Fill(DataMod->zlmConn, ListSQL());
}

void TBrowseFrame::ShowListed(int remembered) {
    dimTable->SetupGrid(qBrowse, *grdBrowse);
    // Just opened, the list stands on its first row.
    if (remembered == 0 && !qBrowse.IsEmpty())
        remembered = qBrowse.Fields(0).AsInteger();
    dimTable->SetRecordId(qBrowse.IsEmpty() ? 0 : remembered);
    const std::string keyField = dimTable->DimString("dimension_idfield");
    if (!qBrowse.IsEmpty() && !DataMod->Seek(qBrowse, keyField, dimTable->GetRecordId())) {
        // The remembered record is not listed (deleted, never saved or filtered out): the list
        // stands on its first row, as opened anew, and the current record is that row, so no
        // dependent list shows the children of a record that is not shown.
        qBrowse.First();
        qBrowseAfterScroll();
    }
}

void TBrowseFrame::qBrowseAfterScroll() {
    if (!dimTable)
        return;
    dimTable->SetRecordId(qBrowse.IsEmpty() ? 0 : CurrentKey());
    // The user moved while rows are read: they arrive on the row chosen.
    if (reopenOn_ && !fill_->Handing())
        reopenOn_ = dimTable->GetRecordId();
}

int TBrowseFrame::CurrentKey() {
    return qBrowse.FieldByName(dimTable->DimString("dimension_idfield")).AsInteger();
}

void TBrowseFrame::AddExecute() {
    // A hub may switch Add off (no parent to add to): the Insert key obeys it too.
    if (!dimTable || !editForm || !Add->isEnabled() || !MayChange(Change::Add, 0))
        return;
    editForm->setWindowTitle("Add new " +
                             QString::fromStdString(dimTable->DimString("dimension_caption")));
    {
        EditModeScope adding(*dimTable, DimensionTable::Add);
        editForm->exec();
    }
    openTables();
}

void TBrowseFrame::EditExecute() {
    if (!dimTable || !editForm)
        return;
    if (!qBrowse.Active() || qBrowse.IsEmpty()) {
        ui::ShowMessage(widgets::HandleOf(this), "There are no records to edit", "Cannot edit",
                        ui::Icon::Warning);
        return;
    }
    if (!MayChange(Change::Edit, CurrentKey()))
        return;
    dimTable->SetRecordId(CurrentKey());
    editForm->setWindowTitle("Edit existing " +
                             QString::fromStdString(dimTable->DimString("dimension_caption")));
    {
        EditModeScope editing(*dimTable, DimensionTable::EditRecord);
        editForm->exec();
    }
    openTables();
}

void TBrowseFrame::DeleteExecute() {
    if (!dimTable || !MayChange(Change::Delete, 0))
        return;
    if (!DataMod->checkRight(CurUserId, kReportsRight)) {
        ui::ShowMessage(widgets::HandleOf(this),
                        "You do not have system rights to delete a record. Please contact your "
                        "system administrator.",
                        "Access denied", ui::Icon::Warning);
        return;
    }
    // No rows replace the one the question is about while it is open.
    if (qBrowse.Active() &&
        fill_->WhileAsking([this] { return dimTable->Delete(qBrowse, widgets::HandleOf(this)); }))
        openTables();
}

void TBrowseFrame::RefreshExecute() {
    if (!dimTable)
        return;
    // The list as openTables builds it; the same statement over an unchanged file is not read.
    if (!qBrowse.Active() || fill_->Pending() || qBrowse.SQL() != ListSQL())
        openTables();
    else if (fill_->Refresh())
        reopenOn_ = dimTable->GetRecordId();
}

void TBrowseFrame::PrintExecute() {
    if (!dimTable || !qBrowse.Active() || qBrowse.IsEmpty())
        return;
    if (!MayViewReports(widgets::HandleOf(this)))
        return;
    const std::string file = DataMod->NewDocPath("rep", ".html");
    const int key = CurrentKey();
    if (!ReportServer)
        throw ReportServerError("The report server is not running.");
    const int report = printReport > 0 ? printReport : dimTable->DimInt("dimension_reportid");
    fill_->WhileAsking(
        [&] { ReportServer->ShowReport(report, CurBusUnitId, CurUserId, key, file); });
}

void TBrowseFrame::edFindChanged(const QString& text) {
    // The text as it now stands after any change; it is looked for, never put into SQL.
    if (!qBrowse.Active() || qBrowse.IsEmpty() || text.isEmpty())
        return;
    try {
        qBrowse.Locate(cbOrder->currentText().toStdString(), {text.toStdString()},
                       db::loCaseInsensitive | db::loPartialKey);
    } catch (...) {
        // A column that is not listed, or text that its type cannot hold: nothing found.
    }
}

bool TBrowseFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdBrowse && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            DeleteExecute();
            return true;
        }
        if (key == Qt::Key_Insert) {
            AddExecute();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zl
