#include "widgets/QtPlatform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>
#include <QTabWidget>

namespace zl::widgets {

namespace {

QMessageBox::Icon BoxIcon(ui::Icon icon) {
    switch (icon) {
        case ui::Icon::Information:
            return QMessageBox::Information;
        case ui::Icon::Warning:
            return QMessageBox::Warning;
        case ui::Icon::Error:
            return QMessageBox::Critical;
        case ui::Icon::Question:
            return QMessageBox::Question;
        case ui::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(ui::Buttons buttons) {
    switch (buttons) {
        case ui::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case ui::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case ui::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case ui::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// What closing the box without a button means: the set's cancel, or No, or OK.
ui::Button EscapeAnswer(ui::Buttons buttons) {
    switch (buttons) {
        case ui::Buttons::OkCancel:
        case ui::Buttons::YesNoCancel:
            return ui::Button::Cancel;
        case ui::Buttons::YesNo:
            return ui::Button::No;
        case ui::Buttons::Ok:
            break;
    }
    return ui::Button::Ok;
}

}  // namespace

ui::Button QtPrompter::Show(const ui::Message& message) {
    QMessageBox box(BoxIcon(message.icon), QString::fromStdString(message.title),
                    QString::fromStdString(message.text), BoxButtons(message.buttons),
                    WidgetOf(message.owner));
    box.setTextFormat(Qt::PlainText);
    // The first button is the default, as with the platform's message box.
    const bool yesNo =
        message.buttons == ui::Buttons::YesNo || message.buttons == ui::Buttons::YesNoCancel;
    box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    if (message.buttons == ui::Buttons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return ui::Button::Ok;
        case QMessageBox::Cancel:
            return ui::Button::Cancel;
        case QMessageBox::Yes:
            return ui::Button::Yes;
        case QMessageBox::No:
            return ui::Button::No;
        default:
            return EscapeAnswer(message.buttons);
    }
}

void QtCursor::Set(ui::CursorShape shape) {
    const bool wait = shape == ui::CursorShape::HourGlass;
    if (wait == waiting_)
        return;
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    waiting_ = wait;
}

int QtScreen::Width() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

int QtScreen::Height() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 768;
}

desktop::FileTypes QtContentTypes::TypesOf(const std::string& path) {
    const QMimeDatabase types;
    const QString file = QString::fromStdString(path);
    const auto name = [](const QMimeType& type) {
        return type.isDefault() ? std::string() : type.name().toStdString();
    };
    return {name(types.mimeTypeForFile(file, QMimeDatabase::MatchExtension)),
            name(types.mimeTypeForFile(file, QMimeDatabase::MatchContent)),
            types.mimeTypeForFile(file).name().toStdString()};
}

QtPlatform::QtPlatform() {
    ui::InstallPrompter(&prompter_);
    ui::InstallCursor(&cursor_);
    ui::InstallScreen(&screen_);
    desktop::InstallContentTypes(&contentTypes_);
}

QtPlatform::~QtPlatform() {
    ui::InstallPrompter(nullptr);
    ui::InstallCursor(nullptr);
    ui::InstallScreen(nullptr);
    desktop::InstallContentTypes(nullptr);
}

void InstallQtPlatform() {
    static QtPlatform platform;
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    Restore();
}

void WaitCursor::Restore() {
    if (!active_)
        return;
    active_ = false;
    QApplication::restoreOverrideCursor();
}

void Centre(QWidget& window) {
    window.move(ui::CentredLeft(window.width()), ui::CentredTop(window.height()));
}

void FitTitle(QWidget& window) {
    // The window's icon and its minimise, maximise and close buttons.
    constexpr int kTitleBarExtras = 130;
    QFont bold = window.font();  // title bars commonly draw their text bold
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(window.windowTitle()) + kTitleBarExtras;
    if (window.minimumWidth() < needed)
        window.setMinimumWidth(needed);
    if (window.width() < needed)
        window.resize(needed, window.height());
}

bool RunFileDialog(QFileDialog& chooser) {
    const bool accepted = chooser.exec() == QDialog::Accepted && !chooser.selectedFiles().isEmpty();
    if (auto* name = chooser.findChild<QLineEdit*>("fileNameEdit"); name && name->completer())
        name->completer()->popup()->hide();
    return accepted;
}

QTabWidget* NewPageControl(QWidget* parent) {
    auto* pages = new QTabWidget(parent);
    pages->setUsesScrollButtons(true);
    pages->setElideMode(Qt::ElideNone);
    return pages;
}

}  // namespace zl::widgets
