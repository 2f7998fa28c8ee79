#include "reportserver/DocumentTemplate.h"

namespace zl::reportserver {

void DocumentTemplate::ProcessTemplate(const std::string& /*fileName*/, int /*templateId*/) {}

}  // namespace zl::reportserver
