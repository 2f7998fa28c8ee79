// The system user dialog: a user's details and the groups the user belongs to.
#pragma once

#include <memory>

#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QListWidget;
class QPushButton;
class QTabWidget;

namespace zl {

class TfrmSysUser : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmSysUser(QWidget* owner = nullptr);
    ~TfrmSysUser() override;

    db::Query qEdit;
    db::Query qLink;
    db::Query qGroup;
    widgets::DataSource dstEdit{&qEdit};
    const int DimensionId = 4;

    QTabWidget* PageControl1;
    widgets::DBEdit* edLogin;
    widgets::DBEdit* edPassword;
    QListWidget* cbGroup;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    void openTables();
    void popGroups();
    bool saveGroups(int userId);
    void btnCancelClick();
    // False, after asking for a value, when the edit is empty or holds a new row's placeholder.
    bool RequireRealValue(widgets::DBEdit* edit);

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> Editor;
};

}  // namespace zl
