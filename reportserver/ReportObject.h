// The automation object of the report server and the library-wide state it keeps.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "reportserver/IReportObject.h"

namespace zl::reportserver {

class ZLMReport;

// Objects alive now; the library may unload only at 0.
int LiveObjectCount();

class TReportObject final : public IReportObject {
  public:
    // Created with one reference, which the creator owns.
    TReportObject();
    TReportObject(const TReportObject&) = delete;
    TReportObject& operator=(const TReportObject&) = delete;

    HRESULT QueryInterface(const com::GUID& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    HRESULT GetTypeInfoCount(std::uint32_t* count) override;
    HRESULT GetTypeInfo(std::uint32_t index, com::LCID lcid, void** info) override;
    HRESULT GetIDsOfNames(const com::GUID& iid, const char16_t* const* names, std::uint32_t count,
                          com::LCID lcid, com::DISPID* ids) override;
    HRESULT Invoke(com::DISPID id, const com::GUID& iid, com::LCID lcid, std::uint16_t flags,
                   com::DISPPARAMS* params, com::VARIANT* result, com::EXCEPINFO* excepInfo,
                   std::uint32_t* argErr) override;

    HRESULT Connect(BSTR zlmconn, BSTR metaconn, BSTR localconn) override;
    HRESULT ShowReport(std::int32_t repid, std::int32_t buid, std::int32_t userid,
                       std::int32_t reportkey, BSTR htmlfile) override;
    HRESULT ProcessTemplate(std::int32_t templateid, std::int32_t busunitid,
                            std::int32_t customerid, BSTR rtffile) override;
    HRESULT Disconnect() override;
    HRESULT Reconnect() override;
    HRESULT put_RegisteredToCompany(BSTR value) override;
    HRESULT GetContactEMail(std::int32_t customer, std::int32_t contact, BSTR* rv) override;
    HRESULT CopyRecord(BSTR table, BSTR parentfield, std::int32_t id, std::int32_t parentid,
                       std::int32_t* newid) override;
    HRESULT PrintBlankQuestionnaire(std::int32_t questid, std::int32_t buid,
                                    BSTR htmlfile) override;
    HRESULT PrintCompletedQuestionnaire(std::int32_t compquestid, std::int32_t busunit,
                                        BSTR htmlfile) override;
    HRESULT PrintGraph(std::int32_t reportid, std::int32_t buid, std::int32_t custid,
                       std::int32_t reportkey, BSTR filename) override;
    HRESULT ShowNutritionBreakdown(std::int32_t userid, std::int32_t hw) override;
    HRESULT ShowCalorieIntakeGraph(std::int32_t user, std::int32_t hw) override;
    HRESULT ShowExerciseGraph(std::int32_t user, std::int32_t hw) override;
    HRESULT ShowPlannedWeightLoss(std::int32_t user, std::int32_t hw) override;
    HRESULT ShowWeightGraph(std::int32_t user, std::int32_t hw) override;

  private:
    ~TReportObject();
    void Initialize();

    std::atomic<std::uint32_t> refs_{1};
    // The report that serves every ShowReport of this object.
    std::unique_ptr<ZLMReport> report_;
};

}  // namespace zl::reportserver
