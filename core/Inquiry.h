// Follow-up inquiries: the inquiry process (dimension 18) that reminds the sales staff to follow
// a quotation, an order or an invoice up.
#pragma once

#include <string>

#include "platform/db/Query.h"

namespace zl {

class Inquiry {
  public:
    // Opens the whole zlm_doc table into qDoc.
    Inquiry();
    Inquiry(const Inquiry&) = delete;
    Inquiry& operator=(const Inquiry&) = delete;

    // Each appends and posts one follow-up of the source document. Errors pass to the caller.
    void quotationFollowUp(int sourceKey);
    void orderFollowUp(int sourceKey);
    void invoiceFollowUp(int sourceKey);
    // Appends the follow-up row to qDoc and fills it, but for its description; does not post.
    void appendGen(int sourceKey, const std::string& linkColumn);

    db::Query qDoc;
    db::Query qSource;
};

}  // namespace zl
