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

// Opens the file with the desktop's program, or tells the user that it does not exist.
void OpenFileByShell(ui::WindowHandle owner, const std::string& path);

// Opens a stored document with the desktop's program. A program is never started: the user is
// told "This file is a program and is not opened."; so is a start that fails.
void OpenDocumentFile(ui::WindowHandle owner, const std::string& path);

// Replaces the value of every item whose name ends in "password" (any case), up to the next ";"
// or the end of the text, with "***".
std::string MaskConnectionPassword(const std::string& text);

}  // namespace zl
