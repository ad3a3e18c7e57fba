#pragma once

#include <memory>
#include <string>
#include <vector>

#include <netinet/in.h>

// Resolves a caster's host name (IPv4) on a thread of its own. getaddrinfo() cannot be
// interrupted and may take many seconds on a boat's patchy link; the worker waits for the
// result or for a stop, whichever comes first, and a lookup nobody waits for any more simply
// finishes on its own.
class NtripHostLookup {
public:
    explicit NtripHostLookup(const std::string& host, int port);
    ~NtripHostLookup();
    NtripHostLookup(const NtripHostLookup&) = delete;
    NtripHostLookup& operator=(const NtripHostLookup&) = delete;

    // False when the lookup could not even be started.
    bool started() const;
    // Becomes readable when the lookup has finished.
    int readyDescriptor() const;
    // The addresses found, in the resolver's order; empty when the lookup failed.
    std::vector<sockaddr_in> addresses() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};
