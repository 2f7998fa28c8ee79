// The list of one entity kind inside a hub window: filter, order, search, add, edit, delete
// and print, all driven by the kind's metadata.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Query.h"

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;

namespace zl {

class DimensionTable;
namespace widgets {
class DBGrid;
class ListFill;
}  // namespace widgets

class TBrowseFrame : public QWidget {
    Q_OBJECT
  public:
    explicit TBrowseFrame(QWidget* parent = nullptr);
    ~TBrowseFrame() override;

    // Binds the frame to a kind and its edit dialog and opens the list; `inBackground` reads
    // its rows on a worker thread, and the list fills when they arrive.
    void bindDimension(DimensionTable* dim, QDialog* dialog, bool inBackground = false);
    void setEditForm(QDialog* dialog);
    // Shows or hides the print button (the context menu's Print entry stays).
    void setPrintButtonVisible(bool visible);
    // Print asks for this report rather than the kind's, and its button shows.
    void setPrintReport(int reportId);
    void setParentID(int id);

    enum class Change { Add, Edit, Delete };
    // Asked before every add, edit and delete, whichever way it is started (button, key,
    // double-click, context menu), with the key of the row to edit (0 for add and delete); a
    // gate that refuses has told the user why. Without a gate every change may go ahead.
    using ChangeGate = std::function<bool(Change change, int key)>;
    void setChangeGate(ChangeGate gate);
    // (Re)builds the list query and reads its rows on a worker thread; the list keeps what it
    // shows until they arrive, then stands on the current record (the one just added or edited).
    void openTables();

    void AddExecute();
    void EditExecute();
    void DeleteExecute();
    // openTables, except that the list's statement, when it is unchanged, is read again only
    // when the database changed since it was read; the current row stays current by its key.
    void RefreshExecute();
    // Whether rows are being read for the list.
    bool Filling() const;
    // Waits for rows being read and shows them now.
    void FinishFill();
    // Called each time rows read in the background were shown.
    void setAfterFill(std::function<void()> afterFill);
    void PrintExecute();

    QToolBar* ToolBar1;
    QAction* Add;
    QAction* Edit;
    QAction* Delete;
    QAction* Find;
    QAction* Refresh;
    QAction* Print;
    QAction* printButton;
    QWidget* btnDoPrint;
    QWidget* orderByPanel;
    QWidget* findPanel;
    QWidget* filterPanel;
    QComboBox* cbOrder;
    QLineEdit* edFind;
    QLabel* labType;
    QComboBox* cbType;
    widgets::DBGrid* grdBrowse;
    QMenu* PopupMenu1;
    db::Query qBrowse;
    db::Query qType;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void popType();
    void popOrder();
    void qBrowseAfterScroll();
    void edFindChanged(const QString& text);
    int CurrentKey();
    std::string ListSQL() const;
    void ShowListed(int remembered);
    void Filled();
    bool MayChange(Change change, int key);

    DimensionTable* dimTable = nullptr;
    QDialog* editForm = nullptr;
    int parentID = 0;
    int printReport = 0;  // 0: the kind's own report
    std::vector<int> typeIds;
    ChangeGate changeGate_;
    std::unique_ptr<widgets::ListFill> fill_;
    std::function<void()> afterFill_;
    // The record the list stands on once the rows being read arrive.
    std::optional<int> reopenOn_;
};

// " order by [name]" with any "]" in the name doubled, so that no column name can end the
// brackets early.
std::string OrderByClause(const std::string& column);

}  // namespace zl
