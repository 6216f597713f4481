#include "i18n/translatable_property.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace kelvra {

namespace {

using Found = std::optional<TranslatableProperty>;

bool Is(const QString& name, const char* expected)
{
    return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

// Qt's widgets break lines at "\n" alone and would draw the CR of a CR LF.
QString ForWidget(const QString& text)
{
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

TranslatableProperty StringProperty(std::function<void(const QString&)> set)
{
    TranslatableProperty property;
    property.kind = TranslatedKind::String;
    property.setText = std::move(set);
    return property;
}

TranslatableProperty IntegerProperty(std::function<void(int)> set)
{
    TranslatableProperty property;
    property.kind = TranslatedKind::Integer;
    property.setInteger = std::move(set);
    return property;
}

TranslatableProperty LinesProperty(std::function<void(const QStringList&)> set)
{
    TranslatableProperty property;
    property.kind = TranslatedKind::Strings;
    property.setLines = std::move(set);
    return property;
}

TranslatableProperty IndexedProperty(TranslatedKind kind, std::function<int()> count,
    std::function<void(int, const QString&)> set)
{
    TranslatableProperty property;
    property.kind = kind;
    property.count = std::move(count);
    property.setItem = std::move(set);
    return property;
}

QTabWidget* TabWidgetOfPage(QWidget* widget)
{
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs && tabs->indexOf(widget) >= 0 ? tabs : nullptr;
}

Found Caption(QObject* object)
{
    if (auto* action = qobject_cast<QAction*>(object))
        return StringProperty([action](const QString& text) { action->setText(ForWidget(text)); });
    if (auto* menu = qobject_cast<QMenu*>(object))
        return StringProperty([menu](const QString& text) { menu->setTitle(ForWidget(text)); });
    if (auto* label = qobject_cast<QLabel*>(object))
        return StringProperty([label](const QString& text) { label->setText(ForWidget(text)); });
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return StringProperty([button](const QString& text) { button->setText(ForWidget(text)); });
    if (auto* group = qobject_cast<QGroupBox*>(object))
        return StringProperty([group](const QString& text) { group->setTitle(ForWidget(text)); });
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return std::nullopt;
    if (QTabWidget* tabs = TabWidgetOfPage(widget))
        return StringProperty([tabs, widget](const QString& text) { tabs->setTabText(tabs->indexOf(widget), text); });
    if (widget->isWindow() || qobject_cast<QDockWidget*>(widget))
        return StringProperty([widget](const QString& text) { widget->setWindowTitle(ForWidget(text)); });
    return std::nullopt;
}

Found Hint(QObject* object)
{
    if (auto* action = qobject_cast<QAction*>(object))
        return StringProperty([action](const QString& text) { action->setToolTip(ForWidget(text)); });
    if (auto* widget = qobject_cast<QWidget*>(object))
        return StringProperty([widget](const QString& text) { widget->setToolTip(ForWidget(text)); });
    return std::nullopt;
}

Found Text(QObject* object)
{
    if (auto* edit = qobject_cast<QLineEdit*>(object))
        return StringProperty([edit](const QString& text) { edit->setText(text); });
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        return StringProperty([combo](const QString& text) {
            if (combo->isEditable())
                combo->setEditText(text);
            else
                combo->setCurrentText(text);
        });
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(object))
        return StringProperty([memo](const QString& text) { memo->setPlainText(ForWidget(text)); });
    if (auto* memo = qobject_cast<QTextEdit*>(object))
        return StringProperty([memo](const QString& text) { memo->setPlainText(ForWidget(text)); });
    return std::nullopt;
}

Found Lines(QObject* object)
{
    if (auto* memo = qobject_cast<QPlainTextEdit*>(object))
        return LinesProperty([memo](const QStringList& lines) { memo->setPlainText(lines.join(QLatin1Char('\n'))); });
    if (auto* memo = qobject_cast<QTextEdit*>(object))
        return LinesProperty([memo](const QStringList& lines) { memo->setPlainText(lines.join(QLatin1Char('\n'))); });
    return std::nullopt;
}

int TreeNodeCount(QTreeWidget* tree)
{
    int count = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++count;
    return count;
}

void SetTreeNodeText(QTreeWidget* tree, int index, const QString& text)
{
    QTreeWidgetItemIterator it(tree);
    for (int i = 0; i < index && *it; ++i)
        ++it;
    if (*it)
        (*it)->setText(0, ForWidget(text));
}

Found Items(QObject* object)
{
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        return LinesProperty([combo](const QStringList& lines) {
            const int selected = combo->currentIndex();
            combo->clear();
            combo->addItems(lines);
            combo->setCurrentIndex(selected < combo->count() ? selected : -1);
        });
    }
    if (auto* list = qobject_cast<QListWidget*>(object)) {
        return LinesProperty([list](const QStringList& lines) {
            list->clear();
            list->addItems(lines);
        });
    }
    // A tree widget without root decoration stands for a list view, whose
    // items are files, not texts.
    if (auto* tree = qobject_cast<QTreeWidget*>(object); tree && tree->rootIsDecorated()) {
        return IndexedProperty(
            TranslatedKind::TreeNodes, [tree] { return TreeNodeCount(tree); },
            [tree](int index, const QString& text) { SetTreeNodeText(tree, index, text); });
    }
    return std::nullopt;
}

Found Columns(QObject* object)
{
    auto* view = qobject_cast<QAbstractItemView*>(object);
    if (!view || !view->model() || !(qobject_cast<QTreeView*>(view) || qobject_cast<QTableView*>(view)))
        return std::nullopt;
    return IndexedProperty(
        TranslatedKind::Columns, [view] { return view->model()->columnCount(); },
        [view](int index, const QString& text) { view->model()->setHeaderData(index, Qt::Horizontal, text); });
}

Found RangeValue(QObject* object, const QString& name)
{
    if (auto* spin = qobject_cast<QSpinBox*>(object)) {
        if (Is(name, "MaxValue"))
            return IntegerProperty([spin](int value) { spin->setMaximum(value); });
        if (Is(name, "MinValue"))
            return IntegerProperty([spin](int value) { spin->setMinimum(value); });
        if (Is(name, "Value"))
            return IntegerProperty([spin](int value) { spin->setValue(value); });
        return std::nullopt;
    }
    const bool isBar = qobject_cast<QProgressBar*>(object) || qobject_cast<QAbstractSlider*>(object);
    if (!isBar)
        return std::nullopt;
    const char* qtName = Is(name, "Max") ? "maximum" : Is(name, "Min") ? "minimum" : Is(name, "Position") ? "value" : nullptr;
    if (!qtName)
        return std::nullopt;
    return IntegerProperty([object, qtName](int value) { object->setProperty(qtName, value); });
}

Found Geometry(QObject* object, const QString& name)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return std::nullopt;
    if (Is(name, "Left"))
        return IntegerProperty([widget](int value) { widget->move(value, widget->y()); });
    if (Is(name, "Top"))
        return IntegerProperty([widget](int value) { widget->move(widget->x(), value); });
    if (Is(name, "Width"))
        return IntegerProperty([widget](int value) { widget->resize(value, widget->height()); });
    if (Is(name, "Height"))
        return IntegerProperty([widget](int value) { widget->resize(widget->width(), value); });
    return std::nullopt;
}

