#include "gui/conversion_list_model.h"

#include "core/file_info.h"
#include "core/paths.h"
#include "core/size_text.h"
#include "gui/artwork.h"
#include "gui/file_list_rules.h"

#include <QLocale>

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace kelvra {
namespace {

// Beyond this many separate ranges a removal is reported as a reset: one
// signal per range would make the view lay itself out again per range.
constexpr std::size_t kMaxRemovedRanges = 64;

std::string LocaleThousandsSeparator()
{
    const QLocale locale = QLocale::system();
    if (locale.numberOptions() & QLocale::OmitGroupSeparator)
        return {};
    return locale.groupSeparator().toStdString();
}

} // namespace

const std::string& ConversionListItem::Column(int column) const
{
    switch (column) {
    case kColumnInformation:
        return information;
    case kColumnSize:
        return size;
    case kColumnFullFileName:
        return fullFileName;
    case kColumnOutFileName:
        return outFileName;
    default:
        return name;
    }
}

ConversionListModel::ConversionListModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_thousandsSeparator(LocaleThousandsSeparator())
{
    setObjectName(QStringLiteral("lvFilesItems"));
    // Drawn once: every visible row asks for its picture on each paint.
    for (int i = 0; i < kItemImageCount; ++i)
        m_images.push_back(kelvra::ItemImage(i));
}

int ConversionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int ConversionListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kFileListColumnCount;
}

QVariant ConversionListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const ConversionListItem& item = Item(index.row());
    if (role == Qt::DisplayRole)
        return QString::fromStdString(item.Column(index.column()));
    if (role == Qt::DecorationRole && index.column() == kColumnName && item.imageIndex >= 0
        && item.imageIndex < static_cast<int>(m_images.size()))
        return m_images[static_cast<std::size_t>(item.imageIndex)];
    return {};
}

QVariant ConversionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kFileListColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DecorationRole) {
        const int image = m_headerImages[section];
        if (image >= 0 && image < static_cast<int>(m_images.size()))
            return m_images[static_cast<std::size_t>(image)];
        return {};
    }
    if (role == Qt::DisplayRole) {
        static const char* const captions[] = {"Name", "Information", "Size", "Full file name", "Out file name"};
        return QString::fromLatin1(captions[section]);
    }
    return {};
}

Qt::ItemFlags ConversionListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

ConversionListItem ConversionListModel::MakeItem(const std::string& path)
{
    ConversionListItem item;
    item.name = ExtractFileName(path);
    item.size = SizeToKBText(FileSizeBySearch(path), m_thousandsSeparator);
    item.fullFileName = path;
    item.id = m_nextId++;
    return item;
}

void ConversionListModel::AddListFile(const std::string& path)
{
    AddListFiles({path});
}

void ConversionListModel::AddListFiles(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    std::vector<ConversionListItem> added;
    added.reserve(paths.size());
    for (const std::string& path : paths)
        added.push_back(MakeItem(path));
    const int first = Count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(added.size()) - 1);
    m_items.reserve(m_items.size() + added.size());
    for (ConversionListItem& item : added) {
        if (m_rowOfIdValid)
            m_rowOfId.emplace(item.id, Count());
        m_items.push_back(std::move(item));
    }
    endInsertRows();
}

void ConversionListModel::Clear()
{
    if (m_items.empty())
        return;
    beginResetModel();
    m_items.clear();
    m_items.shrink_to_fit();
    ForgetRows();
    endResetModel();
}

int ConversionListModel::RemoveItemsWhere(const std::function<bool(int row, const ConversionListItem&)>& remove)
{
    // Contiguous ranges [first, last] of rows to delete, in ascending order.
    std::vector<std::pair<int, int>> ranges;
    for (int row = 0; row < Count(); ++row) {
        if (!remove(row, Item(row)))
            continue;
        if (!ranges.empty() && ranges.back().second == row - 1)
            ranges.back().second = row;
        else
            ranges.emplace_back(row, row);
    }
    if (ranges.empty())
        return 0;
    int removed = 0;
    for (const auto& [first, last] : ranges)
        removed += last - first + 1;
    ForgetRows();

    if (ranges.size() <= kMaxRemovedRanges) {
        // From the last range to the first, so earlier rows keep their numbers.
        for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
            beginRemoveRows(QModelIndex(), range->first, range->second);
            m_items.erase(m_items.begin() + range->first, m_items.begin() + range->second + 1);
            endRemoveRows();
        }
        return removed;
    }

    beginResetModel();
    std::vector<ConversionListItem> kept;
    kept.reserve(m_items.size() - static_cast<std::size_t>(removed));
    std::size_t next = 0;
    for (std::size_t row = 0; row < m_items.size(); ++row) {
        if (next < ranges.size() && static_cast<int>(row) >= ranges[next].first) {
            if (static_cast<int>(row) == ranges[next].second)
                ++next;
            continue;
        }
        kept.push_back(std::move(m_items[row]));
    }
    m_items = std::move(kept);
    endResetModel();
    return removed;
}

