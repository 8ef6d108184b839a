#include "common/PickerRegistry.h"

#include <QHash>
#include <QWidget>

const QString PickerRegistry::CounterpartName = QStringLiteral("counterpartName");
const QString PickerRegistry::ProjectCode = QStringLiteral("projectCode");
const QString PickerRegistry::Goods = QStringLiteral("goods");
const QString PickerRegistry::GoodsLines = QStringLiteral("goodsLines");

namespace {

QHash<QString, PickerRegistry::Picker>& pickers()
{
    static QHash<QString, PickerRegistry::Picker> all;
    return all;
}

PickerRegistry::GoodsLinesPicker& goodsLinesPicker()
{
    static PickerRegistry::GoodsLinesPicker picker;
    return picker;
}

} // namespace

PickerRegistry& PickerRegistry::instance()
{
    static PickerRegistry registry;
    return registry;
}

void PickerRegistry::set(const QString& name, Picker picker)
{
    if (picker)
        pickers().insert(name, std::move(picker));
    else
        pickers().remove(name);
    emit instance().changed(name);
}

bool PickerRegistry::has(const QString& name)
{
    if (name == GoodsLines)
        return hasGoodsLines();
    return pickers().contains(name);
}

void PickerRegistry::setGoodsLines(GoodsLinesPicker picker)
{
    goodsLinesPicker() = std::move(picker);
    emit instance().changed(GoodsLines);
}

bool PickerRegistry::hasGoodsLines()
{
    return bool(goodsLinesPicker());
}

void PickerRegistry::addGoodsLines(const GoodsLineTarget& target, QWidget* parent)
{
    // A copy: the picker may replace itself while it runs.
    const GoodsLinesPicker picker = goodsLinesPicker();
    if (picker)
        picker(target, parent);
}

QStringList PickerRegistry::pick(const QString& name, const QString& current, QWidget* parent)
{
    const auto it = pickers().constFind(name);
    if (it == pickers().cend())
        return {};
    // A copy: the picker may replace itself while it runs.
    const Picker picker = it.value();
    return picker(current, parent);
}

QString PickerRegistry::pickOne(const QString& name, const QString& current, QWidget* parent)
{
    return pick(name, current, parent).value(0).trimmed();
}

void PickerRegistry::watch(QObject* context, const QString& name, std::function<void(bool)> apply)
{
    apply(has(name));
    connect(&instance(), &PickerRegistry::changed, context, [name, apply](const QString& changed) {
        if (changed == name)
            apply(has(name));
    });
}

void PickerRegistry::bindButton(QWidget* button, const QString& name)
{
    watch(button, name, [button](bool registered) { button->setVisible(registered); });
}
