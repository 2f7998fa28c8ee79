// The dataset: one SQL text, its whole result read into memory on open (a client-side cursor),
// navigation, typed fields, and editing that writes back to the base table.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/RowStore.h"
#include "platform/format/Format.h"

namespace zl::db {

class Connection;
class Query;

enum class FieldType {
    ftUnknown,
    ftString,
    ftWideString,
    ftSmallint,
    ftInteger,
    ftFloat,
    ftCurrency,
    ftBoolean,
    ftDateTime,
    ftMemo,
};

enum class DataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// One column of the open dataset, read and written on the current row.
class Field {
  public:
    const std::string& FieldName() const { return name_; }
    FieldType DataType() const { return type_; }
    // The width of a text column in characters; 0 for other types.
    int Size() const { return size_; }
    int Index() const { return index_; }
    // False for computed columns and columns read through a view.
    bool CanModify() const { return writable_; }
    // The range of numbers the column takes, set on the query (Query::SetFieldRange).
    bool HasRange() const { return hasRange_; }
    double RangeMin() const { return rangeMin_; }
    double RangeMax() const { return rangeMax_; }

    bool IsNull() const;
    // The stored value (dates are text "YYYY-MM-DD HH:MM:SS").
    Value AsVariant() const;
    // A null reads as "", 0, 0.0 or false.
    std::string AsString() const;
    int AsInteger() const;
    long long AsLargeInt() const;
    double AsFloat() const;
    bool AsBoolean() const;
    format::TDateTime AsDateTime() const;

    // Assigning converts to the column's type: text to numbers with "." as decimal point, text
    // to dates in the short date format or the stored form. Raises DbError outside edit and
    // insert state or on a read-only column, format::EConvertError on text that does not fit,
    // RangeError when the converted number lies outside the field's range (the field keeps its
    // value then).
    void SetAsString(std::string_view value);
    void SetAsInteger(long long value);
    void SetAsFloat(double value);
    void SetAsBoolean(bool value);
    void SetAsDateTime(format::TDateTime value);
    void SetAsVariant(const Value& value);
    void Clear();

  private:
    friend class Query;
    std::string TextOf(Value value) const;
    void CheckRange(const Value& value) const;
    Query* owner_ = nullptr;
    int index_ = 0;
    std::string name_;
    FieldType type_ = FieldType::ftUnknown;
    int size_ = 0;
    bool writable_ = false;
    std::string baseColumn_;
    bool hasRange_ = false;
    double rangeMin_ = 0;
    double rangeMax_ = 0;
};

// A result read apart from any dataset (on a worker thread, over a connection of its own), to be
// handed to a dataset in one step (Query::Adopt).
struct ReadResult {
    std::vector<std::unique_ptr<Field>> fields;
    RowStore rows;
    std::string baseTable;
    bool byRowid = false;
    bool complete = true;  // false for the first rows of a result still being read
};

enum LocateOption { loCaseInsensitive = 1, loPartialKey = 2 };

// What a data-change notification reports.
enum class DataEvent {
    RecordChanged,   // the current row changed (navigation, cancel)
    FieldChanged,    // one field of the current row was assigned
    DataSetChanged,  // rows were opened, closed, posted, inserted or deleted
    StateChanged,    // the state changed
};

class Query {
  public:
    explicit Query(Connection* connection = nullptr);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void SetConnection(Connection* connection);
    Connection* GetConnection() const { return connection_; }
    void SetSQL(std::string sql);
    const std::string& SQL() const { return sql_; }
    // Values for the "?" placeholders of the SQL text, in order; SetSQL clears them. Typed text
    // reaches the database only this way, never inside the SQL text.
    void SetParameters(std::vector<Value> values);

    // Limits the numbers a column takes to [min, max], whichever control or code assigns them.
    // The range belongs to the query, not to one open result: it holds for the column of that
    // name (case-insensitive) in every result until cleared. Raises DbError when min > max.
    void SetFieldRange(std::string_view column, double min, double max);
    void ClearFieldRanges();
    // A column that Post computes in SQL from the row as stored (`expression` over the base
    // table's columns), in the same transaction as the write, so that it never rests on values
    // another connection has changed meanwhile; what the record holds for it is replaced. Like a
    // range it holds for the column of that name in every result.
    void SetDerivedColumn(std::string_view column, std::string expression);

    // Reads the whole result of the SQL text and stands on the first row. Raises DbError.
    void Open();
    void Close();
    bool Active() const { return state_ != DataSetState::dsInactive; }
    // Re-reads the result and returns to the row with the same key (or the same number).
    void Requery();
    // Whether the database may hold other rows than those read: true when closed, or when any
    // connection committed a change to the file since the read.
    bool ChangedSinceRead() const;
    // Reads the result of a statement over any connection to the file, without a dataset: what
    // a worker thread does. Once `firstRows` rows are read, `onFirst` is handed a copy of them
    // while the rest is read. Raises DbError.
    static ReadResult Read(Connection& connection, const std::string& sql,
                           const std::vector<Value>& parameters, int firstRows = 0,
                           const std::function<void(ReadResult)>& onFirst = {});
    // Replaces the rows by a result read meanwhile, in one step: the current row stays current by
    // its key (column 0), else by its number. `token` is the connection's change state taken
    // before the read began. Raises DbError while a row is edited. A result that is not complete
    // leaves the dataset holding only the first rows of its result until it is completed.
    void Adopt(ReadResult result, ChangeToken token);
    // The same for a result of a statement that becomes the dataset's own (a list read again,
    // maybe with another filter or order): when the current row is gone, as a list opened anew,
    // it stands on the first row.
    void Adopt(ReadResult result, ChangeToken token, Connection& connection, std::string sql,
               std::vector<Value> parameters);
    const std::vector<Value>& Parameters() const { return parameters_; }
    // Called when a dataset that holds only the first rows of its result needs every row: before
    // RecordCount, Last, Append, a move past the rows held and a Locate that finds nothing among
    // them. It is to hand the whole result over (Adopt); the operation then goes on as with all
    // rows. Not called while a row is edited.
    void SetCompletion(std::function<void()> completion) { completion_ = std::move(completion); }
    // Whether the dataset holds every row of its result (a closed one does).
    bool HoldsAll() const { return complete_; }
    // The rows held now, without completing: what a grid shows.
    int RowsHeld() const { return rows_.Rows(); }
    // Has the completion hand over every row when the dataset holds only the first ones.
    void FetchAll();
    // Runs the SQL text as a statement; returns the number of rows changed.
    int ExecSQL();

