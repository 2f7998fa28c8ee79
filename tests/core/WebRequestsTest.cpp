#include <gtest/gtest.h>

#include <chrono>

#include "core/WebRequests.h"
#include "core/WebThread.h"
#include "platform/http/Http.h"
#include "tests/support/HttpTestServer.h"

namespace zl {
namespace {

using namespace std::chrono_literals;

// Both hosts pointed at a test server, restored afterwards.
class WebRequestsTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = http::Hosts();
        http::Hosts().webHost = server_.HostAndPort();
        http::Hosts().usageHost = server_.HostAndPort();
    }
    void TearDown() override { http::Hosts() = saved_; }

    bool CheckWithReply(int status, const std::string& body, const std::string& version) {
        server_.SetReply(status, body);
        return CheckCurrentVersion(version);
    }

    test::HttpTestServer server_;
    http::HostSettings saved_;
};

TEST_F(WebRequestsTest, VersionCheckAsksForTheGivenVersion) {
    EXPECT_TRUE(CheckWithReply(200, "3.01.15", "3.01.15"));
    EXPECT_EQ(server_.Paths(), std::vector<std::string>{"/zlmversion.asp?version=3.01.15"});
}

TEST_F(WebRequestsTest, VersionCheckComparesOnlyBodiesContaining20) {
    EXPECT_FALSE(CheckWithReply(200, "2.06.01", "3.01.15"));
    // No "2.0" in the body: no newer version.
    EXPECT_TRUE(CheckWithReply(200, "3.01.16", "3.01.15"));
    EXPECT_TRUE(CheckWithReply(200, "", "3.01.15"));
    // With "2.0" the comparison is exact.
    EXPECT_TRUE(CheckWithReply(200, "2.05.28", "2.05.28"));
    EXPECT_FALSE(CheckWithReply(200, "2.05.28\r\n", "2.05.28"));
    EXPECT_FALSE(CheckWithReply(200, "<html>2.05.28</html>", "2.05.28"));
}

TEST_F(WebRequestsTest, VersionCheckIgnoresRepliesOtherThan200) {
    EXPECT_TRUE(CheckWithReply(500, "2.06.01", "3.01.15"));
    EXPECT_TRUE(CheckWithReply(404, "2.06.01", "3.01.15"));
    EXPECT_EQ(server_.Paths().size(), 2u);
}

TEST_F(WebRequestsTest, VersionCheckWithoutReplyIsTrue) {
    http::Hosts().webHost = "127.0.0.1:" + std::to_string(test::ClosedPort());
    EXPECT_TRUE(CheckCurrentVersion("3.01.15"));
}

TEST_F(WebRequestsTest, VersionCheckEndsAtItsTimeOut) {
    server_.SetReply(200, "2.06.01");
    server_.SetDelay(20s);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(CheckCurrentVersion("3.01.15"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
    EXPECT_EQ(server_.Paths().size(), 1u);
}

TEST_F(WebRequestsTest, UsageNoticeNeverWaitsForItsReply) {
    server_.SetDelay(3s);
    const auto start = std::chrono::steady_clock::now();
    SendUsageNotice();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    ASSERT_TRUE(server_.WaitForRequests(1));
    EXPECT_EQ(server_.Paths(), std::vector<std::string>{"/usage.asp?vsn=3_01_15"});
}

TEST_F(WebRequestsTest, UsageNoticeWithoutHostIsSilent) {
    http::Hosts().usageHost = "127.0.0.1:" + std::to_string(test::ClosedPort());
    EXPECT_NO_THROW(SendUsageNotice());
}

TEST_F(WebRequestsTest, WebThreadOutlivesItsObject) {
    {
        WebThread thread;
        thread.Init("http://" + server_.HostAndPort() + "/a?b=1");
        thread.Start();
    }
    ASSERT_TRUE(server_.WaitForRequests(1));
    EXPECT_EQ(server_.Paths(), std::vector<std::string>{"/a?b=1"});

    WebThread direct;
    direct.Init("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/x");
    EXPECT_NO_THROW(direct.Execute());
}

}  // namespace
}  // namespace zl
