#include "converter/rtf_reader.h"

#include "converter/chapter_headings.h"
#include "converter/rtf_code_pages.h"
#include "converter/conversion_error.h"
#include "converter/text_decoding.h"
#include "converter/xml_text.h"

#include <map>
#include <memory>
#include <string_view>

namespace kelvra {

namespace {

constexpr size_t kMaxGroupDepth = 4096;

enum class Destination {
    Body,
    Skip,
    FontTable,
    StyleSheet,
    InfoField,
    Picture,
    FieldInstruction,
    Footnote,
};

enum class InfoField { None, Title, Author, Subject, Comment };

enum class PictureType { Unsupported, Png, Jpeg };

/// Character and destination state; every group starts as a copy of its parent's.
struct GroupState {
    Destination destination = Destination::Body;
    std::uint32_t styles = StylePlain;
    bool hidden = false;
    int unicodeSkip = 1;
    int codePage = 0; ///< 0: the default font's
    InfoField infoField = InfoField::None;
    std::string link;
};

class RtfParser {
public:
    explicit RtfParser(std::string_view bytes) : m_bytes(bytes) {}

    Book Parse(const std::string& fallbackTitle)
    {
        m_stack.reserve(64);
        m_stack.emplace_back();
        size_t depth = 0;
        bool started = false;
        while (m_pos < m_bytes.size()) {
            const char c = m_bytes[m_pos++];
            if (c == '{') {
                FlushBytes();
                if (m_stack.size() > kMaxGroupDepth)
                    throw InputRejected("the RTF file nests groups too deeply");
                m_stack.push_back(m_stack.back());
                m_skipCount = 0;
                ++depth;
                started = true;
            } else if (c == '}') {
                FlushBytes();
                if (depth == 0)
                    break;
                CloseGroup();
                --depth;
                m_skipCount = 0;
                if (depth == 0)
                    break; // the document's group has ended; anything after it is not RTF
            } else if (c == '\\') {
                ReadControl();
            } else if (c == '\r' || c == '\n') {
                // Line ends in RTF source carry no meaning.
            } else if (!started) {
                throw InputRejected("the file does not start with an RTF group");
            } else {
                TextByte(c);
            }
        }
        if (depth != 0)
            throw InputRejected("the RTF file is cut off: " + std::to_string(depth) + " group(s) not closed");
        EndParagraph();
        return Finish(fallbackTitle);
    }

private:
    GroupState& State() { return m_stack.back(); }

    // ------------------------------------------------------------ tokens