    DataSetState State() const { return state_; }

    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const { return rows_.Empty(); }
    // 1-based number of the current row; 0 when there is none.
    int RecNo() const;
    void SetRecNo(int recNo);
    int RecordCount();

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    Field& Fields(int index);
    Field& FieldByName(std::string_view name);  // raises DbError when missing
    Field* FindField(std::string_view name);    // case-insensitive; nullptr when missing
    // A stored row's value and its text (as Field::AsString gives it) without moving the
    // cursor, for grids. Rows count from 0; the row being edited reads as stored.
    Value ValueAt(int row, int column) const;
    std::string TextAt(int row, int column) const;
    // The base table that Post writes to; empty for a read-only dataset.
    const std::string& BaseTable() const { return baseTable_; }

    void Edit();    // on an empty dataset this inserts, as the original layer does
    void Append();  // a new row at the end
    void Insert();  // a new row before the current one
    // Raises DbError and stays in edit or insert state on failure. An edit writes by key and by
    // the values read of the columns it changes: when another connection changed one of them
    // meanwhile, or deleted the row, nothing is written and the error says the row cannot be
    // located for updating.
    void Post();
    // Has the controls write their pending edits into the record (Post does this first).
    void UpdateRecord();
    void Cancel();
    void Delete();

    // Moves to the first row whose fields (names separated by ";") equal the values.
    bool Locate(std::string_view keyFields, const std::vector<Value>& values, int options = 0);

    // Notifications for data-aware controls; the returned id unsubscribes.
    int OnAfterScroll(std::function<void()> handler);
    int OnDataChange(std::function<void(DataEvent, const Field*)> handler);
    // Called first thing in Post, so that controls can write a pending edit into the record.
    int OnUpdateRecord(std::function<void()> handler);
    void Unsubscribe(int id);

    // Whether a row is being edited or inserted.
    bool Editing() const {
        return state_ == DataSetState::dsEdit || state_ == DataSetState::dsInsert;
    }

  private:
    friend class Field;
    Value CurrentValue(int index) const;
    void Assign(int index, Value value);
    void RequireActive() const;
    void RequireWritable() const;
    void BeginInsert(bool atEnd);
    void Scroll(int newPos, bool bof, bool eof);
    void Notify(DataEvent event, const Field* field = nullptr);
    void NotifyScroll();
    void BindParameters(void* statement) const;
    void Install(ReadResult result, ChangeToken token, int pos);
    void Replace(ReadResult result, ChangeToken token, bool keepNumber);
    static void TypeComputed(std::vector<std::unique_ptr<Field>>& fields, RowStore& rows);
    void WriteInsert(std::vector<Value>& row, long long& rowid);
    void WriteEdit(const std::vector<Value>& row);
    void WriteDerived(std::vector<Value>& row, long long rowid);
    const std::string* DerivedExpression(int index) const;
    void CheckWidths() const;
    std::string KeyCondition() const;
    void BindKey(void* stmt, int index, const Value& key, long long rowid) const;
    void ApplyRange(Field& field) const;

    Connection* connection_ = nullptr;
    std::string sql_;
    std::vector<Value> parameters_;
    struct Range {
        double min;
        double max;
    };
    std::map<std::string, Range> ranges_;         // by upper-case column name
    std::map<std::string, std::string> derived_;  // expressions by upper-case column name
    DataSetState state_ = DataSetState::dsInactive;
    std::vector<std::unique_ptr<Field>> fields_;
    RowStore rows_;
    bool complete_ = true;
    std::function<void()> completion_;
    ChangeToken token_;
    int pos_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    // Edit and insert state: the row being edited and which columns were assigned.
    std::vector<Value> buffer_;
    long long bufferRowid_ = 0;
    std::vector<bool> changed_;
    int insertPos_ = 0;
    int posBeforeInsert_ = -1;
    // Where Post writes: the table of column 0, keyed by column 0 or by rowid.
    std::string baseTable_;
    bool byRowid_ = false;
    int rowidColumn_ = -1;

    int nextSubscription_ = 1;
    std::vector<std::pair<int, std::function<void()>>> scrollHandlers_;
    std::vector<std::pair<int, std::function<void(DataEvent, const Field*)>>> changeHandlers_;
    std::vector<std::pair<int, std::function<void()>>> updateHandlers_;
};

}  // namespace zl::db
