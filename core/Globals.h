// The program-wide state that the data routines and every screen read.
#pragma once

#include <string>

namespace zl {

class TDataMod;
class DimCollection;

// The one data module of the process; set by whoever creates it.
extern TDataMod* DataMod;
// Every entity kind's metadata; set by start-up.
extern DimCollection* Dimensions;
// The version text of the running deliverable.
extern std::string AppVersion;
// Which hub windows exist.
extern bool CustomersOpen;
extern bool InquiryOpen;
extern bool BillableOpen;
extern bool OrganizationOpen;
// The logged-in user and the chosen business unit; 0 until set (always 0 in the report server).
extern int CurUserId;
extern std::string CurUserName;
extern int CurBusUnitId;
// The organisation's name as reports print it (the first business unit's name).
extern std::string OrganizationName;

}  // namespace zl
