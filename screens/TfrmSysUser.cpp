#include "screens/TfrmSysUser.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "core/Passwords.h"
#include "core/Rights.h"
#include "screens/DialogSupport.h"
#include "screens/TfrmContactPerson.h"
#include "screens/TfrmUserGroup.h"
#include "widgets/QtPlatform.h"

namespace zl {

namespace {
constexpr int kSysUsers = 4;
// The text default of a new row's text columns.
constexpr const char* kNoValue = "[no value]";
}  // namespace

TfrmSysUser::TfrmSysUser(QWidget* owner) : RecordDialog(owner, "TfrmSysUser", kSysUsers) {
    setObjectName("frmSysUser");
    setWindowTitle("System user");
    PageControl1 = widgets::NewPageControl(this);
    PageControl1->setObjectName("PageControl1");

    auto* details = new QWidget;
    auto* form = new QFormLayout(details);
    edLogin = AddDataEdit(details, form, "Login name: ", &dstEdit, "entity_username");
    edPassword = AddDataEdit(details, form, "Password: ", &dstEdit, "entity_pwd");
    ShowAsPassword(edPassword);
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
    btnCancel = NewCancelButton();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel));
    resize(520, 560);
}

TfrmSysUser::~TfrmSysUser() = default;

bool TfrmSysUser::MayOpen(DimensionTable& users) {
    const bool ownRow = users.GetEditMode() == DimensionTable::EditRecord && CurUserId > 0 &&
                        users.GetRecordId() == CurUserId;
    ownPasswordOnly_ = false;
    if (!ownRow)
        return MayChangeUsers(widgets::HandleOf(this));
    // The own row opens either way; the right is asked once.
    ownPasswordOnly_ = !DataMod->checkRight(CurUserId, kChangeSettingsRight);
    return true;
}

void TfrmSysUser::RecordOpened(DimensionTable& /*users*/, DimensionTable* /*details*/) {
    for (auto* edit : findChildren<widgets::DBEdit*>())
        edit->setReadOnly(ownPasswordOnly_ && edit != edPassword);
    cbGroup->setEnabled(!ownPasswordOnly_);
    const int userId = qEdit.FieldByName("entity_id").AsInteger();
    storedPassword_ = qEdit.FieldByName("entity_pwd").AsString();
    madeHash_.clear();
    passwordChanged_ = false;
    DataMod->openQuery(DataMod->zlmConn, qGroup, "TfrmSysUser.openTables",
                       "select * from brwUserGroup");
    DataMod->openQuery(DataMod->zlmConn, qLink, "TfrmSysUser.openTables",
                       "select * from group_user_link where sys_user_id=" + std::to_string(userId));
    FillCheckList(*cbGroup, qGroup, "Name", "entity_id", qLink, "user_group_id");
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

bool TfrmSysUser::BeforeSave() {
    if (!editForm_->HasRecord() || editForm_->GetCancelled() || !qEdit.Editing())
        return true;
    if (!RequireRealValue(edLogin) || !RequireRealValue(edPassword))
        return false;
    if (!SetFullName(this, qEdit))
        return false;
    HashNewPassword();
    return true;
}

void TfrmSysUser::HashNewPassword() {
    db::Field& password = qEdit.FieldByName("entity_pwd");
    const std::string text = password.AsString();
    // Until a new password is typed the field holds a hash, which is never hashed again.
    const bool typed = text != storedPassword_ && text != madeHash_;
    if (typed || !IsPasswordHash(text)) {
        madeHash_ = HashPassword(text);
        password.SetAsString(madeHash_);
    }
    passwordChanged_ = passwordChanged_ || typed;
}

bool TfrmSysUser::AfterSave() {
    if (RecordSaved() && passwordChanged_)
        DataMod->logEvent("Password changed", qEdit.FieldByName("entity_username").AsString(),
                          qEdit.FieldByName("entity_id").AsInteger(), kSysUsers);
    // The user is stored first; the memberships are written only once the user is there, and
    // never by a user who may change no more than his password.
    if (RecordSaved() && !ownPasswordOnly_)
        ApplyLinkChanges(
            {"group_user_link", "group_user_link_id", "sys_user_id", "user_group_id",
             qEdit.FieldByName("entity_id").AsInteger(), CheckedIds(*cbGroup, qGroup, "entity_id"),
             LinkedIds(qLink, "user_group_id"), "Group membership changed",
             qEdit.FieldByName("entity_username").AsString(), kSysUsers},
            "TfrmSysUser.saveGroups");
    return true;
}

void TfrmSysUser::RecordClosed() {
    qGroup.Close();
    qLink.Close();
}

}  // namespace zl
