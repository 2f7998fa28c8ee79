// Data-aware controls: each shows one field of the current row of a dataset and writes the
// user's change back into it, through a data source that follows the dataset's events.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QStringList>
#include <string>
#include <vector>

#include "platform/db/Query.h"
#include "widgets/DataSetLink.h"

namespace zl::widgets {

class DataControl;

// Links a dataset to the controls bound to its fields. It does not own the dataset.
class DataSource : public QObject {
    Q_OBJECT
  public:
    explicit DataSource(db::Query* query = nullptr, QObject* parent = nullptr);
    ~DataSource() override;

    void SetDataSet(db::Query* query);
    db::Query* DataSet() const { return link_.Get(); }
    // The named field of the open dataset; nullptr when it is closed or has no such field.
    db::Field* FindField(const std::string& name) const;
    // Whether the dataset is in edit or insert state.
    bool Editing() const;

  private:
    friend class DataControl;
    void Attach(DataControl* control);
    void Detach(DataControl* control);
    bool BeginEdit(DataControl* from);
    void RefreshAll();
    void RefreshField(const db::Field* field);
    // Raises db::RangeError when a control refused its value (the user has been told).
    void UpdateRecord();

    DataSetLink link_;
    std::vector<DataControl*> controls_;
    DataControl* starting_ = nullptr;  // the control whose typing is starting an edit
};

// The binding that every data-aware control carries.
class DataControl {
  public:
    virtual ~DataControl();
    void SetDataSource(DataSource* source);
    DataSource* GetDataSource() const { return source_; }
    void SetDataField(const std::string& name);
    const std::string& DataField() const { return fieldName_; }
    // The bound field; nullptr when unbound or the dataset is closed.
    db::Field* Field() const;
    // Shows the bound field of the current row again, dropping a pending edit.
    void Refresh();
    // Writes a pending edit into the record when it differs from the field. A value that the
    // field refuses (outside its range) is explained to the user, the field's value is shown
    // again and the control takes the focus: false then.
    bool UpdateRecord();

  protected:
    // Completes an entry the user is still typing, so that the record can take it; false when
    // the entry was refused (the user has been told).
    virtual bool FinishEntry() { return true; }
    // Shows the field's value; field is nullptr when there is nothing to show.
    virtual void Show(const db::Field* field) = 0;
    // The control's value as the field's text.
    virtual std::string Text() const = 0;
    virtual void Write(db::Field& field) { field.SetAsString(Text()); }
    // Called when the user changed the control: the dataset goes into edit state. False, with
    // the field shown again, when the record cannot take the change.
    bool UserChanged();
    // True while the control is being filled from the field.
    bool Showing() const { return showing_; }
    // Whether the user changed the control since it last showed the field.
    bool Modified() const { return modified_; }

  private:
    friend class DataSource;
    void Unbind();

    DataSource* source_ = nullptr;
    std::string fieldName_;
    bool showing_ = false;
    bool modified_ = false;
};

// A one-line edit; text fields limit its length to their width.
class DBEdit : public QLineEdit, public DataControl {
    Q_OBJECT
  public:
    explicit DBEdit(QWidget* parent = nullptr);
    // A float field is shown with the mask `shown` ("0.00") while the edit does not have the
    // focus and with `edited` ("0.000") while it is being edited; an empty `edited` keeps
    // `shown` throughout, an empty `shown` shows the plain text.
    void SetFloatFormat(const std::string& shown, const std::string& edited = "");
    // The edit takes a time of day, hours and minutes (00:00 to 23:59), or nothing. Anything
    // else is refused, naming the edit's label, when the user leaves the edit or the record is
    // saved; the field keeps its value.
    void SetTimeEntry();

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override { return text().toStdString(); }
    void Write(db::Field& field) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // Whether the two masks differ, so that the focus changes what is shown.
    bool TwoForms() const { return !editedFormat_.empty() && editedFormat_ != shownFormat_; }

