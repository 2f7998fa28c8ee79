#include "tests/support/CoreFixture.h"

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/Query.h"

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

}  // namespace zl::test
