// P2P client calls: a TCP connection to the P2P service, its session key,
// and framed sends and receives. The service speaks 40-byte headers
// followed by a body; the body travels as given.
#pragma once

#include <cstddef>

// A connection handle: -1 when none.
int socket_create();
// Connects `handle` to `host` (a name or an address) on TCP `port`,
// waiting at most a few seconds. 0 or -1.
int socket_connect(int handle, const char *host, int port);
// Closes the connection; a handle of -1 is ignored.
void socket_destroy(int handle);

// Makes the session key of the connection, then switches the connection
// to it. 0 or -1 each.
int p2p_create_keyfile(int handle);
int p2p_cli_switch_keyfile(int handle);

// Sends `length` bytes whole; receives exactly `length` bytes, waiting at
// most a few seconds. 0 or -1.
int p2p_send(int handle, const void *data, size_t length);
int p2p_recv(int handle, void *data, size_t length);

// The size of `length` bytes once encrypted for the service (blocks of 117
// bytes become 128).
int rsa_cal_ensize(int length);

// Results of p2p_register_device.
constexpr int kP2pRegisterDone = 0;
constexpr int kP2pRegisterRefused = 2; // the service answered status 2
constexpr int kP2pRegisterNoLink = 3;  // no connection, a failed send or receive, another status
constexpr int kP2pRegisterKeyFailed = 4;
constexpr size_t kP2pHeaderSize = 40;
constexpr size_t kP2pAnswerSize = 128;

// Registers the device: connects to the service, sets up the session key,
// sends the request header (int32 2, 0, rsa_cal_ensize(size), 0, 1, then
// zeros) and the record, and reads the answer header. With status 0 the
// 128-byte answer text follows; it is copied into `answer`
// (kP2pAnswerSize bytes, always terminated). The connection is closed in
// every case.
int p2p_register_device(const char *host, int port, const void *record, size_t size, char *answer);