    std::string shownFormat_;
    std::string editedFormat_;
    bool editing_ = false;
    bool timeEntry_ = false;
};

// A multi-line edit over a memo or text field.
class DBMemo : public QPlainTextEdit, public DataControl {
    Q_OBJECT
  public:
    explicit DBMemo(QWidget* parent = nullptr);

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override { return toPlainText().toStdString(); }
};

// A label showing the field's text; it never writes. Unless it wraps words, the value shows on
// one line, cut short with "..." where the label is too narrow (the whole value as its tool
// tip then), and a long value never widens the window: a label keeps its height and its place
// whatever the data holds.
class DBText : public QLabel, public DataControl {
    Q_OBJECT
  public:
    explicit DBText(QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override { return value_.toStdString(); }
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect TextArea() const;
    // Whether the one line is wider than the label.
    bool Elided() const;
    void ShowWhole();

    QString value_;
};

// A combo of fixed entries whose text the field holds; editable by default, so typed text is
// accepted too.
class DBComboBox : public QComboBox, public DataControl {
    Q_OBJECT
  public:
    explicit DBComboBox(QWidget* parent = nullptr);
    void SetItems(const QStringList& items);
    void SetEditable(bool editable);

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override { return currentText().toStdString(); }
};

// A list whose entries come from a second dataset: the field holds a key, the list shows the
// display text of the row with that key. Selecting an entry writes its key at once.
class DBLookupComboBox : public QComboBox, public DataControl {
    Q_OBJECT
  public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);
    void SetListSource(db::Query* list, const std::string& keyField,
                       const std::string& displayField);
    // Fills the entries from the list dataset again.
    void ReloadList();

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override;

  private:
    DataSetLink list_;
    std::string keyField_;
    std::string displayField_;
};

// A check box writing one value when checked and another when not; by default "True" and
// "False", or 1 and 0 on integer fields. A click writes at once.
class DBCheckBox : public QCheckBox, public DataControl {
    Q_OBJECT
  public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    void SetValueChecked(const std::string& value) { checked_ = value; }
    void SetValueUnchecked(const std::string& value) { unchecked_ = value; }

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override;

  private:
    std::string CheckedValue() const;
    std::string UncheckedValue() const;

    std::string checked_;
    std::string unchecked_;
    bool integer_ = false;
};

// Radio buttons, one per entry; the field holds the value of the chosen entry (the entry's
// caption when no values are given). A click writes at once.
class DBRadioGroup : public QGroupBox, public DataControl {
    Q_OBJECT
  public:
    explicit DBRadioGroup(QWidget* parent = nullptr);
    void SetItems(const QStringList& captions, const QStringList& values = {});
    // The chosen entry; -1 when none.
    int ItemIndex() const { return buttons_.checkedId(); }
    QAbstractButton* Button(int index) const { return buttons_.button(index); }

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override;

  private:
    QButtonGroup buttons_;
    QStringList values_;
};

// What the date field frame binds: a control showing one date column of a dataset whose
// current row is being edited, writing every change of the date into it.
class DateFieldControl {
  public:
    virtual ~DateFieldControl() = default;
    virtual void BindField(db::Query& query, const std::string& column) = 0;
};

// The program's date field: a drop-down calendar and the short date format. A click in the text
// only places the cursor (the plain date edit takes it for a step down of the year). What is
// typed is plain text, never read section by section, so no part of the date changes by
// itself: a character key starts a new entry, whatever the field held, while Backspace or
// Delete edits the date as shown, at the cursor, keeping its other parts. The entry becomes the
// date as soon as it is a whole date in the format, or when the user leaves the field or
// presses Enter; an entry that is then no real date in the format is refused with a message
// naming the field's label and the format, and the field keeps its date. Escape drops it.
class DateEdit : public QDateEdit {
    Q_OBJECT
  public:
    explicit DateEdit(QWidget* parent = nullptr);
    // Takes the entry being typed as the date. False when it was refused: the user has been
    // told, the field shows its date again and has the focus.
    bool FinishTyping();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Tab after an entry leaves the field once the entry is taken (the plain date edit steps
    // through its sections instead).
    bool focusNextPrevChild(bool next) override;
    // While an entry is typed every text passes: it is read only once it is complete.
    QValidator::State validate(QString& input, int& pos) const override;

    // Shows `date`, dropping any entry being typed.
    void SetShownDate(const QDate& date);

  private:
    void StartTyping(bool keepText);
    void ShowDate();

    bool typing_ = false;
};

// A date edit bound to a field; an empty column shows day 0 of the date scale.
class DBDateEdit : public DateEdit, public DataControl, public DateFieldControl {
    Q_OBJECT
  public:
    explicit DBDateEdit(QWidget* parent = nullptr);
    void BindField(db::Query& query, const std::string& column) override;

  protected:
    void Show(const db::Field* field) override;
    std::string Text() const override;
    void Write(db::Field& field) override;
    bool FinishEntry() override { return FinishTyping(); }

  private:
    DataSource ownSource_;
};

// The text of a value on one line: each line break (CR LF, LF or CR) becomes a space.
QString OneLine(QString text);

// The label of the form row that holds `field` (or a frame around it), without its accelerator
// and colon; empty when it has none.
QString FieldLabel(const QWidget* field);

// Day 0 of the date scale is 1899-12-30.
QDate ToQDate(format::TDateTime value);
format::TDateTime FromQDate(const QDate& date);

}  // namespace zl::widgets
