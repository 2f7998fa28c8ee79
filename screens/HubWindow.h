// What the four hub windows share: an MDI child of the main window that is handed the entity
// metadata and clears its "open" flag when it closes.
#pragma once

#include <QWidget>

namespace zl {

class DimCollection;

class HubWindow : public QWidget {
    Q_OBJECT
  public:
    // `openFlag` is the global that says whether this hub exists; it is cleared on close.
    HubWindow(const QString& caption, bool& openFlag, QWidget* parent = nullptr);
    ~HubWindow() override;
    virtual void setCollection(DimCollection* dimensions);
    QSize sizeHint() const override { return {640, 420}; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    DimCollection* dimensions_ = nullptr;

  private:
    bool& openFlag_;
};

}  // namespace zl
