#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>

#include "platform/http/Http.h"
#include "tests/support/HttpTestServer.h"

namespace zl::http {
namespace {

using namespace std::chrono_literals;
using zl::test::HttpTestServer;

TEST(HttpGet, ReturnsStatusAndBodyAndSendsThePathUntouched) {
    HttpTestServer server;
    server.SetReply(200, "3.01.15");
    Response reply = Get("http://" + server.HostAndPort() + "/error.asp?err=a%20b%0A%5Cc;d");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "3.01.15");
    EXPECT_EQ(server.Paths(), std::vector<std::string>{"/error.asp?err=a%20b%0A%5Cc;d"});
}

TEST(HttpGet, AnErrorStatusIsAReplyNotAnError) {
    HttpTestServer server;
    server.SetReply(500, "2.06.01");
    Response reply = Get("http://" + server.HostAndPort() + "/x");
    EXPECT_EQ(reply.status, 500);
    EXPECT_EQ(reply.body, "2.06.01");
}

TEST(HttpGet, AReplyIsReadToItsFirst64KilobytesAndALongerOneIsMarkedCut) {
    HttpTestServer server;
    std::string body;
    for (int i = 0; body.size() < (1u << 20); ++i)
        body += std::to_string(i) + "\n";
    for (const std::size_t size :
         {std::size_t{0}, kMaxReplyBytes, kMaxReplyBytes + 1, body.size()}) {
        SCOPED_TRACE(size);
        server.SetReply(200, body.substr(0, size));
        const Response reply = Get("http://" + server.HostAndPort() + "/zlmversion.asp");
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.body.size(), std::min(size, std::size_t{65536}));
        EXPECT_TRUE(body.starts_with(reply.body));
        EXPECT_EQ(reply.cut, size > 65536);
    }
}

TEST(HttpGet, NoListenerThrowsHttpError) {
    std::string url = "http://127.0.0.1:" + std::to_string(zl::test::ClosedPort()) + "/x";
    try {
        Get(url);
        FAIL() << "no exception";
    } catch (const HttpError& e) {
        EXPECT_STRNE(e.what(), "");
    }
}

TEST(HttpGet, ASlowServerEndsAtTheTotalTimeOut) {
    HttpTestServer server;
    server.SetDelay(3s);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(Get("http://" + server.HostAndPort() + "/slow", 200ms, 300ms), HttpError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(server.Paths(), std::vector<std::string>{"/slow"});
}

}  // namespace
}  // namespace zl::http
