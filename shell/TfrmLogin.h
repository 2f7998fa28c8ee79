// The login dialog: identifies the user at start-up and on "Log in again".
#pragma once

#include <QDialog>

#include "platform/db/Query.h"

class QLineEdit;
class QPushButton;

namespace zl {

class TfrmLogin : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmLogin(QWidget* owner = nullptr);
    // Shows the dialog modally; true when a user logged in.
    bool loginDialogExecute();

    QLineEdit* edUser;
    QLineEdit* edPwd;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void btnOKClick();
    void btnCancelClick();

    db::Query qLogin;
    bool loginOk = false;
};

}  // namespace zl
