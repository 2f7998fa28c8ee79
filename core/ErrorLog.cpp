#include "core/ErrorLog.h"

#include <atomic>
#include <cctype>
#include <filesystem>
#include <string_view>

#include "core/WebRequests.h"
#include "platform/db/Connection.h"
#include "platform/desktop/Desktop.h"
#include "platform/desktop/Files.h"
#include "platform/format/PercentEncode.h"
#include "platform/http/Http.h"

namespace zl {

namespace {

constexpr std::string_view kPasswordName = "password";
// Kept as they are in the error report's query, besides the unreserved characters.
constexpr std::string_view kKeptPunctuation = "!$'()*,;@[]";

// Whether text[0, end) ends in "password" (any case), trailing blanks skipped.
bool EndsInPasswordName(const std::string& text, std::size_t end) {
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    if (end < kPasswordName.size()) {
        return false;
    }
    std::size_t start = end - kPasswordName.size();
    for (std::size_t i = 0; i < kPasswordName.size(); ++i) {
        auto c = static_cast<unsigned char>(text[start + i]);
        if (std::tolower(c) != kPasswordName[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string GetAppDataDir() {
    return desktop::UserDataFolder();
}

std::string MaskConnectionPassword(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        out += c;
        ++i;
        if (c == '=' && EndsInPasswordName(text, i - 1)) {
            std::size_t end = text.find(';', i);
            if (end == std::string::npos) {
                end = text.size();
            }
            out += "***";
            i = end;
        }
    }
    return out;
}

std::string EncodeErrorText(const std::string& s) {
    std::string kept;
    kept.reserve(s.size());
    for (const char c : s) {
        if (c != '/' && c != ':')
            kept += c;
    }
    return format::PercentEncode(kept, kKeptPunctuation);
}

bool AppendErrorLog(const std::string& where, const std::string& msg,
                    const std::string& extra) noexcept {
    try {
        desktop::FileWriter log;
        if (!log.Open(GetAppDataDir() + "zlm.err.log", desktop::WriteMode::Append))
            return false;
        log << where << ';' << std::flush;
        log << MaskConnectionPassword(msg) << ';' << std::flush;
        log << MaskConnectionPassword(extra) << "\r\n" << std::flush;
        log.close();
        return static_cast<bool>(log);
    } catch (...) {
        return false;
    }
}

void LogError(const std::string& where, const std::string& msg, const std::string& extra) noexcept {
    try {
        if (!AppendErrorLog(where, msg, extra)) {
            return;
        }
        // A lock held on another workstation fails every statement of the action that met it;
        // the user is told once in that action, and each failure is still logged.
        if (msg == db::kDatabaseBusyMessage || msg == db::kDatabaseBusyReadMessage) {
            static std::atomic<long long> busyToldIn{-1};
            const long long action = ui::UserAction();
            if (action != 0 && busyToldIn.exchange(action) == action)
                return;
        }
        const std::string text = "Exception occurred in: " + where + "\n" +
                                 "Exception: " + MaskConnectionPassword(msg) + "\n" +
                                 MaskConnectionPassword(extra);
        ui::ShowMessage(nullptr, text, "Exception", ui::Icon::Warning, ui::Buttons::Ok);

        WebGet("http://" + http::Hosts().webHost + "/error.asp?err=" + EncodeErrorText(text));
    } catch (...) {
        // The error log reports nothing about its own failures.
    }
}

void OpenFileByShell(ui::WindowHandle owner, const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error)) {
        OpenDocumentFile(owner, path);
    } else {
        ui::ShowMessage(owner, "File does not exist", "Not found", ui::Icon::Warning);
    }
}

void OpenDocumentFile(ui::WindowHandle owner, const std::string& path) {
    desktop::FileTypes types;
    std::string type;
    switch (desktop::OpenDocument(path, types, type)) {
        case desktop::OpenResult::Opened:
            return;
        case desktop::OpenResult::Refused: {
            AppendErrorLog("OpenDocumentFile",
                           "Not opened: type " + type + " (by name " + types.byName +
                               ", by content " + types.byContent + ", overall " + types.overall +
                               ")",
                           path);
            ui::ShowMessage(
                owner,
                "This file is not opened: it is no document, picture, spreadsheet, PDF, "
                "web page, text or RTF file (its type is " +
                    type + ").",
                "Not opened", ui::Icon::Warning);
            return;
        }
        case desktop::OpenResult::NotStarted:
            ui::ShowMessage(owner, "No program could be started to open this file.", "Not opened",
                            ui::Icon::Warning);
            return;
    }
}

}  // namespace zl
