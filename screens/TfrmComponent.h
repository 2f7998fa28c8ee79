// The component dialog: a component of the catalogue with its dated rates and, on a second tab, its
// images.
#pragma once

#include "screens/CatalogueItemDialog.h"

namespace zl {

class TfrmComponent : public CatalogueItemDialog {
    Q_OBJECT
  public:
    explicit TfrmComponent(QWidget* owner = nullptr);
};

}  // namespace zl
