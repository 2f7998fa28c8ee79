// Routines the edit dialogs share: one way to run a handler so that no exception reaches the
// event loop.
#pragma once

#include <functional>
#include <string>

namespace zl {

// What a guarded handler does with a value a data control refused (db::RangeError): the control
// has told the user already, so dialogs whose controls refuse entries do not report it twice.
enum class RefusedEntry { Report, AlreadyShown };

// Runs a handler so that no exception leaves it for the event loop: the error is logged under the
// handler's tag and shown.
void RunGuarded(const std::string& tag, const std::function<void()>& step,
                RefusedEntry refused = RefusedEntry::Report) noexcept;

}  // namespace zl
