// The program's one way to the report server: typed members over the server's interface, each
// turning a failure result into ReportServerError, and the global that start-up fills.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace zl::reportserver {
class IReportObject;
}

namespace zl {

// A failed call of the report server, with the server's own description when it left one.
class ReportServerError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ReportServerClient {
  public:
    // A new ReportObject of the registered report server library, created by class id. Raises
    // ReportServerError when it cannot be made ("Class not registered" when the library was
    // never registered).
    static std::unique_ptr<ReportServerClient> Create();

    // Holds a reference of its own to `server` (which must not be null).
    explicit ReportServerClient(reportserver::IReportObject* server);
    ~ReportServerClient();
    ReportServerClient(const ReportServerClient&) = delete;
    ReportServerClient& operator=(const ReportServerClient&) = delete;

    // The server's three connections, by connection string.
    void Connect(const std::string& mainConnection, const std::string& metaConnection,
                 const std::string& localConnection);
    void Disconnect();
    void Reconnect();
    void SetRegisteredToCompany(const std::string& name);

    // False when the server ended the report with a message of its own (a report id without a
    // definition): the user has been told, and the caller shows nothing more. Other failures
    // raise as every member's do.
    bool ShowReport(int reportId, int busUnitId, int userId, int key, const std::string& htmlFile);
    void ProcessTemplate(int templateId, int busUnitId, int customerId, const std::string& rtfFile);
    std::string GetContactEMail(int customer, int contact);
    // The key of the new copy.
    int CopyRecord(const std::string& table, const std::string& parentField, int id, int parentId);
    void PrintBlankQuestionnaire(int questId, int busUnitId, const std::string& htmlFile);
    void PrintCompletedQuestionnaire(int compQuestId, int busUnit, const std::string& htmlFile);
    void PrintGraph(int reportId, int busUnitId, int customerId, int key, const std::string& file);

    void ShowNutritionBreakdown(int user, int hw);
    void ShowCalorieIntakeGraph(int user, int hw);
    void ShowExerciseGraph(int user, int hw);
    void ShowPlannedWeightLoss(int user, int hw);
    void ShowWeightGraph(int user, int hw);

  private:
    reportserver::IReportObject* server_;
};

// Set at start-up; empty until then and after a start-up that failed before it.
extern std::unique_ptr<ReportServerClient> ReportServer;

}  // namespace zl
