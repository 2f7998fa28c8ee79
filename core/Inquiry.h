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

    // Each appends and posts one follow-up of the source document. False when a query could
    // not be opened or no key issued (the user has been told; nothing is posted). Errors while
    // filling or posting the row pass to the caller.
    bool quotationFollowUp(int sourceKey);
    bool orderFollowUp(int sourceKey);
    bool invoiceFollowUp(int sourceKey);
    // Appends the follow-up row to qDoc and fills it, but for its description; does not post.
    // False, with no row pending, as above.
    bool appendGen(int sourceKey, const std::string& linkColumn);

    db::Query qDoc;
    db::Query qSource;
};

}  // namespace zl
