#pragma once

#include <stdexcept>

namespace gdi {

// Every failure of the drawing layer (impossible sizes, unreadable or
// unwritable picture files) is reported with this exception.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace gdi
