// The login dialog: identifies the user at start-up and on "Log in again".
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <string_view>

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

    // After three failed tries in a row each try waits before it is checked: this runs `check`
    // once `seconds` have passed (a timer; tests put in their own). OK stays off meanwhile.
    std::function<void(int seconds, std::function<void()> check)> waitBeforeCheck;
    // Whether a typed password fits a stored value (PasswordMatches; tests count the checks).
    std::function<bool(std::string_view typed, std::string_view stored)> passwordMatches;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void btnOKClick();
    void btnCancelClick();
    void CheckLogin(const std::string& typedUser, const std::string& typedPassword);
    // Replaces the password of the current qLogin row by its hash when it is still in clear.
    void StoreHashOfClearPassword(const std::string& typedPassword);

    db::Query qLogin;
    bool loginOk = false;
    int failuresInARow_ = 0;
};

}  // namespace zl
