// The system user dialog: a user's details and the groups the user belongs to.
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "widgets/DataControls.h"

class QListWidget;
class QPushButton;
class QTabWidget;

namespace zl {

class TfrmSysUser : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmSysUser(QWidget* owner = nullptr);
    ~TfrmSysUser() override;

    db::Query qLink;
    db::Query qGroup;
    widgets::DataSource dstEdit{&qEdit};

    QTabWidget* PageControl1;
    widgets::DBEdit* edLogin;
    widgets::DBEdit* edPassword;
    QListWidget* cbGroup;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // True while a user without right 1 has his own row open: only the password may change.
    bool OwnPasswordOnly() const { return ownPasswordOnly_; }

  protected:
    bool MayOpen(DimensionTable& users) override;
    void RecordOpened(DimensionTable& users, DimensionTable* details) override;
    bool BeforeSave() override;
    bool AfterSave() override;
    void RecordClosed() override;

  private:
    // False, after asking for a value, when the edit is empty or holds a new row's placeholder.
    bool RequireRealValue(widgets::DBEdit* edit);

    // Puts the hash of a newly typed password (or of one still kept in clear) in place of the
    // text.
    void HashNewPassword();

    std::string storedPassword_;  // entity_pwd as read
    std::string madeHash_;        // the hash put in by a save that has not gone through
    bool passwordChanged_ = false;
    bool ownPasswordOnly_ = false;
};

}  // namespace zl
