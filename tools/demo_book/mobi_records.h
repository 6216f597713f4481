#pragma once

// The byte-level pieces shared by the MOBI and AZW3 writers: big-endian
// numbers, the forward-encoded variable-width numbers of index records, the
// EXTH metadata block, record 0 and the Palm database that holds the records.

#include "converter/book.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvra::mobi {

inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFF;
inline constexpr size_t kTextRecordSize = 4096;

void PutU16(std::string& out, std::uint32_t value);
void PutU32(std::string& out, std::uint32_t value);
/// Seven bits per byte, most significant first, the last byte marked by its top bit.
void PutVarLen(std::string& out, std::uint32_t value);
void PadTo4(std::string& out);

/// Record numbers and counts that record 0 points at; kNoIndex where absent.
struct RecordZeroLayout {
    int fileVersion = 6; ///< 6: MOBI, 8: KF8 (AZW3)
    size_t textLength = 0;
    size_t textRecords = 0;
    std::uint32_t firstImage = kNoIndex;
    std::uint32_t lastContent = 0;
    std::uint32_t ncxIndex = kNoIndex;
    std::uint32_t fragmentIndex = kNoIndex; ///< KF8 only
    std::uint32_t skeletonIndex = kNoIndex; ///< KF8 only
    std::uint32_t fdstIndex = kNoIndex;     ///< KF8 only
    bool markEncrypted = false;
};

/// Record 0: the PalmDOC header, the MOBI header, the EXTH block with the
/// metadata, and the full title. `coverIndex` counts from the first image; -1: none.
std::string RecordZero(const Metadata& metadata, long coverIndex, const RecordZeroLayout& layout);

/// The whole file: the database header, the record list and the records.
/// `typeAndCreator` is "BOOKMOBI" for books, "TEXtREAd" for PalmDOC text.
std::string PalmDatabase(const std::string& name, const std::vector<std::string>& records,
                         const char* typeAndCreator = "BOOKMOBI");

/// The PalmDOC header that opens record 0 (uncompressed text).
std::string PalmDocHeader(size_t textLength, size_t textRecords, bool markEncrypted);

/// The text split into records of kTextRecordSize bytes.
std::vector<std::string> TextRecords(const std::string& text);

/// The record that ends a book.
std::string EndOfFileRecord();

} // namespace kelvra::mobi
