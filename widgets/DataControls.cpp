#include "widgets/DataControls.h"

#include <strings.h>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/db/DbError.h"
#include "platform/format/Format.h"
#include "platform/ui/Prompter.h"
#include "widgets/QtPlatform.h"

namespace zl::widgets {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool IsText(db::FieldType type) {
    return type == db::FieldType::ftString || type == db::FieldType::ftWideString;
}

bool IsInteger(db::FieldType type) {
    return type == db::FieldType::ftSmallint || type == db::FieldType::ftInteger;
}

// The most characters a control may take for the field: its width for text, else no limit.
int MaxLength(const db::Field* field) {
    return field && IsText(field->DataType()) && field->Size() > 0 ? field->Size() : 32767;
}

// What the user is told when `control` refuses an entry that is no valid `what` ("date").
std::string EntryRefused(const QWidget* control, const QString& what, const QString& format) {
    const QString label = FieldLabel(control);
    const QString subject = label.isEmpty() ? QString("This") : "'" + label + "'";
    return (subject + " is not a valid " + what + ". Please enter it as " + format + ".")
        .toStdString();
}

void TellRefused(QWidget* control, const std::string& text) {
    ui::ShowMessage(HandleOf(control ? control->window() : nullptr), text, "Invalid value",
                    ui::Icon::Warning);
}

QString TimeFormat() {
    return QString("hh") + QChar(format::Settings().TimeSeparator) + "mm";
}

// A time of day as hours and minutes, 00:00 to 23:59.
bool IsTimeOfDay(const QString& text) {
    const QRegularExpression time(
        "^([01][0-9]|2[0-3])" +
        QRegularExpression::escape(QChar(format::Settings().TimeSeparator)) + "[0-5][0-9]$");
    return time.match(text).hasMatch();
}

// The entry as a date in `format`: a four-digit year and two-digit month and day, or (not
// `exact`) a month and day of one digit too; the other characters as the format has them. An
// invalid date when the entry is not a real date in that form; no part is ever adjusted.
QDate ReadDate(const QString& entry, const QString& format, bool exact) {
    QString pattern = "^";
    QString parts;  // y, M, d in the order of the format
    for (int i = 0; i < format.size();) {
        if (format.mid(i, 4) == "yyyy") {
            pattern += "([0-9]{4})";
            parts += 'y';
            i += 4;
        } else if (format.mid(i, 2) == "MM" || format.mid(i, 2) == "dd") {
            pattern += exact ? "([0-9]{2})" : "([0-9]{1,2})";
            parts += format[i];
            i += 2;
        } else {
            pattern += QRegularExpression::escape(format.mid(i, 1));
            ++i;
        }
    }
    const QRegularExpressionMatch match = QRegularExpression(pattern + "$").match(entry);
    if (parts.size() != 3 || !match.hasMatch())
        return {};
    int year = 0, month = 0, day = 0;
    for (int k = 0; k < 3; ++k) {
        const int value = match.captured(k + 1).toInt();
        (parts[k] == 'y' ? year : parts[k] == 'M' ? month : day) = value;
    }
    return QDate(year, month, day);
}

}  // namespace

QString OneLine(QString text) {
    // Called for every cell a grid draws: most values hold no break.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    static const QRegularExpression breaks("\\r\\n|\\n|\\r");
    return text.replace(breaks, " ");
}

QString FieldLabel(const QWidget* field) {
    const QWidget* window = field ? field->window() : nullptr;
    if (!window)
        return {};
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (const QWidget* w = field; w && w != window; w = w->parentWidget())
        for (const QLabel* label : labels)
            if (label->buddy() == w) {
                QString text = label->text().remove('&').trimmed();
                if (text.endsWith(':'))
                    text.chop(1);
                text = text.trimmed();
                if (!text.isEmpty())
                    return text;
            }
    return {};
}

// ----- data source -----------------------------------------------------------------------------

DataSource::DataSource(db::Query* query, QObject* parent) : QObject(parent) {
    SetDataSet(query);
}

