#include "screens/TfrmCustType.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/DialogSupport.h"

namespace zl {
namespace {

constexpr int kCustomerTypes = 13;

}  // namespace

TfrmCustType::TfrmCustType(QWidget* owner) : FormDialog(owner) {
    setObjectName("FormCustType");
    setWindowTitle("Customer");
    DimensionId = kCustomerTypes;

    auto* form = new QFormLayout;
    DBEdit1 = AddDataEdit(this, form, "Customer type: ", &dsEdit, "customer_type_descr");
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setMinimumWidth(280);
    btnOK = NewSaveAndCloseButton(this);
    btnCancel = NewCancelButton(this, "TfrmCustType.btnCancelClick", [this] { btnCancelClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    adjustSize();
    widgets::Centre(*this);
}

TfrmCustType::~TfrmCustType() = default;

void TfrmCustType::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmCustType.FormShow", [this] {
        try {
            FormShow();
        } catch (...) {
            adapter_.Close();
            throw;
        }
    });
}

void TfrmCustType::FormShow() {
    widgets::Centre(*this);
    DimensionTable* types = Dimensions->Require(DimensionId, "TfrmCustType.FormShow");
    if (!types) {
        adapter_.Close();
        return;
    }
    editForm_ = std::make_unique<EditForm>(adapter_, *types, qEdit);
}

void TfrmCustType::btnCancelClick() {
    if (editForm_ && editForm_->handleCancel(widgets::HandleOf(this)))
        close();
}

bool TfrmCustType::FormClose() {
    if (!editForm_)
        return true;
    bool mayClose = false;
    RunGuarded("TfrmCustType.FormClose",
               [this, &mayClose] { mayClose = editForm_->handleClose(); });
    if (mayClose)
        editForm_.reset();
    return mayClose;
}

}  // namespace zl
