// The list of a record's children inside its edit dialog: it stores a new child row before the
// child's dialog opens, and can show the total of a document's lines.
#pragma once

#include <QWidget>
#include <string>

#include "platform/db/Query.h"

class QAction;
class QDialog;
class QLabel;
class QToolBar;

namespace zl {

class DimensionTable;
namespace widgets {
class DBGrid;
}

class TchildFrame : public QWidget {
    Q_OBJECT
  public:
    explicit TchildFrame(QWidget* parent = nullptr);

    // Binds the frame to the hosting dialog's list query, the child kind and its dialog.
    void Setup(db::Query& list, DimensionTable* dim, QDialog* dialog);
    void setParentID(int id);
    void Reopen();
    void setTotalDocID(int id) { totalDocID = id; }
    void showTotal(int docId);
    void closeTables();
    int recordCount() const;

    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();

    QWidget* buttonPanel;
    QToolBar* ToolBar1;
    QAction* btnAdd;
    QAction* btnEdit;
    QAction* btnDelete;
    QWidget* totalPanel;
    QLabel* labTotal;
    widgets::DBGrid* DBGrid1;
    db::Query qEdit;

  private:
    DimensionTable* dimTable = nullptr;
    QDialog* editForm = nullptr;
    db::Query* listQuery = nullptr;
    std::string parentField;
    int parentID = 0;
    int totalDocID = 0;
};

}  // namespace zl
