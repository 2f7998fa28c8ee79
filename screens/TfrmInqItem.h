// The inquiry-step dialog: one step of an inquiry process with its responsible user, status,
// due time, notes and the document file it refers to. It has no cancel: every close saves.
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFileDialog;
class QGroupBox;
class QPushButton;

namespace zl {

class TdtFrame;

class TfrmInqItem : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmInqItem(QWidget* owner = nullptr);
    ~TfrmInqItem() override;

    // The buttons' actions; each logs what it cannot handle under its own tag.
    void btnDocClick();
    void btnViewDocClick();

    db::Query qEdit;
    db::Query qStatus;
    db::Query qUser;
    widgets::DataSource dsEdit{&qEdit};

    widgets::DBText* txtDate;
    widgets::DBText* txtTime;
    TdtFrame* dtDue;
    widgets::DBEdit* edDueTime;
    widgets::DBEdit* edDescr;
    widgets::DBLookupComboBox* cbUser;
    widgets::DBMemo* edNotes;
    widgets::DBLookupComboBox* cbStatus;
    QGroupBox* grpDocument;
    widgets::DBText* txtFile;
    QPushButton* btnDoc;
    QPushButton* btnViewDoc;
    QPushButton* btnOK;
    QFileDialog* OpenDialog1;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();

    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
