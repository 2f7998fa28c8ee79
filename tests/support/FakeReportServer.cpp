#include "tests/support/FakeReportServer.h"

#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"

namespace zl::test {
namespace {

std::string Text(com::BSTR s) {
    return com::FromBstr(s);
}
std::string Num(std::int32_t v) {
    return std::to_string(v);
}

}  // namespace

com::ComPtr<FakeReportServer> FakeReportServer::Create() {
    com::ComPtr<FakeReportServer> server;
    server.Attach(new FakeReportServer());
    return server;
}

std::unique_ptr<ReportServerClient> FakeReportServer::NewClient() {
    return std::make_unique<ReportServerClient>(this);
}

com::HRESULT FakeReportServer::QueryInterface(const com::GUID& iid, void** out) {
    if (!out)
        return com::E_POINTER;
    if (iid == reportserver::IID_IReportObject || iid == com::IID_IDispatch ||
        iid == com::IID_IUnknown) {
        *out = static_cast<reportserver::IReportObject*>(this);
        AddRef();
        return com::S_OK;
    }
    *out = nullptr;
    return com::E_NOINTERFACE;
}

std::uint32_t FakeReportServer::AddRef() {
    return static_cast<std::uint32_t>(++references);
}

std::uint32_t FakeReportServer::Release() {
    const int left = --references;
    if (left == 0)
        delete this;
    return static_cast<std::uint32_t>(left);
}

com::HRESULT FakeReportServer::GetTypeInfoCount(std::uint32_t* count) {
    *count = 0;
    return com::S_OK;
}
com::HRESULT FakeReportServer::GetTypeInfo(std::uint32_t, com::LCID, void**) {
    return com::E_NOTIMPL;
}
com::HRESULT FakeReportServer::GetIDsOfNames(const com::GUID&, const char16_t* const*,
                                             std::uint32_t, com::LCID, com::DISPID*) {
    return com::E_NOTIMPL;
}
com::HRESULT FakeReportServer::Invoke(com::DISPID, const com::GUID&, com::LCID, std::uint16_t,
                                      com::DISPPARAMS*, com::VARIANT*, com::EXCEPINFO*,
                                      std::uint32_t*) {
    return com::E_NOTIMPL;
}

com::HRESULT FakeReportServer::Record(std::string call) {
    calls.push_back(std::move(call));
    com::ClearErrorInfo();
    if (com::Failed(result) && !failureText.empty())
        com::SetErrorInfo(reportserver::IID_IReportObject, reportserver::kReportObjectProgId,
                          failureText);
    return result;
}

com::HRESULT FakeReportServer::Connect(com::BSTR a, com::BSTR b, com::BSTR c) {
    return Record("Connect(" + Text(a) + "|" + Text(b) + "|" + Text(c) + ")");
}
com::HRESULT FakeReportServer::ShowReport(std::int32_t repid, std::int32_t buid,
                                          std::int32_t userid, std::int32_t key, com::BSTR file) {
    return Record("ShowReport(" + Num(repid) + "|" + Num(buid) + "|" + Num(userid) + "|" +
                  Num(key) + "|" + Text(file) + ")");
}
com::HRESULT FakeReportServer::ProcessTemplate(std::int32_t t, std::int32_t bu, std::int32_t c,
                                               com::BSTR file) {
    return Record("ProcessTemplate(" + Num(t) + "|" + Num(bu) + "|" + Num(c) + "|" + Text(file) +
                  ")");
}
com::HRESULT FakeReportServer::Disconnect() {
    return Record("Disconnect()");
}
com::HRESULT FakeReportServer::Reconnect() {
    return Record("Reconnect()");
}
com::HRESULT FakeReportServer::put_RegisteredToCompany(com::BSTR value) {
    return Record("RegisteredToCompany(" + Text(value) + ")");
}
com::HRESULT FakeReportServer::GetContactEMail(std::int32_t customer, std::int32_t contact,
                                               com::BSTR* rv) {
    *rv = com::ToBstr(contactEMail);
    return Record("GetContactEMail(" + Num(customer) + "|" + Num(contact) + ")");
}
com::HRESULT FakeReportServer::CopyRecord(com::BSTR table, com::BSTR parent, std::int32_t id,
                                          std::int32_t parentid, std::int32_t* newid) {
    *newid = copiedId;
    return Record("CopyRecord(" + Text(table) + "|" + Text(parent) + "|" + Num(id) + "|" +
                  Num(parentid) + ")");
}
com::HRESULT FakeReportServer::PrintBlankQuestionnaire(std::int32_t q, std::int32_t bu,
                                                       com::BSTR file) {
    return Record("PrintBlankQuestionnaire(" + Num(q) + "|" + Num(bu) + "|" + Text(file) + ")");
}
com::HRESULT FakeReportServer::PrintCompletedQuestionnaire(std::int32_t q, std::int32_t bu,
                                                           com::BSTR file) {
    return Record("PrintCompletedQuestionnaire(" + Num(q) + "|" + Num(bu) + "|" + Text(file) + ")");
}
com::HRESULT FakeReportServer::PrintGraph(std::int32_t r, std::int32_t bu, std::int32_t c,
                                          std::int32_t key, com::BSTR file) {
    return Record("PrintGraph(" + Num(r) + "|" + Num(bu) + "|" + Num(c) + "|" + Num(key) + "|" +
                  Text(file) + ")");
}
com::HRESULT FakeReportServer::ShowNutritionBreakdown(std::int32_t u, std::int32_t hw) {
    return Record("ShowNutritionBreakdown(" + Num(u) + "|" + Num(hw) + ")");
}
com::HRESULT FakeReportServer::ShowCalorieIntakeGraph(std::int32_t u, std::int32_t hw) {
    return Record("ShowCalorieIntakeGraph(" + Num(u) + "|" + Num(hw) + ")");
}
com::HRESULT FakeReportServer::ShowExerciseGraph(std::int32_t u, std::int32_t hw) {
    return Record("ShowExerciseGraph(" + Num(u) + "|" + Num(hw) + ")");
}
com::HRESULT FakeReportServer::ShowPlannedWeightLoss(std::int32_t u, std::int32_t hw) {
    return Record("ShowPlannedWeightLoss(" + Num(u) + "|" + Num(hw) + ")");
}
com::HRESULT FakeReportServer::ShowWeightGraph(std::int32_t u, std::int32_t hw) {
    return Record("ShowWeightGraph(" + Num(u) + "|" + Num(hw) + ")");
}

com::ComPtr<reportserver::IReportObject> CreateReportObject() {
    com::ComPtr<reportserver::IReportObject> object;
    com::OleCheck(com::CoCreateInstance(reportserver::CLSID_ReportObject,
                                        reportserver::IID_IReportObject,
                                        reinterpret_cast<void**>(&object)));
    return object;
}

}  // namespace zl::test
