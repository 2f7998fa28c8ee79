#include "screens/TfrmEditInquiry.h"

namespace zl {

TfrmEditInquiry::TfrmEditInquiry(QWidget* owner) : widgets::FormDialog(owner) {
    setObjectName("frmEditInquiry");
}

TfrmEditInquiry::~TfrmEditInquiry() = default;

}  // namespace zl
