#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

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
    // Goods codes, one per goods picked (lines to add).
    static const QString Goods;

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
