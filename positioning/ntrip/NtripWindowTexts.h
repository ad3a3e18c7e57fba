#pragma once

#include <cstdint>
#include <string>

// What the NTRIP window shows of the client, as plain texts and numbers.

// A byte counter with ',' between thousands whatever the user's locale: "1,234,567".
std::string NtripCounterText(int64_t value);

// The activity bar: 0 to 99, once round per 5000 received bytes.
int NtripProgressValue(int64_t bytesReceived);

// The window's caption and the connect button's text for a client state (0 to 4).
std::string NtripWindowCaption(int state);
std::string NtripConnectButtonText(int state);
