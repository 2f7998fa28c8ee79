#include "screens/TfrmCustType.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/DialogSupport.h"

namespace zl {
namespace {

constexpr int kCustomerTypes = 13;

}  // namespace

TfrmCustType::TfrmCustType(QWidget* owner) : RecordDialog(owner, "TfrmCustType", kCustomerTypes) {
    setObjectName("FormCustType");
    setWindowTitle("Customer");

    auto* form = new QFormLayout;
    DBEdit1 = AddDataEdit(this, form, "Customer type: ", &dsEdit, "customer_type_descr");
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setMinimumWidth(280);
    btnOK = NewSaveAndCloseButton(this);
    btnCancel = NewCancelButton();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel));
    adjustSize();
    widgets::Centre(*this);
}

TfrmCustType::~TfrmCustType() = default;

}  // namespace zl
