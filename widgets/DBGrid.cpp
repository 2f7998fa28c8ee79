#include "widgets/DBGrid.h"

#include <QColor>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "platform/format/Format.h"
#include "widgets/DataControls.h"

namespace zl::widgets {

namespace {

bool IsFloat(const db::Field& field) {
    return field.DataType() == db::FieldType::ftFloat;
}

bool IsText(const db::Field& field) {
    return field.DataType() == db::FieldType::ftString ||
           field.DataType() == db::FieldType::ftWideString;
}

double AsDouble(const db::Value& value) {
    if (const auto* d = std::get_if<double>(&value))
        return *d;
    if (const auto* i = std::get_if<long long>(&value))
        return static_cast<double>(*i);
    if (const auto* s = std::get_if<std::string>(&value)) {
        double d = 0;
        return format::TryStrToFloat(*s, d) ? d : 0;
    }
    return 0;
}

}  // namespace

// ----- model -----------------------------------------------------------------------------------

QueryTableModel::QueryTableModel(db::Query* query, QObject* parent) : QAbstractTableModel(parent) {
    SetQuery(query);
}

void QueryTableModel::SetQuery(db::Query* query) {
    beginResetModel();
    link_.Reset(query);
    rows_ = DataRows();
    columns_ = FieldNames();
    titles_.clear();
    endResetModel();
    link_.OnAfterScroll([this] { Notify(); });
    link_.OnDataChange([this](db::DataEvent event, const db::Field*) {
        if (event == db::DataEvent::DataSetChanged)
            Reload();
        else if (event == db::DataEvent::RecordChanged)
            Notify();
    });
    Notify();
}

int QueryTableModel::DataRows() const {
    const db::Query* query = link_.Get();
    return query && query->Active() ? query->RowsHeld() : 0;
}

QStringList QueryTableModel::FieldNames() const {
    QStringList names;
    db::Query* query = link_.Get();
    if (query && query->Active())
        for (int i = 0; i < query->FieldCount(); ++i)
            names << QString::fromStdString(query->Fields(i).FieldName());
    return names;
}

void QueryTableModel::Reload() {
    reloading_ = true;
    struct Reloaded {
        bool& flag;
        ~Reloaded() { flag = false; }
    } reloaded{reloading_};
    const db::Query* query = link_.Get();
    const QStringList names = FieldNames();
    // A closed dataset keeps its columns, so that reopening the same statement keeps the
    // layout (widths, hidden columns, titles); only its rows go.
    const bool closed = query && !query->Active();
    if (names != columns_ && !closed) {
        // Other columns: a new layout, as the original grid builds new default columns.
        beginResetModel();
        rows_ = DataRows();
        columns_ = names;
        titles_.clear();
        endResetModel();
    } else {
        // The same columns: rows come and go, and the column layout stays.
        const int rows = DataRows();
        if (rows > rows_) {
            beginInsertRows({}, rows_, rows - 1);
            rows_ = rows;
            endInsertRows();
        } else if (rows < rows_) {
            beginRemoveRows({}, rows, rows_ - 1);
            rows_ = rows;
            endRemoveRows();
        }
        if (rows_ > 0 && !columns_.isEmpty())
            emit dataChanged(index(0, 0), index(rows_ - 1, columns_.size() - 1));
    }
    Notify();
}

void QueryTableModel::Notify() {
    const db::Query* query = link_.Get();
    const int recNo = query && query->Active() ? query->RecNo() : 0;
    emit CurrentRowChanged(recNo >= 1 && recNo <= rows_ ? recNo - 1 : -1);
}

bool QueryTableModel::canFetchMore(const QModelIndex& parent) const {
    const db::Query* query = link_.Get();
    return !parent.isValid() && query && query->Active() && !query->HoldsAll();
}

void QueryTableModel::fetchMore(const QModelIndex& parent) {
    // The rows arrive as a data-set change, which reloads the model.
    if (canFetchMore(parent))
        link_.Get()->FetchAll();
}

int QueryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int QueryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const {
    db::Query* query = link_.Get();
    if (!query || !index.isValid() || index.row() >= rows_ || index.column() >= columns_.size())
        return {};
    const db::Field& field = query->Fields(index.column());
    switch (role) {
        case Qt::DisplayRole:
            if (IsFloat(field))
                return QString::fromStdString(
                    format::Format("%1.2f", AsDouble(query->ValueAt(index.row(), index.column()))));
            // One line a row: a value with line breaks would not fit its row.
            return OneLine(QString::fromStdString(query->TextAt(index.row(), index.column())));
        case Qt::BackgroundRole:
            if (!striped_)
                return {};
            // Row 1 (the first) is white, row 2 light blue, and so on.
            return index.row() % 2 == 0 ? QColor(255, 255, 255) : QColor(217, 217, 255);
        case Qt::ForegroundRole:
            return QColor(0, 0, 0);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::AlignTop | (IsFloat(field) && floatsRight_ ? Qt::AlignRight : Qt::AlignLeft));
        default:
            return {};
    }
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    auto title = titles_.find(section);
    return title != titles_.end() ? title->second : columns_[section];
}

