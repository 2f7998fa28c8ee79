// A picture of the main window with its Reports menu open, written only when
// ZELMAR_SCREENSHOT_DIR names a folder (run under a real display, for example with xvfb-run).
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdlib>

#include "core/Globals.h"
#include "shell/TfrmLogin.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmSplash.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/QtFixture.h"

namespace zl {
namespace {

class MenuScreenshot : public test::QtFixture {};

TEST_F(MenuScreenshot, ReportsMenuOverTheMainWindow) {
    const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
    if (!dir)
        GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
    auto fake = test::FakeReportServer::Create();
    TfrmMain main;
    main.createReportServer = [fake] { return fake->NewClient(); };
    main.endProgram = [](int) {};
    main.setGeometry(0, 0, 870, 642);
    main.show();
    test::WhenModal<TfrmSplash>([](TfrmSplash& splash) { splash.close(); });
    test::WhenModal<TfrmLogin>([](TfrmLogin& login) { login.btnOK->click(); });
    main.Timer1Timer();
    ASSERT_TRUE(main.Started());
    main.TileActionExecute();

    // The Reports menu open, its Invoices entry open beside it.
    QAction* reports = main.ReportsMenu->menuAction();
    main.menuBar()->setActiveAction(reports);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.ReportsMenu->isVisible(); }, 2000));
    QAction* invoices = main.ReportsMenu->actions().last();
    main.ReportsMenu->setActiveAction(invoices);
    invoices->menu()->popup(
        main.ReportsMenu->mapToGlobal(main.ReportsMenu->actionGeometry(invoices).topRight()));
    QTest::qWait(500);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(screen.copy(main.frameGeometry())
                    .save(QString::fromStdString(std::string(dir) + "/reports-menu.png")));
    invoices->menu()->close();
    main.ReportsMenu->close();
    main.Exit1Click();
    ReportServer.reset();
}

}  // namespace
}  // namespace zl