DataSource::~DataSource() {
    link_.Reset(nullptr);
    for (DataControl* control : controls_)
        control->source_ = nullptr;
}

void DataSource::SetDataSet(db::Query* query) {
    link_.Reset(query);
    link_.OnAfterScroll([this] { RefreshAll(); });
    link_.OnDataChange([this](db::DataEvent event, const db::Field* field) {
        if (event == db::DataEvent::FieldChanged)
            RefreshField(field);
        else if (event != db::DataEvent::StateChanged)
            RefreshAll();
    });
    link_.OnUpdateRecord([this] { UpdateRecord(); });
    RefreshAll();
}

db::Field* DataSource::FindField(const std::string& name) const {
    db::Query* query = link_.Get();
    if (!query || !query->Active() || name.empty())
        return nullptr;
    return query->FindField(name);
}

bool DataSource::Editing() const {
    db::Query* query = link_.Get();
    return query && query->Editing();
}

void DataSource::Attach(DataControl* control) {
    controls_.push_back(control);
}

void DataSource::Detach(DataControl* control) {
    std::erase(controls_, control);
}

bool DataSource::BeginEdit(DataControl* from) {
    db::Query* query = link_.Get();
    if (!query || !query->Active())
        return false;
    if (!Editing()) {
        // Editing an empty dataset inserts a row, which shows every control again; the
        // control being typed in keeps what the user typed.
        starting_ = from;
        try {
            query->Edit();
        } catch (...) {
            starting_ = nullptr;
            throw;
        }
        starting_ = nullptr;
    }
    return Editing();
}

void DataSource::RefreshAll() {
    const auto controls = controls_;
    for (DataControl* control : controls)
        if (control != starting_)
            control->Refresh();
}

void DataSource::RefreshField(const db::Field* field) {
    const auto controls = controls_;
    for (DataControl* control : controls)
        if (field && SameName(control->DataField(), field->FieldName()))
            control->Refresh();
}

void DataSource::UpdateRecord() {
    const auto controls = controls_;
    for (DataControl* control : controls)
        if (!control->UpdateRecord())
            throw db::RangeError("A value was refused.");
}

// ----- binding ---------------------------------------------------------------------------------

DataControl::~DataControl() {
    Unbind();
}

void DataControl::Unbind() {
    if (source_)
        source_->Detach(this);
    source_ = nullptr;
}

void DataControl::SetDataSource(DataSource* source) {
    Unbind();
    source_ = source;
    if (source_)
        source_->Attach(this);
    Refresh();
}

void DataControl::SetDataField(const std::string& name) {
    fieldName_ = name;
    Refresh();
}

db::Field* DataControl::Field() const {
    return source_ ? source_->FindField(fieldName_) : nullptr;
}

void DataControl::Refresh() {
    showing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{showing_};
    modified_ = false;
    Show(Field());
}

bool DataControl::UpdateRecord() {
    if (!FinishEntry())
        return false;
    db::Field* field = Field();
    if (!modified_ || !field || !field->CanModify() || !source_->Editing())
        return true;
    modified_ = false;
    if (Text() == field->AsString())
        return true;
    try {
        Write(*field);
        return true;
    } catch (const db::RangeError& e) {
        auto* widget = dynamic_cast<QWidget*>(this);
        TellRefused(widget, e.what());
        Refresh();
        if (widget)
            widget->setFocus();
        return false;
    }
}

bool DataControl::UserChanged() {
    if (showing_)
        return false;
    if (!source_ || !Field())
        return false;
    if (!Field()->CanModify() || !source_->BeginEdit(this)) {
        Refresh();
        return false;
    }
    modified_ = true;
    return true;
}

// ----- controls --------------------------------------------------------------------------------

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, [this] { UserChanged(); });
}

void DBEdit::SetTimeEntry() {
    if (timeEntry_)
        return;
    timeEntry_ = true;
    // Refused as the user leaves the edit, not only when the record is saved.
    connect(this, &QLineEdit::editingFinished, this, [this] { UpdateRecord(); });
}

