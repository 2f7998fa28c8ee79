#include "frames/TchildFrame.h"

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

#include "core/BillRate.h"
#include "core/DataMod.h"
#include "core/DimensionTable.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/JetDialect.h"
#include "platform/format/Format.h"
#include "widgets/DBGrid.h"
#include "widgets/QtPlatform.h"

namespace zl {

TchildFrame::TchildFrame(QWidget* parent) : QWidget(parent) {
    setObjectName("TchildFrame");
    DBGrid1 = new widgets::DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->SetStriped(true);
    DBGrid1->SetFloatsRight(true);

    buttonPanel = new QWidget(this);
    buttonPanel->setObjectName("buttonPanel");
    auto* row = new QHBoxLayout(buttonPanel);
    row->setContentsMargins(0, 0, 0, 0);
    ToolBar1 = new QToolBar(buttonPanel);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(24, 24));
    auto button = [this](const char* name, const char* hint, const char* icon,
                         QStyle::StandardPixmap fallback, void (TchildFrame::*handler)()) {
        auto* a = new QAction(QIcon::fromTheme(icon, style()->standardIcon(fallback)), "", this);
        a->setObjectName(name);
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, handler);
        ToolBar1->addAction(a);
        ToolBar1->widgetForAction(a)->setObjectName(name);
        return a;
    };
    btnAdd = button("btnAdd", "Add a new record", "list-add", QStyle::SP_FileIcon,
                    &TchildFrame::btnAddClick);
    btnEdit = button("btnEdit", "Edit an existing record", "document-properties",
                     QStyle::SP_FileDialogDetailedView, &TchildFrame::btnEditClick);
    btnDelete = button("btnDelete", "Delete an existing record", "edit-delete",
                       QStyle::SP_TrashIcon, &TchildFrame::btnDeleteClick);
    ToolBar1->addSeparator();
    // A double-click on a line opens it as the edit button does.
    connect(DBGrid1, &widgets::DBGrid::GridDoubleClicked, this, &TchildFrame::btnEditClick);
    row->addWidget(ToolBar1);
    row->addStretch();
    totalPanel = new QWidget(buttonPanel);
    totalPanel->setObjectName("totalPanel");
    auto* total = new QHBoxLayout(totalPanel);
    total->addWidget(new QLabel("Total:", totalPanel));
    labTotal = new QLabel(totalPanel);
    labTotal->setObjectName("labTotal");
    labTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = labTotal->font();
    bold.setBold(true);
    labTotal->setFont(bold);
    total->addWidget(labTotal);
    row->addWidget(totalPanel);
    totalPanel->hide();  // the document dialogs show it

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(buttonPanel);
}

void TchildFrame::Setup(db::Query& list, DimensionTable* dim, QDialog* dialog) {
    dimTable = dim;
    editForm = dialog;
    DBGrid1->SetDataSet(&list);
    listQuery = &list;
    // A kind the database lacks has been reported at start-up: the list stays empty and idle.
    setEnabled(dimTable != nullptr);
    if (!dimTable)
        return;
    parentField = dimTable->DimString("dimension_parentfield");
    // Only the columns are needed: new rows are appended to an empty set.
    DataMod->openQuery(
        DataMod->zlmConn, qEdit, "TChildFrame.Setup",
        "select * from " + db::QuoteName(dimTable->DimString("dimension_table")) + " where 1=0");
    dimTable->SetupGrid(*listQuery, *DBGrid1);
}

void TchildFrame::setParentID(int id) {
    if (!dimTable)
        return;
    parentID = id;
    dimTable->SetParentId(id);
    Reopen();
}

void TchildFrame::Reopen() {
    try {
        // A list that cannot be read (already reported) offers nothing but Add.
        const bool opened = DataMod->OpenByField(*listQuery, dimTable->DimString("dimension_query"),
                                                 parentID, "TChildFrame.Reopen", parentField);
        dimTable->SetupGrid(*listQuery, *DBGrid1);
        const bool empty = !opened || listQuery->IsEmpty();
        btnEdit->setEnabled(!empty);
        btnDelete->setEnabled(!empty);
        btnAdd->setEnabled(true);
        if (!empty)
            DataMod->Seek(*listQuery, dimTable->DimString("dimension_idfield"),
                          dimTable->GetRecordId());
        showTotal(totalDocID);
    } catch (const std::exception& e) {
        LogError("TchildFrame.Reopen", e.what(), "");
    }
}

void TchildFrame::showTotal(int docId) {
    BillRate rates;
    labTotal->setText(QString::fromStdString(format::Format("%1.2f", rates.calcDocTotal(docId))));
}

void TchildFrame::closeTables() {
    qEdit.Close();
    if (listQuery)
        listQuery->Close();
}

int TchildFrame::recordCount() const {
    return listQuery ? listQuery->RecordCount() : 0;
}

void TchildFrame::btnAddClick() {
    if (!dimTable || !qEdit.Active())
        return;
    // Without a key there is no row and no dialog; Append has logged why.
    if (!DataMod->Append(qEdit, "TChildFrame.btnAddClick")) {
        if (qEdit.State() == db::DataSetState::dsInsert)
            qEdit.Cancel();
        ReportNewRecordFailed(widgets::HandleOf(this));
        return;
    }
    try {
        dimTable->SetRecordId(
            qEdit.FieldByName(dimTable->DimString("dimension_idfield")).AsInteger());
        qEdit.FieldByName("dimension_id").SetAsInteger(dimTable->GetDimensionId());
        qEdit.FieldByName(parentField).SetAsInteger(parentID);
        dimTable->appendDefaults(qEdit);
        editForm->setWindowTitle("Add new " +
                                 QString::fromStdString(dimTable->DimString("dimension_caption")));
        qEdit.Post();
    } catch (const std::exception& e) {
        // A row half built is dropped, and its dialog is not opened.
        if (qEdit.State() == db::DataSetState::dsInsert)
            qEdit.Cancel();
        LogError("TChildFrame.btnAddClick", e.what(), "");
        ReportNewRecordFailed(widgets::HandleOf(this));
        return;
    }
    {
        EditModeScope adding(*dimTable, DimensionTable::Add);
        editForm->exec();
    }
    Reopen();
}

void TchildFrame::btnEditClick() {
    if (!dimTable || !listQuery->Active() || listQuery->IsEmpty())
        return;
    dimTable->SetRecordId(
        listQuery->FieldByName(dimTable->DimString("dimension_idfield")).AsInteger());
    editForm->setWindowTitle("Edit existing " +
                             QString::fromStdString(dimTable->DimString("dimension_caption")));
    {
        EditModeScope editing(*dimTable, DimensionTable::EditRecord);
        editForm->exec();
    }
    Reopen();
}

void TchildFrame::btnDeleteClick() {
    if (!dimTable || !listQuery->Active() || listQuery->IsEmpty())
        return;
    if (!DataMod->checkRight(CurUserId, 3))
        return;
    dimTable->Delete(*listQuery, widgets::HandleOf(this));
    Reopen();
}

}  // namespace zl
