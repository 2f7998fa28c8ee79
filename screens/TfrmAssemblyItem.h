// One line of an assembly's bill of material: a new line chooses its kind and picks the
// service, component or assembly it names; an existing line is edited by hand.
#pragma once

#include <QTimer>
#include <memory>
#include <string>

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmLookup;
class TfrmSelItemType;

class TfrmAssemblyItem : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmAssemblyItem(QWidget* owner = nullptr);
    ~TfrmAssemblyItem() override;

    // The start-up work, run once just after the dialog shows.
    void Timer1Timer();
    void setService();
    void setComponent();
    void setAssembly();

    db::Query qItem;
    widgets::DataSource dsItem{&qItem};
    widgets::DBEdit* DBEdit1;
    widgets::DBEdit* DBEdit2;
    widgets::DBEdit* DBEdit3;
    QPushButton* btnOK;
    QTimer* Timer1;
    std::unique_ptr<TfrmLookup> frmLookup;
    std::unique_ptr<TfrmSelItemType> frmSelItemType;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    // Picks an item of the kind into the line; false when the line was abandoned.
    bool SetItem(int lookupDimension, const std::string& linkColumn);

    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
