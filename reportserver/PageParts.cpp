#include "reportserver/PageParts.h"

#include <algorithm>
#include <cstring>

namespace zl::reportserver {
namespace {

// A tag name in lower case, its first eight letters packed into one number: names compare as
// numbers. A page of 100,000 rows has millions of tags.
struct Name {
    std::uint64_t packed = 0;
    std::size_t length = 0;
    bool operator==(const Name&) const = default;
};

constexpr Name Named(std::string_view text) {
    Name name{0, text.size()};
    for (std::size_t i = 0; i < text.size() && i < 8; ++i)
        name.packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    return name;
}

constexpr Name kHtml = Named("html"), kHead = Named("head"), kBody = Named("body"),
               kTable = Named("table"), kTr = Named("tr"), kTd = Named("td"), kTh = Named("th"),
               kTbody = Named("tbody"), kThead = Named("thead"), kTfoot = Named("tfoot"),
               kCaption = Named("caption"), kP = Named("p");

bool IsOneOf(const Name& name, std::initializer_list<Name> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What the scan needs to know of an element.
struct Kind {
    bool isVoid = false;      // no content and no end tag: never open
    bool rawText = false;     // text up to its end tag
    bool head = false;        // belongs before the body
    bool structural = false;  // table structure, body or html: an end tag closes it from anywhere
    bool bound = false;       // an end tag of anything else looks no further out than this
};

Kind KindOf(const Name& n) {
    Kind k;
    k.isVoid =
        IsOneOf(n, {Named("br"), Named("hr"), Named("img"), Named("col"), Named("wbr"),
                    Named("area"), Named("base"), Named("link"), Named("meta"), Named("embed"),
                    Named("frame"), Named("input"), Named("param"), Named("track"), Named("keygen"),
                    Named("source"), Named("isindex"), Named("basefont")});
    k.rawText = IsOneOf(
        n, {Named("script"), Named("style"), Named("title"), Named("textarea"), Named("xmp")});
    k.head = IsOneOf(n, {kHtml, kHead, Named("title"), Named("meta"), Named("link"), Named("style"),
                         Named("base"), Named("script"), Named("noscript")});
    k.bound = IsOneOf(n, {kTable, kTr, kTd, kTh, kCaption, kBody, kHtml});
    k.structural = k.bound || IsOneOf(n, {kTbody, kThead, kTfoot, kHead});
    return k;
}

// The kinds of the names a report page is made of, looked up once.
class Kinds {
  public:
    const Kind& Of(const Name& name) {
        for (const auto& [known, kind] : known_)
            if (known == name)
                return kind;
        known_.emplace_back(name, KindOf(name));
        return known_.back().second;
    }

  private:
    std::vector<std::pair<Name, Kind>> known_;
};

struct OpenTag {
    Name name;
    bool bound;
    std::uint64_t at;  // offset of its start tag
    std::string_view text;
};

// The open elements as the engine's parser keeps them, as far as a report page needs: table
// structure and implied ends of rows, cells and paragraphs; stray end tags change nothing.
class OpenElements {
  public:
    void Start(const Name& name, const Kind& kind, std::uint64_t at, std::string_view text) {
        if (name == kBody)
            PopThrough(kHead, {});
        else if (name == kTr)
            PopThrough(kTr, {kTable});
        else if (name == kTd || name == kTh) {
            PopThrough(kTd, {kTr, kTable});
            PopThrough(kTh, {kTr, kTable});
        } else if (name == kTbody || name == kThead || name == kTfoot) {
            for (const Name& section : {kTbody, kThead, kTfoot})
                PopThrough(section, {kTable});
        } else if (name == kP && !open_.empty() && open_.back().name == kP)
            open_.pop_back();
        open_.push_back({name, kind.bound, at, text});
    }

    void End(const Name& name, const Kind& kind) { PopThrough(name, {}, !kind.structural); }

    // The start tags of the elements opened at or after `from`, in order, and the rows among them.
    std::string Reopen(std::uint64_t from, int& rows) const {
        std::string tags;
        rows = 0;
        for (const OpenTag& tag : open_) {
            if (tag.at < from)
                continue;
            tags += tag.text;
            rows += tag.name == kTr;
        }
        return tags;
    }

  private:
    // Closes the innermost open `name` and all inside it, looking no further out than the first
    // of `stops` or, `atBounds`, than the nearest table, row, cell, caption, body or html.
    void PopThrough(const Name& name, std::initializer_list<Name> stops, bool atBounds = false) {
        for (auto i = open_.size(); i-- > 0;) {
            if (open_[i].name == name) {
                open_.resize(i);
                return;
            }
            if ((atBounds && open_[i].bound) || IsOneOf(open_[i].name, stops))
                return;
        }
    }

    std::vector<OpenTag> open_;
};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The tag name from `at`, `at` moved past it.
Name NameAt(std::string_view page, std::size_t& at) {
    Name name;
    for (; at < page.size() && (IsLetter(page[at]) || (page[at] >= '0' && page[at] <= '9'));
         ++at, ++name.length) {
        const char lower = static_cast<char>(page[at] | (IsLetter(page[at]) ? 0x20 : 0));
        if (name.length < 8)
            name.packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(lower))
                           << (8 * name.length);
    }
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
std::size_t RawTextEnd(std::string_view page, std::size_t at, const Name& name) {
    for (;;) {
        at = page.find("</", at);
        if (at == std::string_view::npos)
            return page.size();
        std::size_t after = at + 2;
        if (NameAt(page, after) == name)
            return TagEnd(page, after);
        at += 2;
    }
}

}  // namespace

PageParts SplitPage(std::string_view page, std::size_t partBytes) {
    PageParts split;
    OpenElements open;
    Kinds kinds;
    std::uint64_t bodyAt = page.size();
    PagePart part;
    std::size_t at = 0;
    while (at < page.size()) {
        const void* found = std::memchr(page.data() + at, '<', page.size() - at);
        if (!found)
            break;
        const std::size_t tag = static_cast<const char*>(found) - page.data();
        if (tag + 3 < page.size() && page[tag + 1] == '!' && page[tag + 2] == '-' &&
            page[tag + 3] == '-') {
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
        const Name name = NameAt(page, nameAt);
        const Kind& kind = kinds.Of(name);
        at = TagEnd(page, nameAt);
        if (isEnd) {
            open.End(name, kind);
            if (name == kTr && at - part.begin >= partBytes && at < page.size()) {
                part.end = at;
                split.parts.push_back(part);
                part = PagePart{};
                part.begin = at;
                part.firstRow = split.rows;
                part.reopen = open.Reopen(bodyAt, part.reopenedRows);
            }
            continue;
        }
        if (bodyAt == page.size() && (name == kBody || !kind.head))
            bodyAt = tag;
        if (name == kTr) {
            ++split.rows;
            ++part.rows;
        }
        if (kind.rawText) {  // its end tag is passed over with its text
            at = RawTextEnd(page, at, name);
            continue;
        }
        const bool selfClosed = at >= 2 && page[at - 2] == '/';
        if (!kind.isVoid && !selfClosed)
            open.Start(name, kind, tag, page.substr(tag, at - tag));
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
