// The bench's main database: customers with addresses, quotations, orders and invoices with
// their lines, and inquiry processes with their steps, added to a created main file as the
// program would have stored them (keys taken from the id counter, each row of its kind).
#pragma once

#include <string>

namespace zl::bench {

struct BenchSize {
    int customers = 0;
    int documents = 0;  // quotations, orders and invoices, a third of each
    int lines = 0;      // priced lines, spread over the documents
    int inquiries = 0;  // inquiry processes, one step each
};

// The sizes of the bench: 27,000 documents to 10,000 customers, three documents and ten lines
// to a customer beyond that.
BenchSize SizeFor(int customers);

// The keys the fill gave out, for the rows the bench reads back.
struct BenchKeys {
    int firstCustomer = 0;
    int firstDocument = 0;  // a quotation; documents run on in kind order 6, 7, 8, 6...
    int firstLine = 0;
    int firstInquiry = 0;
    int busUnit = 3;  // the delivered business unit
};

// Adds the rows to the main file at `path` (created from the delivered zlm.sql) in one
// transaction; raises std::runtime_error with SQLite's message on failure.
BenchKeys FillMainDatabase(const std::string& path, const BenchSize& size);

}  // namespace zl::bench
