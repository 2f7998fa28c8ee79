#include "reportserver/PageParts.h"

#include <algorithm>
#include <cstring>

namespace zl::reportserver {
namespace {

// What the scan needs to know of an element, from its lower-case name. Looked up once a tag:
// a page of 100,000 rows has millions of them.
struct Kind {
    bool isVoid = false;      // no content and no end tag: never open
    bool rawText = false;     // text up to its end tag
    bool head = false;        // belongs before the body
    bool structural = false;  // table structure, body or html: an end tag closes it from anywhere
    bool bound = false;       // an end tag of anything else looks no further out than this
};

Kind KindOf(std::string_view n) {
    Kind k;
    switch (n.size()) {
        case 2:
            k.isVoid = n == "br" || n == "hr";
            k.structural = k.bound = n == "tr" || n == "td" || n == "th";
            break;
        case 3:
            k.isVoid = n == "img" || n == "col" || n == "wbr";
            k.rawText = n == "xmp";
            break;
        case 4:
            k.isVoid = n == "area" || n == "base" || n == "link" || n == "meta";
            k.head = n == "html" || n == "head" || n == "base" || n == "link" || n == "meta";
            k.structural = n == "html" || n == "head" || n == "body";
            k.bound = n == "html" || n == "body";
            break;
        case 5:
            k.isVoid = n == "embed" || n == "frame" || n == "input" || n == "param" || n == "track";
            k.rawText = n == "style" || n == "title";
            k.head = k.rawText;
            k.structural = n == "table" || n == "tbody" || n == "thead" || n == "tfoot";
            k.bound = n == "table";
            break;
        case 6:
            k.isVoid = n == "keygen" || n == "source";
            k.rawText = n == "script";
            k.head = k.rawText;
            break;
        case 7:
            k.isVoid = n == "isindex";
            k.structural = k.bound = n == "caption";
            break;
        case 8:
            k.isVoid = n == "basefont";
            k.rawText = n == "textarea";
            k.head = n == "noscript";
            break;
        default:
            break;
    }
    return k;
}

struct OpenTag {
    std::string name;
    std::uint64_t at;  // offset of its start tag
    std::string_view text;
};

// The open elements as the engine's parser keeps them, as far as a report page needs: table
// structure and implied ends of rows, cells and paragraphs; stray end tags change nothing.
class OpenElements {
  public:
    void Start(std::string_view name, std::uint64_t at, std::string_view text) {
        if (name == "body")
            PopThrough("head", {});
        else if (name == "tr")
            PopThrough("tr", {"table"});
        else if (name == "td" || name == "th") {
            PopThrough("td", {"tr", "table"});
            PopThrough("th", {"tr", "table"});
        } else if (name == "tbody" || name == "thead" || name == "tfoot") {
            for (const char* section : {"tbody", "thead", "tfoot"})
                PopThrough(section, {"table"});
        } else if (name == "p" && !open_.empty() && open_.back().name == "p")
            open_.pop_back();
        open_.push_back({std::string(name), at, text});
    }

    void End(std::string_view name, const Kind& kind) {
        if (kind.structural)
            PopThrough(name, {});
        else
            PopThrough(name, {"table", "tr", "td", "th", "caption", "body", "html"});
    }

    // The start tags of the elements opened at or after `from`, in order, and the rows among them.
    std::string Reopen(std::uint64_t from, int& rows) const {
        std::string tags;
        rows = 0;
        for (const OpenTag& tag : open_) {
            if (tag.at < from)
                continue;
            tags += tag.text;
            rows += tag.name == "tr";
        }
        return tags;
    }

  private:
    // Closes the innermost open `name` and all inside it, looking no further out than the first
    // of `bounds`.
    void PopThrough(std::string_view name, std::initializer_list<std::string_view> bounds) {
        for (auto i = open_.size(); i-- > 0;) {
            if (open_[i].name == name) {
                open_.resize(i);
                return;
            }
            if (std::find(bounds.begin(), bounds.end(), open_[i].name) != bounds.end())
                return;
        }
    }

