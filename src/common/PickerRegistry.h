#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// One goods of the catalogue as a line takes it (code, name, type,
// specification and unit copied; the unit price as a currency value).
struct GoodsLineValues
{
    QString code;
    QString name;
    QString type;
    QString spec;
    QString unit;
    double price = 0;
};

// Where the goods picker puts the lines it adds, one per pick, while it
// stays open (AddGoodsLines).
struct GoodsLineTarget
{
    enum Mode
    {
        NoTarget = 0,
        ShipmentEditLines = 1,      // the shipment edit window; only the contract's goods
        ContractGoodsLines = 2,     // the contract edit window's goods page
        ShipmentManagementLines = 3 // the shipment management window
    };
    int mode = NoTarget;
    // ShipmentEditLines: the contract whose goods lines limit the list.
    qint64 contractId = -1;
    // Appends one pending line to the target's line set; null (or
    // NoTarget) adds nothing.
    std::function<void(const GoodsLineValues&)> addLine;
};

// The pickers that windows of many folders share: each belongs to the window
// of its own records (counterparts, projects, goods), which registers it here
// by name; an entry window asks for it by name and shows its pick button only
// while one is registered.
class PickerRegistry : public QObject
{
    Q_OBJECT
public:
    // Shown modally with the caller's current text; gives back what was
    // chosen, nothing when closed without a choice.
    using Picker = std::function<QStringList(const QString& current, QWidget* parent)>;

    // A counterpart's name, from its name.
    static const QString CounterpartName;
    // A project's code, from the code the caller keeps (may be empty).
    static const QString ProjectCode;
    // A goods code, from the code the caller's box holds (PickGoodsCode).
    static const QString Goods;

    // The goods picker that adds lines one pick after another until it is
    // closed (AddGoodsLines).
    using GoodsLinesPicker = std::function<void(const GoodsLineTarget& target, QWidget* parent)>;
    static void setGoodsLines(GoodsLinesPicker picker);
    static bool hasGoodsLines();
    // Runs it; nothing happens when none is registered.
    static void addGoodsLines(const GoodsLineTarget& target, QWidget* parent);
    // The name watch() and bindButton() use for the goods-lines picker.
    static const QString GoodsLines;

    static PickerRegistry& instance();

    // An empty picker takes the name's picker away.
    static void set(const QString& name, Picker picker);
    static bool has(const QString& name);
    // Runs the picker; nothing when none is registered or nothing was chosen.
    static QStringList pick(const QString& name, const QString& current, QWidget* parent);
    // The first value chosen, trimmed; empty when nothing was.
    static QString pickOne(const QString& name, const QString& current, QWidget* parent);

    // Calls `apply` now and whenever the name's picker comes or goes, as long
    // as `context` lives.
    static void watch(QObject* context, const QString& name, std::function<void(bool)> apply);
    // Keeps a pick button shown exactly while the name's picker is registered.
    static void bindButton(QWidget* button, const QString& name);

signals:
    void changed(const QString& name);

private:
    PickerRegistry() = default;
};
