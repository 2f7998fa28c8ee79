#include "core/Inquiry.h"

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/format/Format.h"

namespace zl {

namespace {

constexpr int kInquiryProcess = 18;
constexpr int kNewFollowUp = 1;

bool FollowUp(Inquiry& inquiry, int sourceKey, const std::string& linkColumn,
              const std::string& descr) {
    if (!inquiry.appendGen(sourceKey, linkColumn))
        return false;
    inquiry.qDoc.FieldByName("zlm_doc_descr").SetAsString(descr);
    inquiry.qDoc.Post();
    return true;
}

}  // namespace

Inquiry::Inquiry() : qDoc(&DataMod->zlmConn), qSource(&DataMod->zlmConn) {
    // Only the columns are needed: follow-ups are appended to an empty set, whatever the
    // number of documents.
    DataMod->openQuery(DataMod->zlmConn, qDoc, "Inquiry.Create", "select * from zlm_doc where 1=0");
}

bool Inquiry::appendGen(int sourceKey, const std::string& linkColumn) {
    // A qDoc that could not be opened was reported when this object was made.
    if (!qDoc.Active())
        return false;
    if (!DataMod->Append(qDoc, "Inquiry.appendGen") ||
        !DataMod->OpenById(qSource, "zlm_doc", sourceKey, "Inquiry.appendGen")) {
        if (qDoc.Editing())
            qDoc.Cancel();
        return false;
    }
    qDoc.FieldByName("zlm_doc_ref").SetAsString(qDoc.FieldByName("zlm_doc_id").AsString());
    qDoc.FieldByName("dimension_id").SetAsInteger(kInquiryProcess);
    qDoc.FieldByName("inq_status_id").SetAsInteger(kNewFollowUp);
    qDoc.FieldByName("customer_id").SetAsInteger(qSource.FieldByName("customer_id").AsInteger());
    qDoc.FieldByName(linkColumn).SetAsInteger(sourceKey);
    const int remindDays = DataMod->qConfig.FieldByName("config_reminddays").AsInteger();
    qDoc.FieldByName("zlm_doc_followup").SetAsDateTime(format::IncDay(format::Date(), remindDays));
    return true;
}

bool Inquiry::quotationFollowUp(int sourceKey) {
    return FollowUp(*this, sourceKey, "quotation_id", "Quotation follow-up");
}

bool Inquiry::orderFollowUp(int sourceKey) {
    return FollowUp(*this, sourceKey, "order_id", "Order follow-up");
}

bool Inquiry::invoiceFollowUp(int sourceKey) {
    return FollowUp(*this, sourceKey, "invoice_id", "Invoice follow-up");
}

}  // namespace zl
