// A modal dialog whose every way of closing (a button, the close box) runs one close routine,
// which may refuse the close.
#pragma once

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDialog>
#include <QEvent>

#include "widgets/QtPlatform.h"

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
    // Escape presses "&Cancel" (btnCancel), with whatever that asks; a dialog without one stays
    // open, so that nothing typed is lost or kept half-done by a key.
    void reject() override {
        auto* cancel = findChild<QAbstractButton*>("btnCancel");
        if (cancel && cancel->isVisibleTo(this) && cancel->isEnabled())
            cancel->click();
    }
    // A dialog restored after being minimised is shown again by the window system: its set-up
    // (the show handlers) ran when it opened and must not run again over what was typed since.
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Show && event->spontaneous())
            return true;
        // "Add new ..." and "Edit existing ..." come as the dialog opens: the whole title shows.
        if (event->type() == QEvent::WindowTitleChange)
            FitTitle(*this);
        return QDialog::event(event);
    }
};

}  // namespace zl::widgets
