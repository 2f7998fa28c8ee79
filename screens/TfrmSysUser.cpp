#include "screens/TfrmSysUser.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <vector>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "screens/DialogSupport.h"
#include "screens/TfrmContactPerson.h"
#include "screens/TfrmUserGroup.h"

namespace zl {

namespace {
// The text default of a new row's text columns.
constexpr const char* kNoValue = "[no value]";
}  // namespace

TfrmSysUser::TfrmSysUser(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmSysUser");
    setWindowTitle("System user");
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");

    auto* details = new QWidget;
    auto* form = new QFormLayout(details);
    edLogin = AddDataEdit(details, form, "Login name: ", &dstEdit, "entity_username");
    edPassword = AddDataEdit(details, form, "Password: ", &dstEdit, "entity_pwd");
    const std::pair<const char*, const char*> fields[] = {
        {"First name: ", "entity_first"},     {"Last name / surname: ", "entity_name"},
        {"Initials: ", "entity_initials"},    {"Title: ", "entity_title"},
        {"Employee number: ", "entity_code"}, {"Department: ", "entity_department"},
        {"Email:", "entity_email"},           {"Office telephone: ", "entity_officetel"},
        {"Cellular phone: ", "entity_cell"},  {"Facsimile:", "entity_fax"},
    };
    for (const auto& [label, column] : fields)
        AddDataEdit(details, form, label, &dstEdit, column);
    PageControl1->addTab(details, "User details");

    auto* membership = new QWidget;
    auto* membershipLayout = new QVBoxLayout(membership);
    membershipLayout->addWidget(
        new QLabel("Please select the user groups to which this user belongs", membership));
    cbGroup = new QListWidget(membership);
    cbGroup->setObjectName("cbGroup");
    membershipLayout->addWidget(cbGroup);
    PageControl1->addTab(membership, "Group membership");

    btnOK = NewSaveAndCloseButton(this);
    btnCancel = NewCancelButton(this, "TfrmSysUser.btnCancelClick", [this] { btnCancelClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    resize(520, 560);
}

TfrmSysUser::~TfrmSysUser() = default;

void TfrmSysUser::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmSysUser.FormShow", [this] { FormShow(); });
}

void TfrmSysUser::FormShow() {
    DimensionTable* users = Dimensions->Require(DimensionId, "TfrmSysUser.FormShow");
    if (!users) {
        adapter_.Close();
        return;
    }
    Editor = std::make_unique<EditForm>(adapter_, *users, qEdit);
    if (Editor->HasRecord())
        openTables();
}

void TfrmSysUser::openTables() {
    const int userId = qEdit.FieldByName("entity_id").AsInteger();
    DataMod->openQuery(DataMod->zlmConn, qGroup, "TfrmSysUser.openTables",
                       "select * from brwUserGroup");
    DataMod->openQuery(DataMod->zlmConn, qLink, "TfrmSysUser.openTables",
                       "select * from group_user_link where sys_user_id=" + std::to_string(userId));
    popGroups();
}

void TfrmSysUser::popGroups() {
    cbGroup->clear();
    if (!qGroup.Active())
        return;
    std::vector<int> memberOf;
    if (qLink.Active())
        for (qLink.First(); !qLink.Eof(); qLink.Next())
            memberOf.push_back(qLink.FieldByName("user_group_id").AsInteger());
    for (qGroup.First(); !qGroup.Eof(); qGroup.Next()) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(qGroup.FieldByName("Name").AsString()), cbGroup);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const int group = qGroup.FieldByName("entity_id").AsInteger();
        const bool member = std::find(memberOf.begin(), memberOf.end(), group) != memberOf.end();
        item->setCheckState(member ? Qt::Checked : Qt::Unchecked);
    }
}

bool TfrmSysUser::saveGroups(int userId) {
    LinkRewrite links{"group_user_link",
                      "group_user_link_id",
                      "sys_user_id",
                      "user_group_id",
                      userId,
                      CheckedIds(*cbGroup, qGroup, "entity_id")};
    return RewriteLinks(links, "TfrmSysUser.saveGroups");
}

void TfrmSysUser::btnCancelClick() {
    if (Editor && Editor->handleCancel(widgets::HandleOf(this)))
        close();
}

bool TfrmSysUser::RequireRealValue(widgets::DBEdit* edit) {
    const QString text = edit->text();
    if (!text.isEmpty() && text != kNoValue)
        return true;
    ui::ShowMessage(widgets::HandleOf(this), "Please enter a value here", "No value",
                    ui::Icon::Warning);
    PageControl1->setCurrentIndex(0);
    edit->setFocus();
    return false;
}

bool TfrmSysUser::FormClose() {
    if (!Editor)
        return true;
    try {
        const bool hadRecord = Editor->HasRecord();
        const bool saving = hadRecord && !Editor->GetCancelled() && qEdit.Editing();
        if (saving && (!RequireRealValue(edLogin) || !RequireRealValue(edPassword)))
            return false;
        const int userId = hadRecord ? qEdit.FieldByName("entity_id").AsInteger() : 0;
        if (saving)
            SetFullName(qEdit);
        // The user is stored first; the memberships are written only once the user is there.
        if (!Editor->handleClose())
            return false;
        if (hadRecord && !Editor->GetCancelled())
            saveGroups(userId);
    } catch (const std::exception& e) {
        LogError("TfrmSysUser.FormClose", e.what(), "");
    }
    Editor.reset();
    qGroup.Close();
    qLink.Close();
    return true;
}

}  // namespace zl
