// Customers in CSV files (RFC 4180, UTF-8): the columns such a file carries and the export of
// every customer with its address.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zl {

namespace db {
class Field;
}

// One column of a customer file: the table it comes from and its name there, which is also its
// name on the file's first row.
struct CustomerColumn {
    std::string_view table;
    std::string_view name;
};

// The columns of a customer file, in order: the customer's key, then every column of the
// customer and of its address that a user enters (the import reads all but the key).
const std::vector<CustomerColumn>& CustomerFileColumns();

// One value as a field of a CSV row: in double quotes, with its quotes doubled, when it holds
// the delimiter, a quote, a line break or leading or trailing blanks; as it is otherwise.
std::string CsvField(std::string_view value, char delimiter = ',');

// A text value as a spreadsheet must show it, never evaluate it: one that starts with "=", "+",
// "-", "@", a tab or a carriage return gets a leading apostrophe, and so does one that already
// starts with apostrophes before such a character (so that the import gives it back whole).
std::string SpreadsheetText(std::string_view value);
// The value before SpreadsheetText: the apostrophe it would have added is taken off again.
std::string FromSpreadsheetText(std::string_view value);
// A field's text as a CSV file of the program carries it: a number (integer, float, currency,
// Boolean) as it is, so a negative one stays a number; any other value through SpreadsheetText.
std::string CsvText(const db::Field& field);

class CSVExporter {
  public:
    // Writes the column names and then one row per customer (dimension 1) with its address,
    // comma-delimited, rows ending in CR LF, each value as CsvText gives it. The file appears under
    // its name only once it has been written in full; a file of that name is then replaced. Returns
    // the reason when it could not be written (logged; a file already there is left as it was).
    std::optional<std::string> Export(const std::string& fileName);
};

}  // namespace zl
