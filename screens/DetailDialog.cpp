#include "screens/DetailDialog.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/DateAdjuster.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "frames/TfrmLookup.h"
#include "screens/TfrmCustEdit.h"
#include "screens/TfrmSelItemType.h"

namespace zl {

namespace {

constexpr int kCustomers = 1;
constexpr int kContactPersons = 17;
constexpr int kDocumentLines = 24;
constexpr int kPeriodDays = 365;

}  // namespace

DimensionTable* OpenHandedRecord(db::Query& q, int dimension, const std::string& table,
                                 const std::string& keyColumn, ui::Dialog& form,
                                 const std::string& tag) {
    DimensionTable* kind = Dimensions->Require(dimension, tag);
    if (!kind) {
        form.Close();
        return nullptr;
    }
    if (!OpenRecordToEdit(q, table, keyColumn, kind->GetRecordId(), form, tag))
        return nullptr;
    return kind;
}

bool SaveAndCloseRecord(db::Query& q, QWidget* dialog, const std::string& tag) {
    if (SaveRecord(q, widgets::HandleOf(dialog), tag) == SaveOutcome::KeepOpen)
        return false;
    q.Close();
    return true;
}

void DropAbandonedLine(QWidget& dialog, db::Query& line, int dimension) {
    line.Cancel();
    if (DimensionTable* lines = Dimensions->Find(dimension))
        lines->Delete(line, widgets::HandleOf(&dialog));
    dialog.close();
}

void ProposeRatePeriod(db::Query& rate, const std::string& table, const std::string& parentColumn,
                       const std::string& fromColumn, const std::string& toColumn) {
    // The parent the rate belongs to is the one the row was stored under.
    const int parent = rate.FieldByName(parentColumn).AsInteger();
    DateAdjuster adjuster;
    adjuster.prevDates(table, toColumn, parentColumn, parent, rate, fromColumn, toColumn,
                       kPeriodDays);
}

bool RanGuarded(const std::string& tag, const std::function<void()>& step, RefusedEntry refused) {
    bool done = false;
    RunGuarded(
        tag,
        [&step, &done] {
            step();
            done = true;
        },
        refused);
    return done;
}

void OnClickGuarded(QAbstractButton* button, std::string tag, std::function<void()> handler,
                    RefusedEntry refused) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [tag = std::move(tag), handler = std::move(handler), refused] {
                         RunGuarded(tag, handler, refused);
                     });
}

widgets::DBEdit* AddNamedEdit(QWidget* parent, QFormLayout* form, const char* name,
                              const QString& label, widgets::DataSource* source,
                              const char* column) {
    widgets::DBEdit* edit = AddDataEdit(parent, form, label, source, column);
    edit->setObjectName(name);
    return edit;
}

widgets::DBMemo* AddDataMemo(QWidget* parent, QFormLayout* form, const char* name,
                             const QString& label, widgets::DataSource* source, const char* column,
                             int maxHeight) {
    auto* memo = new widgets::DBMemo(parent);
    memo->setObjectName(name);
    memo->SetDataSource(source);
    memo->SetDataField(column);
    if (maxHeight > 0)
        memo->setMaximumHeight(maxHeight);
    form->addRow(label, memo);
    return memo;
}

widgets::DBLookupComboBox* AddLookupCombo(QWidget* parent, QFormLayout* form, const char* name,
                                          const QString& label, db::Query* list, const char* key,
                                          const char* shown, widgets::DataSource* source,
                                          const char* column) {
    auto* combo = new widgets::DBLookupComboBox(parent);
    combo->setObjectName(name);
    combo->SetListSource(list, key, shown);
    combo->SetDataSource(source);
    combo->SetDataField(column);
    form->addRow(label, combo);
    return combo;
}

TdtFrame* AddDateFrame(QWidget* parent, QFormLayout* form, const char* name, const QString& label) {
    auto* frame = new TdtFrame(parent);
    frame->setObjectName(name);
    form->addRow(label, frame);
    return frame;
}

widgets::DBText* NewFileText(QWidget* parent, widgets::DataSource* source, const char* column) {
    auto* text = new widgets::DBText(parent);
    text->setObjectName("txtFile");
    text->SetDataSource(source);
    text->SetDataField(column);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return text;
}

QPushButton* NewOKButton(QWidget* dialog) {
    auto* button = new QPushButton("&OK", dialog);
    button->setObjectName("btnOK");
    button->setDefault(true);
    return button;
}

QVBoxLayout* LayOutForm(QWidget* dialog, QFormLayout* form, QPushButton* ok) {
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(ok, 0, Qt::AlignRight);
    return layout;
}

QPushButton* NewButton(QWidget* dialog, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, dialog);
    button->setObjectName(name);
    return button;
}

