// The library's document template.
#pragma once

#include <string>

namespace zl::reportserver {

class DocumentTemplate {
  public:
    // Has no effect: the library merges no templates.
    void ProcessTemplate(const std::string& fileName, int templateId);
};

}  // namespace zl::reportserver