Qt::ItemFlags QueryTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void QueryTableModel::SetTitle(int column, const QString& title) {
    titles_[column] = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void QueryTableModel::SetStriped(bool striped) {
    striped_ = striped;
    if (rows_ > 0 && !columns_.isEmpty())
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_.size() - 1));
}

void QueryTableModel::SetFloatsRight(bool right) {
    floatsRight_ = right;
    if (rows_ > 0 && !columns_.isEmpty())
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_.size() - 1));
}

// ----- delegate --------------------------------------------------------------------------------

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(Qt::BackgroundRole).isValid())
        option->state &= ~QStyle::State_Selected;
}

// ----- grid ------------------------------------------------------------------------------------

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new QueryTableModel(nullptr, this)) {
    setModel(model_);
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // One line a row, as a list is read.
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(model_, &QueryTableModel::modelReset, this, [this] { DefaultColumns(); });
    // Rows that arrive later (the rest of a list, a refresh: the model reports them changed, new
    // ones included) or come into view are measured too.
    connect(model_, &QueryTableModel::dataChanged, this, [this] { FitColumns(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { FitColumns(); });
    connect(model_, &QueryTableModel::CurrentRowChanged, this,
            [this](int row) { FollowDataSet(row); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { FollowSelection(current); });
}

void DBGrid::SetDataSet(db::Query* query) {
    model_->SetQuery(query);
}

// Every column shown, as wide as its field's display width, its whole caption or the rows in
// view: measuring further rows would cost a large list its first screen.
void DBGrid::DefaultColumns() {
    db::Query* query = model_->GetQuery();
    const QFontMetrics metrics = fontMetrics();
    const int rowHeight = std::max(verticalHeader()->defaultSectionSize(), 1);
    horizontalHeader()->setResizeContentsPrecision(viewport()->height() / rowHeight + 1);
    for (int i = 0; query && i < model_->columnCount(); ++i) {
        const db::Field& field = query->Fields(i);
        int chars = 10;
        if (IsText(field))
            chars = std::max(field.Size(), 1);
        else if (field.DataType() == db::FieldType::ftDateTime)
            chars = 18;
        setColumnHidden(i, false);
        // The width the field holds, or more when the title (in the header's own font and
        // margins) or the rows in view need it.
        setColumnWidth(i, std::max({horizontalHeader()->sectionSizeHint(i),
                                    chars * metrics.averageCharWidth() + 4, sizeHintForColumn(i)}));
    }
}

void DBGrid::FitColumns() {
    db::Query* query = model_->GetQuery();
    for (int i = 0; query && query->Active() && i < model_->columnCount(); ++i) {
        if (isColumnHidden(i))
            continue;
        const int width = columnWidth(i);
        const int needed = std::max(horizontalHeader()->sectionSizeHint(i), sizeHintForColumn(i));
        if (needed <= width)
            continue;
        if (!IsText(query->Fields(i)))
            setColumnWidth(i, needed);
        else if (width < ui::kWidestTextColumn)
            setColumnWidth(i, std::min(needed, ui::kWidestTextColumn));
    }
}

void DBGrid::FollowDataSet(int row) {
    if (following_)
        return;
    following_ = true;
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
    } else if (currentIndex().row() != row) {
        int column = currentIndex().isValid() ? currentIndex().column() : 0;
        while (column < model_->columnCount() - 1 && isColumnHidden(column))
            ++column;
        setCurrentIndex(model_->index(row, column));
    }
    following_ = false;
}

void DBGrid::FollowSelection(const QModelIndex& current) {
    db::Query* query = model_->GetQuery();
    if (following_ || model_->Reloading() || !current.isValid() || !query || !query->Active())
        return;
    if (query->RecNo() == current.row() + 1)
        return;
    following_ = true;
    try {
        query->SetRecNo(current.row() + 1);
    } catch (...) {
        following_ = false;
        throw;
    }
    following_ = false;
    // A move the dataset refused (a failing post) puts the selection back.
    FollowDataSet(query->RecNo() - 1);
}

int DBGrid::Count() const {
    return model_->columnCount();
}

void DBGrid::SetVisible(int column, bool visible) {
    setColumnHidden(column, !visible);
}

int DBGrid::Width(int column) const {
    return columnWidth(column);
}

void DBGrid::SetWidth(int column, int pixels) {
    setColumnWidth(column, pixels);
}

void DBGrid::SetTitle(int column, const std::string& title) {
    model_->SetTitle(column, QString::fromStdString(title));
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit GridDoubleClicked();
}

}  // namespace zl::widgets