int ConversionListModel::RemoveDuplicateNames()
{
    // Deleting each item that an earlier item's name matches keeps exactly
    // the earliest item of every name, whatever order the deletions take.
    std::unordered_set<std::string> seen;
    seen.reserve(m_items.size());
    std::vector<char> duplicate(m_items.size(), 0);
    bool any = false;
    for (std::size_t row = 0; row < m_items.size(); ++row) {
        if (!seen.insert(DuplicateNameKey(m_items[row].name)).second) {
            duplicate[row] = 1;
            any = true;
        }
    }
    if (!any)
        return 0;
    return RemoveItemsWhere([&duplicate](int row, const ConversionListItem&) {
        return duplicate[static_cast<std::size_t>(row)] != 0;
    });
}

void ConversionListModel::Sort(int column, bool ascending)
{
    const std::size_t n = m_items.size();
    if (n < 2 || column < 0 || column >= kFileListColumnCount)
        return;

    // The keys are sorted together with their rows, so that the comparisons
    // read one compact array instead of jumping between the items.
    std::vector<int> order(n);
    const auto direction = [ascending](int result) { return ascending ? result : -result; };
    if (column == kColumnSize) {
        std::vector<std::pair<std::int32_t, int>> keys(n);
        for (std::size_t row = 0; row < n; ++row)
            keys[row] = {SizeTextValue(m_items[row].size), static_cast<int>(row)};
        std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
            return direction(a.first < b.first ? -1 : (a.first > b.first ? 1 : 0)) < 0;
        });
        for (std::size_t row = 0; row < n; ++row)
            order[row] = keys[row].second;
    } else {
        std::vector<std::pair<std::string_view, int>> keys(n);
        for (std::size_t row = 0; row < n; ++row)
            keys[row] = {m_items[row].Column(column), static_cast<int>(row)};
        std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
            return direction(CompareColumnTexts(a.first, b.first)) < 0;
        });
        for (std::size_t row = 0; row < n; ++row)
            order[row] = keys[row].second;
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(n);
    std::vector<ConversionListItem> sorted;
    sorted.reserve(n);
    for (std::size_t row = 0; row < n; ++row) {
        newRow[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
        sorted.push_back(std::move(m_items[static_cast<std::size_t>(order[row])]));
    }
    m_items = std::move(sorted);
    ForgetRows();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newRow[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ConversionListModel::SetImageIndex(int row, int imageIndex)
{
    if (row < 0 || row >= Count())
        return;
    m_items[static_cast<std::size_t>(row)].imageIndex = imageIndex;
    const QModelIndex cell = index(row, kColumnName);
    emit dataChanged(cell, cell, {Qt::DecorationRole});
}

void ConversionListModel::SetResultTexts(int row, const std::string& information, const std::string& outFileName)
{
    if (row < 0 || row >= Count())
        return;
    ConversionListItem& item = m_items[static_cast<std::size_t>(row)];
    item.information = information;
    item.outFileName = outFileName;
    emit dataChanged(index(row, kColumnInformation), index(row, kColumnOutFileName), {Qt::DisplayRole});
}

void ConversionListModel::ResetForRun(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, Count() - 1);
    if (first > last)
        return;
    for (int row = first; row <= last; ++row) {
        ConversionListItem& item = m_items[static_cast<std::size_t>(row)];
        item.imageIndex = kItemPending;
        item.information.clear();
        item.outFileName.clear();
    }
    emit dataChanged(index(first, 0), index(last, kFileListColumnCount - 1), {Qt::DisplayRole, Qt::DecorationRole});
}

int ConversionListModel::HeaderImageIndex(int column) const
{
    return column >= 0 && column < kFileListColumnCount ? m_headerImages[column] : kNoImage;
}

void ConversionListModel::SetHeaderImageIndex(int column, int imageIndex)
{
    if (column < 0 || column >= kFileListColumnCount || m_headerImages[column] == imageIndex)
        return;
    m_headerImages[column] = imageIndex;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int ConversionListModel::RowOfId(std::uint64_t id) const
{
    if (!m_rowOfIdValid) {
        m_rowOfId.clear();
        m_rowOfId.reserve(m_items.size());
        for (std::size_t row = 0; row < m_items.size(); ++row)
            m_rowOfId.emplace(m_items[row].id, static_cast<int>(row));
        m_rowOfIdValid = true;
    }
    const auto found = m_rowOfId.find(id);
    return found == m_rowOfId.end() ? -1 : found->second;
}

} // namespace kelvra
