#include "screens/RecordDialog.h"

#include <QPushButton>
#include <QShowEvent>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/DialogSupport.h"

namespace zl {

RecordDialog::RecordDialog(QWidget* owner, std::string className, int dimensionId, int detailKind)
    : FormDialog(owner),
      DimensionId(dimensionId),
      className_(std::move(className)),
      detailKind_(detailKind) {}

RecordDialog::~RecordDialog() = default;

void RecordDialog::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    if (event->spontaneous())
        return;
    RunGuarded(Tag("FormShow"), [this] {
        try {
            FormShow();
        } catch (...) {
            adapter_.Close();
            throw;
        }
    });
}

void RecordDialog::OpenRecord(const std::string& tag) {
    ShowStarting();
    widgets::Centre(*this);
    DimensionTable* records = Dimensions->Require(DimensionId, tag);
    DimensionTable* details = detailKind_ ? Dimensions->Require(detailKind_, tag) : nullptr;
    if (!records || (detailKind_ && !details) || !MayOpen(*records)) {
        adapter_.Close();
        return;
    }
    OpeningRecord();
    editForm_ = std::make_unique<EditForm>(adapter_, *records, qEdit);
    if (editForm_->HasRecord())
        RecordOpened(*records, details);
}

QPushButton* RecordDialog::NewCancelButton() {
    return zl::NewCancelButton(this, Tag("btnCancelClick"), [this] { btnCancelClick(); });
}

void RecordDialog::btnCancelClick() {
    CancelEdit(editForm_.get(), this);
}

bool RecordDialog::FormClose() {
    if (!editForm_)
        return true;
    bool mayClose = false;
    RunGuarded(Tag("FormClose"), [this, &mayClose] {
        mayClose = BeforeSave() && editForm_->handleClose() && AfterSave();
    });
    if (!mayClose)
        return false;
    editForm_.reset();
    RunGuarded(Tag("FormClose"), [this] { RecordClosed(); });
    return true;
}

}  // namespace zl
