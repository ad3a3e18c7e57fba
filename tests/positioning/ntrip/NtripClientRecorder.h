#pragma once

#include "positioning/ntrip/TavrinNTRIPClient.h"
#include "tests/support/EventLoopWait.h"

#include <QCoreApplication>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Everything a client raised, in order, with the thread each event arrived on.
struct NtripClientRecorder {
    std::vector<std::pair<int, std::string>> statuses;
    std::vector<std::string> logs;
    std::string data;
    std::vector<std::vector<std::string>> sourceTables;
    bool allOnOwnerThread = true;

private:
    TTavrinNTRIPClient& client_;

public:
    // The client outlives the recorder in the tests (it is declared first): its last log lines
    // must not reach a recorder that has gone.
    ~NtripClientRecorder() {
        client_.OnStatus = nullptr;
        client_.OnData = nullptr;
        client_.OnSourceTable = nullptr;
        client_.OnLog = nullptr;
    }
    NtripClientRecorder(const NtripClientRecorder&) = delete;
    NtripClientRecorder& operator=(const NtripClientRecorder&) = delete;

    explicit NtripClientRecorder(TTavrinNTRIPClient& client) : client_(client) {
        const auto owner = std::this_thread::get_id();
        auto check = [this, owner] {
            if (std::this_thread::get_id() != owner)
                allOnOwnerThread = false;
        };
        client.OnStatus = [this, check](int state, const std::string& message) {
            check();
            statuses.emplace_back(state, message);
        };
        client.OnData = [this, check](const char* bytes, int length) {
            check();
            data.append(bytes, static_cast<size_t>(length));
        };
        client.OnSourceTable = [this, check](const std::vector<std::string>& names) {
            check();
            sourceTables.push_back(names);
        };
        client.OnLog = [this, check](const std::string& message) {
            check();
            logs.push_back(message);
        };
    }

    bool sawStatus(int state, const std::string& message = {}) const {
        for (const auto& [s, m] : statuses)
            if (s == state && (message.empty() || m == message))
                return true;
        return false;
    }
    bool sawLog(const std::string& message) const {
        for (const auto& line : logs)
            if (line == message)
                return true;
        return false;
    }
    int countLog(const std::string& message) const {
        int count = 0;
        for (const auto& line : logs)
            count += line == message;
        return count;
    }
};
