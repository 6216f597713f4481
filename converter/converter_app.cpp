#include "converter/converter_app.h"

#include "converter/book_readers.h"
#include "converter/conversion_error.h"
#include "converter/epub_probe.h"
#include "converter/epub_writer.h"
#include "converter/external_converter.h"
#include "converter/format_sniffer.h"
#include "converter/source_file.h"
#include "converter/staged_output.h"

#include <filesystem>
#include <ostream>

#ifndef KELVRA_VERSION
#define KELVRA_VERSION "0.0.0"
#endif

namespace kelvra {

namespace {

constexpr const char* kNoDefaultCover = "--no-default-epub-cover";

/// One line for standard error: control characters in file names would
/// otherwise break the line.
std::string OneLine(const std::string& message)
{
    std::string out;
    for (const char c : message)
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    return out;
}

struct Invocation {
    std::string input;
    std::string output;
    std::vector<std::string> options;
};

/// Hands the input to the external converter, which writes into the staged
/// file; throws ConversionError when it fails or writes nothing.
void ConvertWithHandOver(const Invocation& job, ExternalConverter& handOver, StagedOutput& staged,
                         const std::string& whyHandedOver)
{
    std::string failure;
    if (!handOver.Convert(job.input, staged.TemporaryPath(), job.options, failure))
        throw ConversionError(whyHandedOver + "; " + handOver.Name() + " failed: " + failure);
    std::error_code ec;
    if (std::filesystem::file_size(staged.TemporaryPath(), ec) == 0 || ec)
        throw ConversionError(whyHandedOver + "; " + handOver.Name() + " wrote no EPUB");
    if (!LooksLikeEpub(staged.TemporaryPath()))
        throw ConversionError(whyHandedOver + "; " + handOver.Name() + " wrote a file that is not an EPUB");
}

void Convert(const Invocation& job, ExternalConverter* handOver)
{
    const SourceFile source = LoadSourceFile(job.input);
    std::error_code ec;
    if (std::filesystem::equivalent(job.input, job.output, ec))
        throw ConversionError("the output path names the input file; it would be overwritten: " + job.output);
    const BookFormat format = SniffFormat(source.bytes);
    StagedOutput staged(job.output);
    try {
        const Book book = ReadBook(source, format);
        WriteEpub(book, staged.TemporaryPath());
    } catch (const InputRejected& rejected) {
        const std::string reason = std::string(FormatName(format)) + " input not converted: " + rejected.what();
        if (!handOver || !handOver->Available())
            throw ConversionError(reason);
        ConvertWithHandOver(job, *handOver, staged, reason);
    }
    staged.Commit();
}

} // namespace

std::string ConverterUsage()
{
    return "Usage: ebook.exe INPUT OUTPUT.epub [--no-default-epub-cover]\n"
           "       ebook.exe --help | --version\n"
           "\n"
           "Converts one e-book into an EPUB 3 file at exactly OUTPUT (its folder must exist).\n"
           "Reads plain text, FB2, RTF, MOBI, AZW3 and PDF itself; the type is told by the content,\n"
           "not the name.\n"
           "Other types (LIT, and inputs its readers refuse) go to ebook-convert when it is on the PATH.\n"
           "A cover is made only from a cover the input has; --no-default-epub-cover is accepted.\n"
           "\n"
           "Exit status: 0 with a complete EPUB at OUTPUT; 1 when the conversion failed; 2 for wrong\n"
           "arguments. On failure one line on standard error says why and nothing is left at OUTPUT.\n";
}

int RunConverter(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 ExternalConverter* handOver)
{
    Invocation job;
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            out << ConverterUsage();
            return ExitSuccess;
        }
        if (argument == "--version") {
            out << "ebook.exe " << KELVRA_VERSION << "\n";
            return ExitSuccess;
        }
        // Only exact option names count as options, so file names that begin
        // with "-" still pass as paths.
        if (argument == kNoDefaultCover)
            job.options.push_back(argument);
        else
            paths.push_back(argument);
    }
    if (paths.size() != 2) {
        err << "ebook.exe: expected an input file and an output file (see --help), got " << paths.size()
            << " file argument(s)" << std::endl;
        return ExitUsage;
    }
    job.input = paths[0];
    job.output = paths[1];
    // No cover is ever made up; the hand-over is told the same.
    if (job.options.empty())
        job.options.push_back(kNoDefaultCover);
    try {
        Convert(job, handOver);
    } catch (const std::bad_alloc&) {
        err << "ebook.exe: out of memory converting " << OneLine(job.input) << std::endl;
        return ExitConversionFailed;
    } catch (const std::exception& error) {
        err << "ebook.exe: " << OneLine(error.what()) << std::endl;
        return ExitConversionFailed;
    }
    return ExitSuccess;
}

} // namespace kelvra
