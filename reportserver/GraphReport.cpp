#include "reportserver/GraphReport.h"

#include <stdexcept>

namespace zl::reportserver {

void PrintGraphReport(int, int, int, int) {
    throw std::logic_error("PrintGraph is not built yet.");
}

}  // namespace zl::reportserver
