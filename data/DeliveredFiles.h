// The delivered data files (database scripts, local pages, sample template), compiled in so
// that the set-up program needs nothing beside itself.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace zl::data {

// The content of a delivered file by its name below data/ ("zlm.sql", "pages/help.html").
std::optional<std::string_view> DeliveredFile(std::string_view name);
std::vector<std::string_view> DeliveredFileNames();

}  // namespace zl::data
