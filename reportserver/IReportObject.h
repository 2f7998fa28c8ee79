// The report server's one interface, as the program and the library both see it. Its members
// follow IDispatch's in dispid order (1 to 16).
#pragma once

#include <cstdint>

#include "platform/com/Com.h"

namespace zl::reportserver {

using com::BSTR;
using com::HRESULT;

inline constexpr com::GUID LIBID_ZLMReports = com::GuidOf("{ADD4734C-FF69-48A4-9B3C-8AB6424C6286}");
inline constexpr com::GUID IID_IReportObject =
    com::GuidOf("{FFD3D6AA-4A1D-4C57-A96F-F326F16C277E}");
inline constexpr com::GUID CLSID_ReportObject =
    com::GuidOf("{A4FE73F5-27A6-42F1-98FE-A30D834A4FC4}");
inline constexpr const char* kReportObjectProgId = "ZLMReports.ReportObject";
inline constexpr const char* kReportObjectDescription = "ReportObject Object";
inline constexpr const char* kReportObjectThreading = "Apartment";
// ShowReport's failure result for a report id without a definition. The server has told the user
// already; the caller shows nothing more.
inline constexpr HRESULT kReportNotShown = com::E_ABORT;

class IReportObject : public com::IDispatch {
  public:
    virtual HRESULT Connect(BSTR zlmconn, BSTR metaconn, BSTR localconn) = 0;
    virtual HRESULT ShowReport(std::int32_t repid, std::int32_t buid, std::int32_t userid,
                               std::int32_t reportkey, BSTR htmlfile) = 0;
    virtual HRESULT ProcessTemplate(std::int32_t templateid, std::int32_t busunitid,
                                    std::int32_t customerid, BSTR rtffile) = 0;
    virtual HRESULT Disconnect() = 0;
    virtual HRESULT Reconnect() = 0;
    virtual HRESULT put_RegisteredToCompany(BSTR value) = 0;
    virtual HRESULT GetContactEMail(std::int32_t customer, std::int32_t contact, BSTR* rv) = 0;
    virtual HRESULT CopyRecord(BSTR table, BSTR parentfield, std::int32_t id, std::int32_t parentid,
                               std::int32_t* newid) = 0;
    virtual HRESULT PrintBlankQuestionnaire(std::int32_t questid, std::int32_t buid,
                                            BSTR htmlfile) = 0;
    virtual HRESULT PrintCompletedQuestionnaire(std::int32_t compquestid, std::int32_t busunit,
                                                BSTR htmlfile) = 0;
    virtual HRESULT PrintGraph(std::int32_t reportid, std::int32_t buid, std::int32_t custid,
                               std::int32_t reportkey, BSTR filename) = 0;
    virtual HRESULT ShowNutritionBreakdown(std::int32_t userid, std::int32_t hw) = 0;
    virtual HRESULT ShowCalorieIntakeGraph(std::int32_t user, std::int32_t hw) = 0;
    virtual HRESULT ShowExerciseGraph(std::int32_t user, std::int32_t hw) = 0;
    virtual HRESULT ShowPlannedWeightLoss(std::int32_t user, std::int32_t hw) = 0;
    virtual HRESULT ShowWeightGraph(std::int32_t user, std::int32_t hw) = 0;

  protected:
    ~IReportObject() = default;
};

}  // namespace zl::reportserver
