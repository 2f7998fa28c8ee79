// A report server that records every call as text ("Connect(a|b|c)") and answers S_OK, or the
// failure it is told to give, for tests of the program's side.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/ReportServer.h"
#include "platform/com/ComPtr.h"
#include "reportserver/IReportObject.h"

namespace zl::test {

class FakeReportServer final : public reportserver::IReportObject {
  public:
    // A new server with one reference, owned by the returned pointer.
    static com::ComPtr<FakeReportServer> Create();

    std::vector<std::string> calls;
    int references = 1;
    // What GetContactEMail answers and what CopyRecord hands out.
    std::string contactEMail;
    std::int32_t copiedId = 0;
    // What every member answers after recording its call; a failure leaves `failureText` as the
    // error-info description, or no record when it is empty.
    com::HRESULT result = com::S_OK;
    std::string failureText;

    // The program's way to this server, holding a reference of its own.
    std::unique_ptr<ReportServerClient> NewClient();

    com::HRESULT QueryInterface(const com::GUID& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    com::HRESULT GetTypeInfoCount(std::uint32_t* count) override;
    com::HRESULT GetTypeInfo(std::uint32_t, com::LCID, void**) override;
    com::HRESULT GetIDsOfNames(const com::GUID&, const char16_t* const*, std::uint32_t, com::LCID,
                               com::DISPID*) override;
    com::HRESULT Invoke(com::DISPID, const com::GUID&, com::LCID, std::uint16_t, com::DISPPARAMS*,
                        com::VARIANT*, com::EXCEPINFO*, std::uint32_t*) override;

    com::HRESULT Connect(com::BSTR zlmconn, com::BSTR metaconn, com::BSTR localconn) override;
    com::HRESULT ShowReport(std::int32_t repid, std::int32_t buid, std::int32_t userid,
                            std::int32_t reportkey, com::BSTR htmlfile) override;
    com::HRESULT ProcessTemplate(std::int32_t templateid, std::int32_t busunitid,
                                 std::int32_t customerid, com::BSTR rtffile) override;
    com::HRESULT Disconnect() override;
    com::HRESULT Reconnect() override;
    com::HRESULT put_RegisteredToCompany(com::BSTR value) override;
    com::HRESULT GetContactEMail(std::int32_t customer, std::int32_t contact,
                                 com::BSTR* rv) override;
    com::HRESULT CopyRecord(com::BSTR table, com::BSTR parentfield, std::int32_t id,
                            std::int32_t parentid, std::int32_t* newid) override;
    com::HRESULT PrintBlankQuestionnaire(std::int32_t questid, std::int32_t buid,
                                         com::BSTR htmlfile) override;
    com::HRESULT PrintCompletedQuestionnaire(std::int32_t compquestid, std::int32_t busunit,
                                             com::BSTR htmlfile) override;
    com::HRESULT PrintGraph(std::int32_t reportid, std::int32_t buid, std::int32_t custid,
                            std::int32_t reportkey, com::BSTR filename) override;
    com::HRESULT ShowNutritionBreakdown(std::int32_t userid, std::int32_t hw) override;
    com::HRESULT ShowCalorieIntakeGraph(std::int32_t user, std::int32_t hw) override;
    com::HRESULT ShowExerciseGraph(std::int32_t user, std::int32_t hw) override;
    com::HRESULT ShowPlannedWeightLoss(std::int32_t user, std::int32_t hw) override;
    com::HRESULT ShowWeightGraph(std::int32_t user, std::int32_t hw) override;

  private:
    FakeReportServer() = default;
    com::HRESULT Record(std::string call);
};

// A ReportObject of the registered library, created by class id and asked for its interface,
// for tests of the library itself. Raises com::OleError when it cannot be made.
com::ComPtr<reportserver::IReportObject> CreateReportObject();

}  // namespace zl::test
