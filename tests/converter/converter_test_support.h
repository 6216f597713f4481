#pragma once

// Helpers for the converter's tests: a view of an EPUB's entries, running the
// real ebook.exe, and sample books. Temporary folders, the environment and
// whole-file reads and writes come from tests/support.

#include "converter/book.h"
#include "converter/source_file.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kelvra::test {

struct ZipEntry {
    std::string name;
    std::string content;
    bool stored = false;
};

/// The entries of a ZIP archive in their order; fails the test when it cannot be read.
std::vector<ZipEntry> ReadZip(const std::string& path);

/// The content of one entry; empty when there is none.
std::string EntryText(const std::vector<ZipEntry>& entries, const std::string& name);

/// The text of every chapter file, markup removed, in spine order.
std::string EpubPlainText(const std::vector<ZipEntry>& entries);

struct ProgramRun {
    int exitCode = -1;
    std::string errorOutput;
};

/// Runs the built ebook.exe with `arguments` and waits for it.
ProgramRun RunEbookExe(const std::vector<std::string>& arguments);

/// The plain text of every block of the book, in order.
std::vector<std::string> BlockTexts(const Book& book);

/// The message with which `read` refuses `bytes`; empty when it accepts them.
std::string RefusalMessage(Book (*read)(const SourceFile&), const std::string& bytes);

/// A plain text book with `chapters` chapters of `paragraphs` paragraphs each.
std::string ChapteredText(int chapters, int paragraphs);

/// A 1x1 PNG image.
std::string TinyPng();

/// An FB2 book using most of the format: metadata with a cover, a body title
/// and epigraph, a part holding two chapters, emphasis, a note link, an
/// image, a poem, a cite, a table, internal and web links, and a notes body.
std::string SampleFb2();

/// An RTF document with a font table, a heading style, \info, styles, \uN
/// escapes, \'hh in two code pages, a footnote, a hyperlink field and a PNG
/// picture.
std::string SampleRtf();

/// Runs EPUBCheck once over all `files` and returns, per file, true when it
/// reported no error and no warning. `log` receives EPUBCheck's own output.
std::vector<bool> EpubCheckClean(const std::vector<std::string>& files, std::string& log);

} // namespace kelvra::test
