// Small edit dialogs for the frame tests: a top-level one built on the add/edit controller,
// and a child one that opens the row the detail list stored for it.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <type_traits>

#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "tests/support/QtFixture.h"
#include "widgets/QtPlatform.h"

namespace zl::test {

class TopLevelDialog : public QDialog {
  public:
    explicit TopLevelDialog(int dimensionId);
    // Runs while the dialog shows, after the controller has added or found the record.
    std::function<void(TopLevelDialog&)> whileShown;
    void SaveAndClose();
    void CancelAndClose();
    db::Query q;
    int timesShown = 0;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    int dimensionId_;
    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> controller_;
};

class ChildDialog : public QDialog {
  public:
    explicit ChildDialog(int dimensionId, const std::string& table);
    std::function<void(ChildDialog&)> whileShown;
    db::Query q;
    int timesShown = 0;
    // The edit mode and record id the dimension held when the dialog opened.
    int modeSeen = 0;
    int recordSeen = 0;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    int dimensionId_;
    std::string table_;
};

// Connected databases, the System user logged in and the entity metadata loaded.
class FrameFixture : public QtFixture {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The document repository in the data folder, where the installer puts it.
    void UseDocRepository();
    // Hands the kind a record and an edit mode, as a list does before it opens the kind's dialog.
    static void Target(int dimensionId, int mode, int record);
    // Runs `dialog` modally with `step` acting on it while it shows (without one, the dialog
    // must close by itself).
    template <class D>
    static void ExecWith(D& dialog, std::function<void(std::type_identity_t<D>&)> step) {
        if (step)
            WhenModal<D>(std::move(step));
        dialog.exec();
    }
    // A new D run on the kind's record in the given mode, as a list opens it.
    template <class D>
    static void RunDialog(int dimensionId, int mode, int record,
                          std::function<void(std::type_identity_t<D>&)> step) {
        Target(dimensionId, mode, record);
        D dialog;
        ExecWith(dialog, std::move(step));
    }
    std::unique_ptr<DimCollection> dims;
};

}  // namespace zl::test
