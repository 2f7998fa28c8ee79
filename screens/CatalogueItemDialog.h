// The one design of the service, component and assembly dialogs: a catalogue item of billable
// with its dated rates, its images or its lines in detail lists. A new item is stored as the
// dialog opens, so that its detail rows can refer to its key at once; a service or component
// leaves with at least one rate. TfrmService, TfrmComponent and TfrmAssembly only say which
// kind they are.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "core/EditForm.h"
#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmAssemblyItem.h"
#include "screens/TfrmBillRate.h"
#include "screens/TfrmBillableImage.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace zl {

// One edit of a billable column.
struct CatalogueColumn {
    const char* column;
    const char* label;
    const char* shownFormat;   // "" shows the stored value as it is
    const char* editedFormat;  // "" edits in the shown form
};

// What tells the three catalogue dialogs apart.
struct CatalogueKind {
    const char* className;  // the start of every log tag
    const char* objectName;
    const char* caption;
    int dimension;
    std::span<const CatalogueColumn> columns;
    const char* detailsTab;  // nullptr: the columns stand directly on the dialog
    const char* listHeading;
    bool rates;             // the rate list and its rule; otherwise the assembly's lines
    const char* imagesTab;  // nullptr: the kind has no images
    const char* okCaption;
};

class CatalogueItemDialog : public widgets::FormDialog {
    Q_OBJECT
  public:
    ~CatalogueItemDialog() override;

    // The item of this showing; 0 when there is none ("There is no record to edit").
    int ItemId() const { return itemId_; }

    const int DimensionId;
    db::Query qEdit;
    db::Query qRate;
    db::Query qImage;
    db::Query qItem;
    widgets::DataSource dstEdit{&qEdit};

    QTabWidget* PageControl1 = nullptr;  // components and assemblies
    QLabel* labList;
    TchildFrame* rateFrame = nullptr;   // services and components
    TchildFrame* compFrame = nullptr;   // assemblies
    TchildFrame* imageFrame = nullptr;  // components and assemblies
    QPushButton* btnOK;
    QPushButton* btnCancel;
    // The detail dialogs of the current showing (new ones on every show).
    std::unique_ptr<TfrmBillRate> frmBillRate;
    std::unique_ptr<TfrmBillableImage> frmBillableImage;
    std::unique_ptr<TfrmAssemblyItem> frmAssemblyItem;

  protected:
    CatalogueItemDialog(const CatalogueKind& kind, QWidget* owner);
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    void btnCancelClick();
    // Whether the item may go: refused values, the rate rule and the save. Its tidy-up is
    // FormClose's.
    bool CloseItem();
    // Gives the item its first rate when it has none; false when it still has none.
    bool EnsureRate();
    std::string Tag(const char* handler) const;

    const CatalogueKind& kind_;
    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> Editor;
    int itemId_ = 0;
    // The user agreed to Cancel: nothing more is asked for, a rate included.
    bool cancelConfirmed_ = false;
};

}  // namespace zl
