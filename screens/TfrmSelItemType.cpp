#include "screens/TfrmSelItemType.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/QtPlatform.h"

namespace zl {

TfrmSelItemType::TfrmSelItemType(QWidget* owner) : QDialog(owner) {
    setObjectName("frmSelItemType");
    setWindowTitle("Select the new item type");
    auto* group = new QGroupBox("Item type", this);
    auto* column = new QVBoxLayout(group);
    itemType = new QButtonGroup(this);
    const char* names[] = {"Service", "Component", "Assembly"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(names[i], group);
        itemType->addButton(button, i);
        column->addWidget(button);
    }
    itemType->button(0)->setChecked(true);
    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        result_ = itemType->checkedId();
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
    setMinimumWidth(260);
    adjustSize();
    widgets::FitTitle(*this);
    widgets::Centre(*this);
}

int TfrmSelItemType::selectItemType() {
    result_ = 1;
    exec();
    return result_;
}

}  // namespace zl
