#include "core/paths.h"

#include <gtest/gtest.h>

namespace kelvra {
namespace {

struct SplitCase {
    const char* name;
    PathStyle style;
    const char* path;
    const char* folder;
    const char* file;
    const char* ext;
    const char* base;
};

const SplitCase kSplitCases[] = {
    {"win_plain", PathStyle::Windows, R"(C:\in\my.book.pdf)", R"(C:\in\)", "my.book.pdf", ".pdf", "my.book"},
    {"win_no_ext", PathStyle::Windows, R"(C:\in\README)", R"(C:\in\)", "README", "", "README"},
    {"win_dot_only_name", PathStyle::Windows, R"(C:\in\.azw3)", R"(C:\in\)", ".azw3", ".azw3", ""},
    {"win_dot_in_folder", PathStyle::Windows, R"(D:\a.b\readme)", R"(D:\a.b\)", "readme", "", "readme"},
    {"win_drive_colon", PathStyle::Windows, "C:book.txt", "C:", "book.txt", ".txt", "book"},
    {"win_slash_is_ordinary", PathStyle::Windows, "C:/x/y.pdf", "C:", "/x/y.pdf", ".pdf", "/x/y"},
    {"win_trailing_dot", PathStyle::Windows, R"(C:\b.)", R"(C:\)", "b.", ".", "b"},
    {"win_empty", PathStyle::Windows, "", "", "", "", ""},
    {"posix_plain", PathStyle::Posix, "/home/u/my.book.pdf", "/home/u/", "my.book.pdf", ".pdf", "my.book"},
    {"posix_backslash_ordinary", PathStyle::Posix, R"(/in/a\b.c)", "/in/", R"(a\b.c)", ".c", R"(a\b)"},
    {"posix_colon_ordinary", PathStyle::Posix, "/in/C:x.fb2", "/in/", "C:x.fb2", ".fb2", "C:x"},
    {"posix_dot_in_folder", PathStyle::Posix, "/a.b/readme", "/a.b/", "readme", "", "readme"},
    {"posix_no_folder", PathStyle::Posix, "book.epub", "", "book.epub", ".epub", "book"},
};

TEST(PathSplits, FolderNameExtensionAndBase)
{
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtractFilePath(c.path, c.style), c.folder);
        EXPECT_EQ(ExtractFileName(c.path, c.style), c.file);
        EXPECT_EQ(ExtractFileExt(c.path, c.style), c.ext);
        EXPECT_EQ(FileNameWithoutExt(c.path, c.style), c.base);
    }
}

TEST(AddTrailingBackslash, AppendsOnlyTheStylesDelimiter)
{
    struct Case {
        PathStyle style;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {PathStyle::Windows, "", ""},
        {PathStyle::Windows, R"(C:\out)", R"(C:\out\)"},
        {PathStyle::Windows, R"(C:\out\)", R"(C:\out\)"},
        {PathStyle::Windows, "C:", R"(C:\)"},
        {PathStyle::Windows, "C:/out/", R"(C:/out/\)"},
        {PathStyle::Posix, "", ""},
        {PathStyle::Posix, "/out", "/out/"},
        {PathStyle::Posix, "/out/", "/out/"},
        {PathStyle::Posix, R"(/out\)", R"(/out\/)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(AddTrailingBackslash(c.in, c.style), c.out);
    }
}

TEST(LowerTrim, LowersAsciiLettersAndStripsControlAndBlank)
{
    EXPECT_EQ(LowerTrim("  .PDF \t\r\n"), ".pdf");
    EXPECT_EQ(LowerTrim(std::string("\x01X\x20", 3)), "x");
    EXPECT_EQ(LowerTrim("\xC3\x84Z"), "\xC3\x84z"); // bytes above 127 stay as they are
    EXPECT_EQ(LowerTrim(""), "");
    EXPECT_EQ(LowerTrim("   "), "");
}

TEST(IsSupportedBookFile, SubstringTestOfTheExtension)
{
    struct Case {
        const char* path;
        bool supported;
    };
    const Case cases[] = {
        {R"(C:\b\Book.AZW3)", true}, {"notes.t", true},   {"x.az", true},     {"x.Mobi", true},
        {"x.PDF", true},             {"report.t", true},  {"x.lit", true},    {"x.fb2", true},
        {"x.rtf", true},             {"x.txt", true},     {"x", false},       {"x.epub", false},
        {"x.pdfx", false},           {"x.doc", false},    {"x.azw4", false},  {R"(C:\a.pdf\x)", false},
        {"x.", true},                {"x.;", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsSupportedBookFile(c.path, PathStyle::Windows), c.supported);
    }
}

TEST(ExtensionInList, OutputNameRuleOfTheConsoleProgram)
{
    struct Case {
        const char* path;
        bool passes;
    };
    const Case cases[] = {
        {R"(D:\out\Book.EPUB)", true}, {R"(D:\out\book.ep)", true}, {R"(D:\out\book.e)", true},
        {R"(D:\out\book.)", true},     {R"(D:\out\book.txt)", false}, {R"(D:\out\book.epub2)", false},
        {R"(D:\out\book)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExtensionInList(c.path, ".epub", PathStyle::Windows), c.passes);
    }
}

} // namespace
} // namespace kelvra
