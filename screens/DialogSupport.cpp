#include "screens/DialogSupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"
#include "platform/db/Unicode.h"
#include "screens/TfrmCustEdit.h"

namespace zl {

namespace {

constexpr int kCustomers = 1;
constexpr int kContactPersons = 17;

}  // namespace

void RunGuarded(const std::string& tag, const std::function<void()>& step,
                RefusedEntry refused) noexcept {
    try {
        step();
    } catch (const db::RangeError& e) {
        if (refused == RefusedEntry::Report)
            LogError(tag, e.what(), "");
    } catch (const std::exception& e) {
        LogError(tag, e.what(), "");
    } catch (...) {
        LogError(tag, "Unknown error", "");
    }
}

void StoreAndKeepEditing(db::Query& q, const std::string& tag) {
    if (!q.Active() || !q.Editing())
        return;
    try {
        q.Post();
        q.Edit();
    } catch (const std::exception& e) {
        LogError(tag, e.what(), "");
    }
}

widgets::DBEdit* AddDataEdit(QWidget* parent, QFormLayout* form, const QString& label,
                             widgets::DataSource* source, const char* column) {
    auto* edit = new widgets::DBEdit(parent);
    edit->setObjectName(column);
    edit->SetDataSource(source);
    edit->SetDataField(column);
    form->addRow(label, edit);
    return edit;
}

QPushButton* NewSaveAndCloseButton(QWidget* dialog) {
    auto* button = new QPushButton("&Save and Close", dialog);
    button->setObjectName("btnOK");
    button->setDefault(true);
    return button;
}

QPushButton* NewCancelButton(QWidget* dialog, const std::string& tag,
                             std::function<void()> onClick) {
    auto* button = new QPushButton("&Cancel", dialog);
    button->setObjectName("btnCancel");
    QObject::connect(button, &QPushButton::clicked, dialog,
                     [tag, onClick = std::move(onClick)] { RunGuarded(tag, onClick); });
    return button;
}

QHBoxLayout* NewButtonRow(QWidget* dialog, QPushButton* ok, QPushButton* cancel,
                          std::initializer_list<QPushButton*> leading) {
    QObject::connect(ok, &QPushButton::clicked, dialog, &QWidget::close);
    auto* row = new QHBoxLayout;
    for (QPushButton* button : leading)
        row->addWidget(button);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QTimer* NewSetUpTimer(QWidget* dialog, int intervalMs) {
    auto* timer = new QTimer(dialog);
    timer->setObjectName("Timer1");
    timer->setSingleShot(true);
    timer->setInterval(intervalMs);
    return timer;
}

void RefuseWhenEntered(widgets::DBEdit* edit) {
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit] { edit->UpdateRecord(); });
}

int HighestOtherOrder(const std::string& table, const std::string& orderColumn,
                      const std::string& parentColumn, int parentId, const std::string& keyColumn,
                      int ownKey, const std::string& tag) {
    db::Query q;
    if (!DataMod->openQuery(DataMod->zlmConn, q, tag,
                            "select max(" + db::QuoteName(orderColumn) + ") from " +
                                db::QuoteName(table) + " where " + db::QuoteName(parentColumn) +
                                "=? and " + db::QuoteName(keyColumn) + "<>?",
                            {db::Value{static_cast<long long>(parentId)},
                             db::Value{static_cast<long long>(ownKey)}}))
        return -1;
    return q.IsEmpty() ? 0 : q.Fields(0).AsInteger();
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

void ShowAsPassword(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");  // "*"
}

QHBoxLayout* NewOkCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel) {
    ok = NewOKButton(dialog);
    cancel = new QPushButton("&Cancel", dialog);
    cancel->setObjectName("btnCancel");
    cancel->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
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

std::string ChooseFile(QFileDialog* chooser, const std::string& current) {
    const QFileInfo preset(QString::fromStdString(current));
    QString folder;
    if (preset.isAbsolute() && preset.dir().exists()) {
        folder = preset.absolutePath();
    } else {
        folder = QDir::homePath();
        if (DataMod && DataMod->qConfig.Active()) {
            const QDir repository(QString::fromStdString(
                DataMod->qConfig.FieldByName("config_docrepository").AsString()));
            if (!repository.path().isEmpty() && repository.isAbsolute() && repository.exists())
                folder = repository.absolutePath();
        }
    }
    chooser->setDirectory(folder);
    chooser->selectFile(preset.isAbsolute() ? preset.fileName() : QString());
    if (!widgets::RunFileDialog(*chooser))
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

namespace {

// "a", "a and b", "a, b and c".
QString Listed(const QStringList& items) {
    if (items.size() < 2)
        return items.join("");
    return items.mid(0, items.size() - 1).join(", ") + " and " + items.last();
}

// Gives `control` the focus, bringing forward the tab it is on.
void FocusOnTab(QWidget* control) {
    for (QWidget* page = control; page; page = page->parentWidget()) {
        QWidget* stack = page->parentWidget();
        if (auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr))
            if (const int index = tabs->indexOf(page); index >= 0)
                tabs->setCurrentIndex(index);
    }
    control->setFocus();
}

}  // namespace

bool FullNameFits(QWidget* dialog, db::Query& entity) {
    const char* const parts[] = {"entity_name", "entity_first", "entity_title"};
    std::size_t length = 2;  // the spaces between the parts
    for (const char* part : parts)
        length += db::Utf8Length(entity.FieldByName(part).AsString());
    const int limit = entity.FieldByName("entity_fullname").Size();
    if (limit <= 0 || length <= static_cast<std::size_t>(limit))
        return true;
    // The parts as the dialog shows them, in the order of the full name.
    QStringList labels;
    QWidget* first = nullptr;
    const QList<widgets::DBEdit*> edits = dialog->findChildren<widgets::DBEdit*>();
    for (const char* part : parts)
        for (widgets::DBEdit* edit : edits)
            if (edit->GetDataSource() && edit->GetDataSource()->DataSet() == &entity &&
                edit->DataField() == part) {
                labels << "'" + widgets::FieldLabel(edit) + "'";
                first = first ? first : edit;
                break;
            }
    ui::ShowMessage(widgets::HandleOf(dialog),
                    "The full name, made of " + Listed(labels).toStdString() +
                        " with a space between them, may be at most " + std::to_string(limit) +
                        " characters long; it would be " + std::to_string(length) +
                        ". Please shorten them.",
                    "Name too long", ui::Icon::Warning);
    if (first)
        FocusOnTab(first);
    return false;
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

}  // namespace zl
