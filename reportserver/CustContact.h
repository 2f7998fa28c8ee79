// The e-mail address to write to for a customer or one of its contact persons.
#pragma once

#include <string>

#include "platform/db/Query.h"

namespace zl::reportserver {

class CustContact {
  public:
    // contact != 0: that person's own address, whatever the customer; contact 0: the first
    // address row's e-mail, else the customer's own. A missing row gives "". Raises when a
    // query could not be opened (the data module has logged it).
    void getContactEMail(int customer, int contact, std::string& address);

  private:
    db::Query q_;
};

}  // namespace zl::reportserver
