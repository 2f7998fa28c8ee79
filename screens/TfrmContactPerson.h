// The contact person dialog: one contact person of a customer, saved whichever way it closes.
#pragma once

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

namespace zl {

class TfrmContactPerson : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmContactPerson(QWidget* owner = nullptr);

    db::Query qEntity;
    widgets::DataSource dsEntity{&qEntity};
    QPushButton* btnOK;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    widgets::WidgetDialog adapter_{*this};
};

// entity_fullname := entity_name + " " + entity_first + " " + entity_title, both blanks always.
// False, with nothing written and the user told in the words of `dialog`, when the full name
// would not fit its column.
bool SetFullName(QWidget* dialog, db::Query& entity);

}  // namespace zl
