#include "screens/HubWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/Rights.h"
#include "frames/TBrowseFrame.h"
#include "widgets/QtPlatform.h"

namespace zl {

HubWindow::HubWindow(const QString& caption, bool& openFlag, QWidget* parent)
    : QWidget(parent), openFlag_(openFlag) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
}

HubWindow::~HubWindow() {
    openFlag_ = false;
}

void HubWindow::setCollection(DimCollection* dimensions) {
    dimensions_ = dimensions;
}

QTabWidget* HubWindow::NewPageControl() {
    auto* pages = widgets::NewPageControl(this);
    pages->setObjectName("PageControl1");
    auto* column = qobject_cast<QVBoxLayout*>(layout());
    if (!column) {
        column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
    }
    column->addWidget(pages, 1);
    return pages;
}

TBrowseFrame* HubWindow::AddFrameTab(QTabWidget* pages, const char* name, const char* caption) {
    auto* frame = new TBrowseFrame;
    frame->setObjectName(name);
    pages->addTab(frame, caption);
    return frame;
}

void HubWindow::BindFrame(TBrowseFrame* frame, int kind, QDialog* dialog, const std::string& tag,
                          ChangeRule rule) {
    if (rule != ChangeRule::Anyone) {
        const bool ownRow = rule == ChangeRule::UserAdministratorsOrOwnRow;
        frame->setChangeGate([frame, ownRow](TBrowseFrame::Change change, int key) {
            if (ownRow && change == TBrowseFrame::Change::Edit && key > 0 && key == CurUserId)
                return true;
            return MayChangeUsers(widgets::HandleOf(frame));
        });
    }
    // The window is usable at once; each list fills as its rows arrive.
    frame->bindDimension(dimensions_->Require(kind, tag), dialog, true);
}

bool HubWindow::Filling() const {
    const QList<TBrowseFrame*> frames = findChildren<TBrowseFrame*>();
    return std::any_of(frames.begin(), frames.end(),
                       [](const TBrowseFrame* frame) { return frame->Filling(); });
}

void HubWindow::FinishFill() {
    for (TBrowseFrame* frame : findChildren<TBrowseFrame*>())
        frame->FinishFill();
}

void HubWindow::closeEvent(QCloseEvent* event) {
    openFlag_ = false;
    QWidget::closeEvent(event);
}

}  // namespace zl
