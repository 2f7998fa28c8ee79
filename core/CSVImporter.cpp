#include "core/CSVImporter.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

#include "core/CSVExporter.h"
#include "core/DataMod.h"
#include "core/DimensionTable.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/db/Unicode.h"
#include "platform/format/Format.h"

namespace zl {
namespace {

// A fault of the file or of one of its rows; the message names the line.
class FileError : public std::runtime_error {
  public:
    FileError(int line, const std::string& what)
        : std::runtime_error("Line " + std::to_string(line) + ": " + what) {}
};

struct Record {
    int line = 0;  // the file line the record begins on, from 1
    std::vector<std::string> fields;
};

// The length of the UTF-8 sequence a lead byte begins and the least code point such a
// sequence may carry; length 0 for a byte that begins none.
std::pair<std::size_t, unsigned> SequenceOf(unsigned char lead) {
    if (lead < 0x80)
        return {1, 0};
    if ((lead & 0xE0) == 0xC0)
        return {2, 0x80};
    if ((lead & 0xF0) == 0xE0)
        return {3, 0x800};
    if ((lead & 0xF8) == 0xF0)
        return {4, 0x10000};
    return {0, 0};
}

// The line of the first byte that is not part of valid UTF-8, or nullopt.
std::optional<int> FirstLineNotUtf8(const std::string& text) {
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead == '\n')
            ++line;
        const auto [length, least] = SequenceOf(lead);
        if (length == 0 || i + length > text.size())
            return line;
        unsigned code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return line;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return line;
        i += length;
    }
    return std::nullopt;
}

