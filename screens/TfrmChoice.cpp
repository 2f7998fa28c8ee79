#include "screens/TfrmChoice.h"

#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "screens/DetailDialog.h"

namespace zl {

namespace {

constexpr int kChoiceKind = 36;

}  // namespace

TfrmChoice::TfrmChoice(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmChoice");
    setWindowTitle("Question choice");
    auto* form = new QFormLayout;
    edText = AddDataEdit(this, form, "Choice text: ", &dsEdit, "choice_text");
    edText->setMinimumWidth(300);
    AddDataEdit(this, form, "Choice value: ", &dsEdit, "choice_value");
    edScore = new widgets::DBEdit(this);
    edScore->SetFloatFormat("0.00", "0.000");
    edScore->setObjectName("choice_score");
    edScore->SetDataSource(&dsEdit);
    edScore->SetDataField("choice_score");
    edScore->setAlignment(Qt::AlignRight);
    form->addRow("Choice score: ", edScore);
    choice_isdefault = new widgets::DBCheckBox(this);
    choice_isdefault->setObjectName("choice_isdefault");
    choice_isdefault->setText("This is the default choice");
    choice_isdefault->SetValueChecked("1");
    choice_isdefault->SetValueUnchecked("0");
    choice_isdefault->SetDataSource(&dsEdit);
    choice_isdefault->SetDataField("choice_isdefault");
    form->addRow("", choice_isdefault);

    btnOK = NewSaveAndCloseButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    LayOutForm(this, form, btnOK);
    adjustSize();
    widgets::Centre(*this);
}

void TfrmChoice::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmChoice.FormShow", [this] { FormShow(); });
}

void TfrmChoice::FormShow() {
    OpenHandedRecord(qEdit, kChoiceKind, "choice", "choice_id", adapter_, "TfrmChoice.FormShow");
}

bool TfrmChoice::FormClose() {
    bool mayClose = true;
    RunGuarded("TfrmChoice.FormClose", [this, &mayClose] {
        mayClose = SaveAndCloseRecord(qEdit, this, "TfrmChoice.FormClose");
    });
    return mayClose;
}

}  // namespace zl
