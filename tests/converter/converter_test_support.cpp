#include "tests/converter/converter_test_support.h"

#include "converter/conversion_error.h"
#include "converter/tool_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <zip.h>

namespace kelvra::test {

std::vector<ZipEntry> ReadZip(const std::string& path)
{
    std::vector<ZipEntry> entries;
    int error = 0;
    // ZIP_CHECKCONS also holds every local header against the central directory.
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    EXPECT_NE(archive, nullptr) << "not a consistent ZIP archive: " << path << " (libzip error " << error << ")";
    if (!archive)
        return entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        ZipEntry entry;
        entry.name = stat.name;
        entry.stored = stat.comp_method == ZIP_CM_STORE;
        entry.content.resize(stat.size);
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        // libzip checks the entry's CRC once it has read to the end.
        EXPECT_NE(file, nullptr) << stat.name;
        if (file) {
            EXPECT_EQ(zip_fread(file, entry.content.data(), stat.size), static_cast<zip_int64_t>(stat.size))
                << stat.name << ": " << zip_file_strerror(file);
            zip_fclose(file);
        }
        entries.push_back(std::move(entry));
    }
    zip_discard(archive);
    return entries;
}

std::string EntryText(const std::vector<ZipEntry>& entries, const std::string& name)
{
    for (const ZipEntry& entry : entries)
        if (entry.name == name)
            return entry.content;
    return {};
}

std::string EpubPlainText(const std::vector<ZipEntry>& entries)
{
    static const std::regex kTag("<[^>]*>");
    std::string text;
    for (const ZipEntry& entry : entries) {
        if (entry.name.rfind("OEBPS/text/chapter-", 0) != 0)
            continue;
        const size_t body = entry.content.find("<body>");
        text += std::regex_replace(entry.content.substr(body == std::string::npos ? 0 : body), kTag, " ");
    }
    return text;
}

ProgramRun RunEbookExe(const std::vector<std::string>& arguments)
{
    const ToolResult result = RunTool(KELVRA_EBOOK_EXE, arguments);
    EXPECT_TRUE(result.started) << "cannot start " << KELVRA_EBOOK_EXE;
    return ProgramRun{result.killedBySignal ? -2 : result.exitCode, result.errorTail};
}

std::vector<std::string> BlockTexts(const Book& book)
{
    std::vector<std::string> texts;
    for (const Chapter& chapter : book.chapters)
        for (const Block& block : chapter.blocks)
            texts.push_back(RunsText(block.runs));
    return texts;
}

std::string RefusalMessage(Book (*read)(const SourceFile&), const std::string& bytes)
{
    try {
        read(SourceFile{"input", "input", bytes});
    } catch (const InputRejected& rejected) {
        return rejected.what();
    }
    return {};
}

std::string ChapteredText(int chapters, int paragraphs)
{
    std::string text = "Opening words before the first chapter.\n\n";
    for (int c = 1; c <= chapters; ++c) {
        text += "Chapter " + std::to_string(c) + "\n\n";
        for (int p = 1; p <= paragraphs; ++p)
            text += "Paragraph " + std::to_string(p) + " of chapter " + std::to_string(c) +
                    " tells\nits part of the story in wrapped lines.\n\n";
    }
    return text;
}

std::string TinyPng()
{
    static const unsigned char kPng[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
        0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF,
        0x89, 0x99, 0x3D, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(kPng), sizeof kPng);
}