    std::vector<OpenTag> open_;
};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The tag name from `at` in lower case, `at` moved past it.
std::string LowerName(std::string_view page, std::size_t& at) {
    std::string name;
    for (; at < page.size() && (IsLetter(page[at]) || (page[at] >= '0' && page[at] <= '9')); ++at)
        name += static_cast<char>(page[at] | (IsLetter(page[at]) ? 0x20 : 0));
    return name;
}

// The offset just past the '>' that ends the tag begun before `at`, quoted values passed over.
std::size_t TagEnd(std::string_view page, std::size_t at) {
    char quote = 0;
    for (; at < page.size(); ++at) {
        const char c = page[at];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return at + 1;
        }
    }
    return page.size();
}

// The offset past the end tag of raw-text element `name`, whose content begins at `at`.
std::size_t RawTextEnd(std::string_view page, std::size_t at, std::string_view name) {
    for (;;) {
        at = page.find("</", at);
        if (at == std::string_view::npos)
            return page.size();
        std::size_t after = at + 2;
        if (LowerName(page, after) == name)
            return TagEnd(page, after);
        at += 2;
    }
}

}  // namespace

PageParts SplitPage(std::string_view page, std::size_t partBytes) {
    PageParts split;
    OpenElements open;
    std::uint64_t bodyAt = page.size();
    PagePart part;
    std::size_t at = 0;
    while (at < page.size()) {
        const void* found = std::memchr(page.data() + at, '<', page.size() - at);
        if (!found)
            break;
        const std::size_t tag = static_cast<const char*>(found) - page.data();
        if (page.compare(tag, 4, "<!--") == 0) {
            const auto end = page.find("-->", tag + 4);
            at = end == std::string_view::npos ? page.size() : end + 3;
            continue;
        }
        const bool isEnd = tag + 1 < page.size() && page[tag + 1] == '/';
        std::size_t nameAt = tag + (isEnd ? 2 : 1);
        if (nameAt >= page.size() || !IsLetter(page[nameAt])) {
            // Text "<", or a declaration such as <!DOCTYPE>: nothing opens.
            const bool declaration =
                tag + 1 < page.size() && (page[tag + 1] == '!' || page[tag + 1] == '?');
            at = declaration ? TagEnd(page, tag + 1) : tag + 1;
            continue;
        }
        const std::string name = LowerName(page, nameAt);
        const Kind kind = KindOf(name);
        at = TagEnd(page, nameAt);
        if (isEnd) {
            open.End(name, kind);
            if (name == "tr" && at - part.begin >= partBytes && at < page.size()) {
                part.end = at;
                split.parts.push_back(part);
                part = PagePart{};
                part.begin = at;
                part.firstRow = split.rows;
                part.reopen = open.Reopen(bodyAt, part.reopenedRows);
            }
            continue;
        }
        if (bodyAt == page.size() && (name == "body" || !kind.head))
            bodyAt = tag;
        if (name == "tr") {
            ++split.rows;
            ++part.rows;
        }
        if (kind.rawText) {  // its end tag is passed over with its text
            at = RawTextEnd(page, at, name);
            continue;
        }
        const bool selfClosed = at >= 2 && page[at - 2] == '/';
        if (!kind.isVoid && !selfClosed)
            open.Start(name, tag, page.substr(tag, at - tag));
    }
    part.end = page.size();
    split.parts.push_back(part);
    split.head = std::string(page.substr(0, std::min<std::uint64_t>(bodyAt, page.size())));
    return split;
}

std::string PartsPage(const PageParts& split, std::size_t first, std::string_view bytes) {
    if (first == 0)
        return std::string(bytes);
    std::string page = split.head + split.parts[first].reopen;
    page += bytes;
    return page;
}

}  // namespace zl::reportserver
