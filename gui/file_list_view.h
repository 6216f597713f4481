#pragma once

// The view of the batch page's file list ("lvFiles"): a report-style list of
// five columns (Name, Information, Size, Full file name, Out file name) with
// row selection, several rows selectable, the selection shown also without
// focus, no in-place editing, uniform rows so that it stays fast with a
// hundred thousand items.
//
// The column captions belong to the view, not to the item model: the view
// shows its items through a thin proxy that answers the horizontal header
// from ColumnCaptions(). So the language file's "Columns" reach the header,
// and the item model can be replaced (SetItemModel) without losing them.
// Owned by the batch page; main thread only.

#include <QIdentityProxyModel>
#include <QStringList>
#include <QTreeView>

namespace kelvra {

/// The proxy between the item model and the view: passes everything through
/// but the horizontal header's captions, which it keeps itself.
class ColumnCaptionProxy : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;

    QStringList Captions() const { return m_captions; }
    void SetCaptions(const QStringList& captions);

private:
    QStringList m_captions;
};

class FileListView : public QTreeView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent);

    /// Shows `model` (five columns) in the list; the view does not take
    /// ownership. Null shows an empty list.
    void SetItemModel(QAbstractItemModel* model);
    QAbstractItemModel* ItemModel() const;

    /// The five column captions, in column order.
    QStringList ColumnCaptions() const;
    /// Replaces the captions of the first captions.size() columns; surplus
    /// entries beyond the fifth column are ignored.
    void SetColumnCaptions(const QStringList& captions);

private:
    ColumnCaptionProxy* m_proxy;
    QAbstractItemModel* m_emptyModel;
};

} // namespace kelvra
