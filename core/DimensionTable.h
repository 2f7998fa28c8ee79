// The metadata of one entity kind (its row of `dimension` and its `dim_def` defaults) and the
// run-time context through which a list and an edit dialog hand a record to each other.
#pragma once

#include <memory>
#include <string>

#include "platform/db/Query.h"
#include "platform/ui/Controls.h"

namespace zl {

class DimensionTable {
  public:
    // Opens the dimension row and its defaults through the global data module.
    explicit DimensionTable(int id);
    DimensionTable(const DimensionTable&) = delete;
    DimensionTable& operator=(const DimensionTable&) = delete;

    enum Mode { None = 0, Add = 1, EditRecord = 2 };

    int GetDimensionId() const { return DimensionId; }
    int GetParentId() const { return ParentId; }
    void SetParentId(int id) { ParentId = id; }
    int GetEditMode() const { return EditMode; }
    void SetEditMode(int mode) { EditMode = mode; }
    int GetRecordId() const { return RecordId; }
    void SetRecordId(int id) { RecordId = id; }

    // A column of the dimension row; "" or 0 (logged) when it cannot be read.
    std::string DimString(const std::string& column);
    int DimInt(const std::string& column);

    // Writes the kind's starting values into the row `ds` is inserting.
    void appendDefaults(db::Query& ds);
    // Deletes the row `q` stands on, after the checks and the user's confirmation. True when
    // the row was deleted.
    bool Delete(db::Query& q, ui::WindowHandle owner);
    // Shows the key as "ID" and hides the other id columns; narrows wide text columns.
    void SetupGrid(db::Query& ds, ui::GridColumns& grid);

  private:
    int DimensionId;
    int ParentId = 0;
    int EditMode = None;
    int RecordId = 0;
    std::unique_ptr<db::Query> qDim;
    std::unique_ptr<db::Query> qDefs;
};

// Puts a kind in add or edit mode for as long as its edit dialog is open, and back to none
// when the dialog has closed, so that "some kind is being edited" is true only meanwhile.
class EditModeScope {
  public:
    EditModeScope(DimensionTable& dimension, int mode) : dimension_(dimension) {
        dimension_.SetEditMode(mode);
    }
    ~EditModeScope() { dimension_.SetEditMode(DimensionTable::None); }
    EditModeScope(const EditModeScope&) = delete;
    EditModeScope& operator=(const EditModeScope&) = delete;

  private:
    DimensionTable& dimension_;
};

// A kind's hand-over (record, mode, parent) as it stood before another dialog borrowed it, put
// back when the borrower is done, so that the windows behind find it as they left it. A null kind
// is left alone.
class BorrowedContext {
  public:
    explicit BorrowedContext(DimensionTable* dimension)
        : dimension_(dimension),
          record_(dimension ? dimension->GetRecordId() : 0),
          mode_(dimension ? dimension->GetEditMode() : 0),
          parent_(dimension ? dimension->GetParentId() : 0) {}
    ~BorrowedContext() {
        if (!dimension_)
            return;
        dimension_->SetRecordId(record_);
        dimension_->SetEditMode(mode_);
        dimension_->SetParentId(parent_);
    }
    BorrowedContext(const BorrowedContext&) = delete;
    BorrowedContext& operator=(const BorrowedContext&) = delete;

  private:
    DimensionTable* dimension_;
    int record_;
    int mode_;
    int parent_;
};

// Writes the value of one `dim_def` row into the column it names; "time" means the time now.
void WriteDefault(db::Query& ds, const std::string& column, const std::string& value);

}  // namespace zl
