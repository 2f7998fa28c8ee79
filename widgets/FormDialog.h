// A modal dialog whose every way of closing (a button, the close box, Escape) runs one close
// routine, which may refuse the close.
#pragma once

#include <QCloseEvent>
#include <QDialog>

namespace zl::widgets {

class FormDialog : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;

  protected:
    // Runs when the dialog is about to close; false keeps it open.
    virtual bool FormClose() { return true; }

    void closeEvent(QCloseEvent* event) override {
        if (FormClose())
            event->accept();
        else
            event->ignore();
    }
    // Escape closes the way the close box does.
    void reject() override { close(); }
};

}  // namespace zl::widgets
