#include "tests/support/QtFixture.h"

#include <gtest/gtest.h>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>
#include <filesystem>
#include <fstream>

#include "widgets/QtPlatform.h"

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

void WhenChoosingFile(const std::string& path) {
    WhenModal<QFileDialog>([path](QFileDialog& files) {
        if (path.empty()) {
            files.reject();
            return;
        }
        auto* name = files.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path));
        QMetaObject::invokeMethod(&files, "accept");
    });
}

std::vector<std::string> QtFixture::Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : prompter.Messages())
        texts.push_back(m.text);
    return texts;
}

void QtFixture::ExpectMessages(
    const std::vector<std::pair<std::string, std::string>>& expected) const {
    const std::vector<ui::Message> shown = prompter.Messages();
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].text, expected[i].first) << i;
        EXPECT_EQ(shown[i].title, expected[i].second) << i;
    }
}

std::string QtFixture::MakeFile(const std::string& relative, const std::string& content) const {
    const std::string path = folder.Home() + "/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

void MinimiseAndRestore(QWidget& window) {
    window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    window.setWindowState(Qt::WindowNoState);
    QApplication::processEvents();
}

void QtFixture::SetUpTestSuite() {
    if (app)
        return;
    static int argc = 1;
    static char name[] = "zelmar-test";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
    // Stored documents are told from programs by the shared MIME database, as in the program.
    static widgets::QtContentTypes contentTypes;
    desktop::InstallContentTypes(&contentTypes);
}

}  // namespace zl::test
