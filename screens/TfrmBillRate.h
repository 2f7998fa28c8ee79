// One dated selling and cost rate of a service or component: a new rate continues the item's
// latest period, and the selling rate follows from cost and mark-up when the mark-up is left.
#pragma once

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TdtFrame;

class TfrmBillRate : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmBillRate(QWidget* owner = nullptr);

    // selling := cost x (markup / 100 + 1).
    void DBEdit2Exit();
    // The period of a new rate: from the end of the item's latest period, or today, for a year.
    void proposePeriod();

    db::Query qEdit;
    widgets::DataSource dsRate{&qEdit};
    TdtFrame* dtFrame1;
    TdtFrame* dtFrame2;
    widgets::DBEdit* DBEdit1;
    widgets::DBEdit* DBEdit2;
    widgets::DBEdit* DBEdit3;
    QPushButton* btnOK;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormShow();

    int DimensionId = 0;
    bool closing_ = false;
    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
