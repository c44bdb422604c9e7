#include "platform/system/Diagnostics.h"

#include <utility>

namespace sys {

namespace {

std::vector<std::string>& Reasons()
{
    static auto* reasons = new std::vector<std::string>; // lives as long as the process
    return *reasons;
}

} // namespace

void RecordReason(std::string_view reason)
{
    std::vector<std::string>& reasons = Reasons();
    if (reasons.size() < kMaxReasons)
        reasons.emplace_back(reason);
    else
        reasons.back() = std::string(reason);
}

std::vector<std::string> TakeReasons()
{
    return std::exchange(Reasons(), {});
}

} // namespace sys
