#pragma once

// The two ways a conversion ends without a book. Both carry a one-line message
// for the user.

#include <stdexcept>
#include <string>

namespace kelvra {

/// The conversion failed: the output could not be written, or the input could
/// not be read at all. No other converter would do better.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& message) : std::runtime_error(message) {}
};

/// A reader refuses the input: it is not, or not a sound, file of the reader's
/// format. Another converter may still manage it, so the program may hand
/// such an input over.
class InputRejected : public ConversionError {
public:
    explicit InputRejected(const std::string& message) : ConversionError(message) {}
};

} // namespace kelvra
