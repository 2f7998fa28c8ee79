// The program's side of the report server: creating its object and the global that holds it.
#pragma once

#include "platform/com/ComPtr.h"
#include "reportserver/IReportObject.h"

namespace zl {

// Set at start-up; released when the program ends.
extern com::ComPtr<reportserver::IReportObject> ReportServer;

// A new ReportObject of the registered report server library. Raises com::OleError when it
// cannot be made ("Class not registered" when the library was never registered).
com::ComPtr<reportserver::IReportObject> CoReportObjectCreate();

}  // namespace zl
