// Pictures of the business windows and dialogs as a user sees them (see ScreenshotFixture).
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <functional>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmAssembly.h"
#include "screens/TfrmBillItem.h"
#include "screens/TfrmBillRate.h"
#include "screens/TfrmBillable.h"
#include "screens/TfrmCompQuest.h"
#include "screens/TfrmContact.h"
#include "screens/TfrmCustEdit.h"
#include "screens/TfrmCustomer.h"
#include "screens/TfrmEditInquiry.h"
#include "screens/TfrmForecast.h"
#include "screens/TfrmInquiry.h"
#include "screens/TfrmOrg.h"
#include "screens/TfrmQuestionnaire.h"
#include "screens/TfrmQuotation.h"
#include "screens/TfrmSysUser.h"
#include "tests/support/Screenshots.h"

namespace zl {
namespace {

class Screenshot : public test::ScreenshotFixture {
  protected:
    // Opens record `recordId` of the dimension in a dialog of type D and saves the dialog (or
    // the window of type Shown it opens) as it first shows.
    template <class D, class Shown = D>
    void SaveEditDialog(int dimension, int recordId, const char* title, const char* name) {
        DimensionTable& dim = *Dimensions->Find(dimension);
        dim.SetRecordId(recordId);
        const EditModeScope editing(dim, DimensionTable::EditRecord);
        D dialog;
        dialog.setWindowTitle(title);
        test::WhenModal<Shown>([this, name](Shown& shown) {
            Save(shown, name);
            shown.close();
        });
        dialog.exec();
    }
    // Assembly 9001, a garden shed of a kit, bolts and the fitting.
    void SeedAssembly() {
        Exec(
            "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
            "billable_code, billable_custcode, billable_sku) values "
            "(9001, 11, 0, \"Garden shed, fitted\", \"A-SHED\", \"GS-300\", \"SKU-4471\"), "
            "(9101, 10, 0, \"Shed kit 3 x 2 m\", \"K-1\", \"\", \"\"), "
            "(9102, 10, 0, \"Stainless bolt M8\", \"B-1\", \"\", \"\"), "
            "(9201, 14, 0, \"Fitting\", \"S-1\", \"\", \"\")");
        Exec(
            "insert into bill_item (bill_item_id, billable_id, component_id, service_id, "
            "assembly_id, dimension_id, allow_delete, bill_item_descr, bill_item_code, "
            "bill_item_qty) values "
            "(9301, 9001, 9101, 0, 0, 25, 0, \"Shed kit 3 x 2 m\", \"K-1\", 1), "
            "(9302, 9001, 9102, 0, 0, 25, 0, \"Stainless bolt M8\", \"B-1\", 24), "
            "(9303, 9001, 0, 9201, 0, 25, 0, \"Fitting\", \"S-1\", 3)");
    }
};

TEST_F(Screenshot, CustomerDialogOnItsGeneralAndContactsTabs) {
    SeedSampleCustomer();
    Dimensions->Find(1)->SetRecordId(9001);
    const EditModeScope editing(*Dimensions->Find(1), DimensionTable::EditRecord);
    TfrmCustEdit customer;
    customer.setWindowTitle("Edit existing customer");
    test::WhenModal<TfrmCustEdit>([this](TfrmCustEdit& d) {
        Save(d, "customer-dialog.png");
        d.PageControl1->setCurrentIndex(3);
        Save(d, "customer-dialog-contacts.png");
        d.close();
    });
    customer.exec();
}

TEST_F(Screenshot, DocumentLineDialog) {
    SeedSampleCustomer();
    SeedSampleQuotation();
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
        "doc_item_billtype, doc_item_descr, doc_item_code, doc_item_qty, doc_item_rate, "
        "doc_item_tax, doc_item_discount, doc_item_total, doc_item_roe) values (8104, 8001, "
        "24, 0, 1, \"Stainless bolt M8\", \"B-1\", 2, 100, 15, 0, 230, 1)");
    Dimensions->Find(24)->SetRecordId(8104);
    const EditModeScope editing(*Dimensions->Find(24), DimensionTable::EditRecord);
    TfrmBillItem line;
    line.setWindowTitle("Edit existing document line");
    test::WhenModal<TfrmBillItem>([this](TfrmBillItem& d) {
        d.Timer1Timer();
        Save(d, "document-line-dialog.png");
        d.close();
    });
    line.exec();
}

TEST_F(Screenshot, QuotationDialog) {
    SeedSampleCustomer();
    SeedSampleQuotation();
    SaveEditDialog<TfrmQuotation, DocumentDialog>(6, 8001, "Edit existing quotation",
                                                  "quotation-dialog.png");
}

TEST_F(Screenshot, ContactEventDialog) {
    SeedSampleCustomer();
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, contact_person_id, "
        "contact_type_id, zlm_doc_descr, zlm_doc_notes, zlm_doc_file, zlm_doc_date, "
        "zlm_doc_time) values (8001, 9, 9001, 9002, 3, 'Visit to discuss the offer', "
        "'Mary asked for a second quotation with delivery included.', "
        "'/home/john/documents/reports/0000000000/doc1042.rtf', '2024-03-05 00:00:00', "
        "'10:30')");
    Dimensions->Find(9)->SetParentId(9001);
    SaveEditDialog<TfrmContact>(9, 8001, "Edit existing contact event", "contact-event.png");
}

