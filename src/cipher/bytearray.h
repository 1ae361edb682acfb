#pragma once

#include <cstdint>
#include <vector>

// Bytes as the cipher, the code page and the wallet's layout pass them: indexed from 0, one unsigned byte each.
using ByteArray = std::vector<std::uint8_t>;