void DBEdit::Write(db::Field& field) {
    if (timeEntry_ && !text().isEmpty() && !IsTimeOfDay(text()))
        throw db::RangeError(EntryRefused(this, "time", TimeFormat()));
    DataControl::Write(field);
}

void DBEdit::SetFloatFormat(const std::string& shown, const std::string& edited) {
    shownFormat_ = shown;
    editedFormat_ = edited;
    Refresh();
}

void DBEdit::focusInEvent(QFocusEvent* event) {
    // A pop-up (the context menu) takes the focus only for a moment: the edit goes on.
    if (event->reason() != Qt::PopupFocusReason && !editing_) {
        editing_ = true;
        if (TwoForms() && !Modified())
            Refresh();
    }
    // Shown before the line edit's own handling, which selects the text for a Tab.
    QLineEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A handler of this very focus change may have given the focus back (a refused value).
    if (event->reason() == Qt::PopupFocusReason || !editing_ || hasFocus())
        return;
    editing_ = false;
    if (!TwoForms())
        return;
    // What was typed reaches the record before the shown form replaces it; a refused value
    // keeps the focus and the edited form.
    if (UpdateRecord()) {
        Refresh();
    } else if (hasFocus() && !editing_) {
        editing_ = true;
        Refresh();
    }
}

void DBEdit::Show(const db::Field* field) {
    setMaxLength(MaxLength(field));
    const std::string& mask = editing_ && TwoForms() ? editedFormat_ : shownFormat_;
    const bool formatted = field && !mask.empty() &&
                           (field->DataType() == db::FieldType::ftFloat ||
                            field->DataType() == db::FieldType::ftCurrency);
    if (formatted)
        setText(QString::fromStdString(format::FormatFloat(mask, field->AsFloat())));
    else
        setText(field ? QString::fromStdString(field->AsString()) : QString());
    setReadOnly(field && !field->CanModify());
}

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] { UserChanged(); });
}

void DBMemo::Show(const db::Field* field) {
    setPlainText(field ? QString::fromStdString(field->AsString()) : QString());
    setReadOnly(field && !field->CanModify());
}

DBText::DBText(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void DBText::Show(const db::Field* field) {
    value_ = field ? QString::fromStdString(field->AsString()) : QString();
    setText(wordWrap() ? value_ : OneLine(value_));
    ShowWhole();
}

QRect DBText::TextArea() const {
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

bool DBText::Elided() const {
    return !wordWrap() && fontMetrics().horizontalAdvance(text()) > TextArea().width();
}

void DBText::ShowWhole() {
    setToolTip(Elided() ? value_ : QString());
}

QSize DBText::minimumSizeHint() const {
    QSize hint = QLabel::minimumSizeHint();
    if (!wordWrap())
        hint.setWidth(std::min(hint.width(), 4 * fontMetrics().averageCharWidth()));
    return hint;
}

void DBText::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    ShowWhole();
}

void DBText::paintEvent(QPaintEvent* event) {
    if (!Elided()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = TextArea();
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(),
                          fontMetrics().elidedText(text(), Qt::ElideRight, area.width()),
                          foregroundRole());
}

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent) {
    SetEditable(true);
    connect(this, &QComboBox::activated, this, [this] { UserChanged(); });
}

void DBComboBox::SetItems(const QStringList& items) {
    clear();
    addItems(items);
    Refresh();
}

void DBComboBox::SetEditable(bool editable) {
    if (editable && !isEditable()) {
        setEditable(true);
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] { UserChanged(); });
    } else {
        setEditable(editable);
    }
    Refresh();
}

void DBComboBox::Show(const db::Field* field) {
    const QString text = field ? QString::fromStdString(field->AsString()) : QString();
    if (isEditable()) {
        lineEdit()->setMaxLength(MaxLength(field));
        setEditText(text);
    } else {
        setCurrentIndex(findText(text));
    }
}

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] {
        if (UserChanged())
            UpdateRecord();
    });
}

