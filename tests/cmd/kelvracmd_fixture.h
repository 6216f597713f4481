#pragma once

// The fixture of the kelvracmd tests that run the real program: a program
// folder holding copies of kelvracmd and the fake "ebook.exe", and a work
// folder (the current folder of each run) with an input file. The same
// fixture serves every system; each test runs on the test's own thread.

#include "platform/file_system.h"
#include "tests/support/test_files.h"

#include <cstdio>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kelvra {

class Kelvracmd : public ::testing::Test {
protected:
    /// The name of kelvracmd's copy in the program folder.
    static constexpr const char* kProgramName = kHostPathStyle == PathStyle::Windows ? "kelvracmd.exe" : "kelvracmd";

    void SetUp() override
    {
        ASSERT_TRUE(ForceDirectories(m_programs.path()));
        test::CopyProgram(test::HostRelative(KELVRACMD_PATH), m_programs.File(kProgramName));
        test::CopyProgram(test::FakeConverterPath(), m_programs.File("ebook.exe"));
        test::WriteFile(m_work.File("in.txt"), "text");
    }

    /// Replaces every "{W}" by the work folder. The "/" in the path that
    /// follows it, up to a blank or the line's end, become the host's
    /// delimiter, so that one text serves every system.
    std::string Expand(std::string text) const
    {
        for (std::size_t at = text.find("{W}"); at != std::string::npos; at = text.find("{W}", at)) {
            text.replace(at, 3, m_work.path());
            at += m_work.path().size();
            for (; at < text.size() && text[at] != ' ' && text[at] != '\r' && text[at] != '\n'; ++at) {
                if (text[at] == '/')
                    text[at] = test::PathDelimiter();
            }
        }
        return text;
    }

    /// Runs kelvracmd in the work folder with the expanded `arguments`; what
    /// the converter recorded in an earlier run is removed first.
    test::ProgramResult Run(const std::vector<std::string>& arguments)
    {
        std::remove(m_record.File("args").c_str());
        std::vector<std::string> expanded;
        for (const std::string& argument : arguments)
            expanded.push_back(Expand(argument));
        return test::RunProgram(m_programs.File(kProgramName), expanded, m_work.path());
    }

    /// The arguments the fake converter received; nothing when it was not started.
    std::optional<std::vector<std::string>> ConverterArguments() const
    {
        return test::ReadRecordedArguments(m_record.File("args"));
    }

    test::TempDir m_programs;
    test::TempDir m_work;
    test::TempDir m_record;
    test::ScopedEnv m_argsFile{"KELVRA_FAKE_ARGS_FILE", m_record.File("args")};
    test::ScopedEnv m_write{"KELVRA_FAKE_WRITE", std::nullopt};
};

} // namespace kelvra
