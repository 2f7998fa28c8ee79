// The chooser of a new document line's item type.
#pragma once

#include <QDialog>

class QButtonGroup;
class QPushButton;

namespace zl {

class TfrmSelItemType : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmSelItemType(QWidget* owner = nullptr);
    // 0 service, 1 component, 2 assembly; closing without "&OK" gives 1.
    int selectItemType();

    QButtonGroup* itemType;
    QPushButton* btnOK;

  private:
    int result_ = 1;
};

}  // namespace zl
