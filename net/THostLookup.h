#pragma once
// Asynchronous IPv4 host-name lookup. The name is resolved on a helper thread so that the
// session's wait loop keeps serving events; the session polls Done() from its wait. Abandon()
// (or destruction) detaches the caller: a lookup still running finishes on its own and its result
// is dropped, so a time-out or a cancel ends the wait at once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zb {

class THostLookup {
public:
    // Resolves a name to an IPv4 address in network byte order; returns 0 or a getaddrinfo()
    // error code. Replaceable so that tests can simulate slow or failing name services.
    using TResolver = std::function<int(const std::string& name, std::uint32_t& address)>;

    THostLookup() = default;
    ~THostLookup();
    THostLookup(const THostLookup&) = delete;
    THostLookup& operator=(const THostLookup&) = delete;

    void Start(const std::string& name);
    bool Done() const;
    // Valid once Done(): the resolver's error code (0 = success) and the address.
    int Error() const;
    std::uint32_t Address() const;
    void Abandon();

    static TResolver& Resolver();
    static int SystemResolve(const std::string& name, std::uint32_t& address);

private:
    struct State;
    std::shared_ptr<State> FState;
};

}  // namespace zb