void DBLookupComboBox::SetListSource(db::Query* list, const std::string& keyField,
                                     const std::string& displayField) {
    list_.Reset(list);
    keyField_ = keyField;
    displayField_ = displayField;
    list_.OnDataChange([this](db::DataEvent event, const db::Field*) {
        if (event == db::DataEvent::DataSetChanged)
            ReloadList();
    });
    ReloadList();
}

void DBLookupComboBox::ReloadList() {
    clear();
    db::Query* list = list_.Get();
    const db::Field* key = list && list->Active() ? list->FindField(keyField_) : nullptr;
    const db::Field* shown = list && list->Active() ? list->FindField(displayField_) : nullptr;
    if (key && shown)
        for (int row = 0; row < list->RecordCount(); ++row)
            addItem(OneLine(QString::fromStdString(list->TextAt(row, shown->Index()))),
                    QString::fromStdString(list->TextAt(row, key->Index())));
    Refresh();
}

void DBLookupComboBox::Show(const db::Field* field) {
    setCurrentIndex(field ? findData(QString::fromStdString(field->AsString())) : -1);
}

std::string DBLookupComboBox::Text() const {
    if (currentIndex() < 0)
        return Field() ? Field()->AsString() : std::string();
    return currentData().toString().toStdString();
}

DBCheckBox::DBCheckBox(QWidget* parent) : QCheckBox(parent) {
    connect(this, &QCheckBox::clicked, this, [this] {
        if (UserChanged())
            UpdateRecord();
    });
}

std::string DBCheckBox::CheckedValue() const {
    return !checked_.empty() ? checked_ : integer_ ? "1" : "True";
}

std::string DBCheckBox::UncheckedValue() const {
    return !unchecked_.empty() ? unchecked_ : integer_ ? "0" : "False";
}

void DBCheckBox::Show(const db::Field* field) {
    integer_ = field && IsInteger(field->DataType());
    setChecked(field && SameName(field->AsString(), CheckedValue()));
}

std::string DBCheckBox::Text() const {
    return isChecked() ? CheckedValue() : UncheckedValue();
}

DBRadioGroup::DBRadioGroup(QWidget* parent) : QGroupBox(parent) {
    setLayout(new QVBoxLayout);
    connect(&buttons_, &QButtonGroup::idClicked, this, [this] {
        if (UserChanged())
            UpdateRecord();
    });
}

void DBRadioGroup::SetItems(const QStringList& captions, const QStringList& values) {
    for (QAbstractButton* button : buttons_.buttons())
        delete button;
    values_ = values.isEmpty() ? captions : values;
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QRadioButton(captions[i], this);
        layout()->addWidget(button);
        buttons_.addButton(button, i);
    }
    Refresh();
}

void DBRadioGroup::Show(const db::Field* field) {
    const int index = field ? values_.indexOf(QString::fromStdString(field->AsString())) : -1;
    // An exclusive group cannot be emptied; none is chosen when the value is not an entry.
    buttons_.setExclusive(false);
    for (QAbstractButton* button : buttons_.buttons())
        button->setChecked(buttons_.id(button) == index);
    buttons_.setExclusive(true);
}

std::string DBRadioGroup::Text() const {
    const int index = ItemIndex();
    if (index < 0 || index >= values_.size())
        return Field() ? Field()->AsString() : std::string();
    return values_[index].toStdString();
}

QDate ToQDate(format::TDateTime value) {
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(value)));
}

format::TDateTime FromQDate(const QDate& date) {
    return static_cast<format::TDateTime>(QDate(1899, 12, 30).daysTo(date));
}

DateEdit::DateEdit(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setMinimumDate(QDate(1899, 12, 30));
    setDisplayFormat(QString::fromStdString(format::Settings().ShortDateFormat));
}

