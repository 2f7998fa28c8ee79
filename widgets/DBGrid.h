// The data grid: a read-only table view of a dataset whose selected row follows the dataset's
// current row both ways, striped and formatted as the list frames paint their rows.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>
#include <map>

#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "widgets/DataSetLink.h"

namespace zl::widgets {

// The rows and columns of a dataset. Cells are read from the stored rows without moving the
// dataset.
class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit QueryTableModel(db::Query* query = nullptr, QObject* parent = nullptr);

    void SetQuery(db::Query* query);
    db::Query* GetQuery() const { return link_.Get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A dataset that holds only its first rows is completed when the view reaches its end.
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // A column's title in place of its field name.
    void SetTitle(int column, const QString& title);
    // Odd rows white, even rows light blue.
    void SetStriped(bool striped);
    bool Striped() const { return striped_; }
    // Floats right-aligned rather than left.
    void SetFloatsRight(bool right);
    bool FloatsRight() const { return floatsRight_; }
    // Whether the rows shown are being brought in line with the dataset: a view's current row
    // that moves meanwhile (its row removed) says nothing about where the dataset stands.
    bool Reloading() const { return reloading_; }

  signals:
    // The dataset stands on this row now (0-based; -1 for none).
    void CurrentRowChanged(int row);

  private:
    void Reload();
    void Notify();
    QStringList FieldNames() const;
    int DataRows() const;

    DataSetLink link_;
    int rows_ = 0;
    bool reloading_ = false;
    QStringList columns_;
    std::map<int, QString> titles_;
    bool striped_ = false;
    bool floatsRight_ = false;
};

// Paints the model's stripe colour under the selection too.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// A read-only grid over a dataset, whose columns the entity metadata can lay out.
class DBGrid : public QTableView, public ui::GridColumns {
    Q_OBJECT
  public:
    explicit DBGrid(QWidget* parent = nullptr);

    void SetDataSet(db::Query* query);
    db::Query* DataSet() const { return model_->GetQuery(); }
    QueryTableModel& Model() { return *model_; }

    // Lays every column out again as for rows just opened: for a list whose first screen of
    // rows gave way to all of them, so that it looks as it would had all come at once.
    void LayOutColumns() { DefaultColumns(); }

    void SetStriped(bool striped) { model_->SetStriped(striped); }
    void SetFloatsRight(bool right) { model_->SetFloatsRight(right); }

    int Count() const override;
    void SetVisible(int column, bool visible) override;
    int Width(int column) const override;
    void SetWidth(int column, int pixels) override;
    void SetTitle(int column, const std::string& title) override;

  signals:
    // A double-click anywhere in the grid, on a row or on the empty space below the rows.
    void GridDoubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void DefaultColumns();
    // Widens the columns whose values in view do not fit: numbers and dates as far as they
    // need, text no wider than a list lays it out.
    void FitColumns();
    void FollowDataSet(int row);
    void FollowSelection(const QModelIndex& current);

    QueryTableModel* model_;  // children of the grid
    bool following_ = false;
};

}  // namespace zl::widgets