    void ReadControl()
    {
        if (m_pos >= m_bytes.size())
            return;
        const char c = m_bytes[m_pos];
        if (!IsLetter(c)) {
            ++m_pos;
            ControlSymbol(c);
            return;
        }
        const size_t start = m_pos;
        while (m_pos < m_bytes.size() && IsLetter(m_bytes[m_pos]) && m_pos - start < 32)
            ++m_pos;
        const std::string_view word = m_bytes.substr(start, m_pos - start);
        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '-' && m_pos + 1 < m_bytes.size() && IsDigit(m_bytes[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        int digits = 0;
        while (m_pos < m_bytes.size() && IsDigit(m_bytes[m_pos])) {
            if (digits++ < 10)
                parameter = parameter * 10 + (m_bytes[m_pos] - '0');
            hasParameter = true;
            ++m_pos;
        }
        if (parameter > INT32_MAX)
            parameter = INT32_MAX;
        if (negative)
            parameter = -parameter;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ')
            ++m_pos;
        ControlWord(word, hasParameter, static_cast<int>(parameter));
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    static int HexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    /// True while the characters after a \uN are being skipped; counts one off.
    bool SkipFallback()
    {
        if (m_skipCount <= 0)
            return false;
        --m_skipCount;
        return true;
    }

    void ControlSymbol(char c)
    {
        switch (c) {
        case '\'': {
            const int high = m_pos < m_bytes.size() ? HexValue(m_bytes[m_pos]) : -1;
            const int low = m_pos + 1 < m_bytes.size() ? HexValue(m_bytes[m_pos + 1]) : -1;
            if (high < 0 || low < 0)
                return;
            m_pos += 2;
            if (SkipFallback())
                return;
            m_pendingBytes += static_cast<char>(high * 16 + low);
            return;
        }
        case '*':
            m_starred = true;
            return;
        case '\\': case '{': case '}':
            if (!SkipFallback())
                TextByte(c, false);
            return;
        case '~':
            if (!SkipFallback())
                Text("\u00a0");
            return;
        case '_':
            if (!SkipFallback())
                Text("\u2011");
            return;
        case '\r': case '\n':
            EndParagraph();
            return;
        default:
            // "\-" (optional hyphen), "\|", "\:" and unknown symbols carry no text.
            SkipFallback();
            return;
        }
    }

    void ControlWord(std::string_view word, bool hasParameter, int parameter)
    {
        const bool starred = m_starred;
        m_starred = false;
        if (word == "bin") {
            // Raw bytes follow; they belong to a picture or are skipped.
            const size_t length = hasParameter && parameter > 0 ? static_cast<size_t>(parameter) : 0;
            const size_t available = std::min(length, m_bytes.size() - m_pos);
            if (State().destination == Destination::Picture)
                m_picture.append(m_bytes.substr(m_pos, available));
            m_pos += available;
            return;
        }
        if (word == "u") {
            FlushBytes();
            if (!SkipFallback()) {
                int value = parameter;
                if (value < 0)
                    value += 65536;
                UnicodeUnit(static_cast<char32_t>(value));
            }
            m_skipCount = State().unicodeSkip;
            return;
        }
        if (SkipFallback())
            return;
        // Nothing inside a skipped group counts, not even a picture.
        if (State().destination == Destination::Skip)
            return;
        if (Destinations(word))
            return;
        if (starred) {
            // An optional destination this reader does not know: skip it whole.
            State().destination = Destination::Skip;
            return;
        }
        Formatting(word, hasParameter, parameter);
    }

    /// Handles the control words that open a destination; false for others.
    bool Destinations(std::string_view word)
    {
        GroupState& state = State();
        static const std::string_view kSkipped[] = {
            "colortbl", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
            "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "listtable", "listoverridetable", "revtbl", "rsidtbl",
            "xmlnstbl", "generator", "themedata", "colorschememapping", "datastore", "latentstyles", "filetbl",
            "pgdsctbl", "objdata", "nonshppict", "bkmkstart", "bkmkend", "template", "docvar", "userprops",
            "atnid", "atnauthor", "annotation", "pntxta", "pntxtb", "xe", "tc", "operator", "company", "category",
            "keywords", "manager", "comment", "hlinkbase", "creatim", "revtim", "printim", "buptim", "mmathPr"};
        for (const std::string_view skipped : kSkipped) {
            if (word == skipped) {
                state.destination = Destination::Skip;
                return true;
            }
        }
        if (word == "fonttbl") {
            state.destination = Destination::FontTable;
        } else if (word == "stylesheet") {
            state.destination = Destination::StyleSheet;
        } else if (word == "info") {
            state.destination = Destination::InfoField;
            state.infoField = InfoField::None;
        } else if (word == "title" || word == "author" || word == "subject" || word == "doccomm") {
            if (state.destination != Destination::InfoField)
                return false;
            state.infoField = word == "title"    ? InfoField::Title
                              : word == "author" ? InfoField::Author
                              : word == "subject" ? InfoField::Subject
                                                  : InfoField::Comment;
            m_infoText.clear();
        } else if (word == "pict") {
            state.destination = Destination::Picture;
            m_picture.clear();
            m_pictureHex.clear();
            m_pictureType = PictureType::Unsupported;
        } else if (word == "fldinst") {
            state.destination = Destination::FieldInstruction;
            m_fieldInstruction.clear();
        } else if (word == "footnote") {
            if (state.destination != Destination::Body)
                return false;
            // The note interrupts its paragraph, which goes on after it.
            FlushBytes();
            m_footnoteReturn = std::move(m_paragraph);
            m_paragraph.clear();
            state.destination = Destination::Footnote;
        } else if (word == "shppict" || word == "fldrslt" || word == "field" || word == "result") {
            // Containers whose content is shown: parsed like the body.
        } else {
            return false;
        }
        return true;
    }

    void Formatting(std::string_view word, bool hasParameter, int parameter)
    {
        GroupState& state = State();
        const bool on = !hasParameter || parameter != 0;
        const auto setStyle = [&](std::uint32_t style, bool enable) {
            FlushBytes();
            state.styles = enable ? (state.styles | style) : (state.styles & ~style);
        };
        if (word == "par" || word == "sect" || word == "page" || word == "row") {
            EndParagraph();
        } else if (word == "pard") {
            m_outlineLevel = -1;
            m_styleIndex = 0;
        } else if (word == "plain") {
            FlushBytes();
            state.styles = StylePlain;
            state.hidden = false;
            state.codePage = 0;
        } else if (word == "line") {
            Text("\n");
        } else if (word == "tab") {
            Text("\t");
        } else if (word == "cell") {
            Text(" | ");
        } else if (word == "b") {
            setStyle(StyleBold, on);
        } else if (word == "i") {
            setStyle(StyleItalic, on);
        } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw") {
            setStyle(StyleUnderline, on);
        } else if (word == "ulnone") {
            setStyle(StyleUnderline, false);
        } else if (word == "strike" || word == "striked") {
            setStyle(StyleStrike, on);
        } else if (word == "super") {
            setStyle(StyleSuperscript, on);
        } else if (word == "sub") {
            setStyle(StyleSubscript, on);
        } else if (word == "nosupersub") {
            setStyle(StyleSuperscript | StyleSubscript, false);
        } else if (word == "v") {
            FlushBytes();
            state.hidden = on;
        } else if (word == "uc" && hasParameter) {
            state.unicodeSkip = std::max(0, std::min(parameter, 16));
        } else if (word == "ansicpg" && hasParameter) {
            m_documentCodePage = parameter;
        } else if (word == "mac") {
            m_documentCodePage = 10000;
        } else if (word == "pc") {
            m_documentCodePage = 437;
        } else if (word == "pca") {
            m_documentCodePage = 850;
        } else if (word == "deff" && hasParameter) {
            m_defaultFont = parameter;
        } else if (word == "deflang" && hasParameter) {
            if (m_language.empty())
                m_language = LanguageOfLcid(parameter);
        } else if (word == "f" && hasParameter) {
            FontWord(parameter);
        } else if (word == "fcharset" && hasParameter && state.destination == Destination::FontTable) {
            m_fontCodePages[m_currentFont] = CodePageOfCharset(parameter, m_documentCodePage);
        } else if (word == "cpg" && hasParameter && state.destination == Destination::FontTable) {
            m_fontCodePages[m_currentFont] = parameter;
        } else if (word == "outlinelevel" && hasParameter) {
            if (state.destination == Destination::StyleSheet)
                m_styleOutline[m_currentStyle] = parameter;
            else
                m_outlineLevel = parameter;
        } else if (word == "s" && hasParameter) {
            if (state.destination == Destination::StyleSheet) {
                m_currentStyle = parameter;
                m_styleName.clear();
            } else {
                m_styleIndex = parameter;
            }
        } else if (state.destination == Destination::Picture) {
            if (word == "pngblip")
                m_pictureType = PictureType::Png;
            else if (word == "jpegblip")
                m_pictureType = PictureType::Jpeg;
            else if (word == "wmetafile" || word == "emfblip" || word == "macpict" || word == "dibitmap" || word == "wbitmap")
                m_pictureType = PictureType::Unsupported;
        }
    }

    void FontWord(int font)
    {
        if (State().destination == Destination::FontTable) {
            m_currentFont = font;
            return;
        }
        FlushBytes();
        State().codePage = FontCodePage(font);
    }

    int FontCodePage(int font) const
    {
        const auto it = m_fontCodePages.find(font);
        return it == m_fontCodePages.end() ? m_documentCodePage : it->second;
    }

    // ------------------------------------------------------------ text

    void TextByte(char c, bool countsAsFallback = true)
    {
        if (countsAsFallback && SkipFallback())
            return;
        const Destination destination = State().destination;
        if (destination == Destination::Picture) {
            m_pictureHex += c;
            return;
        }
        if (destination == Destination::Skip || destination == Destination::FontTable)
            return;
        if (destination == Destination::StyleSheet) {
            m_styleName += c;
            return;
        }
        m_pendingBytes += c;
    }

    /// Decodes the bytes gathered from plain characters and \'hh escapes in
    /// the code page that was in force for them.
    void FlushBytes()
    {
        if (m_pendingBytes.empty())
            return;
        std::string utf8;
        // Text before any \f is in the default font, whose charset may name a code page.
        const int codePage = State().codePage != 0 ? State().codePage : FontCodePage(m_defaultFont);
        bool ascii = true;
        for (const char c : m_pendingBytes)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) {
            utf8 = m_pendingBytes;
        } else {
            Utf8Converter& converter = Converter(codePage);
            if (converter.IsValid())
                converter.Append(m_pendingBytes, utf8);
            else
                Converter(1252).Append(m_pendingBytes, utf8);
        }
        m_pendingBytes.clear();
        Text(utf8);
    }

    Utf8Converter& Converter(int codePage)
    {
        auto it = m_converters.find(codePage);
        if (it == m_converters.end())
            it = m_converters.emplace(codePage, std::make_unique<Utf8Converter>(EncodingName(codePage))).first;
        return *it->second;
    }

    void UnicodeUnit(char32_t unit)
    {
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            m_highSurrogate = unit;
            return;
        }
        std::string utf8;
        if (unit >= 0xDC00 && unit <= 0xDFFF && m_highSurrogate != 0)
            AppendUtf8(utf8, 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
        else
            AppendUtf8(utf8, unit);
        m_highSurrogate = 0;
        Text(utf8);
    }

    void Text(const std::string& utf8)
    {
        if (utf8.empty())
            return;
        if (!m_pendingBytes.empty())
            FlushBytes(); // the bytes came first
        const GroupState& state = State();
        switch (state.destination) {
        case Destination::InfoField:
            if (state.infoField != InfoField::None)
                m_infoText += utf8;
            return;
        case Destination::FieldInstruction:
            m_fieldInstruction += utf8;
            return;
        case Destination::StyleSheet:
            m_styleName += utf8;
            return;
        case Destination::Body:
        case Destination::Footnote:
            break;
        default:
            return;
        }
        if (state.hidden)
            return;
        if (!m_paragraph.empty() && m_paragraph.back().styles == state.styles && m_paragraph.back().link == state.link &&
            m_paragraph.back().imageId.empty() && utf8 != "\n" && m_paragraph.back().text != "\n") {
            m_paragraph.back().text += utf8;
        } else {
            m_paragraph.push_back(InlineRun{utf8, state.styles, state.link, {}, {}});
        }
    }

    // ------------------------------------------------------------ groups

    void CloseGroup()
    {
        if (m_stack.back().destination == Destination::Footnote && m_stack[m_stack.size() - 2].destination != Destination::Footnote) {
            EndParagraphInto(); // still inside the note
            m_paragraph = std::move(m_footnoteReturn);
            m_footnoteReturn.clear();
        }
        const GroupState closing = m_stack.back();
        m_stack.pop_back();
        const GroupState& parent = m_stack.back();
        if (closing.destination == Destination::InfoField && closing.infoField != InfoField::None &&
            parent.infoField != closing.infoField) {
            std::string text = CollapseWhitespace(m_infoText);
            switch (closing.infoField) {
            case InfoField::Title: m_title = text; break;
            case InfoField::Author: if (!text.empty()) m_authors.push_back(text); break;
            case InfoField::Subject: if (m_title.empty()) m_subject = text; break;
            case InfoField::Comment: m_description = text; break;
            case InfoField::None: break;
            }
            m_infoText.clear();
        }
        if (closing.destination == Destination::StyleSheet && parent.destination == Destination::StyleSheet)
            EndStyleEntry();
        if (closing.destination == Destination::Picture && parent.destination != Destination::Picture)
            EndPicture();
        if (closing.destination == Destination::FieldInstruction && parent.destination != Destination::FieldInstruction)
            m_stack.back().link = HyperlinkTarget(m_fieldInstruction);
    }

    void EndStyleEntry()
    {
        std::string name = CollapseWhitespace(m_styleName);
        if (!name.empty() && name.back() == ';')
            name.pop_back();
        for (char& c : name)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        // "heading 1" .. "heading 9" are outline levels 0 .. 8.
        if (name.size() == 9 && name.compare(0, 8, "heading ") == 0 && name[8] >= '1' && name[8] <= '9')
            m_styleOutline.emplace(m_currentStyle, name[8] - '1');
        m_styleName.clear();
        m_currentStyle = 0; // an entry without \sN describes style 0
    }

    void EndPicture()
    {
        std::string data = std::move(m_picture);
        m_picture.clear();
        int high = -1;
        for (const char c : m_pictureHex) {
            const int value = HexValue(c);
            if (value < 0)
                continue;
            if (high < 0) {
                high = value;
            } else {
                data += static_cast<char>(high * 16 + value);
                high = -1;
            }
        }
        m_pictureHex.clear();
        if (m_pictureType == PictureType::Unsupported || data.empty())
            return;
        const std::string id = "rtf-picture-" + std::to_string(m_images.size() + 1);
        m_images.push_back(Image{id, m_pictureType == PictureType::Png ? "image/png" : "image/jpeg", std::move(data)});
        m_paragraph.push_back(InlineRun{"Picture " + std::to_string(m_images.size()), StylePlain, {}, id, {}});
    }

    static std::string HyperlinkTarget(const std::string& instruction)
    {
        const std::string text = CollapseWhitespace(instruction);
        if (text.compare(0, 10, "HYPERLINK ") != 0)
            return {};
        std::string rest = text.substr(10);
        const size_t open = rest.find('"');
        if (open == std::string::npos)
            return rest.substr(0, rest.find(' '));
        const size_t close = rest.find('"', open + 1);
        return rest.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    }

    // ------------------------------------------------------------ paragraphs

    void EndParagraphInto()
    {
        FlushBytes();
        std::vector<InlineRun> runs = std::move(m_paragraph);
        m_paragraph.clear();
        const std::string text = CollapseWhitespace(RunsText(runs));
        bool hasImage = false;
        for (const InlineRun& run : runs)
            hasImage = hasImage || !run.imageId.empty();
        if (text.empty() && !hasImage)
            return;
        if (State().destination == Destination::Footnote) {
            Block block;
            block.role = BlockRole::Note;
            block.runs = std::move(runs);
            m_footnotes.push_back(std::move(block));
            return;
        }
        int outline = m_outlineLevel;
        if (outline < 0) {
            const auto style = m_styleOutline.find(m_styleIndex);
            if (style != m_styleOutline.end())
                outline = style->second;
        }
        int level = 0;
        if (outline >= 0 && outline < 9 && !hasImage)
            level = outline + 1;
        else if (const auto rank = hasImage ? std::nullopt : ChapterHeadingRank(text)) {
            // Parts hold the chapters that follow them.
            m_sawPart = m_sawPart || *rank == HeadingRank::Part;
            level = *rank == HeadingRank::Part || !m_sawPart ? 1 : 2;
        }
        if (level > 0) {
            Chapter chapter;
            chapter.title = text;
            chapter.level = level;
            Block heading;
            heading.kind = BlockKind::Heading;
            heading.level = level;
            heading.runs = std::move(runs);
            chapter.blocks.push_back(std::move(heading));
            m_chapters.push_back(std::move(chapter));
            return;
        }
        if (m_chapters.empty())
            m_chapters.emplace_back();
        Block block;
        block.runs = std::move(runs);
        m_chapters.back().blocks.push_back(std::move(block));
    }

    void EndParagraph()
    {
        const Destination destination = State().destination;
        if (destination == Destination::Body || destination == Destination::Footnote)
            EndParagraphInto();
    }

    Book Finish(const std::string& fallbackTitle)
    {
        Book book;
        book.metadata.title = !m_title.empty() ? m_title : !m_subject.empty() ? m_subject : fallbackTitle;
        book.metadata.authors = m_authors;
        book.metadata.description = m_description;
        book.metadata.language = m_language;
        book.chapters = std::move(m_chapters);
        if (!m_footnotes.empty()) {
            Chapter notes;
            notes.title = "Notes";
            notes.blocks.push_back(TextBlock("Notes", BlockKind::Heading));
            for (Block& note : m_footnotes)
                notes.blocks.push_back(std::move(note));
            book.chapters.push_back(std::move(notes));
        }
        book.images = std::move(m_images);
        if (book.chapters.empty())
            throw InputRejected("the RTF file holds no text");
        return book;
    }

    std::string_view m_bytes;
    size_t m_pos = 0;
    std::vector<GroupState> m_stack;
    bool m_starred = false;
    int m_skipCount = 0;
    char32_t m_highSurrogate = 0;
    std::string m_pendingBytes;
    std::map<int, std::unique_ptr<Utf8Converter>> m_converters;

    int m_documentCodePage = 1252;
    int m_defaultFont = 0;
    int m_currentFont = 0;
    std::map<int, int> m_fontCodePages;
    int m_currentStyle = 0;
    std::string m_styleName;
    std::map<int, int> m_styleOutline;
    int m_outlineLevel = -1;
    int m_styleIndex = 0;

    std::string m_infoText;
    std::string m_title;
    std::string m_subject;
    std::vector<std::string> m_authors;
    std::string m_description;
    std::string m_language;

    std::string m_picture;
    std::string m_pictureHex;
    PictureType m_pictureType = PictureType::Unsupported;
    std::string m_fieldInstruction;

    std::vector<InlineRun> m_paragraph;
    std::vector<InlineRun> m_footnoteReturn;
    std::vector<Block> m_footnotes;
    std::vector<Chapter> m_chapters;
    std::vector<Image> m_images;
    bool m_sawPart = false;
};

} // namespace

Book ReadRtfBook(const SourceFile& source)
{
    std::string_view bytes = source.bytes;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\r' || bytes.front() == '\n' || bytes.front() == '\t'))
        bytes.remove_prefix(1);
    if (bytes.substr(0, 5) != "{\\rtf")
        throw InputRejected("the file is not RTF");
    return RtfParser(bytes).Parse(source.baseName);
}

} // namespace kelvra
