// The per-user data folder, the error log with its warning box and error report, and opening a
// file with the desktop's program.
#pragma once

#include <string>

#include "platform/ui/Prompter.h"

namespace zl {

// The per-user data folder, ending in "/"; empty when it cannot be determined.
std::string GetAppDataDir();

// Appends "where;msg;extra" and CR LF to the error log, passwords of connection strings masked
// first. False when the line could not be written; it never raises.
bool AppendErrorLog(const std::string& where, const std::string& msg,
                    const std::string& extra) noexcept;

// Appends "where;msg;extra" and CR LF to the error log, shows the warning box and sends the error
// report to the maker's web host. Passwords of connection strings are masked first. A failing
// step ends the routine there; it never raises.
void LogError(const std::string& where, const std::string& msg, const std::string& extra) noexcept;

// The box text as it goes into the query of the error report: a space becomes "%20", "/" and ":"
// are dropped, letters, digits and "-._~!$'()*,;@[]" stay, every other byte is "%XX".
std::string EncodeErrorText(const std::string& s);

// Opens the file as OpenDocumentFile does, or tells the user that it does not exist.
void OpenFileByShell(ui::WindowHandle owner, const std::string& path);

// Opens a stored document with the desktop's program when its content type makes it a document
// (desktop::OpenDocument). Any other file (a program, script, desktop entry, package, whatever
// its name or execute bit) is not opened: the user is told so, with its type, and the refusal is
// logged under "OpenDocumentFile" with the path. A start that fails is told too.
void OpenDocumentFile(ui::WindowHandle owner, const std::string& path);

// Replaces the value of every item whose name ends in "password" (any case), up to the next ";"
// or the end of the text, with "***".
std::string MaskConnectionPassword(const std::string& text);

}  // namespace zl
