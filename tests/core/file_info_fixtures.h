#pragma once

// The fixtures of the file query and folder scan tests, shared by the cases
// every system has and those of one system alone. Each owns a fresh
// temporary folder for one test, on the test's thread.

#include "core/file_info.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvra {

class FileQueries : public ::testing::Test {
protected:
    test::TempDir m_dir;
};

// A root with four files (one without an extension) and a sub-folder with a
// file and a sub-sub-folder with a file.
class ScanFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteFile(m_dir.File("a.pdf"), "x");
        test::WriteFile(m_dir.File("B.PDF"), "x");
        test::WriteFile(m_dir.File("c.txt"), "x");
        test::WriteFile(m_dir.File("noext"), "x");
        ASSERT_TRUE(ForceDirectories(m_dir.File("sub/deeper")));
        test::WriteFile(m_dir.File("sub/d.pdf"), "x");
        test::WriteFile(m_dir.File("sub/deeper/e.pdf"), "x");
    }

    std::vector<std::string> Scan(const std::string& mask, bool recurse, std::string folder = {})
    {
        std::vector<std::string> files;
        ScanFolder(folder.empty() ? m_dir.path() : folder, files, mask, recurse);
        return files;
    }

    static std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }

    test::TempDir m_dir;
};

} // namespace kelvra
