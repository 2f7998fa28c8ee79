#include "core/CoReportObject.h"

#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"

namespace zl {

com::ComPtr<reportserver::IReportObject> ReportServer;

com::ComPtr<reportserver::IReportObject> CoReportObjectCreate() {
    com::ComPtr<reportserver::IReportObject> object;
    com::OleCheck(com::CoCreateInstance(reportserver::CLSID_ReportObject,
                                        reportserver::IID_IReportObject,
                                        reinterpret_cast<void**>(&object)));
    return object;
}

}  // namespace zl
