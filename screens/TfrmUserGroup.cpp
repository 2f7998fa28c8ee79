#include "screens/TfrmUserGroup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/Connection.h"
#include "screens/DialogSupport.h"

namespace zl {

bool RewriteLinks(const LinkRewrite& links, const std::string& tag) {
    std::vector<int> keys;
    for (std::size_t i = 0; i < links.otherIds.size(); ++i) {
        const int key = DataMod->nextID();
        if (key == 0)
            return false;  // the counter has said why; the stored links stay as they were
        keys.push_back(key);
    }
    std::string error;
    try {
        db::Transaction transaction(DataMod->zlmConn);
        DataMod->zlmConn.Execute("delete from " + links.table + " where " + links.ownerColumn +
                                 "=" + std::to_string(links.ownerId));
        for (std::size_t i = 0; i < keys.size(); ++i)
            DataMod->zlmConn.Execute("insert into " + links.table + "(" + links.keyColumn + ", " +
                                     links.ownerColumn + ", " + links.otherColumn + ") values(" +
                                     std::to_string(keys[i]) + "," + std::to_string(links.ownerId) +
                                     "," + std::to_string(links.otherIds[i]) + ")");
        transaction.Commit();
        return true;
    } catch (const std::exception& e) {
        error = e.what();
    }
    // Reported only now that the transaction has rolled back and released the database.
    LogError(tag, error, "");
    return false;
}

std::vector<int> CheckedIds(const QListWidget& list, db::Query& q, const std::string& column) {
    std::vector<int> ids;
    if (!q.Active())
        return ids;
    int i = 0;
    for (q.First(); !q.Eof() && i < list.count(); q.Next(), ++i) {
        if (list.item(i)->checkState() == Qt::Checked)
            ids.push_back(q.FieldByName(column).AsInteger());
    }
    return ids;
}

TfrmUserGroup::TfrmUserGroup(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmUserGroup");
    setWindowTitle("User Group");
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");

    auto* details = new QWidget;
    auto* form = new QFormLayout(details);
    edName = AddDataEdit(details, form, "User group name: ", &dstEdit, "entity_name");
    edCode = AddDataEdit(details, form, "User group code: ", &dstEdit, "entity_code");
    PageControl1->addTab(details, "Group details");

    cbSysOp = new QListWidget;
    cbSysOp->setObjectName("cbSysOp");
    PageControl1->addTab(cbSysOp, "Group rights");

    btnOK = NewSaveAndCloseButton(this);
    btnCancel = NewCancelButton(this, "TfrmUserGroup.btnCancelClick", [this] { btnCancelClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    resize(480, 400);
}

TfrmUserGroup::~TfrmUserGroup() = default;

void TfrmUserGroup::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmUserGroup.FormShow", [this] { FormShow(); });
}

void TfrmUserGroup::FormShow() {
    DimensionTable* groups = Dimensions->Require(DimensionId, "TfrmUserGroup.FormShow");
    if (!groups) {
        adapter_.Close();
        return;
    }
    Editor = std::make_unique<EditForm>(adapter_, *groups, qEdit);
    if (Editor->HasRecord())
        openTables();
}

void TfrmUserGroup::openTables() {
    const int groupId = qEdit.FieldByName("entity_id").AsInteger();
    DataMod->openQuery(DataMod->zlmConn, qLink, "TfrmUserGroup.openTables",
                       "select * from group_right where user_group_id=" + std::to_string(groupId));
    DataMod->openQuery(DataMod->zlmConn, qSysOp, "TfrmUserGroup.openTables",
                       "select * from sys_op");
    popSysOp();
}

void TfrmUserGroup::popSysOp() {
    cbSysOp->clear();
    if (!qSysOp.Active())
        return;
    std::vector<int> granted;
    if (qLink.Active())
        for (qLink.First(); !qLink.Eof(); qLink.Next())
            granted.push_back(qLink.FieldByName("sys_op_id").AsInteger());
    for (qSysOp.First(); !qSysOp.Eof(); qSysOp.Next()) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(qSysOp.FieldByName("sys_op_descr").AsString()), cbSysOp);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const int op = qSysOp.FieldByName("sys_op_id").AsInteger();
        const bool held = std::find(granted.begin(), granted.end(), op) != granted.end();
        item->setCheckState(held ? Qt::Checked : Qt::Unchecked);
    }
}

bool TfrmUserGroup::saveSysOp(int groupId) {
    LinkRewrite links{"group_right", "group_right_id", "user_group_id",
                      "sys_op_id",   groupId,          CheckedIds(*cbSysOp, qSysOp, "sys_op_id")};
    return RewriteLinks(links, "TfrmUserGroup.saveSysOp");
}

void TfrmUserGroup::btnCancelClick() {
    if (Editor && Editor->handleCancel(widgets::HandleOf(this)))
        close();
}

bool TfrmUserGroup::FormClose() {
    if (!Editor)
        return true;
    try {
        const bool hadRecord = Editor->HasRecord();
        const int groupId = hadRecord ? qEdit.FieldByName("entity_id").AsInteger() : 0;
        // The group is stored first; its rights are written only once it is there.
        if (!Editor->handleClose())
            return false;
        if (hadRecord && !Editor->GetCancelled())
            saveSysOp(groupId);
    } catch (const std::exception& e) {
        LogError("TfrmUserGroup.FormClose", e.what(), "");
    }
    Editor.reset();
    qLink.Close();
    qSysOp.Close();
    return true;
}

}  // namespace zl
