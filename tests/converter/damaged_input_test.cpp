// Damaged input never crashes a reader or the package builder: every cut-off
// prefix and many byte-flipped copies of each sample either read as a book
// that packages cleanly or are refused with InputRejected. (The libFuzzer
// targets in fuzz/ search far wider; this keeps the basics in every build.)

#include "converter/conversion_error.h"
#include "converter/epub_package.h"
#include "converter/fb2_reader.h"
#include "converter/rtf_reader.h"
#include "converter/txt_reader.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kelvra::test {
namespace {

/// Reads and packages `bytes`; fails the test on anything but a book or a refusal.
void ReadAndPackage(Book (*read)(const SourceFile&), const std::string& bytes)
{
    try {
        const Book book = read(SourceFile{"damaged", "damaged", bytes});
        const std::vector<PackageEntry> entries = BuildEpubPackage(book, "2024-01-01T00:00:00Z");
        ASSERT_FALSE(entries.empty());
    } catch (const InputRejected&) {
    } catch (const ConversionError& error) {
        ADD_FAILURE() << "not a refusal: " << error.what();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "unexpected exception: " << error.what();
    }
}

TEST(DamagedInput, CutOffAndFlippedCopiesAreReadOrRefused)
{
    struct Case {
        const char* name;
        Book (*read)(const SourceFile&);
        std::string sample;
    };
    const Case cases[] = {
        {"TXT", &ReadTxtBook, "\xEF\xBB\xBF" + ChapteredText(3, 2) + "* * *\n\nPart Two\n\n\xD0\x9F\xD1\x80\n"},
        {"RTF", &ReadRtfBook, SampleRtf()},
        {"FB2", &ReadFb2Book, SampleFb2()},
    };
    std::uint64_t random = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t cut = 0; cut < c.sample.size(); cut += 7)
            ReadAndPackage(c.read, c.sample.substr(0, cut));
        for (int round = 0; round < 300; ++round) {
            std::string damaged = c.sample;
            for (int flip = 0; flip < 4; ++flip) {
                random = random * 6364136223846793005ull + 1442695040888963407ull;
                damaged[(random >> 33) % damaged.size()] = static_cast<char>(random >> 56);
            }
            ReadAndPackage(c.read, damaged);
        }
    }
}

} // namespace
} // namespace kelvra::test
