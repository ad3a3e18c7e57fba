#include "positioning/ntrip/NtripHostLookup.h"

#include <cstring>
#include <mutex>
#include <netdb.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

struct NtripHostLookup::Shared {
    std::mutex mutex;
    std::vector<sockaddr_in> addresses;
    int readyDescriptor = -1;
    ~Shared() {
        if (readyDescriptor >= 0)
            ::close(readyDescriptor);
    }
};

NtripHostLookup::NtripHostLookup(const std::string& host, int port)
    : shared_(std::make_shared<Shared>()) {
    shared_->readyDescriptor = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (shared_->readyDescriptor < 0)
        return;
    try {
        std::thread([shared = shared_, host, port] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* found = nullptr;
            std::vector<sockaddr_in> addresses;
            if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0) {
                for (addrinfo* entry = found; entry; entry = entry->ai_next) {
                    if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in))
                        continue;
                    sockaddr_in address;
                    std::memcpy(&address, entry->ai_addr, sizeof address);
                    address.sin_port = htons(static_cast<uint16_t>(port));
                    addresses.push_back(address);
                }
                ::freeaddrinfo(found);
            }
            std::lock_guard lock(shared->mutex);
            shared->addresses = std::move(addresses);
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written =
                ::write(shared->readyDescriptor, &one, sizeof one);
        }).detach();
    } catch (const std::system_error&) {
        ::close(shared_->readyDescriptor);
        shared_->readyDescriptor = -1;
    }
}

NtripHostLookup::~NtripHostLookup() = default;

bool NtripHostLookup::started() const {
    return shared_->readyDescriptor >= 0;
}

int NtripHostLookup::readyDescriptor() const {
    return shared_->readyDescriptor;
}

std::vector<sockaddr_in> NtripHostLookup::addresses() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->addresses;
}
