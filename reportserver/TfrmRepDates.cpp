#include "reportserver/TfrmRepDates.h"

#include <QLabel>
#include <QPushButton>

#include "platform/ui/Prompter.h"
#include "widgets/DataControls.h"
#include "widgets/QtPlatform.h"

namespace zl::reportserver {

TfrmRepDates::TfrmRepDates(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmRepDates");
    setWindowTitle("Report dates");
    setFixedSize(249, 103);
    Label1 = new QLabel("From date: ", this);
    Label1->setObjectName("Label1");
    Label1->move(8, 8);
    Label2 = new QLabel("To date: ", this);
    Label2->setObjectName("Label2");
    Label2->move(8, 32);
    const QString shortDate = QString::fromStdString(format::Settings().ShortDateFormat);
    auto picker = [&](const char* name, int top) {
        auto* edit = new widgets::DateEdit(this);
        edit->setObjectName(name);
        edit->setDisplayFormat(shortDate);
        edit->setGeometry(88, top, 121, 21);
        // Leaving either picker checks the range at once; the window going is no leaving.
        connect(edit, &QDateEdit::editingFinished, this, [this] {
            if (!closed_)
                validate();
        });
        return edit;
    };
    dtFrom = picker("dtFrom", 8);
    dtTo = picker("dtTo", 32);
    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(88, 64, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(168, 64, 75, 25);
    connect(btnOK, &QPushButton::clicked, this, &TfrmRepDates::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmRepDates::btnCancelClick);
    widgets::Centre(*this);
}

bool TfrmRepDates::run(int daysBack) {
    accepted = true;
    closed_ = false;
    const format::TDateTime today = format::Date();
    dtFrom->setDate(widgets::ToQDate(today - daysBack));
    dtTo->setDate(widgets::ToQDate(today));
    takeValues();
    exec();
    return accepted;
}

bool TfrmRepDates::execute(format::TDateTime& from, format::TDateTime& to) {
    const bool confirmed = run(30);
    from = fromValue_;
    to = toValue_;
    return confirmed;
}

bool TfrmRepDates::execute2(std::string& from, std::string& to) {
    const bool confirmed = run(365);
    from = format::FormatDateTime("yyyyMM", fromValue_);
    to = format::FormatDateTime("yyyyMM", toValue_);
    return confirmed;
}

bool TfrmRepDates::validate() {
    if (dtFrom->date() <= dtTo->date())
        return true;
    if (warning_)
        return false;
    warning_ = true;
    ui::ShowMessage(widgets::HandleOf(this), "From date cannot be later than to date.",
                    "Invalid date", ui::Icon::Warning);
    warning_ = false;
    dtFrom->setDate(dtTo->date().addDays(-1));
    fromValue_ = widgets::FromQDate(dtFrom->date());
    return false;
}

void TfrmRepDates::btnOKClick() {
    if (validate())
        close();
}

void TfrmRepDates::btnCancelClick() {
    accepted = false;
    close();
}

bool TfrmRepDates::FormClose() {
    // Every way out takes the pickers as they stand; the close box confirms them unchecked.
    takeValues();
    closed_ = true;
    return true;
}

void TfrmRepDates::takeValues() {
    fromValue_ = widgets::FromQDate(dtFrom->date());
    toValue_ = widgets::FromQDate(dtTo->date());
}

}  // namespace zl::reportserver