TEST_F(Screenshot, InquiryDialogWithTwoSteps) {
    SeedSampleCustomer();
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, inq_status_id, "
        "inquiry_type_id, order_id, zlm_doc_descr, zlm_doc_notes, zlm_doc_ref, zlm_doc_date, "
        "zlm_doc_time) values (8001, 18, 9001, 2, 2, 8002, 'Delivery of the garden tools', "
        "'John phoned: the order should arrive before the 20th.', '8001', "
        "'2024-03-05 00:00:00', '10:30'), (8002, 7, 9001, 1, 0, 0, 'Garden tools', '', "
        "'O-12', '2024-03-04 00:00:00', '09:15')");
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, "
        "inq_status_id, doc_item_descr, doc_item_date, doc_item_time, doc_item_duetime, "
        "doc_item_file) values (8101, 8001, 22, 2, 4, 'Confirm the delivery date', "
        "'2024-03-05 00:00:00', '10:35', '16:00', ''), (8102, 8001, 22, 2, 3, "
        "'Send the delivery note', '2024-03-06 00:00:00', '08:50', '12:00', "
        "'/home/john/documents/delivery-note-8002.pdf')");
    SaveEditDialog<TfrmEditInquiry>(18, 8001, "Edit existing inquiry process",
                                    "inquiry-dialog.png");
}

TEST_F(Screenshot, ForecastDialog) {
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, bus_unit_id, zlm_doc_descr, "
        "zlm_doc_notes, zlm_doc_date, zlm_doc_from, zlm_doc_to) values (8001, 15, 3, "
        "\"Garden season 2024\", \"Sheds and fitting, March to October.\", "
        "'2024-02-20 00:00:00', '2024-03-01 00:00:00', '2025-02-28 00:00:00')");
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
        "doc_item_code, doc_item_descr, doc_item_qty, doc_item_rate, doc_item_discount, "
        "doc_item_tax, doc_item_total) values "
        "(8101, 8001, 24, 0, \"K-1\", \"Shed kit 3 x 2 m\", 40, 850, 0, 0, 34000), "
        "(8102, 8001, 24, 0, \"S-1\", \"Fitting\", 120, 45, 0, 0, 5400), "
        "(8103, 8001, 24, 0, \"B-1\", \"Stainless bolt M8\", 2000, 1.2, 0, 0, 2400)");
    SaveEditDialog<TfrmForecast>(15, 8001, "Edit existing sales forecast", "forecast-dialog.png");
}

TEST_F(Screenshot, AssemblyDialog) {
    SeedAssembly();
    SaveEditDialog<TfrmAssembly>(11, 9001, "Edit existing assembly", "assembly-dialog.png");
}

