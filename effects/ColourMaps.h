#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The loops of the colour transforms over runs of 24-bit pixels (blue,
// green, red). Each picks the widest vector path gdi::ActiveVectors()
// allows; every path gives the bytes of the plain one.
namespace zenvas {

using ByteTable = std::array<std::uint8_t, 256>;

// Every byte b becomes table[b], whichever channel it is.
void MapEveryByte(std::uint8_t* bytes, std::size_t count, const ByteTable& table);

// Each channel c becomes c + change where that stays inside 0..255, and is
// kept otherwise. Changes in blue, green, red order.
void ShiftChannels(std::uint8_t* pixels, std::size_t pixelCount, const std::array<std::int32_t, 3>& change);

// Each pixel becomes the blue, green and red bytes (low to high) of
// table[blue + green + red].
using SumTable = std::array<std::uint32_t, 766>;
void MapChannelSums(std::uint8_t* pixels, std::size_t pixelCount, const SumTable& table);

} // namespace zenvas
