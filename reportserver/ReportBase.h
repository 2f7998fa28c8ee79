// The small HTML writer under every page the report server writes: one output file that the
// writer which created it owns and the others borrow, a handful of tag primitives with exact
// bytes, the synonym look-up and the values of one report run.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop/Files.h"
#include "platform/format/Format.h"

namespace zl::reportserver {

// A value from the data as HTML text: "&", "<", ">", '"' and "'" become entities, so the page
// shows the value as typed and the value never adds markup of its own. The markup that report
// definitions and the printout rules write is not passed through here.
std::string HtmlEscape(const std::string& text);

// The rows of a table or view with each column equal to its value: the one statement in which
// a report and its sections read a table, so that sections reading the rows the report read
// can tell by the statement and share them.
std::string TableStatement(const std::string& table,
                           const std::vector<std::pair<std::string, int>>& filters);

class ReportBase {
  public:
    ReportBase() = default;
    virtual ~ReportBase() = default;
    ReportBase(const ReportBase&) = delete;
    ReportBase& operator=(const ReportBase&) = delete;

    // Creates the file, or fills the empty one that reserved a repository path, and writes the
    // lines "<html>" and "<head>". A file with content or a link is never written over. False,
    // logged under "ReportBase.createHTML" with the path, when the file cannot be created.
    bool createHTML(const std::string& path);
    // Writes the lines "</body>" and "</html>" and closes the file this writer owns.
    void closeHTML();
    // Closes the file this writer owns without writing anything more (what was written stays
    // on disk); for runs that end early. Does nothing when no file is open.
    void closeFile();
    // Whether a stream is open to write to.
    bool hasStream() const { return stream_ != nullptr; }

    // Text goes out byte for byte, as stored (UTF-8), without any escaping (values from the data
    // pass through HtmlEscape first). A failed write raises std::ios_base::failure.
    void write(const std::string& text);
    // The text, then CR LF.
    void writeLine(const std::string& text);
    void writeInt(int value);
    // "<tag>text</tag>" and CR LF.
    void writeTag(const std::string& tag, const std::string& text);
    // <table width="W%" border="B"> and CR LF.
    void beginTable(int width, int border);
    void endTable();
    // <font size="S" face="F"> and CR LF, then "<b>" when bold is 1.
    void fontOn(const std::string& face, int size, int bold);
    // "</b></font>" and CR LF, whether or not "<b>" was written.
    void fontOff();

    // Writes to another writer's stream from now on (that writer keeps owning it).
    void setStream(std::ostream* stream);
    std::ostream* getStream() const { return stream_; }

    // The local text of a synonym; empty for an id that no row has.
    std::string synonym(int id) const;

    // The values of one report run.
    int userId = 0;
    int busUnitId = 0;
    int reportKey = 0;
    int customerId = 0;
    format::TDateTime fromDate = 0;
    format::TDateTime toDate = 0;
    std::string dateField;

  private:
    std::ostream& out();

    std::unique_ptr<desktop::FileWriter> owned_;
    std::ostream* stream_ = nullptr;
};

}  // namespace zl::reportserver
