#include "gui/file_list_view.h"

#include "gui/batch_page.h"

#include <QHeaderView>
#include <QStandardItemModel>

namespace kelvra {
namespace {

constexpr int kColumnCount = 5;

} // namespace

QVariant ColumnCaptionProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size())
        return m_captions[section];
    return QIdentityProxyModel::headerData(section, orientation, role);
}

bool ColumnCaptionProxy::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    const bool caption = role == Qt::DisplayRole || role == Qt::EditRole;
    if (orientation == Qt::Horizontal && caption && section >= 0 && section < m_captions.size()) {
        m_captions[section] = value.toString();
        emit headerDataChanged(orientation, section, section);
        return true;
    }
    return QIdentityProxyModel::setHeaderData(section, orientation, value, role);
}

void ColumnCaptionProxy::SetCaptions(const QStringList& captions)
{
    m_captions = captions;
    if (!m_captions.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_captions.size()) - 1);
}

FileListView::FileListView(QWidget* parent)
    : QTreeView(parent)
    , m_proxy(new ColumnCaptionProxy(this))
    , m_emptyModel(new QStandardItemModel(0, kColumnCount, this))
{
    m_proxy->SetCaptions({QStringLiteral("Name"), QStringLiteral("Information"), QStringLiteral("Size"),
                          QStringLiteral("Full file name"), QStringLiteral("Out file name")});
    m_proxy->setSourceModel(m_emptyModel);
    setModel(m_proxy);

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setIconSize(QSize(16, 16));
    // Keep the selection colour when the list loses the focus.
    QPalette keep = palette();
    keep.setColor(QPalette::Inactive, QPalette::Highlight, keep.color(QPalette::Active, QPalette::Highlight));
    keep.setColor(QPalette::Inactive, QPalette::HighlightedText,
                  keep.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(keep);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    for (int column = 0; column < kColumnCount; ++column)
        setColumnWidth(column, kFileListColumnWidths[column]);
}

void FileListView::SetItemModel(QAbstractItemModel* model)
{
    m_proxy->setSourceModel(model != nullptr ? model : m_emptyModel);
    for (int column = 0; column < kColumnCount; ++column)
        setColumnWidth(column, kFileListColumnWidths[column]);
}

QAbstractItemModel* FileListView::ItemModel() const
{
    return m_proxy->sourceModel();
}

QStringList FileListView::ColumnCaptions() const
{
    return m_proxy->Captions();
}

void FileListView::SetColumnCaptions(const QStringList& captions)
{
    QStringList merged = m_proxy->Captions();
    for (int column = 0; column < captions.size() && column < merged.size(); ++column)
        merged[column] = captions[column];
    m_proxy->SetCaptions(merged);
}

} // namespace kelvra
