// The report library's exception: a plain English text that the program shows as it is.
#pragma once

#include <stdexcept>
#include <string>

namespace report::output {

class ERpError : public std::runtime_error {
public:
    explicit ERpError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace report::output