// A Qt property or dynamic property of that name, by the type it holds.
Found QtProperty(QObject* object, const QString& name)
{
    QByteArray qtName;
    int typeId = QMetaType::UnknownType;
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount() && qtName.isEmpty(); ++i) {
        const QMetaProperty property = meta->property(i);
        // The object name is what finds components; a language file does not
        // change it.
        if (Is(name, property.name()) && property.isWritable() && !property.isEnumType() && !Is(name, "objectName")) {
            qtName = property.name();
            typeId = property.metaType().id();
        }
    }
    for (const QByteArray& dynamicName : object->dynamicPropertyNames()) {
        if (qtName.isEmpty() && Is(name, dynamicName.constData())) {
            qtName = dynamicName;
            typeId = object->property(dynamicName.constData()).metaType().id();
        }
    }
    switch (typeId) {
    case QMetaType::Int:
        return IntegerProperty([object, qtName](int value) { object->setProperty(qtName.constData(), value); });
    case QMetaType::QString:
        return StringProperty([object, qtName](const QString& text) { object->setProperty(qtName.constData(), text); });
    case QMetaType::QStringList:
        return LinesProperty(
            [object, qtName](const QStringList& lines) { object->setProperty(qtName.constData(), lines); });
    default:
        return std::nullopt;
    }
}

Found NamedProperty(QObject* object, const QString& name)
{
    if (Is(name, "Caption"))
        return Caption(object);
    if (Is(name, "Hint"))
        return Hint(object);
    if (Is(name, "Text"))
        return Text(object);
    if (Is(name, "Lines"))
        return Lines(object);
    if (Is(name, "Items"))
        return Items(object);
    if (Is(name, "Columns"))
        return Columns(object);
    if (Is(name, "Tag"))
        return IntegerProperty([object](int value) { object->setProperty("Tag", value); });
    if (Found found = RangeValue(object, name))
        return found;
    return Geometry(object, name);
}

} // namespace

std::optional<TranslatableProperty> FindTranslatableProperty(QObject* object, const QString& name)
{
    if (!object || name.isEmpty())
        return std::nullopt;
    if (Found found = NamedProperty(object, name))
        return found;
    return QtProperty(object, name);
}

} // namespace kelvra
