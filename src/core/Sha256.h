// SHA-256 (FIPS 180-4) of a byte string, for the installation list's
// digest: small enough for both exes, no system call needed.
#pragma once
#include <string>

// The 32-byte digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::string& bytes);
