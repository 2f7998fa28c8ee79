// The contact event dialog: one contact with a customer (type, date, time, description, notes,
// the contact person spoken to) and its one document, attached, made from a letter template,
// opened, or handed to the mail program.
#pragma once

#include <memory>
#include <string>

#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFileDialog;
class QGroupBox;
class QPushButton;

namespace zl {

class TdtFrame;

class TfrmContact : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmContact(QWidget* owner = nullptr);
    ~TfrmContact() override;

    // The buttons' actions; each raises what it cannot handle (the buttons catch and log it).
    void btnAttachClick();
    void btnViewClick();
    void btnTemplateClick();
    void btnEmailClick();
    void btnCustomerClick();

    db::Query qEdit;
    db::Query qType;
    db::Query qPerson;
    widgets::DataSource dsEdit{&qEdit};

    widgets::DBLookupComboBox* cbType;
    TdtFrame* dtFrame1;
    widgets::DBEdit* edTime;
    widgets::DBEdit* edDescr;
    widgets::DBLookupComboBox* cbPerson;
    QPushButton* btnCustomer;
    widgets::DBMemo* mmNotes;
    QGroupBox* grpDocument;
    widgets::DBText* txtFile;
    QPushButton* btnTemplate;
    QPushButton* btnAttach;
    QPushButton* btnView;
    QPushButton* btnEmail;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QFileDialog* OpenDialog1;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    // This customer's contact persons, for the contact person list.
    void openPersons();
    std::string CurrentFile();
    void SetFile(const std::string& path);
    // The "No file" message, and the event marked as having no usable file.
    void NoFile();

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;
};

// The "mailto:" request for an event's document: the address, then subject, body and
// attachments in that order, each value percent-encoded as UTF-8 (RFC 6068).
std::string ContactMailRequest(const std::string& address, const std::string& subject,
                               const std::string& file);

}  // namespace zl
