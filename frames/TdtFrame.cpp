#include "frames/TdtFrame.h"

#include "widgets/DataControls.h"

namespace zl {

TdtFrame::TdtFrame(QWidget* parent) : QWidget(parent) {
    setObjectName("dtFrame");
    resize(195, 22);
    dtPicker = new widgets::DBDateEdit(this);
    dtPicker->setObjectName("dtPicker");
}

void TdtFrame::bindField(db::Query& query, const std::string& column) {
    dtPicker->setGeometry(0, 0, width(), dtPicker->sizeHint().height());
    setFixedHeight(dtPicker->height());
    dtPicker->BindField(query, column);
}

}  // namespace zl
