// kelvra_book_maker: writes sample books for the build, the tests and the
// benchmark.
//   kelvra_book_maker demo OUTPUT             the sample book "demo.azw3"
//   kelvra_book_maker mobi INPUT.txt OUTPUT   a MOBI of a plain-text book
//   kelvra_book_maker azw3 INPUT.txt OUTPUT   an AZW3 (KF8) of a plain-text book
//   kelvra_book_maker pdf INPUT.txt OUTPUT    a PDF of a plain-text book, chapters in its outline

#include "converter/conversion_error.h"
#include "converter/source_file.h"
#include "converter/txt_reader.h"
#include "tools/demo_book/demo_book.h"
#include "tools/demo_book/mobi_writer.h"
#include "tools/demo_book/pdf_writer.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

int Usage()
{
    std::cerr << "usage: kelvra_book_maker demo OUTPUT\n"
                 "       kelvra_book_maker mobi|azw3|pdf INPUT.txt OUTPUT\n";
    return 2;
}

/// Writes the whole file or, failing that, removes what was written, so
/// that the build never takes a half-written book for a finished one.
bool WriteWhole(const std::string& path, const std::string& bytes)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (out.flush())
            return true;
    }
    std::remove(path.c_str());
    return false;
}

/// The book the arguments ask for; empty when they ask for none.
std::string MakeBook(const std::vector<std::string>& args)
{
    if (args.size() == 2 && args[0] == "demo")
        return kelvra::WriteAzw3Book(kelvra::DemoBook());
    if (args.size() != 3)
        return {};
    const auto book = [&] { return kelvra::ReadTxtBook(kelvra::LoadSourceFile(args[1])); };
    if (args[0] == "mobi")
        return kelvra::WriteMobiBook(book());
    if (args[0] == "azw3")
        return kelvra::WriteAzw3Book(book());
    if (args[0] == "pdf")
        return kelvra::WritePdfBook(book());
    return {};
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const std::string bytes = MakeBook(args);
        if (bytes.empty())
            return Usage();
        if (!WriteWhole(args.back(), bytes)) {
            std::cerr << "kelvra_book_maker: cannot write " << args.back() << "\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "kelvra_book_maker: " << error.what() << "\n";
        return 1;
    }
}
