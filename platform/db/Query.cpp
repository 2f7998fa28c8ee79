#include "platform/db/Query.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <set>

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"
#include "platform/db/Unicode.h"

namespace zl::db {
namespace {

constexpr const char* kRowNotLocated =
    "Row cannot be located for updating. Some values may have been changed since it was last "
    "read.";

using format::EConvertError;
using format::TDateTime;

// Owns one prepared statement.
class Statement {
  public:
    Statement(Connection& connection, const std::string& sql) : connection_(connection) {
        sqlite3* db = connection.Handle();
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
            const std::string message = sqlite3_errmsg(db);
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            throw DbError(message);
        }
        if (!stmt_)
            throw DbError("The SQL text is empty.");
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    bool Step() { return connection_.Step(stmt_); }

  private:
    Connection& connection_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Prepares a statement and records which tables it reads through a view.
struct Prepared {
    std::unique_ptr<Statement> stmt;
    std::set<std::string> viewTables;
};

int RecordViewRead(void* tables, int action, const char* table, const char*, const char*,
                   const char* view) {
    if (action == SQLITE_READ && table && view)
        static_cast<std::set<std::string>*>(tables)->insert(table);
    return SQLITE_OK;
}

Prepared PrepareRecording(Connection& connection, const std::string& sql) {
    Prepared p;
    sqlite3* db = connection.Handle();
    sqlite3_set_authorizer(db, &RecordViewRead, &p.viewTables);
    try {
        p.stmt = std::make_unique<Statement>(connection, sql);
    } catch (...) {
        sqlite3_set_authorizer(db, nullptr, nullptr);
        throw;
    }
    sqlite3_set_authorizer(db, nullptr, nullptr);
    return p;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// ASCII letters only, as SQLite compares names; no copies, since every field look-up by name
// comes through here.
bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

struct DeclaredType {
    FieldType type = FieldType::ftUnknown;
    int size = 0;
};

// Maps a declared column type to a field type and width.
DeclaredType FromDeclaredType(const char* declared) {
    if (!declared)
        return {};
    const std::string upper = Upper(declared);
    const size_t paren = upper.find('(');
    const std::string name = upper.substr(0, paren == std::string::npos ? upper.size() : paren);
    int width = 0;
    if (paren != std::string::npos)
        width = std::atoi(upper.c_str() + paren + 1);
    auto is = [&name](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (name == n)
                return true;
        return false;
    };
    if (is({"VARCHAR", "TEXT", "CHAR", "NVARCHAR", "NCHAR", "VARCHAR2"}))
        return {FieldType::ftWideString, width > 0 ? width : 255};
    if (is({"MEMO", "LONGTEXT", "CLOB", "NOTE"}))
        return {FieldType::ftMemo, 0};
    if (is({"SMALLINT", "BYTE", "TINYINT", "SHORT"}))
        return {FieldType::ftSmallint, 0};
    if (is({"INTEGER", "INT", "LONG", "BIGINT", "COUNTER", "AUTOINCREMENT"}))
        return {FieldType::ftInteger, 0};
    if (is({"DOUBLE", "FLOAT", "REAL", "SINGLE", "NUMERIC", "DECIMAL"}))
        return {FieldType::ftFloat, 0};
    if (is({"CURRENCY", "MONEY"}))
        return {FieldType::ftCurrency, 0};
    if (is({"BIT", "BOOLEAN", "YESNO", "LOGICAL"}))
        return {FieldType::ftBoolean, 0};
    if (is({"DATETIME", "DATE", "TIMESTAMP", "TIME"}))
        return {FieldType::ftDateTime, 0};
    return {};
}

bool IsText(FieldType t) {
    return t == FieldType::ftString || t == FieldType::ftWideString || t == FieldType::ftMemo;
}
bool IsInteger(FieldType t) {
    return t == FieldType::ftSmallint || t == FieldType::ftInteger || t == FieldType::ftBoolean;
}
bool IsFloat(FieldType t) {
    return t == FieldType::ftFloat || t == FieldType::ftCurrency;
}

// Stores one column of the statement's current row into the row store, read by field type.
void StoreColumn(sqlite3_stmt* stmt, int column, FieldType type, RowStore& rows, int row,
                 int target) {
    const int storage = sqlite3_column_type(stmt, column);
    if (storage == SQLITE_NULL)
        return;
    if (IsInteger(type)) {
        if (storage == SQLITE_FLOAT)
            rows.SetInt(row, target, std::llround(sqlite3_column_double(stmt, column)));
        else
            rows.SetInt(row, target, sqlite3_column_int64(stmt, column));
        return;
    }
    if (IsFloat(type)) {
        rows.SetFloat(row, target, sqlite3_column_double(stmt, column));
        return;
    }
    if (type == FieldType::ftUnknown && storage == SQLITE_INTEGER) {
        rows.SetInt(row, target, sqlite3_column_int64(stmt, column));
        return;
    }
    if (type == FieldType::ftUnknown && storage == SQLITE_FLOAT) {
        rows.SetFloat(row, target, sqlite3_column_double(stmt, column));
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    rows.SetText(row, target,
                 std::string_view(text ? text : "",
                                  static_cast<size_t>(sqlite3_column_bytes(stmt, column))));
}

bool ParseBoolean(std::string_view text, bool& out) {
    const std::string upper = Upper(text);
    if (upper == "TRUE" || upper == "YES" || upper == "1" || upper == "-1") {
        out = true;
        return true;
    }
    if (upper == "FALSE" || upper == "NO" || upper == "0") {
        out = false;
        return true;
    }
    return false;
}

long long ParseInteger(std::string_view text) {
    std::string s(text);
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    s = s.substr(b, e - b);
    if (!s.empty()) {
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(s.c_str(), &end, 10);
        if (errno == 0 && end && *end == '\0')
            return v;
    }
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

TDateTime TextToDateTime(const std::string& text) {
    TDateTime dt = 0;
    if (format::TryIsoToDateTime(text, dt) || format::TryStrToDateTime(text, dt))
        return dt;
    throw EConvertError("'" + text + "' is not a valid date and time");
}

bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

// Converts an assigned value to what a column of the given type stores.
Value ConvertForColumn(FieldType type, const Value& value) {
    if (std::holds_alternative<std::monostate>(value))
        return {};
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (IsText(type) || type == FieldType::ftUnknown)
            return *text;
        if (IsBlankText(*text))
            return {};
        if (type == FieldType::ftBoolean) {
            bool b = false;
            if (!ParseBoolean(*text, b))
                throw EConvertError("'" + *text + "' is not a valid boolean value");
            return b ? 1LL : 0LL;
        }
        if (IsInteger(type))
            return ParseInteger(*text);
        if (IsFloat(type))
            return format::StrToFloat(*text);
        return format::DateTimeToIso(TextToDateTime(*text));  // ftDateTime
    }
    const bool isFloat = std::holds_alternative<double>(value);
    const double d =
        isFloat ? std::get<double>(value) : static_cast<double>(std::get<long long>(value));
    const long long i = isFloat ? std::llround(d) : std::get<long long>(value);
    if (type == FieldType::ftBoolean)
        return (isFloat ? d != 0 : i != 0) ? 1LL : 0LL;
    if (IsInteger(type))
        return i;
    if (IsFloat(type))
        return d;
    if (type == FieldType::ftDateTime)
        return format::DateTimeToIso(d);
    if (type == FieldType::ftUnknown)
        return value;
    return isFloat ? format::FloatToStr(d) : std::to_string(i);  // text columns
}

// A name as SQLite quotes it, for statements that bypass the Jet translation.
std::string SqliteName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

void Bind(sqlite3_stmt* stmt, int index, const Value& value) {
    int rc = SQLITE_OK;
    if (const auto* i = std::get_if<long long>(&value))
        rc = sqlite3_bind_int64(stmt, index, *i);
    else if (const auto* d = std::get_if<double>(&value))
        rc = sqlite3_bind_double(stmt, index, *d);
    else if (const auto* s = std::get_if<std::string>(&value))
        rc = sqlite3_bind_text(stmt, index, s->c_str(), static_cast<int>(s->size()),
                               SQLITE_TRANSIENT);
    else
        rc = sqlite3_bind_null(stmt, index);
    if (rc != SQLITE_OK)
        throw DbError("Cannot bind a value to a statement.");
}

void BindAll(sqlite3_stmt* stmt, const std::vector<Value>& parameters) {
    const int expected = sqlite3_bind_parameter_count(stmt);
    if (expected != static_cast<int>(parameters.size()))
        throw DbError("The statement expects " + std::to_string(expected) + " parameters, but " +
                      std::to_string(parameters.size()) + " were given.");
    for (int i = 0; i < expected; ++i)
        Bind(stmt, i + 1, parameters[i]);
}

// "select ..." becomes "select rowid as zl$rowid, ..." so that rows of a table without a key can
// be written back. Only a plain select of all kinds qualifies.
bool InjectRowid(const std::string& sql, std::string& out) {
    size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i])))
        ++i;
    if (sql.size() < i + 7 || !EqualNoCase(sql.substr(i, 6), "select") ||
        !std::isspace(static_cast<unsigned char>(sql[i + 6])))
        return false;
    size_t j = i + 6;
    while (j < sql.size() && std::isspace(static_cast<unsigned char>(sql[j])))
        ++j;
    if (EqualNoCase(sql.substr(j, 8), "distinct"))
        return false;
    out = sql.substr(0, i + 6) + " rowid AS \"zl$rowid\"," + sql.substr(i + 6);
    return true;
}

}  // namespace