TEST_F(Screenshot, BillRateDialog) {
    SeedAssembly();
    Exec(
        "insert into bill_rate (bill_rate_id, billable_id, dimension_id, allow_delete, "
        "bill_rate_from, bill_rate_to, bill_rate_selling, bill_rate_cost, bill_rate_markup, "
        "bill_rate_maxdisc, bill_rate_tax) values (9401, 9101, 21, 0, '2026-01-01 00:00:00', "
        "'2026-12-31 00:00:00', 850, 680, 25, 10, 15)");
    Dimensions->Find(21)->SetParentId(9101);
    SaveEditDialog<TfrmBillRate>(21, 9401, "Edit existing bill rate", "bill-rate-dialog.png");
}

TEST_F(Screenshot, CompletedQuestionnaire) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_fullname) values "
        "(9001, 1, \"Smith\", \"Mr John Smith\")");
    Exec(
        "insert into questionnaire (questionnaire_id, dimension_id, questionnaire_name) "
        "values (9500, 33, \"Customer satisfaction survey\")");
    Exec(
        "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
        "quest_section_caption, quest_section_dispord) values (9510, 9500, 34, \"Our "
        "service\", 1)");
    Exec(
        "insert into question (question_id, quest_section_id, dimension_id, question_type, "
        "question_prompt, question_dispord) values (9511, 9510, 35, 0, \"Contact name\", 1), "
        "(9512, 9510, 35, 1, \"Orders per year\", 2), (9513, 9510, 35, 2, \"Customer "
        "since\", 3), (9514, 9510, 35, 3, \"Delivery times\", 4), (9515, 9510, 35, 3, "
        "\"Would you recommend us?\", 5)");
    Exec(
        "insert into choice (choice_id, question_id, dimension_id, choice_text, "
        "choice_score) values (9521, 9514, 36, \"Too slow\", 0), (9522, 9514, 36, "
        "\"Acceptable\", 5), (9523, 9514, 36, \"Fast\", 10), (9524, 9515, 36, \"Yes\", 10), "
        "(9525, 9515, 36, \"No\", 0)");
    Exec(
        "insert into comp_quest (comp_quest_id, questionnaire_id, customer_id, dimension_id, "
        "comp_quest_date, comp_quest_time) values (9600, 9500, 9001, 37, '2026-03-14 "
        "00:00:00', '10:15')");
    Exec(
        "insert into answer (answer_id, comp_quest_id, question_id, quest_section_id, "
        "dimension_id, choice_id, answer_text, answer_completed, answer_comptime) values "
        "(9601, 9600, 9511, 9510, 38, 0, 'Mary Major', 0, '10:15'), (9602, 9600, 9512, "
        "9510, 38, 0, '12', 0, '10:15'), (9603, 9600, 9513, 9510, 38, 0, '2019/06/01', 0, "
        "'10:15'), (9604, 9600, 9514, 9510, 38, 9523, '[no value]', 0, '10:15'), (9605, "
        "9600, 9515, 9510, 38, 9524, '[no value]', 0, '10:15')");
    DimensionTable* completed = Dimensions->Find(37);
    completed->SetParentId(9001);
    completed->SetRecordId(9600);
    const EditModeScope editing(*completed, DimensionTable::EditRecord);
    TfrmCompQuest window;
    window.setWindowTitle("Edit existing completed questionnaire");
    // The answers are laid out once the window has started.
    std::function<void(TfrmCompQuest&)> shoot = [&](TfrmCompQuest& w) {
        if (!w.Started()) {
            test::WhenModal<TfrmCompQuest>(shoot);
            return;
        }
        Save(w, "completed-questionnaire.png");
        w.close();
    };
    test::WhenModal<TfrmCompQuest>(shoot);
    window.exec();
}

