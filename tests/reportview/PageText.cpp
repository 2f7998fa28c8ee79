#include "tests/reportview/PageText.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest/QTest>
#include <cstdio>
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
    return TextOf(*view.WebBrowser1->page());
}

QString TextOf(QWebEnginePage& page) {
    QString text;
    // Until it shows something, or the wait ends and "" is the answer.
    (void)QTest::qWaitFor(
        [&] {
            QEventLoop loop;
            QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
            // The answer may come after this wait gave up: it writes to shared state, not the
            // stack.
            auto answer = std::make_shared<QString>();
            page.toPlainText([answer, guard = QPointer<QEventLoop>(&loop)](const QString& s) {
                *answer = s;
                if (guard)
                    guard->quit();
            });
            loop.exec();
            text = *answer;
            return !text.isEmpty();
        },
        kWaitMs);
    return text;
}

std::string PdfText(const std::string& pdf) {
    std::string text;
    const std::string command = "pdftotext '" + pdf + "' - 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

}  // namespace zl::reportserver
