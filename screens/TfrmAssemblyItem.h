// One line of an assembly's bill of material: a new line chooses its kind and picks the
// service, component or assembly it names; an existing line is edited by hand.
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "screens/DetailDialog.h"
#include "widgets/DataControls.h"

namespace zl {

class TfrmAssemblyItem : public LineItemDialog {
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

  protected:
    bool FormClose() override;

  private:
    // Picks an item of the kind into the line; false when the line was abandoned.
    bool SetItem(int lookupDimension, const std::string& linkColumn);
};

}  // namespace zl
