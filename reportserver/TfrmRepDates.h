// The period of a report or chart: a from date and a to date. OK never confirms a from date
// later than the to date; the window's close box confirms the dates as they stand.
#pragma once

#include <string>

#include "platform/format/Format.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"

class QLabel;
class QPushButton;

namespace zl::reportserver {

class TfrmRepDates : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmRepDates(QWidget* owner = nullptr);

    // The last 30 days unless the user changes them; false when the user cancelled.
    bool execute(format::TDateTime& from, format::TDateTime& to);
    // The last 365 days, returned as year-month texts "yyyyMM"; false when cancelled.
    bool execute2(std::string& from, std::string& to);
    // When the from date is later than the to date: says so, puts the from date on the day
    // before the to date and gives false.
    bool validate();

    QLabel* Label1;
    QLabel* Label2;
    widgets::DateEdit* dtFrom;
    widgets::DateEdit* dtTo;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    bool FormClose() override;

  private:
    bool run(int daysBack);
    void btnOKClick();
    void btnCancelClick();
    void takeValues();

    bool accepted = true;
    // From the close on: the picker that loses the focus as the window goes checks nothing.
    bool closed_ = false;
    // While the warning is up: the picker that gets the focus back must not warn again.
    bool warning_ = false;
    format::TDateTime fromValue_ = 0;
    format::TDateTime toValue_ = 0;
};

}  // namespace zl::reportserver
