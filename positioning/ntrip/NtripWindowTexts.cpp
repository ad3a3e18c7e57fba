#include "positioning/ntrip/NtripWindowTexts.h"

std::string NtripCounterText(int64_t value) {
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
    const std::string digits = std::to_string(magnitude);
    const size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    std::string text = value < 0 ? "-" : "";
    text += digits.substr(0, lead);
    for (size_t i = lead; i < digits.size(); i += 3)
        text += "," + digits.substr(i, 3);
    return text;
}

int NtripProgressValue(int64_t bytesReceived) {
    if (bytesReceived < 0)
        return 0;
    return static_cast<int>((bytesReceived % 5000) / 50);
}

std::string NtripWindowCaption(int state) {
    static const char* const names[] = {"Disconnected", "Connecting...", "Connected",
                                        "Receiving Data", "Error"};
    const char* name = state >= 0 && state <= 4 ? names[state] : "Disconnected";
    return std::string("Tavrin NTRIP Client - ") + name;
}

std::string NtripConnectButtonText(int state) {
    switch (state) {
    case 1:
        return "Connecting...";
    case 2:
    case 3:
        return "Disconnect";
    default:
        return "Connect";
    }
}