// ----- Field -------------------------------------------------------------------------------

Value Field::AsVariant() const {
    return owner_->CurrentValue(index_);
}
bool Field::IsNull() const {
    return std::holds_alternative<std::monostate>(AsVariant());
}

std::string Field::AsString() const {
    return TextOf(AsVariant());
}

std::string Field::TextOf(Value v) const {
    if (std::holds_alternative<std::monostate>(v))
        return {};
    if (type_ == FieldType::ftBoolean) {
        if (auto* s = std::get_if<std::string>(&v)) {
            bool b = false;
            if (!ParseBoolean(*s, b))
                throw EConvertError("'" + *s + "' is not a valid boolean value");
            return b ? "True" : "False";
        }
        const double d = std::holds_alternative<double>(v)
                             ? std::get<double>(v)
                             : static_cast<double>(std::get<long long>(v));
        return d != 0 ? "True" : "False";
    }
    if (type_ == FieldType::ftDateTime) {
        TDateTime dt = 0;
        if (auto* s = std::get_if<std::string>(&v))
            return format::TryIsoToDateTime(*s, dt) ? format::DateTimeToStr(dt) : std::move(*s);
        return format::DateTimeToStr(std::holds_alternative<double>(v)
                                         ? std::get<double>(v)
                                         : static_cast<double>(std::get<long long>(v)));
    }
    if (auto* s = std::get_if<std::string>(&v))
        return std::move(*s);
    if (const auto* i = std::get_if<long long>(&v))
        return std::to_string(*i);
    return format::FloatToStr(std::get<double>(v));
}

