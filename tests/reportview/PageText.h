// Reading back what the report window's engine shows. The engine answers asynchronously; every
// wait here is bounded.
#pragma once

#include <QString>
#include <string>

class QWebEnginePage;

namespace zl::reportserver {

class TfrmReportView;

// The text of what `page` shows once it shows any; "" when it shows none within ten seconds.
QString TextOf(QWebEnginePage& page);

// Waits up to ten seconds for the page to finish loading; whether it loaded.
bool WaitForPage(TfrmReportView& view);

// The page's text as the engine lays it out (cells of a row separated by tabs), once it has
// loaded; "" when it does not load or answer within ten seconds.
QString PageText(TfrmReportView& view);

// The text of a PDF file, as pdftotext reads it.
std::string PdfText(const std::string& pdf);

}  // namespace zl::reportserver
