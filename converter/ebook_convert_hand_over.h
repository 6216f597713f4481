#pragma once

// The hand-over to the "ebook-convert" program when it is on the PATH: it is
// started with the input, the EPUB to write and the options, and judged by
// its exit status.

#include "converter/external_converter.h"

namespace kelvra {

class EbookConvertHandOver : public ExternalConverter {
public:
    std::string Name() const override { return "ebook-convert"; }
    bool Available() override;
    bool Convert(const std::string& input, const std::string& output, const std::vector<std::string>& options,
                 std::string& failure) override;

private:
    std::string m_program; ///< found on the first Available()
    bool m_searched = false;
};

} // namespace kelvra
