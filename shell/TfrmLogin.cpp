#include "shell/TfrmLogin.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/Passwords.h"
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
    ShowAsPassword(edPwd);
    grid->addWidget(edPwd, 1, 1);
    QHBoxLayout* buttons = NewOkCancelRow(this, btnOK, btnCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    connect(btnOK, &QPushButton::clicked, this, &TfrmLogin::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmLogin::btnCancelClick);

    waitBeforeCheck = [this](int seconds, std::function<void()> check) {
        QTimer::singleShot(seconds * 1000, this, std::move(check));
    };
    passwordMatches = PasswordMatches;

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
    const std::string typedPassword = edPwd->text().toStdString();
    const int seconds = LoginDelaySeconds(failuresInARow_);
    if (seconds == 0) {
        CheckLogin(typedUser, typedPassword);
        return;
    }
    // Guessing is slowed down, never stopped: the try is checked once the wait is over.
    btnOK->setEnabled(false);
    setCursor(Qt::BusyCursor);
    waitBeforeCheck(seconds, [this, typedUser, typedPassword] {
        btnOK->setEnabled(true);
        unsetCursor();
        if (isVisible())  // not cancelled meanwhile
            CheckLogin(typedUser, typedPassword);
    });
}

void TfrmLogin::CheckLogin(const std::string& typedUser, const std::string& typedPassword) {
    // Only system users log in; the typed name is bound, never part of the SQL text, and
    // compared whole and without regard to letter case. The password is checked against what
    // is stored (a hash, or a password kept in clear from before) here, never in SQL.
    const bool opened =
        DataMod->openQuery(DataMod->zlmConn, qLogin, "TfrmLogin.btnOKClick",
                           "select * from entity where dimension_id=4 and lcase(entity_username)=?",
                           {db::ToLowerUtf8(typedUser)});
    if (!opened)
        return;  // the data module has told the user
    bool matched = false;
    try {
        bool hashChecked = false;
        for (qLogin.First(); !matched && !qLogin.Eof();) {
            const std::string stored = qLogin.FieldByName("entity_pwd").AsString();
            hashChecked = hashChecked || IsPasswordHash(stored);
            matched = passwordMatches(typedPassword, stored);
            if (!matched)
                qLogin.Next();
        }
        // An unknown name (or a password kept in clear) is refused after the same work as a
        // wrong password, so the time taken does not tell which names exist.
        if (!matched && !hashChecked)
            passwordMatches(typedPassword, kNobodysPasswordHash);
    } catch (const std::exception& e) {
        qLogin.Close();
        LogError("TfrmLogin.btnOKClick", e.what(), "");
        return;
    }
    if (!matched) {
        qLogin.Close();
        ++failuresInARow_;
        DataMod->logEvent("Login failed", typedUser, 0, 0);
        ui::ShowMessage(widgets::HandleOf(this),
                        "Incorrect user name or password. Please try again.", "Login failed",
                        ui::Icon::Information);
        return;
    }
    failuresInARow_ = 0;
    loginOk = true;
    CurUserId = qLogin.FieldByName("entity_id").AsInteger();
    CurUserName = qLogin.FieldByName("entity_username").AsString();
    StoreHashOfClearPassword(typedPassword);
    qLogin.Close();
    DataMod->logEvent("Login", typedUser, 0, 0);
    accept();
}

void TfrmLogin::StoreHashOfClearPassword(const std::string& typedPassword) {
    try {
        if (IsPasswordHash(qLogin.FieldByName("entity_pwd").AsString()))
            return;
        // It matched, so its hash is the hash of what was typed.
        const std::string hash = HashPassword(typedPassword);
        qLogin.Edit();
        qLogin.FieldByName("entity_pwd").SetAsString(hash);
        qLogin.Post();
    } catch (const std::exception& e) {
        // The login stands; the password stays in clear until the next login stores it.
        if (qLogin.Editing())
            qLogin.Cancel();
        LogError("TfrmLogin.btnOKClick", e.what(), "");
    }
}

void TfrmLogin::btnCancelClick() {
    ui::ShowMessage(widgets::HandleOf(this), "Login was cancelled. Zelmar will now exit.",
                    "Login failed", ui::Icon::Information);
    reject();
}

}  // namespace zl