long long Field::AsLargeInt() const {
    const Value& v = AsVariant();
    if (const auto* i = std::get_if<long long>(&v))
        return *i;
    if (const auto* d = std::get_if<double>(&v))
        return std::llround(*d);
    if (const auto* s = std::get_if<std::string>(&v))
        return IsBlankText(*s) ? 0 : ParseInteger(*s);
    return 0;
}

int Field::AsInteger() const {
    return static_cast<int>(AsLargeInt());
}

double Field::AsFloat() const {
    const Value& v = AsVariant();
    if (const auto* i = std::get_if<long long>(&v))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (IsBlankText(*s))
            return 0.0;
        if (type_ == FieldType::ftDateTime)
            return TextToDateTime(*s);
        return format::StrToFloat(*s);
    }
    return 0.0;
}

bool Field::AsBoolean() const {
    const Value& v = AsVariant();
    if (const auto* s = std::get_if<std::string>(&v)) {
        bool b = false;
        if (!ParseBoolean(*s, b))
            throw EConvertError("'" + *s + "' is not a valid boolean value");
        return b;
    }
    return AsFloat() != 0.0;
}

TDateTime Field::AsDateTime() const {
    const Value& v = AsVariant();
    if (const auto* s = std::get_if<std::string>(&v))
        return IsBlankText(*s) ? 0.0 : TextToDateTime(*s);
    return AsFloat();
}

void Field::CheckRange(const Value& value) const {
    if (!hasRange_)
        return;
    double number = 0;
    if (const auto* i = std::get_if<long long>(&value))
        number = static_cast<double>(*i);
    else if (const auto* d = std::get_if<double>(&value))
        number = *d;
    else
        return;  // nulls, texts and dates are not numbers
    if (number >= rangeMin_ && number <= rangeMax_)
        return;
    throw RangeError("Please enter a value between " + format::FloatToStr(rangeMin_) + " and " +
                     format::FloatToStr(rangeMax_) + ".");
}

void Field::SetAsVariant(const Value& value) {
    owner_->Assign(index_, ConvertForColumn(type_, value));
}
void Field::SetAsString(std::string_view value) {
    SetAsVariant(std::string(value));
}
void Field::SetAsInteger(long long value) {
    SetAsVariant(value);
}
void Field::SetAsFloat(double value) {
    SetAsVariant(value);
}
void Field::SetAsBoolean(bool value) {
    if (IsText(type_))
        SetAsVariant(std::string(value ? "True" : "False"));
    else
        SetAsVariant(value ? 1LL : 0LL);
}
void Field::SetAsDateTime(TDateTime value) {
    if (IsText(type_))
        SetAsVariant(format::DateTimeToStr(value));
    else if (type_ == FieldType::ftDateTime || type_ == FieldType::ftUnknown)
        owner_->Assign(index_, format::DateTimeToIso(value));
    else
        SetAsVariant(value);
}
void Field::Clear() {
    owner_->Assign(index_, Value{});
}

// ----- Query: opening and closing ------------------------------------------------------------

Query::Query(Connection* connection) : connection_(connection) {}
Query::~Query() = default;

void Query::SetConnection(Connection* connection) {
    if (connection_ != connection)
        Close();
    connection_ = connection;
}

void Query::SetSQL(std::string sql) {
    Close();
    sql_ = std::move(sql);
    parameters_.clear();
}

void Query::SetParameters(std::vector<Value> values) {
    Close();
    parameters_ = std::move(values);
}

void Query::SetFieldRange(std::string_view column, double min, double max) {
    if (!(min <= max))
        throw DbError("The range given for field '" + std::string(column) +
                      "' is empty: its minimum lies above its maximum.");
    ranges_[Upper(column)] = {min, max};
    if (Field* f = FindField(column))
        ApplyRange(*f);
}

void Query::ClearFieldRanges() {
    ranges_.clear();
    for (auto& f : fields_)
        ApplyRange(*f);
}

void Query::SetDerivedColumn(std::string_view column, std::string expression) {
    derived_[Upper(column)] = std::move(expression);
}

void Query::ApplyRange(Field& field) const {
    const auto it = ranges_.find(Upper(field.name_));
    field.hasRange_ = it != ranges_.end();
    field.rangeMin_ = field.hasRange_ ? it->second.min : 0;
    field.rangeMax_ = field.hasRange_ ? it->second.max : 0;
}

