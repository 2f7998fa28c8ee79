// The assembly dialog: an assembly of the catalogue with its lines and, on a second tab, its
// images; its price is the sum of its lines.
#pragma once

#include "screens/CatalogueItemDialog.h"

namespace zl {

class TfrmAssembly : public CatalogueItemDialog {
    Q_OBJECT
  public:
    explicit TfrmAssembly(QWidget* owner = nullptr);
};

}  // namespace zl
