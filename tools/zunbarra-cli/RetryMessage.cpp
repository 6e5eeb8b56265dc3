#include "RetryMessage.h"

namespace zb {

std::string RetryMessage(const std::string& reason, int waitMs, int retry, int retries,
                         const std::string& address) {
    std::string wait = std::to_string(waitMs / 1000);
    if (waitMs % 1000 != 0) {
        const std::string millis = std::to_string(1000 + waitMs % 1000).substr(1);
        wait += "." + millis.substr(0, millis.find_last_not_of('0') + 1);
    }
    return reason + ": waiting " + wait + " s before retry " + std::to_string(retry) + " of " +
           std::to_string(retries) + " (" + address + ")";
}

}  // namespace zb
