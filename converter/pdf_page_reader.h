#pragma once

// The lines of a PDF's pages through poppler's text extraction, read on the
// caller's thread and, for long documents, a helper thread at once.

#include "converter/pdf_layout.h"

#include <condition_variable>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PDFDoc;

namespace kelvra {

/// UTF-8 of text as poppler hands it over: `length` code points.
std::string PopplerTextUtf8(const unsigned int* text, int length);

/// The lines of page `index` (from 0), in poppler's reading order across
/// columns, with bold and italic as the fonts say; a page poppler cannot
/// open has none.
std::vector<PdfLine> ReadPageLines(PDFDoc& doc, int index);

/// Hands out the lines of every page in page order. With a helper document
/// (a second poppler document over the same bytes: documents share nothing
/// but poppler's global settings, which poppler guards itself), a helper
/// thread reads pages too. Both take the next unread page from one counter,
/// so they end within a page of each other; while the page the caller wants
/// is still with the helper, the caller reads the next one itself. The helper
/// stays at most kReadAhead pages ahead of what the caller has taken, so a
/// long document's lines are not all held at once. Take() is called from the
/// owning thread only, with the pages in rising order; the documents' bytes
/// outlive the reader.
class PdfPageReader {
public:
    PdfPageReader(PDFDoc& doc, std::unique_ptr<PDFDoc> helperDoc, int pageCount);
    ~PdfPageReader();
    PdfPageReader(const PdfPageReader&) = delete;
    PdfPageReader& operator=(const PdfPageReader&) = delete;

    /// The lines of page `index`; what the helper failed with (out of
    /// memory) is thrown here.
    std::vector<PdfLine> Take(int index);

private:
    static constexpr int kReadAhead = 16;

    void RunHelper();

    PDFDoc& m_doc;
    std::unique_ptr<PDFDoc> m_helperDoc;
    const int m_pageCount;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::vector<PdfLine>> m_ready;
    int m_nextUnread = 0; ///< pages below have been claimed by a thread
    int m_taken = 0;      ///< pages below have been handed to the caller
    bool m_stop = false;
    std::exception_ptr m_helperError;
    std::thread m_helper; // last: starts once the members above exist
};

} // namespace kelvra