TEST_F(Screenshot, QuestionnaireAndQuestionSideBySide) {
    Exec(
        "insert into questionnaire (questionnaire_id, dimension_id, allow_delete, "
        "questionnaire_name, questionnaire_descr) values (9500, 33, 0, \"Customer "
        "satisfaction survey\", \"Asked once a year of every active customer.\")");
    Exec(
        "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
        "allow_delete, quest_section_name, quest_section_caption, quest_section_dispord, "
        "quest_section_weight) values (9510, 9500, 34, 0, \"About you\", \"About you\", 2, "
        "1), (9520, 9500, 34, 0, \"Service\", \"Our service\", 3, 2)");
    Exec(
        "insert into question (question_id, quest_section_id, dimension_id, allow_delete, "
        "question_type, question_name, question_prompt, question_default, question_weight, "
        "question_dispord, question_min, question_max, question_promptrow, "
        "question_promptcol, question_promptwidth, question_answerrow, question_answercol, "
        "question_answerwidth) values (9521, 9520, 35, 0, 3, \"Delivery\", \"How fast do we "
        "deliver?\", \"\", 1, 1, 0, 0, 1, 1, 50, 1, 2, 50)");
    Exec(
        "insert into choice (choice_id, question_id, dimension_id, allow_delete, "
        "choice_text, choice_value, choice_score, choice_isdefault) values (9531, 9521, 36, "
        "0, \"Too slow\", \"slow\", 0, 0), (9532, 9521, 36, 0, \"Acceptable\", \"ok\", 5, 1), "
        "(9533, 9521, 36, 0, \"Fast\", \"fast\", 10, 0)");
    QPixmap questionnaire;
    QPixmap question;
    Dimensions->Find(33)->SetRecordId(9500);
    Dimensions->Find(35)->SetRecordId(9521);
    const EditModeScope editing(*Dimensions->Find(33), DimensionTable::EditRecord);
    TfrmQuestionnaire dialog;
    dialog.setWindowTitle("Edit existing questionnaire");
    test::WhenModal<TfrmQuestionnaire>([&](TfrmQuestionnaire& q) {
        questionnaire = q.grab();
        const EditModeScope asking(*Dimensions->Find(35), DimensionTable::EditRecord);
        TfrmQuestion d;
        d.setWindowTitle("Edit existing question");
        test::WhenModal<TfrmQuestion>([&](TfrmQuestion& shown) {
            question = shown.grab();
            shown.close();
        });
        d.exec();
        q.close();
    });
    dialog.exec();
    ASSERT_FALSE(questionnaire.isNull());
    ASSERT_FALSE(question.isNull());
    // Side by side: the questionnaire with its sections, and a multiple-choice question.
    const int gap = 16;
    QPixmap picture(questionnaire.width() + gap + question.width(),
                    std::max(questionnaire.height(), question.height()));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, questionnaire);
    painter.drawPixmap(questionnaire.width() + gap, 0, question);
    painter.end();
    Save(picture, "questionnaire-design.png");
}

TEST_F(Screenshot, CustomersWindow) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title, "
        "entity_code, customer_type_id, allow_delete) values "
        "(9001, 1, \"Abbot\", \"Ann\", \"Ms\", \"C-1001\", 1, 0), "
        "(9002, 1, \"Brown\", \"Bob\", \"Mr\", \"C-1002\", 1, 0), "
        "(9003, 1, \"Harbour Foods\", \"\", \"\", \"C-1003\", 2, 0), "
        "(9004, 1, \"Lintel Ltd\", \"Head office\", \"\", \"C-1004\", 2, 0)");
    Exec(
        "insert into address (address_id, entity_id, address_tel1, address_email1) values "
        "(9011, 9001, \"021 555 0101\", \"ann@example.com\"), "
        "(9013, 9003, \"021 555 0133\", \"orders@harbour.example\")");
    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.FinishFill();
    window.resize(900, 420);
    window.show();
    QApplication::processEvents();
    Save(window, "customers-window.png");
}

