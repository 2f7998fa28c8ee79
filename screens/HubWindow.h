// What the four hub windows share: an MDI child of the main window that is handed the entity
// metadata and clears its "open" flag when it closes.
#pragma once

#include <QWidget>
#include <string>

class QDialog;
class QTabWidget;

namespace zl {

class DimCollection;
class TBrowseFrame;

class HubWindow : public QWidget {
    Q_OBJECT
  public:
    // `openFlag` is the global that says whether this hub exists; it is cleared on close.
    HubWindow(const QString& caption, bool& openFlag, QWidget* parent = nullptr);
    ~HubWindow() override;
    virtual void setCollection(DimCollection* dimensions);
    QSize sizeHint() const override { return {640, 420}; }
    // Whether rows are being read for any of the window's lists; FinishFill waits for them and
    // shows them now.
    virtual bool Filling() const;
    virtual void FinishFill();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The tab control that fills the window ("PageControl1"), below any panel added first.
    QTabWidget* NewPageControl();
    // A list frame on a new tab of the page control.
    static TBrowseFrame* AddFrameTab(QTabWidget* pages, const char* name, const char* caption);
    // Creates the kind's edit dialog, owned by this window and reused for every add and edit,
    // and binds the frame to the kind with it. A kind the database lacks is logged under `tag`.
    // Who may add, edit and delete the records of a frame's kind. The users' own rule: right 1,
    // except that a user may open his own row (his dialog then lets him change his password
    // only).
    enum class ChangeRule { Anyone, UserAdministrators, UserAdministratorsOrOwnRow };
    template <class Dialog>
    Dialog* BindFrame(TBrowseFrame* frame, int kind, const std::string& tag,
                      ChangeRule rule = ChangeRule::Anyone) {
        auto* dialog = new Dialog(this);
        BindFrame(frame, kind, dialog, tag, rule);
        return dialog;
    }
    void BindFrame(TBrowseFrame* frame, int kind, QDialog* dialog, const std::string& tag,
                   ChangeRule rule = ChangeRule::Anyone);
    DimCollection* dimensions_ = nullptr;

  private:
    bool& openFlag_;
};

}  // namespace zl
