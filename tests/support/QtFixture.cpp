#include "tests/support/QtFixture.h"

#include <gtest/gtest.h>
#include <QDialog>
#include <QWidget>

namespace zl::test {
namespace {

QObject* runningScope = nullptr;

}  // namespace

QObject* TestScope() {
    return runningScope ? runningScope : QCoreApplication::instance();
}

QtFixture::QtFixture() {
    runningScope = &scope_;
}

QtFixture::~QtFixture() {
    if (runningScope == &scope_)
        runningScope = nullptr;
}

ModalWatchdog::ModalWatchdog() {
    timer_.setSingleShot(true);
    timer_.setInterval(60 * 1000);
    QObject::connect(&timer_, &QTimer::timeout, [] {
        for (int i = 0; i < 20; ++i) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            ADD_FAILURE() << "A modal " << modal->metaObject()->className()
                          << " was still open after a minute; the watchdog closed it.";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->hide();
        }
    });
    timer_.start();
}

ModalWatchdog::~ModalWatchdog() {
    timer_.stop();
}

QApplication* QtFixture::app = nullptr;

void QtFixture::SetUpTestSuite() {
    if (app)
        return;
    static int argc = 1;
    static char name[] = "zelmar-test";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
}

}  // namespace zl::test
