// Makes a letter from an RTF document template: a byte copy of the template in which every tag
// ("<", text naming a tag family and an item of it, ">") is replaced by a value of the customer,
// of the current business unit, of the current user, or by today's date or the time.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/db/Query.h"
#include "platform/ui/Prompter.h"

namespace zl {

class Template {
  public:
    Template();
    Template(const Template&) = delete;
    Template& operator=(const Template&) = delete;

    // Writes the template of doc_template row `templateId`, merged with customer `customerId`,
    // to `outFile`: a new file, or the empty one that reserved the path (a file with content is
    // never written over: that raises). True when the file was written. False, with no file made,
    // when the template's file is missing (the user is told, the box owned by `owner`) or a
    // query could not be opened (logged by the data module). A failure to read or write raises,
    // after the partly written file has been removed.
    bool Merge(int templateId, int customerId, const std::string& outFile,
               ui::WindowHandle owner = nullptr);

    // The canonical tag ("<_" + family + "_" + item + "_>") named by the raw text of a tag,
    // whatever else (formatting codes, blanks) the text holds; "" when it names none.
    std::string CleanTag(const std::string& raw);

    int CustomerId = 0;
    int TemplateId = 0;
    db::Query qUser;
    db::Query qCustomer;
    db::Query qUnit;
    db::Query qTemplate;
    db::Query qTags;
    db::Query qClean;

  private:
    // Opens the value sources, the template row and the tags; false when one failed.
    bool OpenTables();
    // The template's bytes with every tag replaced.
    void WriteMerged(const std::string& source, std::ostream& output);
    // Writes the values of one tag (its raw text between the angle brackets).
    void WriteTag(const std::string& raw, std::ostream& output);
};

// A value as RTF text: "\", "{" and "}" escaped; a line break (CR LF, LF or CR) as "\par ";
// every character beyond ASCII as "\uN?" with N the signed 16-bit UTF-16 code unit (two for a
// character beyond the basic plane). Plain ASCII text without line breaks is returned unchanged.
std::string RtfText(std::string_view utf8);

}  // namespace zl
