#include "screens/DialogSupport.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <exception>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"

namespace zl {

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

}  // namespace zl
