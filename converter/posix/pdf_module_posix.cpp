// ebook.exe's ReadPdfBook: loads kelvra_pdf_reader.so from the folder of the
// running program on the first PDF and hands the book over to it, so poppler
// is mapped only when it is needed. The module is never unloaded. Runs on the
// converter's one thread.
#include "converter/pdf_reader.h"

#include "converter/conversion_error.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <string>

namespace kelvra {

namespace {

using ReadPdfBookEntry = void (*)(const SourceFile*, Book*);

constexpr char kPdfModuleName[] = "kelvra_pdf_reader.so";

/// The folder of the running program with its trailing slash, or "" if the
/// kernel does not tell.
std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof path))
        return {};
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/') + 1);
}

ReadPdfBookEntry LoadPdfReader()
{
    static ReadPdfBookEntry entry = nullptr;
    if (entry)
        return entry;
    const std::string path = ProgramFolder() + kPdfModuleName;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        // dlerror names the file and says what went wrong.
        const char* reason = dlerror();
        throw ConversionError(std::string("cannot load the PDF reader: ") + (reason ? reason : path.c_str()));
    }
    entry = reinterpret_cast<ReadPdfBookEntry>(dlsym(module, "kelvra_read_pdf_book"));
    if (!entry)
        throw ConversionError("the PDF reader " + path + " is damaged (it has no entry point)");
    return entry;
}

} // namespace

Book ReadPdfBook(const SourceFile& source)
{
    Book book;
    LoadPdfReader()(&source, &book);
    return book;
}

} // namespace kelvra
