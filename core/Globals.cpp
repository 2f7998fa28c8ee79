#include "core/Globals.h"

namespace zl {

TDataMod* DataMod = nullptr;
DimCollection* Dimensions = nullptr;
std::string AppVersion;
bool CustomersOpen = true;
bool InquiryOpen = true;
bool BillableOpen = false;
bool OrganizationOpen = false;
int CurUserId = 0;
std::string CurUserName;
int CurBusUnitId = 0;
std::string OrganizationName;

}  // namespace zl
