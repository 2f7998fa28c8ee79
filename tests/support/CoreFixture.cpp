#include "tests/support/CoreFixture.h"

#include <filesystem>
#include <fstream>

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/Query.h"
#include "platform/format/Format.h"

namespace zl::test {

CoreFixture::CoreFixture() : savedHosts_(http::Hosts()) {
    http::Hosts().webHost = web.HostAndPort();
    http::Hosts().usageHost = web.HostAndPort();
    dm = std::make_unique<TDataMod>();
    DataMod = dm.get();
    CurUserId = 0;
    CurUserName.clear();
    CurBusUnitId = 0;
}

CoreFixture::~CoreFixture() {
    DataMod = nullptr;
    dm.reset();
    http::Hosts() = savedHosts_;
}

void CoreFixture::ConnectAll() {
    ASSERT_TRUE(dm->Connect(dm->localConn, dm->LocalDbConnectionString()));
    ASSERT_TRUE(dm->Connect(dm->repConn, dm->MetaDbConnectionString()));
    ASSERT_TRUE(dm->openQuery(dm->localConn, dm->qConfig, "test", "select * from config"));
    ASSERT_TRUE(dm->Connect(dm->zlmConn, dm->BuildConnectionString(folder.MainDb())));
}

std::string CoreFixture::ErrorLog() const {
    return ReadFile(folder.DataFolder() + "zlm.err.log");
}

std::string CoreFixture::LastBoxFirstLine() const {
    const auto messages = prompter.Messages();
    if (messages.empty())
        return "";
    const std::string& text = messages.back().text;
    return text.substr(0, text.find('\n'));
}

std::string CoreFixture::Stored(const std::string& path, const std::string& sql) const {
    db::Connection conn;
    conn.SetConnectionString("Data Source=" + path);
    conn.Open();
    db::Query q(&conn);
    q.SetSQL(sql);
    q.Open();
    return q.IsEmpty() ? "<none>" : q.Fields(0).AsString();
}

std::vector<std::vector<std::string>> CoreFixture::StoredRows(const std::string& path,
                                                              const std::string& sql) const {
    db::Connection conn;
    conn.SetConnectionString("Data Source=" + path);
    conn.Open();
    db::Query q(&conn);
    q.SetSQL(sql);
    q.Open();
    std::vector<std::vector<std::string>> rows;
    for (q.First(); !q.Eof(); q.Next()) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int i = 0; i < q.FieldCount(); ++i)
            row.push_back(q.Fields(i).IsNull() ? "<null>" : q.Fields(i).AsString());
    }
    return rows;
}

int CoreFixture::LogCount(const std::string& text) const {
    const std::string log = ErrorLog();
    int count = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

void CoreFixture::Exec(const std::string& sql) {
    ASSERT_TRUE(dm->actionQuery(sql, "test")) << sql;
}

void CoreFixture::AddBillItem(int id, int assembly, int component, int service, int subAssembly,
                              double qty) {
    Exec(
        "insert into bill_item (bill_item_id, billable_id, component_id, service_id, "
        "assembly_id, bill_item_qty) values (" +
        std::to_string(id) + ", " + std::to_string(assembly) + ", " + std::to_string(component) +
        ", " + std::to_string(service) + ", " + std::to_string(subAssembly) + ", " +
        format::FloatToStr(qty) + ")");
}

std::vector<int> Keys(db::Query& rows) {
    std::vector<int> keys;
    for (int row = 0; row < rows.RecordCount(); ++row)
        keys.push_back(std::stoi(rows.TextAt(row, 0)));
    return keys;
}

CoreFixture::SwappedReservation CoreFixture::ReserveThenSwapFolderForLink(const std::string& prefix,
                                                                          const std::string& ext) {
    namespace fs = std::filesystem;
    EXPECT_TRUE(dm->actionQuery(
        dm->localConn, "update config set config_docrepository='" + folder.Home() + "/repository/'",
        "test"));
    SwappedReservation swapped;
    swapped.reserved = dm->NewDocPath(prefix, ext);
    const fs::path reserved(swapped.reserved);
    const fs::path numbered = reserved.parent_path();
    const fs::path elsewhere = folder.Home() + "/elsewhere";
    fs::create_directory(elsewhere);
    swapped.linkTarget = (elsewhere / reserved.filename()).string();
    std::ofstream(swapped.linkTarget).close();
    fs::rename(numbered, folder.Home() + "/moved");
    fs::create_directory_symlink(elsewhere, numbered);
    return swapped;
}

}  // namespace zl::test