void LayOutWithList(QWidget* dialog, QFormLayout* form, QLabel* label, QWidget* list,
                    std::initializer_list<QPushButton*> tools,
                    std::initializer_list<QPushButton*> closers) {
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : tools)
        if (b)
            buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : closers)
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
}

QFileDialog* NewOpenDialog(QWidget* dialog) {
    auto* chooser = new QFileDialog(dialog);
    chooser->setObjectName("OpenDialog1");
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setOption(QFileDialog::DontUseNativeDialog);
    return chooser;
}

std::string ChooseFile(QFileDialog* chooser) {
    if (chooser->exec() != QDialog::Accepted || chooser->selectedFiles().isEmpty())
        return "";
    return QFileInfo(chooser->selectedFiles().first()).absoluteFilePath().toStdString();
}

void CancelEdit(EditForm* editForm, QWidget* dialog) {
    if (editForm && editForm->handleCancel(widgets::HandleOf(dialog)))
        dialog->close();
}

bool FinishEdit(std::unique_ptr<EditForm>& editForm, const std::string& tag, RefusedEntry refused) {
    bool mayClose = true;
    RunGuarded(
        tag, [&editForm, &mayClose] { mayClose = !editForm || editForm->handleClose(); }, refused);
    if (mayClose)
        editForm.reset();
    return mayClose;
}

BorrowedCustomerKinds::BorrowedCustomerKinds()
    : customers(Dimensions->Find(kCustomers)), persons(Dimensions->Find(kContactPersons)) {}

int ShowRowCustomer(QWidget* owner, db::Query& q, const std::string& tag) {
    if (!q.Active())
        return 0;
    const int customer = q.FieldByName("customer_id").AsInteger();
    if (customer <= 0)
        return 0;
    DimensionTable* customers = Dimensions->Require(kCustomers, tag);
    if (!customers)
        return 0;
    BorrowedCustomerKinds borrowed;
    customers->SetRecordId(customer);
    customers->SetEditMode(DimensionTable::EditRecord);
    TfrmCustEdit frmCustEdit(owner);
    frmCustEdit.exec();
    return customer;
}

LineItemDialog::LineItemDialog(QWidget* owner) : FormDialog(owner) {
    Timer1 = NewSetUpTimer(this, 1);
}

LineItemDialog::~LineItemDialog() = default;

void LineItemDialog::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    closing_ = false;
    Timer1->start();
}

bool LineItemDialog::OpenLine(db::Query& line, int dimension, const std::string& table,
                              const std::string& keyColumn, const std::string& tag) {
    DimensionTable* lines = OpenHandedRecord(line, dimension, table, keyColumn, adapter_, tag);
    // A line that is gone has been reported and the dialog is closing; an existing line is
    // edited by hand.
    if (!lines || lines->GetEditMode() != DimensionTable::Add)
        return false;
    frmSelItemType = std::make_unique<TfrmSelItemType>(this);
    return true;
}

bool LineItemDialog::SaveLine(db::Query& line, const std::string& tag) {
    closing_ = true;
    if (!SaveAndCloseRecord(line, this, tag)) {
        closing_ = false;
        return false;
    }
    return true;
}

const LineItemKind* PickNewLineItem(QWidget& dialog, db::Query& line, BillRate& rates,
                                    TfrmSelItemType& chooser, TfrmLookup& lookup) {
    static const LineItemKind kinds[] = {
        {0, 14, "service_id", false},
        {1, 10, "component_id", false},
        {2, 11, "assembly_id", true},
    };
    const int type = chooser.selectItemType();
    const LineItemKind& kind = kinds[type >= 0 && type <= 2 ? type : 1];
    const int id = lookup.lookupExecute(kind.lookupDimension, false);
    if (id <= 0) {
        DropAbandonedLine(dialog, line, kDocumentLines);
        return nullptr;
    }
    line.FieldByName("doc_item_billtype").SetAsInteger(kind.type);
    line.FieldByName("doc_item_descr").SetAsString(lookup.strValue("billable_descr"));
    line.FieldByName("doc_item_code").SetAsString(lookup.strValue("billable_code"));
    rates.SetItemID(id);
    line.FieldByName(kind.linkColumn).SetAsInteger(id);
    line.FieldByName("doc_item_rate")
        .SetAsFloat(kind.assembly ? rates.getAssemblyRate() : rates.getRate());
    return &kind;
}

bool RecomputeLineTotal(db::Query& line, BillRate& rates,
                        std::initializer_list<widgets::DBEdit*> edits) {
    if (line.State() != db::DataSetState::dsEdit)
        return false;
    // What was typed reaches the record first.
    for (widgets::DBEdit* e : edits)
        if (!e->UpdateRecord())
            return false;
    rates.CalcItemTotal(line);
    return true;
}

}  // namespace zl
