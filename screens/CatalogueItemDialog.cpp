#include "screens/CatalogueItemDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "screens/DialogSupport.h"
#include "widgets/QtPlatform.h"

namespace zl {

namespace {

constexpr int kBillRate = 21;
constexpr int kAssemblyLine = 25;
constexpr int kBillableImage = 29;
// Quantities are never negative; the upper bound only keeps the column a plain number.
constexpr double kMaxQuantity = 9e99;

}  // namespace

CatalogueItemDialog::CatalogueItemDialog(const CatalogueKind& kind, QWidget* owner)
    : FormDialog(owner), DimensionId(kind.dimension), kind_(kind) {
    setObjectName(kind.objectName);
    setWindowTitle(kind.caption);
    qEdit.SetFieldRange("billable_minqty", 0, kMaxQuantity);
    qEdit.SetFieldRange("billable_maxqty", 0, kMaxQuantity);

    auto* details = new QWidget(this);
    details->setObjectName("details");
    auto* form = new QFormLayout;
    for (const CatalogueColumn& c : kind.columns) {
        auto* edit = new widgets::DBEdit(details);
        edit->setObjectName(c.column);
        edit->SetFloatFormat(c.shownFormat, c.editedFormat);
        edit->SetDataSource(&dstEdit);
        edit->SetDataField(c.column);
        form->addRow(c.label, edit);
    }
    labList = new QLabel(kind.listHeading, details);
    labList->setObjectName("labList");
    QFont bold = labList->font();
    bold.setBold(true);
    labList->setFont(bold);
    auto* firstList = new TchildFrame(details);
    if (kind.rates) {
        rateFrame = firstList;
        rateFrame->setObjectName("rateFrame");
    } else {
        compFrame = firstList;
        compFrame->setObjectName("compFrame");
    }
    auto* detailsLayout = new QVBoxLayout(details);
    detailsLayout->addLayout(form);
    detailsLayout->addWidget(labList);
    detailsLayout->addWidget(firstList, 1);

    btnOK = new QPushButton(kind.okCaption, this);
    btnOK->setObjectName("btnOK");
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    connect(btnCancel, &QPushButton::clicked, this,
            [this] { RunGuarded(Tag("btnCancelClick"), [this] { btnCancelClick(); }); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    if (kind.detailsTab) {
        PageControl1 = widgets::NewPageControl(this);
        PageControl1->setObjectName("PageControl1");
        PageControl1->addTab(details, kind.detailsTab);
        if (kind.imagesTab) {
            imageFrame = new TchildFrame;
            imageFrame->setObjectName("imageFrame");
            PageControl1->addTab(imageFrame, kind.imagesTab);
        }
        layout->addWidget(PageControl1, 1);
    } else {
        detailsLayout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(details, 1);
    }
    layout->addLayout(buttons);
    resize(720, 600);
    widgets::Centre(*this);
}

CatalogueItemDialog::~CatalogueItemDialog() = default;

std::string CatalogueItemDialog::Tag(const char* handler) const {
    return std::string(kind_.className) + "." + handler;
}

void CatalogueItemDialog::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    // A window restored from the task bar is the same showing.
    if (!event->spontaneous())
        RunGuarded(Tag("FormShow"), [this] { FormShow(); });
}

void CatalogueItemDialog::FormShow() {
    itemId_ = 0;
    cancelConfirmed_ = false;
    const std::string tag = Tag("FormShow");
    DimensionTable* items = Dimensions->Require(kind_.dimension, tag);
    DimensionTable* lines = Dimensions->Require(kind_.rates ? kBillRate : kAssemblyLine, tag);
    DimensionTable* images = imageFrame ? Dimensions->Require(kBillableImage, tag) : nullptr;
    if (!items || !lines || (imageFrame && !images)) {
        adapter_.Close();
        return;
    }
    Editor = std::make_unique<EditForm>(adapter_, *items, qEdit);
    // No item (deleted meanwhile, or a new one could not be stored): the user has been told and
    // the dialog is closing; no list is opened and nothing is written.
    if (!Editor->HasRecord() || !Editor->PostNew())
        return;
    itemId_ = qEdit.FieldByName("billable_id").AsInteger();
    if (kind_.rates) {
        frmBillRate = std::make_unique<TfrmBillRate>(this);
        rateFrame->Setup(qRate, lines, frmBillRate.get());
        rateFrame->setParentID(itemId_);
    } else {
        frmAssemblyItem = std::make_unique<TfrmAssemblyItem>(this);
        compFrame->Setup(qItem, lines, frmAssemblyItem.get());
        compFrame->setParentID(itemId_);
    }
    if (images) {
        frmBillableImage = std::make_unique<TfrmBillableImage>(this);
        imageFrame->Setup(qImage, images, frmBillableImage.get());
        imageFrame->setParentID(itemId_);
    }
}

void CatalogueItemDialog::btnCancelClick() {
    if (Editor && Editor->handleCancel(widgets::HandleOf(this))) {
        cancelConfirmed_ = true;
        close();
    }
}

bool CatalogueItemDialog::EnsureRate() {
    if (rateFrame->recordCount() > 0)
        return true;
    // The frame stores the new rate before its dialog opens; a failure it has reported.
    rateFrame->btnAddClick();
    return rateFrame->recordCount() > 0;
}

bool CatalogueItemDialog::CloseItem() {
    if (!Editor || !Editor->HasRecord())
        return true;
    const bool cancelled = cancelConfirmed_ || Editor->GetCancelled();
    if (kind_.rates && !cancelled) {
        // What was typed goes in first: a refused value keeps the dialog open (the control has
        // said why) before any rate is asked for.
        if (qEdit.Editing()) {
            try {
                qEdit.UpdateRecord();
            } catch (const db::RangeError&) {
                return false;
            }
        }
        if (!EnsureRate())
            return false;
    }
    // False: the save failed and the user kept the changes.
    return Editor->handleClose();
}

bool CatalogueItemDialog::FormClose() {
    bool mayClose = true;
    RunGuarded(Tag("FormClose"), [this, &mayClose] { mayClose = CloseItem(); });
    if (!mayClose)
        return false;
    Editor.reset();
    for (TchildFrame* frame : {rateFrame, compFrame, imageFrame})
        if (frame)
            frame->closeTables();
    itemId_ = 0;
    return true;
}

}  // namespace zl
