// ebook.exe: converts one e-book into an EPUB. See converter_app.h.

#include "converter/converter_app.h"
#include "converter/ebook_convert_hand_over.h"

#include <iostream>

int main(int argc, char* argv[])
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    kelvra::EbookConvertHandOver handOver;
    return kelvra::RunConverter(arguments, std::cout, std::cerr, &handOver);
}
