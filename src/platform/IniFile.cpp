#include "platform/IniFile.h"

#include "platform/LegacyText.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// "[name]" gives name; anything else gives a null string.
QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return t.mid(1, close - 1).trimmed();
}

bool splitKeyValue(const QString& line, QString* key, QString* value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = t.left(eq).trimmed();
    QString v = t.mid(eq + 1).trimmed();
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) ||
                          (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
        v = v.mid(1, v.size() - 2);
    *value = v;
    return true;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path) {}

QStringList IniFile::loadLines(bool* readable) const
{
    QFile file(m_path);
    if (readable)
        *readable = !file.exists();
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (readable)
        *readable = true;
    const QString text = LegacyText::decode(file.readAll());
    static const QRegularExpression eol(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(eol);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool IniFile::find(const QString& section, const QString& key, QString* value) const
{
    // A section may stand more than once (written by hand as both "config"
    // and "Config"); all of its occurrences count, the first key wins.
    bool inSection = false;
    for (const QString& line : loadLines()) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            continue;
        }
        QString k, v;
        if (inSection && splitKeyValue(line, &k, &v) && sameName(k, key)) {
            if (value)
                *value = v;
            return true;
        }
    }
    return false;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    QString value;
    return find(section, key, &value) ? value : defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    QString text;
    if (!find(section, key, &text))
        return defaultValue;
    bool ok = false;
    int value = text.trimmed().toInt(&ok);
    if (!ok) {
        // Also accept hexadecimal in the 0x form.
        value = text.trimmed().toInt(&ok, 16);
        if (!ok || !text.trimmed().startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            return defaultValue;
    }
    return value;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::sectionExists(const QString& section) const
{
    for (const QString& line : loadLines()) {
        const QString name = sectionName(line);
        if (!name.isNull() && sameName(name, section))
            return true;
    }
    return false;
}

bool IniFile::valueExists(const QString& section, const QString& key) const
{
    return find(section, key, nullptr);
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A file that exists but cannot be read is left alone rather than
    // replaced by one holding only this key.
    bool readable = false;
    QStringList lines = loadLines(&readable);
    if (!readable)
        return false;

    // Replace the key where it stands; otherwise add it after the last entry
    // of the first occurrence of the section; otherwise add the section.
    bool inSection = false;
    bool replaced = false;
    qsizetype insertAt = -1;
    bool inFirst = false;
    for (qsizetype i = 0; i < lines.size() && !replaced; ++i) {
        const QString name = sectionName(lines[i]);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            inFirst = inSection && insertAt < 0;
            if (inFirst)
                insertAt = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        QString k, v;
        if (splitKeyValue(lines[i], &k, &v) && sameName(k, key)) {
            lines[i] = k + QLatin1Char('=') + value;
            replaced = true;
        } else if (inFirst && !lines[i].trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!replaced) {
        const QString newLine = key + QLatin1Char('=') + value;
        if (insertAt >= 0) {
            lines.insert(insertAt, newLine);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << newLine;
        }
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

bool IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
