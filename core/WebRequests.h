// The data module's two requests to the maker's hosts: the usage notice and the version check.
#pragma once

#include <string>

#include "platform/http/Http.h"

namespace zl {

// One GET to the maker's hosts, as http::Get sends it. A reply cut to its beginning adds one
// line to the error log under "WebGet", with the address without its query; nothing is shown
// or sent about it.
http::Response WebGet(const std::string& url);

// The program's version with its dots written as underscores ("3_01_15").
std::string UsageVersion();

// Sends "/usage.asp?vsn=" and the usage version to the usage host on a thread of its own; never
// raises and never waits.
void SendUsageNotice() noexcept;

// Asks the web host for the current version. False means a newer version exists: the reply has
// status 200 and its body contains "2.0" but is not appVersion. No reply at all gives true.
bool CheckCurrentVersion(const std::string& appVersion);

}  // namespace zl
