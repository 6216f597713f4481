#include "converter/pdf_page_reader.h"

#include "converter/xml_text.h"

#include <poppler/GlobalParams.h>
#include <poppler/PDFDoc.h>
#include <poppler/TextOutputDev.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string_view>

namespace kelvra {

namespace {

/// Whether a font's name says it is bold or italic ("Times-BoldItalic",
/// "ABCDEF+Inter-SemiBold"): writers seldom set the descriptor's bold flag,
/// and standard fonts have no descriptor at all.
bool NameSays(const GooString* name, std::initializer_list<std::string_view> words)
{
    if (!name)
        return false;
    std::string lower = name->toStr();
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return lower.find(word) != std::string::npos; });
}

/// Bold and italic of a page's fonts, judged once for each font since the
/// words of a run share one.
class FontStyles {
public:
    void Apply(const TextFontInfo& font, PdfWord& word)
    {
        if (&font != m_font) {
            m_font = &font;
            m_bold = font.isBold() || NameSays(font.getFontName(), {"bold", "black", "heavy", "demi"});
            m_italic = font.isItalic() || NameSays(font.getFontName(), {"italic", "oblique"});
        }
        word.bold = m_bold;
        word.italic = m_italic;
    }

private:
    const TextFontInfo* m_font = nullptr;
    bool m_bold = false;
    bool m_italic = false;
};

/// The words of page `index` (from 0) in reading order, as poppler's text
/// extraction orders them across columns; a page poppler cannot open has none.
std::vector<PdfWord> PageWords(PDFDoc& doc, int index)
{
    TextOutputDev output(nullptr, false, 0, false, false);
    if (!output.isOk())
        return {};
    doc.displayPageSlice(&output, index + 1, 72, 72, 0, false, false, false, -1, -1, -1, -1);
    const std::unique_ptr<TextWordList> list = output.makeWordList();
    FontStyles styles;
    std::vector<PdfWord> words;
    words.reserve(static_cast<size_t>(std::max(list->getLength(), 0)));
    for (int i = 0; i < list->getLength(); ++i) {
        const TextWord* box = list->get(i);
        PdfWord word;
        // TextWord::getText would look up the output encoding under a lock
        // shared by both reading threads, for every word.
        word.text = PopplerTextUtf8(box->getLength() > 0 ? box->getChar(0) : nullptr, box->getLength());
        box->getBBox(&word.left, &word.top, &word.right, &word.bottom);
        word.fontSize = box->getFontSize();
        if (const TextFontInfo* font = box->getLength() > 0 ? box->getFontInfo(0) : nullptr)
            styles.Apply(*font, word);
        word.spaceAfter = box->hasSpaceAfter();
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace

std::string PopplerTextUtf8(const unsigned int* text, int length)
{
    std::string out;
    out.reserve(static_cast<size_t>(std::max(length, 0)));
    for (int i = 0; i < length; ++i)
        AppendUtf8(out, text[i]);
    return out;
}

std::vector<PdfLine> ReadPageLines(PDFDoc& doc, int index)
{
    return GroupPdfLines(PageWords(doc, index));
}

PdfPageReader::PdfPageReader(PDFDoc& doc, std::unique_ptr<PDFDoc> helperDoc, int pageCount)
    : m_doc(doc), m_helperDoc(std::move(helperDoc)), m_pageCount(pageCount)
{
    if (m_helperDoc)
        m_helper = std::thread([this] { RunHelper(); });
}

PdfPageReader::~PdfPageReader()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_helper.joinable())
        m_helper.join();
}

std::vector<PdfLine> PdfPageReader::Take(int index)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto ready = m_ready.find(index);
        if (ready != m_ready.end()) {
            std::vector<PdfLine> lines = std::move(ready->second);
            m_ready.erase(ready);
            m_taken = index + 1;
            lock.unlock();
            m_changed.notify_all();
            return lines;
        }
        if (m_helperError)
            std::rethrow_exception(m_helperError);
        if (m_nextUnread < m_pageCount && (m_nextUnread == index || m_nextUnread - m_taken < 2 * kReadAhead)) {
            // The wanted page is unread or with the helper: read the next
            // unread one meanwhile, within the same bound on pages held.
            const int page = m_nextUnread++;
            lock.unlock();
            std::vector<PdfLine> lines = ReadPageLines(m_doc, page);
            lock.lock();
            m_ready.emplace(page, std::move(lines));
            continue;
        }
        m_changed.wait(lock);
    }
}

void PdfPageReader::RunHelper()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] {
            return m_stop || m_nextUnread >= m_pageCount || m_nextUnread - m_taken < kReadAhead;
        });
        if (m_stop || m_nextUnread >= m_pageCount)
            return;
        const int page = m_nextUnread++;
        lock.unlock();
        try {
            std::vector<PdfLine> lines = ReadPageLines(*m_helperDoc, page);
            lock.lock();
            m_ready.emplace(page, std::move(lines));
        } catch (...) {
            lock.lock();
            m_helperError = std::current_exception();
            lock.unlock();
            m_changed.notify_all();
            return;
        }
        m_changed.notify_all();
    }
}

} // namespace kelvra
