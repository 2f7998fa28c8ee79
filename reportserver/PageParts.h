// A large report page cut into parts at table-row ends, so that the report window can give the
// browser engine a few parts at a time instead of the whole page. Each part knows the start tags
// that are open where it begins: put after the page's head, they make the part a page that the
// engine lays out as the same rows of the same tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zl::reportserver {

struct PagePart {
    std::uint64_t begin = 0;  // byte offsets in the page
    std::uint64_t end = 0;
    int firstRow = 0;      // how many rows (<tr> start tags) the page has before the part
    int rows = 0;          // the rows that start inside the part
    std::string reopen;    // the start tags open at `begin` that the head does not hold
    int reopenedRows = 0;  // rows among them (a table nested in a cell)
};

struct PageParts {
    std::string head;  // the page up to its body: title, style sheets, links
    std::vector<PagePart> parts;
    int rows = 0;  // the page's rows, all parts together
};

// Cuts `page` into parts of about `partBytes`, each ending just after a table row's end tag
// (the first one at or past `partBytes`). A page without such row ends is one part. Comments
// and the contents of script, style and title are passed over.
PageParts SplitPage(std::string_view page, std::size_t partBytes);

// The page that shows parts [first, last] of `page`: the head, the tags open where part `first`
// begins, and the parts' bytes (the last part runs to the page's end).
std::string PartsPage(const PageParts& split, std::size_t first, std::string_view bytes);

}  // namespace zl::reportserver
