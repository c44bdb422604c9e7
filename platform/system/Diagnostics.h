#pragma once

#include <string>
#include <string_view>
#include <vector>

// The diagnostics channel: one-line reasons the plug-in records when an
// action fails or a guarded step skips its work ("ZenvasSetPicture:
// photo.jpg: not a JPEG file"). It is process-wide, like the rest of the
// platform library, so a host in the same process (zenvas-host) can show
// them; they never cross the plug-in's C interface and never change a
// result.
namespace sys {

// Appends a reason. At most kMaxReasons are kept between takes; later ones
// replace the newest, so a runaway loop cannot grow the channel.
void RecordReason(std::string_view reason);

// Every reason recorded since the last take, oldest first; empties the
// channel.
std::vector<std::string> TakeReasons();

inline constexpr std::size_t kMaxReasons = 64;

} // namespace sys
