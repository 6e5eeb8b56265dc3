#pragma once
// The toolbar class forms use.

#include "dock/widgets/TCustomToolbar97.h"

namespace zb {

class TToolbar97 : public TCustomToolbar97 {
    Q_OBJECT
public:
    // On a dock (docked there) or on the form (floating).
    explicit TToolbar97(QWidget* parent) : TCustomToolbar97(parent) {}
};

}  // namespace zb
