// The pick dialog: lists the rows of any kind and returns the key of the row the user picked;
// for customers it can create a new one on the spot.
#pragma once

#include <functional>
#include <string>

#include "platform/db/Query.h"
#include "widgets/FormDialog.h"

class QPushButton;

namespace zl {

class DimensionTable;
namespace widgets {
class DBGrid;
}

class TfrmLookup : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmLookup(QWidget* owner = nullptr);

    // Runs the customer dialog to add one customer (the kind is in add mode meanwhile) and
    // returns the new customer's key, or 0 when it was cancelled or none was made. The screens
    // install it; until then "Create new customer" does nothing.
    using NewCustomerDialog = std::function<int(QWidget* owner)>;
    static void InstallNewCustomerDialog(NewCustomerDialog dialog);

    // The key of the picked row; 0 when cancelled; -1 when there is nothing to pick.
    int lookupExecute(int dimId, bool allowNew);
    // A column of the picked row, read again from the kind's table.
    std::string strValue(const std::string& column);
    // The same as a number; 0 (logged) for text that is not one.
    double numValue(const std::string& column);

    widgets::DBGrid* DBGrid1;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QPushButton* btnNewCust;
    db::Query qLookup;
    db::Query qValue;

  private:
    bool openLookup();
    void qLookupAfterScroll();
    void btnCancelClick();
    void btnNewCustClick();

    bool Accepted = true;
    DimensionTable* Dimension = nullptr;
    int PickedId = 0;
};

// Runs one pick with a dialog of its own.
int ShowLookup(int dimId, QWidget* owner, bool allowNew);

}  // namespace zl