// Semicolon when the first row holds more semicolons than commas outside quotes.
char FirstRowDelimiter(const std::string& text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\r' || c == '\n'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

// RFC 4180 records: fields in double quotes may hold the delimiter, doubled quotes and line
// breaks (kept as they are); rows end in CR LF, LF or CR.
std::vector<Record> ParseRecords(const std::string& text, char delimiter) {
    std::vector<Record> records;
    int line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        Record record{line, {}};
        std::string field;
        bool quoted = false;  // the field began with a quote
        bool closed = false;  // ... and its closing quote has been read
        for (;;) {
            if (i == n) {
                if (quoted && !closed)
                    throw FileError(record.line, "a value in quotes is not closed.");
                record.fields.push_back(std::move(field));
                break;
            }
            const char c = text[i];
            if (c == '\0')
                throw FileError(line, "a value holds a NUL character.");
            if (quoted && !closed) {
                if (c == '"' && i + 1 < n && text[i + 1] == '"') {
                    field += '"';
                    i += 2;
                    continue;
                }
                if (c == '"')
                    closed = true;
                else
                    field += c;
                if (c == '\n')
                    ++line;
                ++i;
                continue;
            }
            if (c == delimiter) {
                record.fields.push_back(std::move(field));
                field.clear();
                quoted = closed = false;
                ++i;
                continue;
            }
            if (c == '\r' || c == '\n') {
                record.fields.push_back(std::move(field));
                i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
                ++line;
                break;
            }
            if (closed)
                throw FileError(line, "text follows the closing quote of a value.");
            if (c == '"' && field.empty())
                quoted = true;
            else
                field += c;  // a quote inside a value without quotes is taken as it is
            ++i;
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool IsBlankRecord(const Record& record) {
    for (const std::string& f : record.fields)
        if (!Trimmed(f).empty())
            return false;
    return true;
}

// Which file column feeds which customer or address column.
struct Mapping {
    struct Target {
        std::size_t fileColumn;
        std::string table;
        std::string name;
    };
    std::vector<Target> targets;
    std::vector<std::string> leftOut;
    bool Has(std::string_view name) const {
        for (const Target& t : targets)
            if (t.name == name)
                return true;
        return false;
    }
};

Mapping MapHeader(const Record& header) {
    Mapping mapping;
    const std::vector<CustomerColumn>& columns = CustomerFileColumns();
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = Trimmed(header.fields[i]);
        const std::string lower = db::ToLowerUtf8(name);
        // Every imported customer and address gets a key of its own.
        if (lower == "entity_id" || lower == "address_id")
            continue;
        const CustomerColumn* match = nullptr;
        for (const CustomerColumn& c : columns)
            if (lower == c.name)
                match = &c;
        if (!match) {
            mapping.leftOut.push_back(name.empty() ? "(column " + std::to_string(i + 1) + ")"
                                                   : name);
            continue;
        }
        if (mapping.Has(match->name))
            throw FileError(header.line,
                            "the column " + std::string(match->name) + " is named more than once.");
        mapping.targets.push_back({i, std::string(match->table), std::string(match->name)});
    }
    if (!mapping.Has("entity_name"))
        throw FileError(header.line, "no column entity_name: every customer needs a name.");
    return mapping;
}

// The keys of the rows a column may refer to.
std::set<int> KeysOf(const std::string& sql) {
    db::Query q(&DataMod->zlmConn);
    std::set<int> keys;
    if (!DataMod->openQuery(DataMod->zlmConn, q, "CSVImporter.Import", sql))
        throw std::runtime_error("the customer types and regions could not be read.");
    for (q.First(); !q.Eof(); q.Next())
        keys.insert(q.Fields(0).AsInteger());
    return keys;
}

// What a new customer starts with (dim_def of dimension 1), read before any row is stored.
std::vector<std::pair<std::string, std::string>> CustomerDefaults() {
    db::Query q(&DataMod->zlmConn);
    if (!DataMod->openQuery(DataMod->zlmConn, q, "CSVImporter.Import",
                            "select dim_def_field, dim_def_value from dim_def where "
                            "dimension_id=1 order by dim_def_id"))
        throw std::runtime_error("the starting values of a new customer could not be read.");
    std::vector<std::pair<std::string, std::string>> defaults;
    for (q.First(); !q.Eof(); q.Next())
        defaults.emplace_back(q.Fields(0).AsString(), q.Fields(1).AsString());
    return defaults;
}

// Writes one file value into a column of the row being inserted; raises a plain message.
void WriteValue(db::Field& field, const std::string& value) {
    const db::FieldType type = field.DataType();
    if (type == db::FieldType::ftString || type == db::FieldType::ftWideString) {
        const std::size_t length = db::Utf8Length(value);
        if (field.Size() > 0 && length > static_cast<std::size_t>(field.Size()))
            throw std::runtime_error("the value of " + field.FieldName() + " has " +
                                     std::to_string(length) + " characters; at most " +
                                     std::to_string(field.Size()) + " fit.");
        field.SetAsString(value);
        return;
    }
    const std::string number = Trimmed(value);
    // An empty number keeps the column's first value.
    if (number.empty())
        return;
    try {
        field.SetAsString(number);
    } catch (const db::RangeError& e) {
        throw std::runtime_error("the value of " + field.FieldName() + " is out of range. " +
                                 e.what());
    } catch (const std::exception&) {
        throw std::runtime_error("the value of " + field.FieldName() + ", \"" + number +
                                 "\", is not a number.");
    }
}

class RowWriter {
  public:
    RowWriter(const Mapping& mapping, bool checkRegions, bool checkTypes)
        : mapping_(mapping),
          defaults_(CustomerDefaults()),
          entity_(&DataMod->zlmConn),
          address_(&DataMod->zlmConn) {
        if (checkRegions)
            regions_ = KeysOf("select entity_id from entity where dimension_id=16");
        if (checkTypes)
            types_ = KeysOf("select customer_type_id from customer_type");
        // Only the columns are needed: empty sets of the two tables to append to.
        if (!DataMod->openQuery(DataMod->zlmConn, entity_, "CSVImporter.Import",
                                "select * from entity where 1=0") ||
            !DataMod->openQuery(DataMod->zlmConn, address_, "CSVImporter.Import",
                                "select * from address where 1=0"))
            throw std::runtime_error("the customer tables could not be opened.");
        // The limits the customer dialog sets on these percentages.
        entity_.SetFieldRange("entity_taxrate", 0, 1000);
        entity_.SetFieldRange("entity_discount", 0, 100);
    }

    // Stores one customer and its address under the keys given; raises on a value that does
    // not fit. Runs inside the import's transaction: shows nothing.
    void Write(const Record& record, int customerKey, int addressKey) {
        try {
            DataMod->AppendWithKey(entity_, customerKey);
            ClearPlaceholders(entity_);
            entity_.FieldByName("dimension_id").SetAsInteger(1);
            for (const auto& [column, value] : defaults_)
                WriteDefault(entity_, column, value);
            WriteColumns(entity_, "entity", record);
            CheckReference("region_id", regions_, "region");
            CheckReference("customer_type_id", types_, "customer type");
            if (Trimmed(entity_.FieldByName("entity_name").AsString()).empty())
                throw std::runtime_error("the customer has no name (entity_name is empty).");
            entity_.FieldByName("entity_fullname")
                .SetAsString(entity_.FieldByName("entity_name").AsString() + " " +
                             entity_.FieldByName("entity_first").AsString() + " " +
                             entity_.FieldByName("entity_title").AsString());
            entity_.Post();
            DataMod->AppendWithKey(address_, addressKey);
            ClearPlaceholders(address_);
            address_.FieldByName("entity_id").SetAsInteger(customerKey);
            WriteColumns(address_, "address", record);
            address_.Post();
        } catch (const std::exception& e) {
            for (db::Query* q : {&entity_, &address_})
                if (q->Editing())
                    q->Cancel();
            throw FileError(record.line, e.what());
        }
    }

  private:
    // A column the file does not have stays empty: the placeholder of a new row in a dialog
    // would be stored as if someone had typed it.
    static void ClearPlaceholders(db::Query& q) {
        for (int i = 0; i < q.FieldCount(); ++i) {
            db::Field& field = q.Fields(i);
            if ((field.DataType() == db::FieldType::ftString ||
                 field.DataType() == db::FieldType::ftWideString) &&
                field.AsString() == "[no value]")
                field.SetAsString("");
        }
    }
    void WriteColumns(db::Query& q, const std::string& table, const Record& record) {
        for (const Mapping::Target& t : mapping_.targets)
            if (t.table == table && t.fileColumn < record.fields.size())
                WriteValue(q.FieldByName(t.name), FromSpreadsheetText(record.fields[t.fileColumn]));
    }
    void CheckReference(const char* column, const std::set<int>& keys, const char* kind) {
        const int key = entity_.FieldByName(column).AsInteger();
        if (key != 0 && mapping_.Has(column) && !keys.count(key))
            throw std::runtime_error("there is no " + std::string(kind) + " " +
                                     std::to_string(key) + " (" + column + ").");
    }

    const Mapping& mapping_;
    std::vector<std::pair<std::string, std::string>> defaults_;
    std::set<int> regions_;
    std::set<int> types_;
    db::Query entity_;
    db::Query address_;
};

}  // namespace

CSVImporter::Result CSVImporter::Import(const std::string& fileName) {
    Result result;
    try {
        std::ifstream in(fileName, std::ios::binary);
        if (!in)
            throw std::runtime_error(std::string("the file could not be opened: ") +
                                     std::strerror(errno));
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            throw std::runtime_error("the file could not be read.");
        if (text.rfind("\xEF\xBB\xBF", 0) == 0)
            text.erase(0, 3);
        if (const std::optional<int> line = FirstLineNotUtf8(text))
            throw FileError(*line, "the text is not UTF-8.");

        std::vector<Record> records = ParseRecords(text, FirstRowDelimiter(text));
        if (records.empty())
            throw std::runtime_error("the file is empty.");
        const Mapping mapping = MapHeader(records.front());
        std::vector<Record> rows;
        for (std::size_t r = 1; r < records.size(); ++r) {
            if (IsBlankRecord(records[r]))
                continue;
            if (records[r].fields.size() > records.front().fields.size())
                throw FileError(records[r].line,
                                "the row has " + std::to_string(records[r].fields.size()) +
                                    " values and the first row names only " +
                                    std::to_string(records.front().fields.size()) + " columns.");
            rows.push_back(std::move(records[r]));
        }
        result.leftOut = mapping.leftOut;

        // Everything that may show a box happens before the transaction: the keys too.
        RowWriter writer(mapping, mapping.Has("region_id"), mapping.Has("customer_type_id"));
        std::vector<int> keys;
        for (std::size_t k = 0; k < rows.size() * 2; ++k) {
            const int key = DataMod->nextID();
            if (key == 0)
                throw std::runtime_error("no new keys could be issued.");
            keys.push_back(key);
        }
        {
            db::Transaction transaction(DataMod->zlmConn);
            for (std::size_t r = 0; r < rows.size(); ++r)
                writer.Write(rows[r], keys[2 * r], keys[2 * r + 1]);
            transaction.Commit();
        }
        result.imported = static_cast<int>(rows.size());
        result.ok = true;
    } catch (const std::exception& e) {
        // Any transaction has rolled back by now.
        result.error = e.what();
        result.imported = 0;
        AppendErrorLog("CSVImporter.Import", result.error, fileName);
    }
    return result;
}

}  // namespace zl
