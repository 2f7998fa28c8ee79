#include "reportserver/ReportBase.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"

namespace zl::reportserver {

std::string TableStatement(const std::string& table,
                           const std::vector<std::pair<std::string, int>>& filters) {
    std::string sql = "select * from " + db::QuoteName(table);
    for (std::size_t i = 0; i < filters.size(); ++i)
        sql += (i == 0 ? " where " : " and ") + db::QuoteName(filters[i].first) + "=" +
               std::to_string(filters[i].second);
    return sql;
}

std::string HtmlEscape(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

bool ReportBase::createHTML(const std::string& path) {
    closeFile();
    auto file = std::make_unique<desktop::FileWriter>();
    // A page is written in many small pieces: a large buffer keeps them off the system.
    if (!DataMod->OpenDocFile(*file, path, desktop::WriteMode::FillEmpty, 1 << 16)) {
        LogError("ReportBase.createHTML",
                 "Cannot create file \"" + path + "\". " + std::strerror(errno), path);
        return false;
    }
    file->exceptions(std::ios::badbit | std::ios::failbit);
    owned_ = std::move(file);
    stream_ = owned_.get();
    writeLine("<html>");
    writeLine("<head>");
    return true;
}

void ReportBase::closeHTML() {
    writeLine("</body>");
    writeLine("</html>");
    if (owned_)
        owned_->close();
    closeFile();
}

void ReportBase::closeFile() {
    if (owned_ && stream_ == owned_.get())
        stream_ = nullptr;
    if (owned_) {
        owned_->exceptions(std::ios::goodbit);  // closing never raises
        owned_->close();
        owned_.reset();
    }
}

std::ostream& ReportBase::out() {
    if (!stream_)
        throw std::runtime_error("The report has no file to write to.");
    return *stream_;
}

void ReportBase::write(const std::string& text) {
    // Straight into the stream's buffer: the stream's own checks cost more than the copy.
    const auto size = static_cast<std::streamsize>(text.size());
    if (out().rdbuf()->sputn(text.data(), size) != size)
        throw std::ios_base::failure("The report file could not be written.");
}

void ReportBase::writeLine(const std::string& text) {
    write(text);
    write("\r\n");
}

void ReportBase::writeInt(int value) {
    write(std::to_string(value));
}

void ReportBase::writeTag(const std::string& tag, const std::string& text) {
    write("<" + tag + ">" + text + "</" + tag);
    writeLine(">");
}

void ReportBase::beginTable(int width, int border) {
    write("<table width=\"" + std::to_string(width) + "%\" border=\"" + std::to_string(border));
    writeLine("\">");
}

void ReportBase::endTable() {
    writeLine("</table>");
}

void ReportBase::fontOn(const std::string& face, int size, int bold) {
    write("<font size=\"" + std::to_string(size) + "\" face=\"" + face);
    writeLine("\">");
    if (bold == 1)
        write("<b>");
}

void ReportBase::fontOff() {
    writeLine("</b></font>");
}

void ReportBase::setStream(std::ostream* stream) {
    stream_ = stream;
}

std::string ReportBase::synonym(int id) const {
    db::Query& q = DataMod->qSynonym;
    if (!q.Active() || !DataMod->Seek(q, "synonym_id", id))
        return "";
    return q.FieldByName("synonym_local").AsString();
}

}  // namespace zl::reportserver