namespace {

std::string Base64(const std::string& bytes)
{
    static const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += {kAlphabet[v >> 18], kAlphabet[(v >> 12) & 63], kAlphabet[(v >> 6) & 63], kAlphabet[v & 63]};
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += {kAlphabet[v >> 18], kAlphabet[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        out += {kAlphabet[v >> 18], kAlphabet[(v >> 12) & 63], kAlphabet[(v >> 6) & 63], '='};
    }
    return out;
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char digits[3];
    for (const char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        out += digits;
    }
    return out;
}

} // namespace

std::string SampleFb2()
{
    const std::string png = Base64(TinyPng());
    return R"(<?xml version="1.0" encoding="utf-8"?>
<FictionBook xmlns="http://www.gribuser.ru/xml/fictionbook/2.0" xmlns:l="http://www.w3.org/1999/xlink">
<description><title-info><genre>prose</genre>
<author><first-name>Anna</first-name><middle-name>M.</middle-name><last-name>Berg</last-name></author>
<author><nickname>Quill</nickname></author>
<book-title>The Test Book</book-title><annotation><p>About the book.</p></annotation>
<date value="2001-05-02">2001</date><coverpage><image l:href="#cover.png"/></coverpage><lang>de</lang></title-info>
<publish-info><publisher>Small Press</publisher></publish-info></description>
<body><title><p>Anna Berg</p><p>The Test Book</p></title>
<epigraph><p>Wise words open it.</p><text-author>Someone</text-author></epigraph>
<section id="part1"><title><p>Part One</p></title>
<section id="c1"><title><p>Chapter 1</p><p>Start</p></title>
<p>Some <strong>bold</strong> and <emphasis>italic</emphasis> text<a l:href="#n1" type="note">1</a>.</p>
<image l:href="#pic.png" alt="A small picture"/>
<poem><title><p>A poem</p></title><stanza><v>Line one</v><v>Line two</v></stanza><stanza><v>Line three</v></stanza><text-author>Poet</text-author></poem>
<cite><p>Cited words.</p><text-author>Author</text-author></cite><subtitle>Subtitle words</subtitle><empty-line/>
<p>Go to <a l:href="#c2">chapter two</a>, the <a l:href="https://example.com/a b">web</a> or <a l:href="#nowhere">nowhere</a>.</p>
<table><tr><th>Head</th><th>Cell</th></tr><tr><td>left</td><td>right</td></tr></table></section>
<section id="c2"><title><p>Chapter 2</p></title><p>Second chapter text.</p><section><p>Untitled inner section.</p></section></section></section>
</body>
<body name="notes"><title><p>Notes</p></title><section id="n1"><title><p>1</p></title><p>The note text.</p></section></body>
<binary id="cover.png" content-type="image/png">)" + png + R"(</binary>
<binary id="pic.png" content-type="image/jpeg">)" + png + R"(</binary>
<binary id="unused.png" content-type="image/png">)" + png + R"(</binary>
</FictionBook>
)";
}

std::string SampleRtf()
{
    return R"({\rtf1\ansi\ansicpg1252\deff0\deflang1031{\fonttbl{\f0\froman\fcharset0 Times;}{\f1\fswiss\fcharset204 Arial Cyr;}}
{\colortbl;\red0\green0\blue0;}{\stylesheet{\s0 Normal;}{\s1 heading 1;}{\*\cs10 Default Paragraph Font;}}
{\info{\title RTF Title}{\author Ivan Petrov}{\creatim\yr2020\mo1}{\operator nobody}}
{\*\generator Test Writer;}{\header Running header text\par}
\pard\s1 Chapter One\par
\pard Plain {\b bold} {\i italic} {\ul under\ulnone} caf\'e9 \u8364? euro, {\uc2\u8212\'97\'97 dash}, kept.\par
{\f1 \'cf\'f0\'e8\'e2\'e5\'f2}\par
Footnote here{\super\chftn}{\footnote\pard {\super\chftn} The footnote text.} continues.\par
{\field{\*\fldinst{HYPERLINK "http://example.com/"}}{\fldrslt{a link}}}\par
{\*\shppict{\pict\pngblip\picw1\pich1 )" + Hex(TinyPng()) + R"(}}{\nonshppict{\pict\wmetafile8 0102}}\par
\pard\s1 Chapter Two\par\pard Last {\v hidden }paragraph.\par
}
)";
}

std::vector<bool> EpubCheckClean(const std::vector<std::string>& files, std::string& log)
{
    std::string command = "java -cp /usr/share/java/epubcheck.jar '" KELVRA_EPUBCHECK_BATCH "'";
    for (const std::string& file : files)
        command += " '" + file + "'"; // test-made names hold no quote
    command += " 2>&1";
    std::vector<bool> clean(files.size(), false);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return clean;
    }
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        log.append(buffer, got);
    pclose(pipe);
    for (size_t i = 0; i < files.size(); ++i)
        clean[i] = log.find("EPUBCHECK-RESULT 0 " + files[i] + "\n") != std::string::npos;
    return clean;
}

} // namespace kelvra::test