void Query::BindParameters(void* statement) const {
    BindAll(static_cast<sqlite3_stmt*>(statement), parameters_);
}

void Query::Open() {
    Close();
    if (!connection_)
        throw DbError("The query has no connection.");
    // Taken before the read: a change committed while it runs shows at the next check.
    const ChangeToken token = connection_->Changes();
    Install(Read(*connection_, sql_, parameters_), token, 0);
}

// Computed columns take their type from their values.
void Query::TypeComputed(std::vector<std::unique_ptr<Field>>& fields, RowStore& rows) {
    for (int i = 0; i < rows.Columns(); ++i) {
        Field& f = *fields[i];
        if (f.type_ != FieldType::ftUnknown)
            continue;
        bool anyFloat = false, anyInt = false, anyText = false;
        size_t widest = 0;
        for (int r = 0; r < rows.Rows(); ++r) {
            anyFloat |= rows.IsReal(r, i);
            anyInt |= rows.IsInteger(r, i);
            if (rows.IsText(r, i)) {
                anyText = true;
                // A text has at most as many characters as bytes: count only candidates.
                const std::string_view text = rows.Text(r, i);
                if (text.size() > widest)
                    widest = std::max(widest, Utf8Length(text));
            }
        }
        if (anyText) {
            f.type_ = FieldType::ftWideString;
            f.size_ = static_cast<int>(std::max<size_t>(widest, 1));
        } else if (anyFloat) {
            f.type_ = FieldType::ftFloat;
        } else if (anyInt) {
            f.type_ = FieldType::ftInteger;
        } else {
            f.type_ = FieldType::ftWideString;
            f.size_ = 255;
        }
        // Mixed integer and float results read as floats.
        if (f.type_ == FieldType::ftFloat)
            for (int r = 0; r < rows.Rows(); ++r)
                if (rows.IsInteger(r, i))
                    rows.SetFloat(r, i, static_cast<double>(std::get<long long>(rows.Get(r, i))));
    }
}

ReadResult Query::Read(Connection& connection, const std::string& sql,
                       const std::vector<Value>& parameters, int firstRows,
                       const std::function<void(ReadResult)>& onFirst) {
    sqlite3* db = connection.Handle();
    const std::string translated = TranslateJet(sql);

    Prepared prepared = PrepareRecording(connection, translated);
    sqlite3_stmt* stmt = prepared.stmt->get();
    if (sqlite3_column_count(stmt) == 0)
        throw DbError("The SQL text does not return a result set.");

    // Decide where Post writes: the table of column 0, by its key or by rowid.
    int firstColumn = 0;
    std::string base;
    bool byRowid = false;
    if (const char* table = sqlite3_column_table_name(stmt, 0);
        table && !prepared.viewTables.count(table)) {
        const char* origin = sqlite3_column_origin_name(stmt, 0);
        const char* dbName = sqlite3_column_database_name(stmt, 0);
        int primaryKey = 0;
        if (origin && sqlite3_table_column_metadata(db, dbName, table, origin, nullptr, nullptr,
                                                    nullptr, &primaryKey, nullptr) == SQLITE_OK) {
            base = table;
            if (!primaryKey) {
                std::string withRowid;
                // A join makes a bare rowid ambiguous: such a result is read-only.
                std::optional<Prepared> again;
                if (InjectRowid(translated, withRowid)) {
                    try {
                        again.emplace(PrepareRecording(connection, withRowid));
                    } catch (const DbError&) {
                        again.reset();
                    }
                }
                const char* rowidTable =
                    again ? sqlite3_column_table_name(again->stmt->get(), 0) : nullptr;
                if (rowidTable && base == rowidTable) {
                    prepared = std::move(*again);
                    stmt = prepared.stmt->get();
                    firstColumn = 1;
                    byRowid = true;
                } else {
                    base.clear();
                }
            }
        }
    }

    const int columns = sqlite3_column_count(stmt) - firstColumn;
    std::vector<std::unique_ptr<Field>> fields;
    for (int i = 0; i < columns; ++i) {
        const int c = i + firstColumn;
        auto f = std::make_unique<Field>();
        f->index_ = i;
        f->name_ = sqlite3_column_name(stmt, c);
        const DeclaredType declared = FromDeclaredType(sqlite3_column_decltype(stmt, c));
        f->type_ = declared.type;
        f->size_ = declared.size;
        const char* table = sqlite3_column_table_name(stmt, c);
        const char* origin = sqlite3_column_origin_name(stmt, c);
        f->writable_ = !base.empty() && table && origin && base == table;
        if (origin)
            f->baseColumn_ = origin;
        fields.push_back(std::move(f));
    }

    BindAll(stmt, parameters);
    RowStore rows(columns);
    while (prepared.stmt->Step()) {
        const int row = rows.Rows();
        rows.AddRow(byRowid ? sqlite3_column_int64(stmt, 0) : 0);
        for (int i = 0; i < columns; ++i)
            StoreColumn(stmt, i + firstColumn, fields[i]->type_, rows, row, i);
        if (row + 1 == firstRows && onFirst) {
            // A copy of the first rows, typed as they stand, so that a list can show its first
            // screen while the rest is read.
            std::vector<std::unique_ptr<Field>> firstFields;
            for (const auto& f : fields)
                firstFields.push_back(std::make_unique<Field>(*f));
            RowStore first(columns);
            for (int r = 0; r < rows.Rows(); ++r)
                first.InsertRow(r, rows.GetRow(r), rows.RowId(r));
            TypeComputed(firstFields, first);
            onFirst(ReadResult{std::move(firstFields), std::move(first), base, byRowid, false});
        }
    }
    prepared.stmt.reset();  // no open statement, so no lock, outlives Open

    TypeComputed(fields, rows);
    return ReadResult{std::move(fields), std::move(rows), base, byRowid};
}

