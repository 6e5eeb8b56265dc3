#pragma once
// The invalid-operation error of the docking toolbars: an operation that the object's current
// state or placement does not allow.

#include "common/Exception.h"

namespace zb {

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

}  // namespace zb
