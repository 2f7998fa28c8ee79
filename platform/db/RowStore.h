// The rows of an open dataset, packed: 16 bytes a value, with all texts in chunks of one text
// store, so that a list of a hundred thousand rows costs little memory and few allocations.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

namespace zl::db {

// A value as the dataset hands it out: null, integer, float or text.
using Value = std::variant<std::monostate, long long, double, std::string>;

class RowStore {
  public:
    explicit RowStore(int columns = 0) : columns_(columns) {}

    int Columns() const { return columns_; }
    int Rows() const { return static_cast<int>(rowids_.size()); }
    bool Empty() const { return rowids_.empty(); }

    // Adds a row at the end; its cells start null and are set with the Set* calls.
    void AddRow(long long rowid);
    void SetInt(int row, int column, long long value);
    void SetFloat(int row, int column, double value);
    void SetText(int row, int column, std::string_view value);

    Value Get(int row, int column) const;
    bool IsNull(int row, int column) const;
    // The text of a text cell without copying; empty for other cells.
    std::string_view Text(int row, int column) const;
    bool IsText(int row, int column) const;
    bool IsInteger(int row, int column) const;
    bool IsReal(int row, int column) const;
    long long RowId(int row) const { return rowids_[row]; }

    // Whole rows as values, for editing.
    std::vector<Value> GetRow(int row) const;
    void ReplaceRow(int row, const std::vector<Value>& values, long long rowid);
    void InsertRow(int row, const std::vector<Value>& values, long long rowid);
    void EraseRow(int row);

  private:
    struct Cell {
        union {
            long long integer;
            double real;
            const char* text;
        };
        std::uint32_t size;
        enum class Kind : std::uint8_t { Null, Integer, Real, Text } kind;
    };
    static_assert(sizeof(Cell) == 16);

    Cell& At(int row, int column) { return cells_[static_cast<size_t>(row) * columns_ + column]; }
    const Cell& At(int row, int column) const {
        return cells_[static_cast<size_t>(row) * columns_ + column];
    }
    Cell MakeCell(const Value& value);
    const char* Keep(std::string_view text);

    int columns_;
    std::vector<Cell> cells_;
    std::vector<long long> rowids_;
    // Texts are never freed one by one: an edited row's old text stays until the dataset closes.
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t chunkUsed_ = 0;
    size_t chunkSize_ = 0;
};

}  // namespace zl::db
