#include "tools/demo_book/demo_book.h"

#include "tools/demo_book/png_image.h"

namespace kelvra {

namespace {

constexpr Rgb kPaper{250, 246, 236};
constexpr Rgb kInk{38, 52, 84};
constexpr Rgb kAccent{214, 120, 46};
constexpr Rgb kPage{255, 255, 255};

InlineRun Run(std::string text, std::uint32_t styles = StylePlain)
{
    InlineRun run;
    run.text = std::move(text);
    run.styles = styles;
    return run;
}

Block Paragraph(std::vector<InlineRun> runs)
{
    Block block;
    block.runs = std::move(runs);
    return block;
}

Block Heading(const std::string& text, int level)
{
    Block block = TextBlock(text, BlockKind::Heading);
    block.level = level;
    return block;
}

Block Picture(const std::string& imageId, const std::string& alt)
{
    Block block;
    block.kind = BlockKind::Image;
    block.imageId = imageId;
    block.runs.push_back(Run(alt));
    return block;
}

/// A book on the left, an arrow, and an open e-book page on the right.
std::string ConversionPicture()
{
    Raster raster(360, 180, kPaper);
    raster.Fill(40, 40, 90, 110, kInk);
    raster.Fill(50, 50, 70, 8, kPaper);
    raster.Fill(50, 66, 55, 6, kPaper);
    raster.Fill(155, 85, 40, 20, kAccent);
    raster.FillTriangle(195, 70, 225, 95, 195, 120, kAccent);
    raster.Fill(240, 30, 90, 125, kInk);
    raster.Fill(246, 36, 78, 113, kPage);
    for (int line = 0; line < 7; ++line)
        raster.Fill(254, 46 + line * 14, line % 3 == 2 ? 40 : 62, 5, kInk);
    return raster.EncodePng();
}

std::string CoverPicture()
{
    Raster raster(300, 450, kInk);
    raster.Fill(30, 30, 240, 390, kPaper);
    raster.Fill(60, 90, 180, 24, kInk);
    raster.Fill(60, 130, 120, 14, kAccent);
    raster.FillTriangle(110, 240, 190, 240, 150, 320, kAccent);
    raster.Fill(60, 360, 180, 10, kInk);
    return raster.EncodePng();
}

Chapter Welcome()
{
    Chapter chapter;
    chapter.title = "Welcome";
    chapter.blocks = {
        Heading("Welcome to Kelvra Converter", 1),
        Paragraph({Run("Kelvra Converter turns e-books into "), Run("EPUB", StyleBold),
                   Run(" files, the format that almost every reading device and app understands. It reads PDF, "
                       "AZW3, MOBI, LIT, RTF, FB2 and plain text.")}),
        Picture("conversion", "A book turned into an EPUB page"),
        Paragraph({Run("The suite has two programs. "), Run("kelvra", StyleItalic),
                   Run(" is the window: it converts a list of files in one go, or watches a folder and converts "
                       "whatever arrives there. "),
                   Run("kelvracmd", StyleItalic), Run(" does the same for one file from a command line or a script.")}),
        Paragraph({Run("This little book is itself an AZW3 file. Convert it to see how the result looks: it keeps "
                       "its chapters, its headings, this picture and its cover.")}),
    };
    return chapter;
}

Chapter Batch()
{
    Chapter chapter;
    chapter.title = "Converting a Batch";
    chapter.blocks = {
        Heading("Converting a Batch", 1),
        Paragraph({Run("Collect your books in the list: open them, pick a folder, drop them onto the window, or "
                       "import a text file with one path per line. Then press "),
                   Run("Convert", StyleBold), Run(" and choose where the EPUB files should go.")}),
        Paragraph({Run("Every book gets a folder of its own in the output folder, named after the book, and its "
                       "EPUB inside. A tick or a cross in the list shows how each one went, and the log below the "
                       "list records every step.")}),
    };
    return chapter;
}

Chapter HotDirectory()
{
    Chapter chapter;
    chapter.title = "The Hot Directory";
    chapter.level = 2;
    chapter.blocks = {
        Heading("The Hot Directory", 2),
        Paragraph({Run("In hot-directory mode you name an input folder, an output folder and a log folder, and "
                       "start watching. Every book that is later copied into the input folder is converted as "
                       "soon as it has been written completely.")}),
        Paragraph({Run("A log file for each day lists when a conversion started, which file it was, where the "
                       "EPUB went and whether it succeeded.")}),
    };
    return chapter;
}

Chapter CommandLine()
{
    Chapter chapter;
    chapter.title = "The Command Line";
    chapter.blocks = {
        Heading("The Command Line", 1),
        Paragraph({Run("For scripts, call "), Run("kelvracmd", StyleCode),
                   Run(" with the book and the EPUB to write, each in double quotes:")}),
        Paragraph({Run("kelvracmd \"D:\\in\\sample1.pdf\" \"D:\\1.epub\"", StyleCode)}),
        Paragraph({Run("It prints one line with the result and ends with an exit code that tells a script what "
                       "happened, so a batch file can react to each book.")}),
        Paragraph({Run("Happy reading!", StyleItalic)}),
    };
    return chapter;
}

} // namespace

Book DemoBook()
{
    Book book;
    book.metadata.title = "Kelvra Converter: A Short Guide";
    book.metadata.authors = {"The Kelvra Team"};
    book.metadata.language = "en";
    book.metadata.publisher = "Tarnwick";
    book.metadata.description = "A short guide to Kelvra Converter, the e-book to EPUB conversion suite.";
    book.metadata.date = "2026-12-11";
    book.chapters = {Welcome(), Batch(), HotDirectory(), CommandLine()};
    book.images = {Image{"cover", "image/png", CoverPicture()},
                   Image{"conversion", "image/png", ConversionPicture()}};
    book.coverImageId = "cover";
    return book;
}

} // namespace kelvra