void DateEdit::mousePressEvent(QMouseEvent* event) {
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    if (isReadOnly() || arrow.contains(event->position().toPoint())) {
        // The calendar shows the field's date: an entry is taken (or refused) first.
        if (FinishTyping())
            QDateEdit::mousePressEvent(event);
        return;
    }
    // The text: the cursor goes where the user clicked, also inside an entry being typed, and
    // the date stays as it is.
    setFocus(Qt::MouseFocusReason);
    QLineEdit* edit = lineEdit();
    edit->setCursorPosition(
        edit->cursorPositionAt(edit->mapFrom(this, event->position().toPoint())));
    event->accept();
}

void DateEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const int key = event->key();
    const bool character = text.size() == 1 && text[0].isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    // Keys that change the text as shown, and keys that only move or select within it.
    const bool erasing = key == Qt::Key_Backspace || key == Qt::Key_Delete ||
                         event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut);
    const bool moving = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home ||
                        key == Qt::Key_End || event->matches(QKeySequence::SelectAll) ||
                        event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Undo);
    if (isReadOnly()) {
        QDateEdit::keyPressEvent(event);
        return;
    }
    if (!typing_ && (character || erasing))
        StartTyping(erasing);
    if (typing_ && (character || erasing || moving)) {
        // Plain text editing by the line edit itself, unseen by the spin box, which would read
        // each change section by section and make up a date of its own.
        const QSignalBlocker blocker(lineEdit());
        QCoreApplication::sendEvent(lineEdit(), event);
        event->accept();
        if ((character || erasing) && ReadDate(lineEdit()->text(), displayFormat(), true).isValid())
            FinishTyping();
        return;
    }
    if (typing_ && key == Qt::Key_Escape) {
        // The entry is dropped; Escape goes no further.
        typing_ = false;
        ShowDate();
        event->accept();
        return;
    }
    // Any other key (Enter, a step up or down) takes the entry first; a refused one stops it.
    if (!FinishTyping()) {
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void DateEdit::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::PopupFocusReason)
        FinishTyping();
    QDateEdit::focusOutEvent(event);
}

bool DateEdit::focusNextPrevChild(bool next) {
    if (!typing_)
        return QDateEdit::focusNextPrevChild(next);
    return !FinishTyping() || QWidget::focusNextPrevChild(next);
}

QValidator::State DateEdit::validate(QString& input, int& pos) const {
    return typing_ ? QValidator::Intermediate : QDateEdit::validate(input, pos);
}

void DateEdit::StartTyping(bool keepText) {
    typing_ = true;
    const QSignalBlocker blocker(lineEdit());
    if (!keepText)
        lineEdit()->clear();
}

void DateEdit::SetShownDate(const QDate& date) {
    typing_ = false;
    setDate(date);
    ShowDate();
}

void DateEdit::ShowDate() {
    const bool special = !specialValueText().isEmpty() && date() == minimumDate();
    const QString shown = special ? specialValueText() : textFromDateTime(dateTime());
    if (lineEdit()->text() != shown)
        lineEdit()->setText(shown);
}

bool DateEdit::FinishTyping() {
    if (!typing_)
        return true;
    const QDate entry = ReadDate(lineEdit()->text(), displayFormat(), false);
    typing_ = false;
    if (entry.isValid() && entry >= minimumDate() && entry <= maximumDate()) {
        if (entry != date())
            setDate(entry);
        ShowDate();
        return true;
    }
    // The field keeps its date while the user reads why.
    ShowDate();
    TellRefused(this, EntryRefused(this, "date", displayFormat()));
    setFocus();
    return false;
}

DBDateEdit::DBDateEdit(QWidget* parent) : DateEdit(parent) {
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (UserChanged())
            UpdateRecord();
    });
}

void DBDateEdit::BindField(db::Query& query, const std::string& column) {
    ownSource_.SetDataSet(&query);
    SetDataField(column);
    SetDataSource(&ownSource_);
}

void DBDateEdit::Show(const db::Field* field) {
    SetShownDate(ToQDate(field ? field->AsDateTime() : 0));
}

std::string DBDateEdit::Text() const {
    return format::DateTimeToStr(FromQDate(date()));
}

void DBDateEdit::Write(db::Field& field) {
    field.SetAsDateTime(FromQDate(date()));
}

}  // namespace zl::widgets
