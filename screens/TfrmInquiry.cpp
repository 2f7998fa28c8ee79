#include "screens/TfrmInquiry.h"

#include "core/Globals.h"

namespace zl {

TfrmInquiry::TfrmInquiry(QWidget* parent) : HubWindow("Inquiry processes", InquiryOpen, parent) {}

}  // namespace zl
