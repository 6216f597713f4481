#pragma once

// Another converter program that takes over inputs this program has no
// reader for, or that its readers refuse. The program asks it once per
// conversion; tests pass a recording double or a real fake program.

#include <string>
#include <vector>

namespace kelvra {

class ExternalConverter {
public:
    virtual ~ExternalConverter() = default;

    /// The program's name as shown in messages, e.g. "ebook-convert".
    virtual std::string Name() const = 0;

    /// True when the program can be started.
    virtual bool Available() = 0;

    /// Converts `input` into the EPUB `output` with the given options and
    /// waits for the end. Returns true when the program reports success;
    /// otherwise false with a one-line `failure`.
    virtual bool Convert(const std::string& input, const std::string& output, const std::vector<std::string>& options,
                         std::string& failure) = 0;
};

} // namespace kelvra
