// Pictures of the main window and the options window as a user sees them (see ScreenshotFixture).
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "core/Globals.h"
#include "shell/TfrmLogin.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmOptions.h"
#include "shell/TfrmSplash.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/Screenshots.h"

namespace zl {
namespace {

using Screenshot = test::ScreenshotFixture;

TEST_F(Screenshot, ReportsMenuOverTheMainWindow) {
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
    Save(screen.copy(main.frameGeometry()), "reports-menu.png");
    invoices->menu()->close();
    main.ReportsMenu->close();
    main.Exit1Click();
}

TEST_F(Screenshot, EmailTabOfTheOptionsWindow) {
    TfrmOptions options;
    options.endProgram = [] {};
    options.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&options));
    QTest::qWait(200);
    Save(options, "options-window.png");
    options.btnCancel->click();
}

}  // namespace
}  // namespace zl
