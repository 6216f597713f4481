#pragma once

// The items of the batch page's file list ("lvFiles") as a table model: one
// row per input file with the five column texts (Name, Information, Size, Full
// file name, Out file name) and a state shown as the item's image (0 pending,
// 1 failed, 2 succeeded), plus the sort marks of the column headers (3 sorted
// descending, 4 sorted ascending, -1 none).
//
// Built for lists of a hundred thousand items: adding many files is one
// insertion, duplicate removal is one pass over a hash set, sorting computes
// an order once and moves every item once, and removals report contiguous
// ranges. Each item also carries an id that stays with it through sorting and
// removals, so that a batch run can find its items again after the list has
// changed under it.
//
// Owned by the file list's handlers (FileListActions); main thread only.

#include <QAbstractTableModel>
#include <QIcon>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelvra {

/// Image indexes of the item image list: an item's state, or a header's mark.
enum ItemImageIndex : int {
    kNoImage = -1,
    kItemPending = 0,
    kItemFailed = 1,
    kItemSucceeded = 2,
    kHeaderSortedDescending = 3,
    kHeaderSortedAscending = 4,
};

enum FileListColumn : int {
    kColumnName = 0,
    kColumnInformation = 1,
    kColumnSize = 2,
    kColumnFullFileName = 3,
    kColumnOutFileName = 4,
    kFileListColumnCount = 5,
};

struct ConversionListItem {
    std::string name;
    std::string information;
    std::string size;
    std::string fullFileName;
    std::string outFileName;
    int imageIndex = kItemPending;
    std::uint64_t id = 0;

    /// The text of one of the five columns.
    const std::string& Column(int column) const;
};

class ConversionListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ConversionListModel(QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int Count() const { return static_cast<int>(m_items.size()); }
    const ConversionListItem& Item(int row) const { return m_items[static_cast<std::size_t>(row)]; }

    /// The thousands separator of the Size texts of items added from now on;
    /// the system locale's at creation (empty where it groups no digits).
    void SetThousandsSeparator(std::string separator) { m_thousandsSeparator = std::move(separator); }

    /// Appends one item for `path`: its file name, its size text (the size
    /// the file system records, read once now) and the path as given; state
    /// pending. Checks nothing about the path.
    void AddListFile(const std::string& path);
    /// AddListFile for each path in order, reported to the view as one
    /// insertion.
    void AddListFiles(const std::vector<std::string>& paths);

    /// Deletes every item.
    void Clear();
    /// Deletes the items for which `remove` is true; returns how many.
    int RemoveItemsWhere(const std::function<bool(int row, const ConversionListItem&)>& remove);
    /// Deletes every item whose name, with A to Z lower-cased, an earlier
    /// item already has: the earliest item of each name stays. Returns how
    /// many were deleted.
    int RemoveDuplicateNames();

    /// Orders the items by one column: texts byte by byte, the Size column
    /// by SizeTextValue; descending when `ascending` is false. Items that
    /// compare equal keep their order. Selection and current item follow
    /// their items.
    void Sort(int column, bool ascending);

    void SetImageIndex(int row, int imageIndex);
    /// Fills the Information and Out file name columns of one item.
    void SetResultTexts(int row, const std::string& information, const std::string& outFileName);
    /// Rows first..last become pending with empty Information and Out file
    /// name, reported to the view as one change.
    void ResetForRun(int first, int last);

    /// Sort mark of a column header: an image index, or kNoImage.
    int HeaderImageIndex(int column) const;
    void SetHeaderImageIndex(int column, int imageIndex);

    std::uint64_t ItemId(int row) const { return Item(row).id; }
    /// The present row of the item with `id`; -1 when it has been deleted.
    int RowOfId(std::uint64_t id) const;

private:
    ConversionListItem MakeItem(const std::string& path);
    void ForgetRows() { m_rowOfIdValid = false; }

    std::vector<ConversionListItem> m_items;
    int m_headerImages[kFileListColumnCount] = {kNoImage, kNoImage, kNoImage, kNoImage, kNoImage};
    std::string m_thousandsSeparator;
    std::uint64_t m_nextId = 1;
    std::vector<QIcon> m_images;
    mutable std::unordered_map<std::uint64_t, int> m_rowOfId;
    mutable bool m_rowOfIdValid = false;
};

} // namespace kelvra
