#include "bench/BenchData.h"

#include <sqlite3.h>

#include <stdexcept>

namespace zl::bench {

namespace {

// One open file; every statement raises with SQLite's message.
class Db {
  public:
    explicit Db(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
            const std::string error = sqlite3_errmsg(db_);
            sqlite3_close(db_);
            throw std::runtime_error("open " + path + ": " + error);
        }
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    void Exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string text = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error(text + " in: " + sql.substr(0, 120));
        }
    }

    long long Integer(const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        const long long value =
            sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
        sqlite3_finalize(stmt);
        return value;
    }

  private:
    sqlite3* db_ = nullptr;
};

// Numbers 0 to count - 1, as the source of an INSERT ... SELECT.
std::string Series(long long count) {
    return "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < " +
           std::to_string(count) + ") ";
}

std::string S(long long n) {
    return std::to_string(n);
}

}  // namespace

BenchSize SizeFor(int customers) {
    BenchSize size;
    size.customers = customers;
    // 27,000 documents at 10,000 customers, 300,000 at 100,000.
    size.documents = customers <= 10000 ? customers * 27 / 10 : customers * 3;
    size.lines = size.documents / 3 * 10;
    size.inquiries = customers / 10;
    return size;
}

BenchKeys FillMainDatabase(const std::string& path, const BenchSize& size) {
    Db db(path);
    db.Exec("PRAGMA journal_mode=OFF");
    db.Exec("PRAGMA synchronous=OFF");
    db.Exec("BEGIN");
    const long long first = db.Integer("SELECT next_id FROM id_control");
    if (first < 1)
        throw std::runtime_error("the main file has no id counter");
    const long long c = size.customers, d = size.documents, l = size.lines, q = size.inquiries;
    constexpr int kTypes = 5;
    const long long types = first;
    const long long customers = types + kTypes;
    const long long addresses = customers + c;
    const long long documents = addresses + c;
    const long long lines = documents + d;
    const long long inquiries = lines + l;
    const long long steps = inquiries + q;
    const long long next = steps + q;
    if (next > 2147483647)
        throw std::runtime_error("too many rows for the keys");
    // Customers of each type; names in another order than their keys, as typed over the
    // years.
    db.Exec(Series(kTypes) +
            "INSERT INTO customer_type (customer_type_id, dimension_id, allow_delete, "
            "customer_type_descr) SELECT " +
            S(types) +
            " + i, 13, 1, 'Customer type ' || (i + 1) "
            "FROM n");
    db.Exec(Series(c) +
            "INSERT INTO entity (entity_id, dimension_id, parent_id, region_id, "
            "customer_type_id, allow_delete, entity_name, entity_first, entity_title, "
            "entity_fullname, entity_code, entity_email, entity_taxrate, entity_discount) "
            "SELECT " +
            S(customers) + " + i, 1, 0, 0, " + S(types) + " + i % " + S(kTypes) +
            ", 1, 'Customer ' || printf('%07d', (i * 7919) % " + S(c) +
            "), 'First' || i, 'Mr', 'Customer ' || printf('%07d', (i * 7919) % " + S(c) +
            ") || ' First' || i || ' Mr', 'C' || i, 'c' || i || '@example.com', 15.0, 0.0 "
            "FROM n");
    db.Exec(Series(c) +
            "INSERT INTO address (address_id, entity_id, address_postal1, address_postal2, "
            "address_pcode, address_phys1, address_tel1, address_email1) SELECT " +
            S(addresses) + " + i, " + S(customers) +
            " + i, 'PO Box ' || i, 'Cape Town', '8001', i || ' Main Road', "
            "'021 555 ' || printf('%04d', i % 10000), 'c' || i || '@example.com' FROM n");
    // Quotations, orders and invoices in turn, of the customers in turn over ten years.
    db.Exec(Series(d) +
            "INSERT INTO zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, "
            "doc_status_id, allow_delete, zlm_doc_descr, zlm_doc_date, zlm_doc_ref, "
            "zlm_cust_ref) SELECT " +
            S(documents) + " + i, 6 + i % 3, " + S(customers) + " + (i * 31) % " + S(c) +
            ", 3, 1 + i % 6, 1, 'Document ' || i, "
            "date('2016-01-01', '+' || (i * 3650 / " +
            S(d) +
            ") || ' days') || ' 00:00:00', "
            "substr('QOI', 1 + i % 3, 1) || '-' || i, 'PO' || i FROM n");
    db.Exec(Series(l) +
            "INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, "
            "allow_delete, component_id, service_id, assembly_id, doc_item_billtype, "
            "doc_item_code, doc_item_descr, doc_item_rate, doc_item_qty, doc_item_tax, "
            "doc_item_discount, doc_item_total, doc_item_costrate, doc_item_date, "
            "doc_item_time) SELECT " +
            S(lines) + " + i, " + S(documents) + " + i * " + S(d) + " / " + S(l) +
            ", 24, 2, 1, 0, 0, 0, 1, 'C-' || (i % 50), 'Line ' || i, 12.5, 2, 15, 0, 28.75, "
            "7.5, '2024-03-05 00:00:00', '09:00' FROM n");
    // Inquiry processes of the customers, each with its first step.
    db.Exec(Series(q) +
            "INSERT INTO zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, "
            "inq_status_id, inquiry_type_id, allow_delete, zlm_doc_descr, zlm_doc_date, "
            "zlm_doc_ref, zlm_doc_followup) SELECT " +
            S(inquiries) + " + i, 18, " + S(customers) + " + (i * 17) % " + S(c) +
            ", 3, 1 + i % 5, 1 + i % 5, 1, 'Inquiry ' || i, '2025-06-01 00:00:00', 'INQ-' || i, "
            "'2025-07-01 00:00:00' FROM n");
    db.Exec(Series(q) +
            "INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, "
            "inq_status_id, allow_delete, doc_item_descr, doc_item_date, doc_item_time, "
            "doc_item_duedate, doc_item_duetime) SELECT " +
            S(steps) + " + i, " + S(inquiries) +
            " + i, 22, 2, 1, 1, 'Call back', '2025-06-01 00:00:00', '10:00', "
            "'2025-06-08 00:00:00', '10:00' FROM n");
    db.Exec("UPDATE id_control SET next_id=" + S(next));
    db.Exec("COMMIT");
    BenchKeys keys;
    keys.firstCustomer = static_cast<int>(customers);
    keys.firstDocument = static_cast<int>(documents);
    keys.firstLine = static_cast<int>(lines);
    keys.firstInquiry = static_cast<int>(inquiries);
    return keys;
}

}  // namespace zl::bench
