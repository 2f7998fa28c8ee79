#include "platform/db/RowStore.h"

#include <cstring>
#include <string>

namespace zl::db {
namespace {
constexpr size_t kChunk = 64 * 1024;
}

const char* RowStore::Keep(std::string_view text) {
    if (text.empty())
        return "";
    if (text.size() > kChunk / 4) {  // a large text gets a block of its own
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(blocks_.back().get(), text.data(), text.size());
        return blocks_.back().get();
    }
    if (chunks_.empty() || chunkUsed_ + text.size() > chunkSize_) {
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(kChunk));
        chunkUsed_ = 0;
        chunkSize_ = kChunk;
    }
    char* at = chunks_.back().get() + chunkUsed_;
    std::memcpy(at, text.data(), text.size());
    chunkUsed_ += text.size();
    return at;
}

void RowStore::AddRow(long long rowid) {
    rowids_.push_back(rowid);
    Cell null{};
    null.kind = Cell::Kind::Null;
    cells_.insert(cells_.end(), columns_, null);
}

void RowStore::SetInt(int row, int column, long long value) {
    Cell& c = At(row, column);
    c.integer = value;
    c.kind = Cell::Kind::Integer;
}

void RowStore::SetFloat(int row, int column, double value) {
    Cell& c = At(row, column);
    c.real = value;
    c.kind = Cell::Kind::Real;
}

void RowStore::SetText(int row, int column, std::string_view value) {
    const char* kept = Keep(value);
    Cell& c = At(row, column);
    c.text = kept;
    c.size = static_cast<std::uint32_t>(value.size());
    c.kind = Cell::Kind::Text;
}

Value RowStore::Get(int row, int column) const {
    const Cell& c = At(row, column);
    switch (c.kind) {
        case Cell::Kind::Integer:
            return c.integer;
        case Cell::Kind::Real:
            return c.real;
        case Cell::Kind::Text:
            return std::string(c.text, c.size);
        case Cell::Kind::Null:
            break;
    }
    return {};
}

bool RowStore::IsNull(int row, int column) const {
    return At(row, column).kind == Cell::Kind::Null;
}

bool RowStore::IsText(int row, int column) const {
    return At(row, column).kind == Cell::Kind::Text;
}

bool RowStore::IsInteger(int row, int column) const {
    return At(row, column).kind == Cell::Kind::Integer;
}

bool RowStore::IsReal(int row, int column) const {
    return At(row, column).kind == Cell::Kind::Real;
}

std::string_view RowStore::Text(int row, int column) const {
    const Cell& c = At(row, column);
    return c.kind == Cell::Kind::Text ? std::string_view(c.text, c.size) : std::string_view();
}

RowStore::Cell RowStore::MakeCell(const Value& value) {
    Cell c{};
    c.kind = Cell::Kind::Null;
    if (const auto* i = std::get_if<long long>(&value)) {
        c.integer = *i;
        c.kind = Cell::Kind::Integer;
    } else if (const auto* d = std::get_if<double>(&value)) {
        c.real = *d;
        c.kind = Cell::Kind::Real;
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        c.text = Keep(*s);
        c.size = static_cast<std::uint32_t>(s->size());
        c.kind = Cell::Kind::Text;
    }
    return c;
}

std::vector<Value> RowStore::GetRow(int row) const {
    std::vector<Value> values;
    values.reserve(columns_);
    for (int c = 0; c < columns_; ++c)
        values.push_back(Get(row, c));
    return values;
}

void RowStore::ReplaceRow(int row, const std::vector<Value>& values, long long rowid) {
    for (int c = 0; c < columns_; ++c)
        At(row, c) = MakeCell(values[c]);
    rowids_[row] = rowid;
}

void RowStore::InsertRow(int row, const std::vector<Value>& values, long long rowid) {
    std::vector<Cell> cells;
    cells.reserve(columns_);
    for (int c = 0; c < columns_; ++c)
        cells.push_back(MakeCell(values[c]));
    cells_.insert(cells_.begin() + static_cast<ptrdiff_t>(row) * columns_, cells.begin(),
                  cells.end());
    rowids_.insert(rowids_.begin() + row, rowid);
}

void RowStore::EraseRow(int row) {
    const auto first = cells_.begin() + static_cast<ptrdiff_t>(row) * columns_;
    cells_.erase(first, first + columns_);
    rowids_.erase(rowids_.begin() + row);
}

}  // namespace zl::db
