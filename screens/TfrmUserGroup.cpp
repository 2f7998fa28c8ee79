#include "screens/TfrmUserGroup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <iterator>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/Rights.h"
#include "platform/db/Connection.h"
#include "screens/DialogSupport.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

constexpr int kUserGroups = 3;

}  // namespace

bool ApplyLinkChanges(const LinkRewrite& links, const std::string& tag) {
    // Only what was ticked or unticked in this dialog changes: another administrator may have
    // granted or revoked other links since the dialog read them, and those stay as stored.
    std::vector<int> before = links.storedIds, after = links.otherIds;
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    std::vector<int> added, removed;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(removed));
    if (added.empty() && removed.empty())
        return true;
    const int firstKey = added.empty() ? 0 : DataMod->nextIDs(static_cast<int>(added.size()));
    if (!added.empty() && firstKey == 0)
        return false;  // the counter has said why; the stored links stay as they were
    const std::string owner = links.ownerColumn + "=" + std::to_string(links.ownerId);
    std::string error;
    bool stored = false;
    try {
        db::Transaction transaction(DataMod->zlmConn);
        for (int other : removed)
            DataMod->zlmConn.Execute("delete from " + links.table + " where " + owner + " and " +
                                     links.otherColumn + "=" + std::to_string(other));
        // A link granted meanwhile by someone else is not written twice.
        for (std::size_t i = 0; i < added.size(); ++i)
            DataMod->zlmConn.Execute(
                "insert into " + links.table + "(" + links.keyColumn + ", " + links.ownerColumn +
                ", " + links.otherColumn + ") select " +
                std::to_string(firstKey + static_cast<int>(i)) + "," +
                std::to_string(links.ownerId) + "," + std::to_string(added[i]) +
                " where not exists (select 1 from " + links.table + " where " + owner + " and " +
                links.otherColumn + "=" + std::to_string(added[i]) + ")");
        transaction.Commit();
        stored = true;
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (stored) {
        if (!links.auditEvent.empty())
            DataMod->logEvent(links.auditEvent, links.ownerName, links.ownerId,
                              links.ownerDimension);
        return true;
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

std::vector<int> LinkedIds(db::Query& links, const std::string& column) {
    std::vector<int> ids;
    if (links.Active())
        for (links.First(); !links.Eof(); links.Next())
            ids.push_back(links.FieldByName(column).AsInteger());
    return ids;
}

void FillCheckList(QListWidget& list, db::Query& items, const std::string& textColumn,
                   const std::string& idColumn, db::Query& links, const std::string& linkColumn) {
    list.clear();
    if (!items.Active())
        return;
    const std::vector<int> linked = LinkedIds(links, linkColumn);
    for (items.First(); !items.Eof(); items.Next()) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(items.FieldByName(textColumn).AsString()), &list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const int id = items.FieldByName(idColumn).AsInteger();
        const bool held = std::find(linked.begin(), linked.end(), id) != linked.end();
        item->setCheckState(held ? Qt::Checked : Qt::Unchecked);
    }
}

TfrmUserGroup::TfrmUserGroup(QWidget* owner) : RecordDialog(owner, "TfrmUserGroup", kUserGroups) {
    setObjectName("frmUserGroup");
    setWindowTitle("User Group");
    PageControl1 = widgets::NewPageControl(this);
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
    btnCancel = NewCancelButton();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel));
    resize(480, 400);
}

TfrmUserGroup::~TfrmUserGroup() = default;

bool TfrmUserGroup::MayOpen(DimensionTable& /*groups*/) {
    return MayChangeUsers(widgets::HandleOf(this));
}

void TfrmUserGroup::RecordOpened(DimensionTable& /*groups*/, DimensionTable* /*details*/) {
    const int groupId = qEdit.FieldByName("entity_id").AsInteger();
    DataMod->openQuery(DataMod->zlmConn, qLink, "TfrmUserGroup.openTables",
                       "select * from group_right where user_group_id=" + std::to_string(groupId));
    DataMod->openQuery(DataMod->zlmConn, qSysOp, "TfrmUserGroup.openTables",
                       "select * from sys_op");
    FillCheckList(*cbSysOp, qSysOp, "sys_op_descr", "sys_op_id", qLink, "sys_op_id");
}

bool TfrmUserGroup::AfterSave() {
    // The group is stored first; its rights are written only once it is there.
    if (RecordSaved())
        ApplyLinkChanges(
            {"group_right", "group_right_id", "user_group_id", "sys_op_id",
             qEdit.FieldByName("entity_id").AsInteger(), CheckedIds(*cbSysOp, qSysOp, "sys_op_id"),
             LinkedIds(qLink, "sys_op_id"), "Group rights changed",
             qEdit.FieldByName("entity_name").AsString(), kUserGroups},
            "TfrmUserGroup.saveSysOp");
    return true;
}

void TfrmUserGroup::RecordClosed() {
    qLink.Close();
    qSysOp.Close();
}

}  // namespace zl
