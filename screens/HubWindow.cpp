#include "screens/HubWindow.h"

#include <QCloseEvent>

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

void HubWindow::closeEvent(QCloseEvent* event) {
    openFlag_ = false;
    QWidget::closeEvent(event);
}

}  // namespace zl
