// The service dialog: a service of the catalogue with its dated rates.
#pragma once

#include "screens/CatalogueItemDialog.h"

namespace zl {

class TfrmService : public CatalogueItemDialog {
    Q_OBJECT
  public:
    explicit TfrmService(QWidget* owner = nullptr);
};

}  // namespace zl
