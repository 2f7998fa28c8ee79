#include "screens/DialogSupport.h"

#include <exception>

#include "core/ErrorLog.h"
#include "platform/db/DbError.h"

namespace zl {

void RunGuarded(const std::string& tag, const std::function<void()>& step,
                RefusedEntry refused) noexcept {
    try {
        step();
    } catch (const db::RangeError& e) {
        if (refused == RefusedEntry::Report)
            LogError(tag, e.what(), "");
    } catch (const std::exception& e) {
        LogError(tag, e.what(), "");
    } catch (...) {
        LogError(tag, "Unknown error", "");
    }
}

}  // namespace zl
