// A kind lent to another dialog gets its record, mode and parent back.
#include <gtest/gtest.h>

#include "core/DimensionTable.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

// A kind reads its dimension row through the data module when it is made.
class BorrowedContextTest : public test::CoreFixture {};

TEST_F(BorrowedContextTest, PutsBackRecordModeAndParentWhateverTheBorrowerSet) {
    ConnectAll();
    DimensionTable kind(14);
    kind.SetRecordId(31);
    kind.SetEditMode(DimensionTable::EditRecord);
    kind.SetParentId(7);
    {
        BorrowedContext borrowed(&kind);
        kind.SetRecordId(99);
        kind.SetEditMode(DimensionTable::Add);
        kind.SetParentId(12);
    }
    EXPECT_EQ(kind.GetRecordId(), 31);
    EXPECT_EQ(kind.GetEditMode(), DimensionTable::EditRecord);
    EXPECT_EQ(kind.GetParentId(), 7);
}

}  // namespace
}  // namespace zl
