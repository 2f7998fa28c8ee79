// Zelmar: the program block.
#include <QIcon>
#include <QPixmap>
#include <QScreen>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "screens/TfrmCustEdit.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmSplash.h"
#include "widgets/GuardedApplication.h"
#include "widgets/QtPlatform.h"

int main(int argc, char** argv) {
    zl::widgets::GuardedApplication app(argc, argv);
    // No display name: Qt would append it to every window title, which are the program's own.
    QApplication::setApplicationName("Zelmar");
    // Outside a desktop session no icon theme is named: use the one the installer brings.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor")
        QIcon::setThemeName("Tango");
    QApplication::setWindowIcon(QIcon(zl::ProgramPicture().copy(0, 0, 73, 73)));
    zl::widgets::QtPlatform platform;
    zl::TfrmCustEdit::InstallAsNewCustomerDialog();

    zl::TfrmMain main;
    zl::TDataMod dataModule(zl::Deliverable::Program);
    zl::DataMod = &dataModule;
    // Without a window manager "maximised" means nothing: take the whole screen by hand too.
    main.setGeometry(QApplication::primaryScreen()->availableGeometry());
    main.showMaximized();
    // The status the program was ended with: 0 after Exit or a cancelled login, 1 when
    // start-up failed.
    const int result = QApplication::exec();

    zl::ReportServer.reset();
    zl::DataMod = nullptr;
    return result;
}
