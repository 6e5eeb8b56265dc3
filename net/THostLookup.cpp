#include "net/THostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <atomic>
#include <thread>

namespace zb {

struct THostLookup::State {
    std::atomic<bool> Done{false};
    int Error = 0;
    std::uint32_t Address = 0;
};

THostLookup::~THostLookup() {
    Abandon();
}

THostLookup::TResolver& THostLookup::Resolver() {
    static TResolver resolver = &THostLookup::SystemResolve;
    return resolver;
}

int THostLookup::SystemResolve(const std::string& name, std::uint32_t& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    const int rc = getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (rc != 0) return rc;
    address = 0;
    for (addrinfo* ai = result; ai != nullptr; ai = ai->ai_next) {
        if (ai->ai_family == AF_INET) {
            address = reinterpret_cast<sockaddr_in*>(ai->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    freeaddrinfo(result);
    return address != 0 ? 0 : EAI_NONAME;
}

void THostLookup::Start(const std::string& name) {
    Abandon();
    auto state = std::make_shared<State>();
    FState = state;
    TResolver resolver = Resolver();
    // The thread owns a reference to its state; nothing else of the caller is touched, so the
    // caller may abandon the lookup or be destroyed at any time.
    std::thread([state, resolver, name] {
        std::uint32_t address = 0;
        const int error = resolver(name, address);
        state->Error = error;
        state->Address = error == 0 ? address : 0;
        state->Done.store(true, std::memory_order_release);
    }).detach();
}

bool THostLookup::Done() const {
    return FState && FState->Done.load(std::memory_order_acquire);
}

int THostLookup::Error() const {
    return Done() ? FState->Error : 0;
}

std::uint32_t THostLookup::Address() const {
    return Done() ? FState->Address : 0;
}

void THostLookup::Abandon() {
    FState.reset();
}

}  // namespace zb
