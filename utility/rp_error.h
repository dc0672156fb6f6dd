// The report library's exception, raised by both halves (printer object, evaluator, formatting).
// Its text is code page 1250.
#pragma once

#include <stdexcept>
#include <string>

namespace report {

class ERpError : public std::runtime_error {
public:
    explicit ERpError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace report
