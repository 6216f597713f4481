// What the window's shell launches amount to on a Linux desktop.

#include "platform/desktop_services.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kelvra {
namespace {

using Kind = DesktopLaunch::Kind;

TEST(DesktopLaunchTest, ShellLaunchesMapToTheDesktopsEquivalent)
{
    test::TempDir folder;
    const std::string existing = folder.File("a, b.pdf"); // a comma inside the name
    std::ofstream(existing) << "x";
    const std::string app = "/opt/kelvra/";
    struct Case {
        const char* name;
        std::string file;
        std::string parameters;
        DesktopLaunch expected;
    } const cases[] = {
        {"select an item", "explorer.exe", " /n,/select, \"/books/Alice.epub\"", {Kind::ShowItem, "/books/Alice.epub"}},
        {"select, letter case of the program", "EXPLORER.EXE", "/select,\"/b/x.pdf\"", {Kind::ShowItem, "/b/x.pdf"}},
        {"select a name with a comma", "explorer.exe", " /n,/select, \"/b/one, two.pdf\"",
         {Kind::ShowItem, "/b/one, two.pdf"}},
        {"open a folder", "explorer.exe", " /n, \"/books/out/\"", {Kind::OpenPath, "/books/out/"}},
        {"open a folder given plainly", "explorer.exe", "/books/in", {Kind::OpenPath, "/books/in"}},
        {"an existing path with a comma", "explorer.exe", existing, {Kind::OpenPath, existing}},
        {"explorer without a path", "explorer.exe", " /n,", {}},
        {"notepad opens the text file", "notepad.exe", "\"/opt/kelvra/Command line.txt\"",
         {Kind::OpenPath, "/opt/kelvra/Command line.txt"}},
        {"notepad without a file", "notepad.exe", "", {}},
        {"a relative document", "Kelvra Help.html", "", {Kind::OpenPath, "/opt/kelvra/Kelvra Help.html"}},
        {"an absolute document", "/opt/kelvra/Kelvra Help.html", "", {Kind::OpenPath, "/opt/kelvra/Kelvra Help.html"}},
        {"a web address", "https://www.tarnwick.example/kelvra", "",
         {Kind::OpenUrl, "https://www.tarnwick.example/kelvra"}},
        {"nothing", "", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesktopLaunch got = DescribeShellLaunch(c.file, c.parameters, app);
        EXPECT_EQ(int(got.kind), int(c.expected.kind));
        EXPECT_EQ(got.target, c.expected.target);
    }
}

} // namespace
} // namespace kelvra