void Query::Install(ReadResult result, ChangeToken token, int pos) {
    for (auto& f : result.fields) {
        f->owner_ = this;
        ApplyRange(*f);
    }
    fields_ = std::move(result.fields);
    rows_ = std::move(result.rows);
    baseTable_ = std::move(result.baseTable);
    byRowid_ = result.byRowid;
    rowidColumn_ = byRowid_ ? 0 : -1;
    complete_ = result.complete;
    token_ = token;
    state_ = DataSetState::dsBrowse;
    pos_ = rows_.Empty() ? -1 : std::clamp(pos, 0, rows_.Rows() - 1);
    bof_ = pos_ <= 0;
    eof_ = rows_.Empty();
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::DataSetChanged);
    NotifyScroll();
}

void Query::Close() {
    if (state_ == DataSetState::dsInactive)
        return;
    state_ = DataSetState::dsInactive;
    fields_.clear();
    rows_ = RowStore();
    buffer_.clear();
    changed_.clear();
    pos_ = -1;
    bof_ = eof_ = true;
    baseTable_.clear();
    byRowid_ = false;
    complete_ = true;
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::DataSetChanged);
}

void Query::Requery() {
    if (!connection_)
        throw DbError("The query has no connection.");
    const ChangeToken token = connection_->Changes();
    Adopt(Read(*connection_, sql_, parameters_), token);
}

bool Query::ChangedSinceRead() const {
    return !Active() || !connection_ || !connection_->Connected() ||
           connection_->Changes() != token_;
}

void Query::Adopt(ReadResult result, ChangeToken token, Connection& connection, std::string sql,
                  std::vector<Value> parameters) {
    if (Editing())
        throw DbError("The rows cannot be replaced while one of them is being edited.");
    connection_ = &connection;
    sql_ = std::move(sql);
    parameters_ = std::move(parameters);
    Replace(std::move(result), token, false);
}

void Query::Adopt(ReadResult result, ChangeToken token) {
    if (Editing())
        throw DbError("The rows cannot be replaced while one of them is being edited.");
    Replace(std::move(result), token, true);
}

void Query::Replace(ReadResult result, ChangeToken token, bool keepNumber) {
    // The row that was current stays current by its key, else by its number or on the first.
    int pos = 0;
    if (Active() && pos_ >= 0 && !fields_.empty() && !result.fields.empty()) {
        const Value key = rows_.Get(pos_, 0);
        pos = keepNumber ? pos_ : 0;
        if (!std::holds_alternative<std::monostate>(key))
            for (int r = 0; r < result.rows.Rows(); ++r)
                if (result.rows.Get(r, 0) == key) {
                    pos = r;
                    break;
                }
    }
    buffer_.clear();
    changed_.clear();
    Install(std::move(result), token, pos);
}

int Query::ExecSQL() {
    if (!connection_)
        throw DbError("The query has no connection.");
    if (parameters_.empty())
        return connection_->Execute(sql_);
    Statement stmt(*connection_, TranslateJet(sql_));
    if (!connection_->InTransaction() && !sqlite3_stmt_readonly(stmt.get()))
        connection_->RequireSameFile();
    BindParameters(stmt.get());
    while (stmt.Step()) {
    }
    return sqlite3_changes(connection_->Handle());
}

// ----- navigation --------------------------------------------------------------------------

void Query::RequireActive() const {
    if (state_ == DataSetState::dsInactive)
        throw DbError("Cannot perform this operation on a closed dataset");
}

void Query::FetchAll() {
    if (complete_ || !completion_ || Editing())
        return;
    const std::function<void()> completion = completion_;  // it may replace itself
    completion();
}

int Query::RecordCount() {
    FetchAll();
    return rows_.Rows();
}

int Query::RecNo() const {
    if (state_ == DataSetState::dsInsert)
        return insertPos_ + 1;
    return pos_ + 1;
}

void Query::Scroll(int newPos, bool bof, bool eof) {
    // Leaving an edited row posts it, as the original layer does.
    if (Editing()) {
        UpdateRecord();
        const bool modified = std::find(changed_.begin(), changed_.end(), true) != changed_.end();
        if (modified)
            Post();
        else
            Cancel();
    }
    const bool moved = newPos != pos_;
    pos_ = newPos;
    bof_ = bof;
    eof_ = eof;
    if (moved) {
        Notify(DataEvent::RecordChanged);
        NotifyScroll();
    }
}

void Query::First() {
    RequireActive();
    Scroll(rows_.Empty() ? -1 : 0, true, rows_.Empty());
}

