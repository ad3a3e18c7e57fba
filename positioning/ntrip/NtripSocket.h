#pragma once

#include <cstddef>

#include <netinet/in.h>

// The few socket operations of the NTRIP worker. Every wait also watches a wake descriptor, so
// that a stop requested by the user-interface thread ends it at once.

enum class NtripWait { Ready, TimedOut, Woken, Failed };

// Sends every byte unless the connection fails; never raises SIGPIPE (a caster that has gone
// must not end the program). Returns the number of bytes sent, or -1 when nothing was sent.
long NtripSendAll(int socket, const char* data, size_t size);

// Waits until `descriptor` has something to read, `wakeDescriptor` is signalled or the time is up.
NtripWait NtripWaitReadable(int descriptor, int wakeDescriptor, int timeoutMs);

// Connects the (blocking) TCP socket to `address`, waiting at most `timeoutMs`; the socket is
// blocking again afterwards.
NtripWait NtripConnect(int socket, const sockaddr_in& address, int wakeDescriptor, int timeoutMs);
