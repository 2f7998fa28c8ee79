#include "core/Template.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/db/Unicode.h"
#include "platform/desktop/Files.h"
#include "platform/format/Format.h"

namespace zl {

namespace {

constexpr const char* kOpenTag = "Template.OpenTables";
constexpr const char* kCleanTag = "Template.CleanTag";

// The next code point of `text` at `at` (advanced past it); a byte that starts no valid UTF-8
// sequence stands for U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    int length = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    }
    if (length == 0 || at + length > text.size()) {
        ++at;
        return 0xFFFD;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++at;
        return 0xFFFD;
    }
    at += length;
    return cp;
}

void AppendUnicodeUnit(std::string& out, unsigned unit) {
    const int signedUnit =
        unit < 0x8000 ? static_cast<int>(unit) : static_cast<int>(unit) - 0x10000;
    out += "\\u" + std::to_string(signedUnit) + "?";
}

bool Contains(const std::string& text, const std::string& part) {
    // An empty part occurs nowhere, as in the original text search.
    return !part.empty() && text.find(part) != std::string::npos;
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string RtfText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, at);
        if (cp == '\r' || cp == '\n') {
            // A line break of any convention (CR LF, LF, CR) starts a new paragraph: RTF
            // readers ignore the bare line-end bytes.
            if (cp == '\r' && at < utf8.size() && utf8[at] == '\n')
                ++at;
            out += "\\par ";
        } else if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x10000) {
            AppendUnicodeUnit(out, cp);
        } else {
            const char32_t v = cp - 0x10000;
            AppendUnicodeUnit(out, 0xD800 + (v >> 10));
            AppendUnicodeUnit(out, 0xDC00 + (v & 0x3FF));
        }
    }
    return out;
}

Template::Template()
    : qUser(&DataMod->zlmConn),
      qCustomer(&DataMod->zlmConn),
      qUnit(&DataMod->zlmConn),
      qTemplate(&DataMod->zlmConn),
      qTags(&DataMod->repConn),
      qClean(&DataMod->repConn) {}

bool Template::Merge(int templateId, int customerId, const std::string& outFile,
                     ui::WindowHandle owner) {
    TemplateId = templateId;
    CustomerId = customerId;
    if (!OpenTables())
        return false;
    const std::string templateFile =
        qTemplate.IsEmpty() ? "" : qTemplate.FieldByName("doc_template_file").AsString();
    if (!IsFile(templateFile)) {
        // Nothing is written: a path to a letter that was never made must not be handed on.
        ui::ShowMessage(owner, "Template file not found", "No template", ui::Icon::Warning);
        return false;
    }
    std::string source;
    {
        std::ifstream in(templateFile, std::ios::binary);
        if (!in)
            throw std::runtime_error("The template file " + templateFile + " cannot be read.");
        source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad())
            throw std::runtime_error("The template file " + templateFile + " cannot be read.");
    }
    // The output is the empty file that reserved the letter's path (or a new one); a file with
    // content is somebody's letter and is never written over.
    desktop::FileWriter output;
    if (!DataMod->OpenDocFile(output, outFile, desktop::WriteMode::FillEmpty))
        throw std::runtime_error("The document " + outFile + " cannot be created. " +
                                 std::strerror(errno));
    try {
        WriteMerged(source, output);
        output.close();
        if (!output)
            throw std::runtime_error("The document " + outFile + " could not be written.");
    } catch (...) {
        // Half a letter is no letter.
        output.close();
        std::error_code ignored;
        std::filesystem::remove(outFile, ignored);
        throw;
    }
    return true;
}

bool Template::OpenTables() {
    const auto byEntity = [](int id) {
        return "select * from repEntityAddress where bus_unit_id=" + std::to_string(id);
    };
    return DataMod->OpenById(qUser, "entity", CurUserId, kOpenTag) &&
           DataMod->openQuery(DataMod->zlmConn, qUnit, kOpenTag, byEntity(CurBusUnitId)) &&
           DataMod->openQuery(DataMod->zlmConn, qCustomer, kOpenTag, byEntity(CustomerId)) &&
           DataMod->OpenById(qTemplate, "doc_template", TemplateId, kOpenTag) &&
           DataMod->openQuery(DataMod->repConn, qTags, kOpenTag, "select * from template_tag");
}

void Template::WriteMerged(const std::string& source, std::ostream& output) {
    std::size_t at = 0;
    while (at < source.size()) {
        const std::size_t open = source.find('<', at);
        if (open == std::string::npos) {
            output.write(source.data() + at, static_cast<std::streamsize>(source.size() - at));
            break;
        }
        output.write(source.data() + at, static_cast<std::streamsize>(open - at));
        // The tag runs through the next ">", or to the end of the template when none follows.
        const std::size_t close = source.find('>', open + 1);
        const std::size_t end = close == std::string::npos ? source.size() : close + 1;
        WriteTag(source.substr(open + 1, end - open - 1), output);
        at = end;
    }
    output.flush();
    if (!output)
        throw std::runtime_error("The merged document could not be written.");
}

void Template::WriteTag(const std::string& raw, std::ostream& output) {
    const std::string tag = db::ToLowerUtf8(CleanTag(raw));
    if (tag.empty() || !qTags.Locate("template_tag_tag", {tag}, db::loCaseInsensitive) ||
        db::ToLowerUtf8(qTags.FieldByName("template_tag_tag").AsString()) != tag)
        return;
    const std::string column = qTags.FieldByName("tablefield").AsString();
    const auto write = [&output](const std::string& value) {
        output << RtfText(value);
        output.flush();
    };
    if (Contains(tag, "customer_"))
        write(qCustomer.FieldByName(column).AsString());
    if (Contains(tag, "busunit_"))
        write(qUnit.FieldByName(column).AsString());
    if (Contains(tag, "user_"))
        write(qUser.FieldByName(column).AsString());
    if (Contains(tag, "system_date"))
        write(format::DateToStr(format::Date()));
    if (Contains(tag, "system_time"))
        write(format::FormatDateTime("hh:mm", format::Now()));
}

std::string Template::CleanTag(const std::string& raw) {
    if (!DataMod->openQuery(DataMod->repConn, qClean, kCleanTag,
                            "select distinct table from template_tag"))
        return "";
    std::string table;
    for (qClean.First(); !qClean.Eof(); qClean.Next()) {
        const std::string candidate = qClean.Fields(0).AsString();
        if (Contains(raw, candidate))
            table = candidate;  // the last family named wins
    }
    if (table.empty())
        return "";
    if (!DataMod->openQuery(DataMod->repConn, qClean, kCleanTag,
                            "select * from template_tag where table=?", {table}))
        return "";
    std::string suffix;
    for (qClean.First(); !qClean.Eof(); qClean.Next()) {
        const std::string candidate = qClean.FieldByName("suffix").AsString();
        if (Contains(raw, candidate))
            suffix = candidate;  // the last item named wins: "fullname" after "name"
    }
    qClean.Close();
    if (suffix.empty())
        return "";
    return "<_" + table + "_" + suffix + "_>";
}

}  // namespace zl