void Query::Last() {
    RequireActive();
    FetchAll();
    Scroll(rows_.Rows() - 1, rows_.Empty(), true);
}

void Query::Next() {
    RequireActive();
    if (pos_ + 1 >= rows_.Rows())
        FetchAll();
    if (rows_.Empty() || pos_ + 1 >= rows_.Rows()) {
        Scroll(pos_, rows_.Empty(), true);
        return;
    }
    Scroll(pos_ + 1, false, false);
}

void Query::Prior() {
    RequireActive();
    if (pos_ <= 0) {
        Scroll(pos_, true, rows_.Empty());
        return;
    }
    Scroll(pos_ - 1, false, false);
}

void Query::SetRecNo(int recNo) {
    RequireActive();
    if (recNo > rows_.Rows())
        FetchAll();
    if (recNo < 1 || recNo > rows_.Rows())
        return;
    Scroll(recNo - 1, false, false);
}

// ----- fields --------------------------------------------------------------------------------

Field& Query::Fields(int index) {
    if (index < 0 || index >= FieldCount())
        throw DbError("List index out of bounds (" + std::to_string(index) + ")");
    return *fields_[index];
}

Field* Query::FindField(std::string_view name) {
    // Names are nearly always asked for as the columns spell them: that cheap test first.
    for (auto& f : fields_)
        if (f->name_ == name)
            return f.get();
    for (auto& f : fields_)
        if (EqualNoCase(f->name_, name))
            return f.get();
    return nullptr;
}

Field& Query::FieldByName(std::string_view name) {
    if (Field* f = FindField(name))
        return *f;
    throw DbError("Field '" + std::string(name) + "' not found");
}

Value Query::ValueAt(int row, int column) const {
    if (row < 0 || row >= rows_.Rows() || column < 0 || column >= FieldCount())
        throw DbError("No row " + std::to_string(row) + ", column " + std::to_string(column));
    return rows_.Get(row, column);
}

std::string Query::TextAt(int row, int column) const {
    return fields_[column]->TextOf(ValueAt(row, column));
}

Value Query::CurrentValue(int index) const {
    if (Editing())
        return buffer_[index];
    if (pos_ < 0 || pos_ >= rows_.Rows())
        return {};
    return rows_.Get(pos_, index);
}

void Query::Assign(int index, Value value) {
    if (state_ != DataSetState::dsEdit && state_ != DataSetState::dsInsert)
        throw DbError("Dataset not in edit or insert mode");
    const Field& f = *fields_[index];
    if (!f.writable_)
        throw DbError("Field '" + f.name_ + "' cannot be modified");
    f.CheckRange(value);
    buffer_[index] = std::move(value);
    changed_[index] = true;
    Notify(DataEvent::FieldChanged, &f);
}

// ----- editing -------------------------------------------------------------------------------

void Query::RequireWritable() const {
    RequireActive();
    if (baseTable_.empty())
        throw DbError(
            "Cannot modify a read-only dataset: its rows come from a view or a "
            "computed result.");
}

void Query::Edit() {
    RequireWritable();
    if (Editing())
        return;
    if (rows_.Empty()) {
        Insert();
        return;
    }
    buffer_ = rows_.GetRow(pos_);
    bufferRowid_ = rows_.RowId(pos_);
    changed_.assign(fields_.size(), false);
    state_ = DataSetState::dsEdit;
    Notify(DataEvent::StateChanged);
}

void Query::Append() {
    BeginInsert(true);
}

void Query::Insert() {
    BeginInsert(false);
}

void Query::BeginInsert(bool atEnd) {
    RequireWritable();
    if (atEnd)
        FetchAll();
    Scroll(pos_, bof_, eof_);  // posts or cancels a pending edit
    posBeforeInsert_ = pos_;
    insertPos_ = atEnd ? rows_.Rows() : std::max(pos_, 0);
    buffer_.assign(fields_.size(), Value{});
    bufferRowid_ = 0;
    changed_.assign(fields_.size(), false);
    state_ = DataSetState::dsInsert;
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::RecordChanged);
}

void Query::CheckWidths() const {
    const std::vector<Value>& values = buffer_;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const Field& f = *fields_[i];
        if (!changed_[i] || f.size_ <= 0 ||
            (f.type_ != FieldType::ftString && f.type_ != FieldType::ftWideString))
            continue;
        if (const auto* s = std::get_if<std::string>(&values[i]);
            s && Utf8Length(*s) > static_cast<size_t>(f.size_))
            throw DbError("The field '" + f.name_ +
                          "' is too small to accept the amount of data "
                          "you attempted to add (at most " +
                          std::to_string(f.size_) +
                          " characters). Try inserting or pasting less data.");
    }
}

std::string Query::KeyCondition() const {
    return byRowid_ ? std::string("rowid=?") : SqliteName(fields_[0]->baseColumn_) + "=?";
}

void Query::BindKey(void* stmt, int index, const Value& key, long long rowid) const {
    Bind(static_cast<sqlite3_stmt*>(stmt), index, byRowid_ ? Value(rowid) : key);
}

