// Checks a certificate before it is installed for the web server.
#pragma once

// Results of cert_check_install.
constexpr int kCertUsable = 0;
constexpr int kCertNotPem = -1;   // not a PEM X.509 certificate
constexpr int kCertWrongKey = -2; // made for another key than the device's

// Whether the file at `cert_path` may be installed: it must start with a
// PEM certificate (leading blank lines aside) that parses as X.509, and its
// public key must be that of
// the pending signing request at `csr_path` where one is pending, else
// that of the device's private key at `key_path` where it exists (either
// path may be null). A request or key that exists but cannot be read
// counts as a mismatch.
int cert_check_install(const char *cert_path, const char *key_path, const char *csr_path);
