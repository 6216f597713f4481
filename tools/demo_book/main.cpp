// kelvra_book_maker: writes sample books for the build, the tests and the
// benchmark.
//   kelvra_book_maker mobi INPUT.txt OUTPUT   a MOBI of a plain-text book
//   kelvra_book_maker pdf INPUT.txt OUTPUT    a PDF of a plain-text book, chapters in its outline

#include "converter/conversion_error.h"
#include "converter/source_file.h"
#include "converter/txt_reader.h"
#include "tools/demo_book/mobi_writer.h"
#include "tools/demo_book/pdf_writer.h"

#include <fstream>
#include <iostream>

namespace {

int Usage()
{
    std::cerr << "usage: kelvra_book_maker mobi|pdf INPUT.txt OUTPUT\n";
    return 2;
}

bool WriteWhole(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && (args[0] == "mobi" || args[0] == "pdf")) {
            const kelvra::Book book = kelvra::ReadTxtBook(kelvra::LoadSourceFile(args[1]));
            const std::string bytes = args[0] == "mobi" ? kelvra::WriteMobiBook(book) : kelvra::WritePdfBook(book);
            if (!WriteWhole(args[2], bytes)) {
                std::cerr << "kelvra_book_maker: cannot write " << args[2] << "\n";
                return 1;
            }
            return 0;
        }
    } catch (const std::exception& error) {
        std::cerr << "kelvra_book_maker: " << error.what() << "\n";
        return 1;
    }
    return Usage();
}
