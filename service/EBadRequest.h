#pragma once
// A request the service cannot answer as asked: carries the HTTP status to send back.

#include <string>
#include <utility>

#include "common/Exception.h"

namespace zb {

class EBadRequest : public Exception {
public:
    EBadRequest(int status, std::string message) : Exception(std::move(message)), Status(status) {}

    int Status;
};

}  // namespace zb
