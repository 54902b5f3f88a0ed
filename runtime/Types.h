#pragma once
// The program's fixed-width number types: a Long is 32 bits, an Integer 16 bits, a Byte 8.
#include <cstdint>

using Long = std::int32_t;
using Integer = std::int16_t;
using Byte = std::uint8_t;
