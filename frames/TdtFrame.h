// A date column of an edit dialog's record, edited with a drop-down calendar.
#pragma once

#include <QWidget>
#include <string>

#include "platform/db/Query.h"

namespace zl {

namespace widgets {
class DBDateEdit;
}

class TdtFrame : public QWidget {
    Q_OBJECT
  public:
    explicit TdtFrame(QWidget* parent = nullptr);
    // Binds the picker to a column of the query's current row; every change writes it back.
    void bindField(db::Query& query, const std::string& column);

    widgets::DBDateEdit* dtPicker;
};

}  // namespace zl
