// The platform's message box, cursor and screen on Qt, and small adapters through which core
// code drives Qt windows.
#pragma once

#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "platform/desktop/Desktop.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Prompter.h"

class QFileDialog;
class QTabWidget;

namespace zl::widgets {

// A window handle is a QWidget* (nullptr: no owner).
inline ui::WindowHandle HandleOf(QWidget* widget) {
    return static_cast<void*>(widget);
}
inline QWidget* WidgetOf(ui::WindowHandle handle) {
    return static_cast<QWidget*>(handle);
}

// A modal QMessageBox with the message's text, title, icon and buttons; the application's
// thread only.
class QtPrompter : public ui::Prompter {
  public:
    ui::Button Show(const ui::Message& message) override;
};

// The hourglass as Qt's override cursor.
class QtCursor : public ui::Cursor {
  public:
    void Set(ui::CursorShape shape) override;

  private:
    bool waiting_ = false;
};

// The primary screen's size.
class QtScreen : public ui::Screen {
  public:
    int Width() const override;
    int Height() const override;
};

// A file's types from the shared MIME database (QMimeDatabase reads the freedesktop.org database
// the desktop itself uses to choose a program: name patterns and content magic alike).
class QtContentTypes : public desktop::ContentTypes {
  public:
    desktop::FileTypes TypesOf(const std::string& path) override;
};

// Installs the Qt implementations for its life; the fallbacks come back afterwards.
class QtPlatform {
  public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

  private:
    QtPrompter prompter_;
    QtCursor cursor_;
    QtScreen screen_;
    QtContentTypes contentTypes_;
};

// Installs the Qt implementations for the rest of the program's life.
void InstallQtPlatform();

// The hourglass until Restore or the end of the scope; then the cursor shown before, once.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void Restore();

  private:
    bool active_ = true;
};

// Centres the window on the screen that ui::CurrentScreen reports.
void Centre(QWidget& window);

// Makes the window at least as wide as its whole title needs in a title bar, beside the
// window's icon and buttons.
void FitTitle(QWidget& window);

// Runs the file dialog; true when the user chose a file. The list of its file name completer is
// closed afterwards: after Enter has chosen a name it would stay on screen by itself.
bool RunFileDialog(QFileDialog& chooser);

// A page control whose row of tabs scrolls when it does not fit, every caption whole.
QTabWidget* NewPageControl(QWidget* parent);

// Any window as the core's dialog.
class WidgetDialog : public ui::Dialog {
  public:
    explicit WidgetDialog(QWidget& widget) : widget_(widget) {}
    int Width() const override { return widget_.width(); }
    int Height() const override { return widget_.height(); }
    void Move(int left, int top) override { widget_.move(left, top); }
    ui::WindowHandle Handle() const override { return HandleOf(&widget_); }
    // Closes once control is back in the event loop: a dialog may be told to close while it is
    // still being shown, before its modal loop runs.
    void Close() override {
        QTimer::singleShot(0, &widget_, [w = &widget_] { w->close(); });
    }

  private:
    QWidget& widget_;
};

// A QLineEdit as the core's text edit.
class LineEditAdapter : public ui::TextEdit {
  public:
    explicit LineEditAdapter(QLineEdit& edit) : edit_(edit) {}
    std::string Text() const override { return edit_.text().toStdString(); }
    void SetFocus() override { edit_.setFocus(); }

  private:
    QLineEdit& edit_;
};

}  // namespace zl::widgets
