#include "shell/TfrmLogin.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/db/Unicode.h"
#include "platform/ui/Prompter.h"
#include "screens/DialogSupport.h"
#include "widgets/QtPlatform.h"

namespace zl {

TfrmLogin::TfrmLogin(QWidget* owner) : QDialog(owner) {
    setWindowTitle("Log in");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("User name: ", this), 0, 0);
    edUser = new QLineEdit(this);
    edUser->setObjectName("edUser");
    edUser->setToolTip("Enter your user name here");
    grid->addWidget(edUser, 0, 1);
    grid->addWidget(new QLabel("Password: ", this), 1, 0);
    edPwd = new QLineEdit(this);
    edPwd->setObjectName("edPwd");
    edPwd->setToolTip("Enter your password here");
    edPwd->setEchoMode(QLineEdit::Password);
    grid->addWidget(edPwd, 1, 1);
    QHBoxLayout* buttons = NewOkCancelRow(this, btnOK, btnCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    connect(btnOK, &QPushButton::clicked, this, &TfrmLogin::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmLogin::btnCancelClick);

    // FormCreate
    edUser->setText("System");
    edPwd->setText("velkran");
    resize(257, 116);
    setFixedSize(sizeHint().expandedTo(QSize(257, 116)));
    widgets::Centre(*this);
}

bool TfrmLogin::loginDialogExecute() {
    loginOk = false;
    exec();
    return loginOk;
}

void TfrmLogin::keyPressEvent(QKeyEvent* event) {
    // Escape does not cancel the login: only the Cancel button or the close box do.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmLogin::btnOKClick() {
    const std::string typedUser = edUser->text().toStdString();
    // Only system users log in; the typed values are bound, never part of the SQL text, and
    // compared whole and without regard to letter case.
    const bool opened = DataMod->openQuery(
        DataMod->zlmConn, qLogin, "TfrmLogin.btnOKClick",
        "select * from entity where dimension_id=4 and lcase(entity_username)=? and "
        "lcase(entity_pwd)=?",
        {db::ToLowerUtf8(typedUser), db::ToLowerUtf8(edPwd->text().toStdString())});
    if (!opened)
        return;  // the data module has told the user
    if (qLogin.IsEmpty()) {
        DataMod->logEvent("Login failed", typedUser, 0, 0);
        ui::ShowMessage(widgets::HandleOf(this),
                        "Incorrect user name or password. Please try again.", "Login failed",
                        ui::Icon::Information);
        return;
    }
    loginOk = true;
    CurUserId = qLogin.FieldByName("entity_id").AsInteger();
    CurUserName = qLogin.FieldByName("entity_username").AsString();
    qLogin.Close();
    DataMod->logEvent("Login", typedUser, 0, 0);
    accept();
}

void TfrmLogin::btnCancelClick() {
    ui::ShowMessage(widgets::HandleOf(this), "Login was cancelled. Zelmar will now exit.",
                    "Login failed", ui::Icon::Information);
    reject();
}

}  // namespace zl
