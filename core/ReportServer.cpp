#include "core/ReportServer.h"

#include <optional>

#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"
#include "reportserver/IReportObject.h"

namespace zl {

std::unique_ptr<ReportServerClient> ReportServer;

namespace {

// Raises ReportServerError for a failed result: the description the server left, or the
// result's own text when it left none.
void Check(com::HRESULT hr) {
    if (com::Succeeded(hr))
        return;
    const std::optional<com::ErrorInfo> info = com::GetErrorInfo();
    throw ReportServerError(info && !info->description.empty() ? info->description
                                                               : com::ResultText(hr));
}

com::Bstr Wide(const std::string& text) {
    return com::Bstr(text);
}

}  // namespace

std::unique_ptr<ReportServerClient> ReportServerClient::Create() {
    reportserver::IReportObject* object = nullptr;
    com::ClearErrorInfo();
    Check(com::CoCreateInstance(reportserver::CLSID_ReportObject, reportserver::IID_IReportObject,
                                reinterpret_cast<void**>(&object)));
    auto client = std::make_unique<ReportServerClient>(object);
    object->Release();  // the client holds its own reference
    return client;
}

ReportServerClient::ReportServerClient(reportserver::IReportObject* server) : server_(server) {
    server_->AddRef();
}

ReportServerClient::~ReportServerClient() {
    server_->Release();
}

void ReportServerClient::Connect(const std::string& mainConnection,
                                 const std::string& metaConnection,
                                 const std::string& localConnection) {
    Check(server_->Connect(Wide(mainConnection).Get(), Wide(metaConnection).Get(),
                           Wide(localConnection).Get()));
}

void ReportServerClient::Disconnect() {
    Check(server_->Disconnect());
}

void ReportServerClient::Reconnect() {
    Check(server_->Reconnect());
}

void ReportServerClient::SetRegisteredToCompany(const std::string& name) {
    Check(server_->put_RegisteredToCompany(Wide(name).Get()));
}

bool ReportServerClient::ShowReport(int reportId, int busUnitId, int userId, int key,
                                    const std::string& htmlFile) {
    const com::HRESULT hr =
        server_->ShowReport(reportId, busUnitId, userId, key, Wide(htmlFile).Get());
    if (hr == reportserver::kReportNotShown) {
        com::ClearErrorInfo();  // its text is what the user has just read
        return false;
    }
    Check(hr);
    return true;
}

void ReportServerClient::ProcessTemplate(int templateId, int busUnitId, int customerId,
                                         const std::string& rtfFile) {
    Check(server_->ProcessTemplate(templateId, busUnitId, customerId, Wide(rtfFile).Get()));
}

std::string ReportServerClient::GetContactEMail(int customer, int contact) {
    com::Bstr address;
    Check(server_->GetContactEMail(customer, contact, &address));
    return address.Utf8();
}

int ReportServerClient::CopyRecord(const std::string& table, const std::string& parentField, int id,
                                   int parentId) {
    std::int32_t newId = 0;
    Check(server_->CopyRecord(Wide(table).Get(), Wide(parentField).Get(), id, parentId, &newId));
    return newId;
}

void ReportServerClient::PrintBlankQuestionnaire(int questId, int busUnitId,
                                                 const std::string& htmlFile) {
    Check(server_->PrintBlankQuestionnaire(questId, busUnitId, Wide(htmlFile).Get()));
}

void ReportServerClient::PrintCompletedQuestionnaire(int compQuestId, int busUnit,
                                                     const std::string& htmlFile) {
    Check(server_->PrintCompletedQuestionnaire(compQuestId, busUnit, Wide(htmlFile).Get()));
}

void ReportServerClient::PrintGraph(int reportId, int busUnitId, int customerId, int key,
                                    const std::string& file) {
    Check(server_->PrintGraph(reportId, busUnitId, customerId, key, Wide(file).Get()));
}

void ReportServerClient::ShowNutritionBreakdown(int user, int hw) {
    Check(server_->ShowNutritionBreakdown(user, hw));
}

void ReportServerClient::ShowCalorieIntakeGraph(int user, int hw) {
    Check(server_->ShowCalorieIntakeGraph(user, hw));
}

void ReportServerClient::ShowExerciseGraph(int user, int hw) {
    Check(server_->ShowExerciseGraph(user, hw));
}

void ReportServerClient::ShowPlannedWeightLoss(int user, int hw) {
    Check(server_->ShowPlannedWeightLoss(user, hw));
}

void ReportServerClient::ShowWeightGraph(int user, int hw) {
    Check(server_->ShowWeightGraph(user, hw));
}

}  // namespace zl
