#pragma once

// An output file that appears at its final path only when it is complete.
// The constructor creates an empty file with a unique, hidden name in the
// final path's folder; the writer fills it; Commit renames it onto the final
// path in one step. If Commit is never reached (an error, an exception), the
// destructor removes the temporary file, so no partial output is ever seen at
// the final path; an interrupt from outside removes it too. Owned by the caller for one conversion; single thread.

#include <string>

namespace kelvra {

class StagedOutput {
public:
    /// Throws ConversionError when the folder of `finalPath` cannot take a file.
    explicit StagedOutput(std::string finalPath);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    /// Where the writer puts the content; ends in ".epub".
    const std::string& TemporaryPath() const { return m_temporaryPath; }

    /// Moves the finished file onto the final path, replacing a file there.
    /// Throws ConversionError (and removes the temporary file) on failure.
    void Commit();

private:
    std::string m_finalPath;
    std::string m_temporaryPath;
    bool m_committed = false;
};

} // namespace kelvra
