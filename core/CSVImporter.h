// Customers from a CSV file: each row a new customer with its address, all rows or none.
#pragma once

#include <string>
#include <vector>

namespace zl {

class CSVImporter {
  public:
    struct Result {
        bool ok = false;
        // The number of customers stored.
        int imported = 0;
        // Names on the first row that are no customer or address column a user enters, as
        // written there; their values are not read.
        std::vector<std::string> leftOut;
        // Why nothing was stored; names the line of a row that did not fit.
        std::string error;
    };

    // Reads the file: UTF-8, comma- or semicolon-delimited (whichever the first row uses more),
    // column names on the first row matched case-insensitively against the columns of
    // CustomerFileColumns (the key is never read: every customer gets a new one). A value reads
    // without the apostrophe that the export puts before a formula (FromSpreadsheetText). Every row
    // is appended with the usual first values of a new customer and of its address; all rows are
    // stored in one transaction, which rolls back when any row does not fit (a text too long
    // for its column, a number that is none, an unknown region or customer type, no name).
    // Shows nothing while the transaction is open; the failure is logged and returned.
    Result Import(const std::string& fileName);
};

}  // namespace zl
