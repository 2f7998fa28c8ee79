#include "tests/reportview/PageText.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest/QTest>
#include <memory>

#include "reportserver/TfrmReportView.h"

namespace zl::reportserver {

constexpr int kWaitMs = 10000;

bool WaitForPage(TfrmReportView& view) {
    return QTest::qWaitFor([&] { return view.PageLoaded(); }, kWaitMs) && view.PageLoadedOk();
}

QString PageText(TfrmReportView& view) {
    if (!WaitForPage(view))
        return {};
    QEventLoop loop;
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    // The answer may come after this wait gave up: it writes to shared state, not the stack.
    auto text = std::make_shared<QString>();
    view.WebBrowser1->page()->toPlainText(
        [text, guard = QPointer<QEventLoop>(&loop)](const QString& s) {
            *text = s;
            if (guard)
                guard->quit();
        });
    loop.exec();
    return *text;
}

}  // namespace zl::reportserver
