// Input types are told by content; the extension plays no part.

#include "converter/format_sniffer.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

namespace kelvra::test {
namespace {

TEST(FormatSniffer, TellsTypesByContent)
{
    struct Case {
        const char* name;
        std::string bytes;
        BookFormat format;
    };
    const Case cases[] = {
        {"text", "Just words.\n", BookFormat::Text},
        {"text with a stray control", "Words \x01 and more words here.\n", BookFormat::Text},
        {"UTF-16LE text with mark", std::string("\xFF\xFEH\0i\0", 6), BookFormat::Text},
        {"UTF-16LE text without mark", std::string("H\0e\0l\0l\0o\0", 10), BookFormat::Text},
        {"RTF", "{\\rtf1\\ansi hello}", BookFormat::Rtf},
        {"RTF after a mark and blank lines", "\xEF\xBB\xBF\r\n{\\rtf1 x}", BookFormat::Rtf},
        {"FB2", "<?xml version=\"1.0\"?>\n<FictionBook xmlns=\"x\">", BookFormat::Fb2},
        {"other XML is text", "<?xml version=\"1.0\"?><html></html>", BookFormat::Text},
        {"PDF", "%PDF-1.7\n", BookFormat::Pdf},
        {"text mentioning a PDF header", "The header reads %PDF-1.4 in every file.", BookFormat::Text},
        {"MOBI", std::string(60, 'x') + "BOOKMOBI", BookFormat::Mobi},
        {"LIT", "ITOLITLS", BookFormat::Lit},
        {"ZIP", "PK\x03\x04rest", BookFormat::Zip},
        {"binary", std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10), BookFormat::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SniffFormat(c.bytes), c.format);
    }
}

TEST(FormatSniffer, TheProgramFollowsTheContentWhereTheExtensionLies)
{
    TempDir folder;
    WriteFile(folder.File("really-rtf.txt"), SampleRtf());
    WriteFile(folder.File("really-fb2.pdf"), SampleFb2());
    for (const char* name : {"really-rtf.txt", "really-fb2.pdf"}) {
        const ProgramRun run = RunEbookExe({folder.File(name), folder.File(std::string(name) + ".epub")});
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.errorOutput;
    }
    EXPECT_NE(EntryText(ReadZip(folder.File("really-rtf.txt.epub")), "OEBPS/content.opf").find("RTF Title"), std::string::npos);
    EXPECT_NE(EntryText(ReadZip(folder.File("really-fb2.pdf.epub")), "OEBPS/content.opf").find("The Test Book"),
              std::string::npos);
}

} // namespace
} // namespace kelvra::test