const std::string* Query::DerivedExpression(int index) const {
    const auto found = derived_.find(Upper(fields_[index]->name_));
    return found == derived_.end() || !fields_[index]->writable_ ? nullptr : &found->second;
}

void Query::WriteInsert(std::vector<Value>& row, long long& rowid) {
    std::string names, marks;
    std::vector<int> columns;
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (!changed_[i])
            continue;
        names += (names.empty() ? "" : ",") + SqliteName(fields_[i]->baseColumn_);
        marks += marks.empty() ? "?" : ",?";
        columns.push_back(static_cast<int>(i));
    }
    const std::string sql =
        columns.empty()
            ? "INSERT INTO " + SqliteName(baseTable_) + " DEFAULT VALUES"
            : "INSERT INTO " + SqliteName(baseTable_) + " (" + names + ") VALUES (" + marks + ")";
    Statement stmt(*connection_, sql);
    for (size_t k = 0; k < columns.size(); ++k)
        Bind(stmt.get(), static_cast<int>(k + 1), row[columns[k]]);
    stmt.Step();
    const long long inserted = sqlite3_last_insert_rowid(connection_->Handle());
    if (byRowid_)
        rowid = inserted;
    else if (std::holds_alternative<std::monostate>(row[0]))
        row[0] = inserted;  // the key is the rowid itself
}

void Query::WriteEdit(const std::vector<Value>& row) {
    // Each changed column must still hold what was read (IS: nulls compare too; BINARY: a
    // change of case is a change), so that another connection's save is never overwritten.
    std::string assignments, checks;
    std::vector<int> columns;
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (!changed_[i] || DerivedExpression(static_cast<int>(i)))
            continue;
        const std::string name = SqliteName(fields_[i]->baseColumn_);
        assignments += (assignments.empty() ? "" : ",") + name + "=?";
        checks += " AND " + name + " IS ? COLLATE BINARY";
        columns.push_back(static_cast<int>(i));
    }
    if (columns.empty())
        return;
    Statement stmt(*connection_, "UPDATE " + SqliteName(baseTable_) + " SET " + assignments +
                                     " WHERE " + KeyCondition() + checks);
    int k = 1;
    for (int c : columns)
        Bind(stmt.get(), k++, row[c]);
    BindKey(stmt.get(), k++, rows_.Get(pos_, 0), rows_.RowId(pos_));
    for (int c : columns)
        Bind(stmt.get(), k++, rows_.Get(pos_, c));
    stmt.Step();
    if (sqlite3_changes(connection_->Handle()) == 0)
        throw DbError(kRowNotLocated);
}

void Query::WriteDerived(std::vector<Value>& row, long long rowid) {
    std::string assignments, names;
    std::vector<int> columns;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const std::string* expression = DerivedExpression(static_cast<int>(i));
        if (!expression)
            continue;
        const std::string name = SqliteName(fields_[i]->baseColumn_);
        assignments += (assignments.empty() ? "" : ",") + name + "=(" + *expression + ")";
        names += (names.empty() ? "" : ",") + name;
        columns.push_back(static_cast<int>(i));
    }
    if (columns.empty())
        return;
    Statement stmt(*connection_, "UPDATE " + SqliteName(baseTable_) + " SET " + assignments +
                                     " WHERE " + KeyCondition() + " RETURNING " + names);
    BindKey(stmt.get(), 1, row[0], rowid);
    if (!stmt.Step())
        throw DbError(kRowNotLocated);  // deleted meanwhile
    for (size_t k = 0; k < columns.size(); ++k) {
        RowStore one(1);
        one.AddRow(0);
        StoreColumn(stmt.get(), static_cast<int>(k), fields_[columns[k]]->type_, one, 0, 0);
        row[columns[k]] = one.Get(0, 0);
    }
    while (stmt.Step()) {
    }
}

void Query::UpdateRecord() {
    const auto updaters = updateHandlers_;  // a handler may unsubscribe
    for (const auto& h : updaters)
        h.second();
}

void Query::Post() {
    RequireActive();
    if (state_ != DataSetState::dsEdit && state_ != DataSetState::dsInsert)
        return;
    UpdateRecord();
    CheckWidths();
    const bool inserting = state_ == DataSetState::dsInsert;
    bool anyChange = inserting;
    for (bool c : changed_)
        anyChange |= c;
    // The record keeps what was typed until everything is stored.
    std::vector<Value> row = buffer_;
    long long rowid = bufferRowid_;
    if (anyChange) {
        Transaction transaction(*connection_);
        if (inserting)
            WriteInsert(row, rowid);
        else
            WriteEdit(row);
        WriteDerived(row, rowid);
        transaction.Commit();
    }
    buffer_ = std::move(row);
    bufferRowid_ = rowid;
    if (inserting) {
        rows_.InsertRow(insertPos_, buffer_, bufferRowid_);
        pos_ = insertPos_;
    } else {
        rows_.ReplaceRow(pos_, buffer_, bufferRowid_);
    }
    state_ = DataSetState::dsBrowse;
    bof_ = eof_ = false;
    changed_.clear();
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::DataSetChanged);
}

