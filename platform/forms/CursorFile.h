#pragma once

#include "platform/forms/Cursor.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace forms {

// Reads a Windows cursor file. Both loaders answer null for anything they
// cannot read completely (a missing file, a directory, a truncated or
// inconsistent file, an unsupported image) and never throw.
//
// Static cursors (.cur, and .ico read as a cursor):
// - The directory may list several images. The 32 x 32 image is taken, as
//   the platform does at its standard pointer size; without one, the largest
//   by area. Ties go to the deepest colour, then to the first listed.
//   Directory entries whose bytes lie outside the file are passed over.
// - Images are device-independent bitmaps (40-byte or longer header, 1, 4,
//   8, 24 or 32 bits per pixel, uncompressed, colour rows then a 1-bit mask)
//   or PNG. A 32-bit image with any alpha uses its alpha as opacity, else
//   its mask. Images are at most 256 x 256 pixels.
// - The hot spot of a cursor comes from its directory entry and is clamped
//   into the image. An icon has no hot spot of its own; like the platform's
//   icons it points with its centre (width / 2, height / 2).
//
// Animated cursors (.ani): a RIFF "ACON" file with an "anih" header, a
// "LIST" "fram" of "icon" chunks (each a whole .cur or .ico file), and
// optional "rate" (jiffies per step) and "seq " (frame per step) chunks.
// - Only headers that say the frames are icon data (flag 1) are read.
// - At most 1024 frames and 4096 steps; frames must all have one size, and
//   the frames together at most 16M pixels. The shape's hot spot is the
//   first frame's.
// - Chunks are padded to even lengths; a missing pad byte after the very
//   last chunk is tolerated. Unknown chunks (such as "LIST" "INFO") are
//   skipped. A RIFF length beyond the file's end is a failure; bytes after
//   the RIFF length are ignored.
//
// Files larger than 32 MiB are not read.
// `path` is a host text (code page 1251).
std::shared_ptr<const CursorShape> LoadCursorFile(const std::string& path);
std::shared_ptr<const CursorShape> LoadCursorFromBytes(std::span<const std::uint8_t> bytes);

} // namespace forms
