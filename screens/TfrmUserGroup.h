// The user group dialog: a group with the operations granted to it.
#pragma once

#include <string>
#include <vector>

#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "widgets/DataControls.h"

class QListWidget;
class QPushButton;
class QTabWidget;

namespace zl {

// The link rows of one owner (a group's rights, a user's memberships), as a dialog changed them.
struct LinkRewrite {
    std::string table;        // "group_right"
    std::string keyColumn;    // "group_right_id"
    std::string ownerColumn;  // "user_group_id"
    std::string otherColumn;  // "sys_op_id"
    int ownerId = 0;
    std::vector<int> otherIds;  // ticked in the dialog
    // The other ids as the dialog read them, and the audit row that a change of them leaves:
    // the event ("Group rights changed") with the owner's name as its extra text.
    std::vector<int> storedIds;
    std::string auditEvent;
    std::string ownerName;
    int ownerDimension = 0;
};

// Adds a link row for each other id ticked since the dialog read them (unless one is stored by
// now) and deletes the row of each one unticked, all or nothing, in one transaction on the main
// connection; every other row of the owner stays as it is stored now. The keys are issued before
// the transaction so that no message waits while it is open. On failure the rows stay, the error
// is logged under `tag` and shown once. A stored change leaves the audit row.
bool ApplyLinkChanges(const LinkRewrite& links, const std::string& tag);

// The values of `column` of every row of `links`.
std::vector<int> LinkedIds(db::Query& links, const std::string& column);

// The ticked rows of a check list, as the values of `column` of the query's rows in list order.
std::vector<int> CheckedIds(const QListWidget& list, db::Query& q, const std::string& column);

// Fills a check list with the rows of `items` (their `textColumn`), ticking those whose
// `idColumn` is among the `linkColumn` values of `links`.
void FillCheckList(QListWidget& list, db::Query& items, const std::string& textColumn,
                   const std::string& idColumn, db::Query& links, const std::string& linkColumn);

class TfrmUserGroup : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmUserGroup(QWidget* owner = nullptr);
    ~TfrmUserGroup() override;

    db::Query qLink;
    db::Query qSysOp;
    widgets::DataSource dstEdit{&qEdit};

    QTabWidget* PageControl1;
    widgets::DBEdit* edName;
    widgets::DBEdit* edCode;
    QListWidget* cbSysOp;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    bool MayOpen(DimensionTable& groups) override;
    void RecordOpened(DimensionTable& groups, DimensionTable* details) override;
    bool AfterSave() override;
    void RecordClosed() override;
};

}  // namespace zl
