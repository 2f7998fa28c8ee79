#include "core/CSVExporter.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/desktop/Files.h"

namespace zl {
namespace {

// The system's own placeholder customer that stands for "no customer" is protected
// (allow_delete set) and is no customer of the user's: it is left out.
std::string CustomersSql() {
    std::string columns;
    for (const CustomerColumn& c : CustomerFileColumns()) {
        if (!columns.empty())
            columns += ", ";
        columns += (c.table == "entity" ? "e." : "a.") + std::string(c.name);
    }
    return "select " + columns +
           " from entity e left join address a on a.address_id = (select min(a2.address_id) "
           "from address a2 where a2.entity_id = e.entity_id) where e.dimension_id = 1 and "
           "(e.allow_delete = 0 or e.allow_delete is null) order by e.entity_id";
}

bool StartsAFormula(std::string_view value) {
    std::size_t at = value.find_first_not_of('\'');
    return at != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(value[at]) != std::string_view::npos;
}

std::string SystemReason() {
    return errno != 0 ? std::strerror(errno) : "the file could not be written";
}

}  // namespace

const std::vector<CustomerColumn>& CustomerFileColumns() {
    static const std::vector<CustomerColumn> columns = {
        {"entity", "entity_id"},        {"entity", "region_id"},
        {"entity", "customer_type_id"}, {"entity", "entity_name"},
        {"entity", "entity_first"},     {"entity", "entity_title"},
        {"entity", "entity_initials"},  {"entity", "entity_code"},
        {"entity", "entity_legalref"},  {"entity", "entity_taxref"},
        {"entity", "entity_taxrate"},   {"entity", "entity_discount"},
        {"entity", "entity_f1"},        {"entity", "entity_f2"},
        {"entity", "entity_f3"},        {"entity", "entity_f4"},
        {"entity", "entity_f5"},        {"address", "address_postal1"},
        {"address", "address_postal2"}, {"address", "address_postal3"},
        {"address", "address_pcode"},   {"address", "address_phys1"},
        {"address", "address_phys2"},   {"address", "address_phys3"},
        {"address", "address_phys4"},   {"address", "address_tel1"},
        {"address", "address_tel2"},    {"address", "address_tel3"},
        {"address", "address_cell"},    {"address", "address_email1"},
        {"address", "address_email2"},  {"address", "address_fax1"},
        {"address", "address_fax2"},
    };
    return columns;
}

std::string CsvField(std::string_view value, char delimiter) {
    const bool quoted =
        value.find_first_of(std::string{delimiter, '"', '\r', '\n'}) != std::string_view::npos ||
        (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quoted)
        return std::string(value);
    std::string field = "\"";
    for (char c : value) {
        if (c == '"')
            field += '"';
        field += c;
    }
    return field + '"';
}

std::string SpreadsheetText(std::string_view value) {
    return StartsAFormula(value) ? "'" + std::string(value) : std::string(value);
}

std::string FromSpreadsheetText(std::string_view value) {
    if (value.starts_with('\'') && StartsAFormula(value))
        value.remove_prefix(1);
    return std::string(value);
}

std::string CsvText(const db::Field& field) {
    switch (field.DataType()) {
        case db::FieldType::ftSmallint:
        case db::FieldType::ftInteger:
        case db::FieldType::ftFloat:
        case db::FieldType::ftCurrency:
        case db::FieldType::ftBoolean:
            return field.AsString();
        default:
            return SpreadsheetText(field.AsString());
    }
}

std::optional<std::string> CSVExporter::Export(const std::string& fileName) {
    const auto fail = [&fileName](const std::string& reason) {
        AppendErrorLog("CSVExporter.Export", reason, fileName);
        return std::optional<std::string>(reason);
    };
    db::Query customers(&DataMod->zlmConn);
    // A failed read has been logged and shown by openQuery.
    if (!DataMod->openQuery(DataMod->zlmConn, customers, "CSVExporter.Export", CustomersSql()))
        return fail("the customers could not be read");

    // Written beside the target and renamed at the end, so that a failure half-way never
    // leaves a short file under the chosen name.
    const std::string partFile = fileName + ".part";
    try {
        // A piece left by an earlier run goes first (a link only loses itself), so the file
        // written is always a new private one.
        std::error_code stale;
        std::filesystem::remove(partFile, stale);
        desktop::FileWriter out;
        errno = 0;
        if (!out.Open(partFile, desktop::WriteMode::CreateNew))
            return fail(SystemReason());
        std::string line;
        for (const CustomerColumn& c : CustomerFileColumns()) {
            line += line.empty() ? "" : ",";
            line += CsvField(c.name);
        }
        out << line << "\r\n";
        for (customers.First(); !customers.Eof(); customers.Next()) {
            line.clear();
            for (int i = 0; i < customers.FieldCount(); ++i) {
                if (i > 0)
                    line += ',';
                line += CsvField(CsvText(customers.Fields(i)));
            }
            out << line << "\r\n";
        }
        errno = 0;
        out.close();
        std::error_code renamed;
        if (!out.fail())
            std::filesystem::rename(partFile, fileName, renamed);
        if (out.fail() || renamed) {
            const std::string reason = renamed ? renamed.message() : SystemReason();
            std::error_code ignored;
            std::filesystem::remove(partFile, ignored);
            return fail(reason);
        }
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(partFile, ignored);
        return fail(e.what());
    }
    return std::nullopt;
}

}  // namespace zl