TEST_F(Screenshot, InquiryWindowOnBothTabs) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title, "
        "allow_delete) values (9001, 1, \"Abbot\", \"Ann\", \"Ms\", 0), "
        "(9002, 1, \"Brown\", \"Bob\", \"Mr\", 0), (9003, 1, \"Harbour Foods\", \"\", \"\", 0)");
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
        "inq_status_id, inquiry_type_id, zlm_doc_date, zlm_doc_ref, zlm_doc_descr, "
        "zlm_doc_followup, allow_delete) values "
        "(9101, 6, 9001, 2, 0, 0, '2024-03-04 00:00:00', \"9101\", \"Garden tools\", null, 0), "
        "(9102, 7, 9001, 1, 0, 0, '2024-03-11 00:00:00', \"9102\", \"Garden tools\", null, 0), "
        "(9103, 8, 9003, 5, 0, 0, '2024-02-20 00:00:00', \"9103\", \"Cold room service\", null, "
        "0), "
        "(9104, 6, 9002, 3, 0, 0, '2024-03-15 00:00:00', \"9104\", \"Fencing\", null, 0), "
        "(9201, 18, 9001, 0, 1, 1, '2024-03-04 00:00:00', \"9201\", \"Quotation follow-up\", "
        "'2024-03-11 00:00:00', 0), "
        "(9202, 18, 9002, 0, 2, 1, '2024-03-15 00:00:00', \"9202\", \"Quotation follow-up\", "
        "'2024-03-22 00:00:00', 0), "
        "(9203, 18, 9003, 0, 1, 1, '2024-02-20 00:00:00', \"9203\", \"Invoice follow-up\", "
        "'2024-02-27 00:00:00', 0)");
    TfrmInquiry window;
    window.setCollection(Dimensions);
    window.FinishFill();
    window.resize(900, 360);
    window.show();
    QApplication::processEvents();
    Save(window, "inquiry-window-inquiries.png");
    window.PageControl1->setCurrentIndex(1);
    QApplication::processEvents();
    Save(window, "inquiry-window-documents.png");
}

TEST_F(Screenshot, OrganisationAndBillableWindowsAndASystemUser) {
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title, "
        "entity_username, entity_pwd, entity_email, entity_department, entity_code, "
        "allow_delete) values "
        "(9401, 4, \"Ward\", \"Helen\", \"Ms\", \"helen\", \"h3l3n!\", "
        "\"helen@example.com\", \"Sales\", \"E-014\", 0), "
        "(9402, 4, \"Okafor\", \"James\", \"Mr\", \"james\", \"j4mes?\", "
        "\"james@example.com\", \"Workshop\", \"E-022\", 0), "
        "(9411, 3, \"Sales\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", 0), "
        "(9412, 3, \"Workshop\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", 0)");
    Exec(
        "insert into group_user_link (group_user_link_id, user_group_id, sys_user_id) values "
        "(9421, 9411, 9401)");
    Exec(
        "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
        "billable_code, billable_units, billable_custcode) values "
        "(9501, 14, 0, \"Fitting, per hour\", \"S-FIT\", \"hour\", \"\"), "
        "(9502, 14, 0, \"Delivery within 50 km\", \"S-DEL\", \"trip\", \"\"), "
        "(9503, 14, 0, \"Site survey\", \"S-SUR\", \"visit\", \"SV-1\")");
    {
        TfrmOrg window;
        window.setCollection(Dimensions);
        window.FinishFill();
        window.PageControl1->setCurrentIndex(2);
        window.resize(900, 360);
        window.show();
        QApplication::processEvents();
        Save(window, "organisation-window.png");
    }
    {
        TfrmBillable window;
        window.setCollection(Dimensions);
        window.FinishFill();
        window.resize(900, 360);
        window.show();
        QApplication::processEvents();
        Save(window, "billable-window.png");
    }
    DimensionTable& users = *Dimensions->Find(4);
    users.SetRecordId(9401);
    const EditModeScope editing(users, DimensionTable::EditRecord);
    TfrmSysUser dialog;
    test::WhenModal<TfrmSysUser>([this](TfrmSysUser& shown) {
        Save(shown, "system-user-dialog.png");
        shown.PageControl1->setCurrentIndex(1);
        Save(shown, "system-user-groups.png");
        shown.close();
    });
    dialog.exec();
}

}  // namespace
}  // namespace zl