void Query::Cancel() {
    if (state_ == DataSetState::dsInsert) {
        state_ = DataSetState::dsBrowse;
        pos_ = posBeforeInsert_;
        if (pos_ >= rows_.Rows())
            pos_ = rows_.Rows() - 1;
    } else if (state_ == DataSetState::dsEdit) {
        state_ = DataSetState::dsBrowse;
    } else {
        return;
    }
    changed_.clear();
    buffer_.clear();
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::RecordChanged);
}

void Query::Delete() {
    RequireWritable();
    if (state_ == DataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (state_ == DataSetState::dsEdit)
        Cancel();
    if (rows_.Empty() || pos_ < 0)
        throw DbError("Cannot perform this operation on an empty dataset");
    {
        Transaction transaction(*connection_);
        Statement stmt(*connection_,
                       "DELETE FROM " + SqliteName(baseTable_) + " WHERE " + KeyCondition());
        BindKey(stmt.get(), 1, rows_.Get(pos_, 0), rows_.RowId(pos_));
        stmt.Step();
        transaction.Commit();
    }
    rows_.EraseRow(pos_);
    if (pos_ >= rows_.Rows())
        pos_ = rows_.Rows() - 1;
    bof_ = pos_ <= 0;
    eof_ = rows_.Empty();
    Notify(DataEvent::DataSetChanged);
    NotifyScroll();
}

// ----- locating ------------------------------------------------------------------------------

bool Query::Locate(std::string_view keyFields, const std::vector<Value>& values, int options) {
    RequireActive();
    std::vector<Field*> fields;
    size_t start = 0;
    while (start <= keyFields.size()) {
        size_t end = keyFields.find(';', start);
        if (end == std::string_view::npos)
            end = keyFields.size();
        fields.push_back(&FieldByName(keyFields.substr(start, end - start)));
        start = end + 1;
    }
    if (fields.size() != values.size())
        throw DbError("Locate needs one value for each key field.");

    const bool caseInsensitive = options & loCaseInsensitive;
    const bool partial = options & loPartialKey;
    std::vector<Value> wanted;
    for (size_t k = 0; k < fields.size(); ++k) {
        try {
            wanted.push_back(ConvertForColumn(fields[k]->type_, values[k]));
        } catch (const std::exception&) {
            return false;  // a key that the column cannot hold matches no row
        }
        if (caseInsensitive)
            if (auto* s = std::get_if<std::string>(&wanted.back()))
                *s = ToLowerUtf8(*s);
    }
    auto matches = [&](int row) {
        for (size_t k = 0; k < fields.size(); ++k) {
            const Value& want = wanted[k];
            if (const auto* w = std::get_if<std::string>(&want)) {
                // Read in place: a key typed into a search tries every row of the list.
                if (!rows_.IsText(row, fields[k]->index_))
                    return false;
                const std::string_view text = rows_.Text(row, fields[k]->index_);
                if (caseInsensitive ? !LowerCaseMatch(text, *w, partial)
                                    : (partial ? !text.starts_with(*w) : text != *w))
                    return false;
                continue;
            }
            const Value have = rows_.Get(row, fields[k]->index_);
            if (std::holds_alternative<std::monostate>(want)) {
                if (!std::holds_alternative<std::monostate>(have))
                    return false;
            } else {
                const auto asDouble = [](const Value& v, double& out) {
                    if (const auto* i = std::get_if<long long>(&v))
                        out = static_cast<double>(*i);
                    else if (const auto* d = std::get_if<double>(&v))
                        out = *d;
                    else
                        return false;
                    return true;
                };
                double a = 0, b = 0;
                if (!asDouble(have, a) || !asDouble(want, b) || a != b)
                    return false;
            }
        }
        return true;
    };
    for (int i = 0; i < rows_.Rows(); ++i) {
        if (matches(i)) {
            Scroll(i, false, false);
            return true;
        }
    }
    // Not among the first rows: look again among all of them (the fields are new then).
    if (!complete_) {
        FetchAll();
        if (complete_)
            return Locate(keyFields, values, options);
    }
    return false;
}

// ----- notifications -------------------------------------------------------------------------

int Query::OnAfterScroll(std::function<void()> handler) {
    scrollHandlers_.emplace_back(nextSubscription_, std::move(handler));
    return nextSubscription_++;
}

int Query::OnDataChange(std::function<void(DataEvent, const Field*)> handler) {
    changeHandlers_.emplace_back(nextSubscription_, std::move(handler));
    return nextSubscription_++;
}

int Query::OnUpdateRecord(std::function<void()> handler) {
    updateHandlers_.emplace_back(nextSubscription_, std::move(handler));
    return nextSubscription_++;
}

void Query::Unsubscribe(int id) {
    std::erase_if(updateHandlers_, [id](const auto& h) { return h.first == id; });
    std::erase_if(scrollHandlers_, [id](const auto& h) { return h.first == id; });
    std::erase_if(changeHandlers_, [id](const auto& h) { return h.first == id; });
}

void Query::Notify(DataEvent event, const Field* field) {
    const auto handlers = changeHandlers_;  // a handler may unsubscribe
    for (const auto& h : handlers)
        h.second(event, field);
}

void Query::NotifyScroll() {
    const auto handlers = scrollHandlers_;
    for (const auto& h : handlers)
        h.second();
}

}  // namespace zl::db
