// The diagnostic trace of the machine-hour cost calculation. The caller
// chooses where it goes: the desktop program prints it, the command line
// only on request; a null sink switches it off at no cost.
#pragma once

#include <string_view>

namespace forstrix {

class TraceSink {
public:
    virtual ~TraceSink() = default;
    // Receives the trace text piece by piece, exactly as it is to appear
    // (UTF-8, lines ending in "\n").
    virtual void write(std::string_view text) = 0;
};

}  // namespace forstrix
