#pragma once

#include <QString>
#include <QStringList>

// The workstation's settings file. Sections and keys are matched without
// regard to letter case ("config" and "Config" are one section); every read
// takes a default for a missing or unusable value; every write goes straight
// to the file, so two objects on one file always agree. Lines the program does
// not understand are kept as they are. A file that is not valid UTF-8 is read
// as GBK; the program writes UTF-8.
class IniFile
{
public:
    explicit IniFile(const QString& path);

    QString path() const { return m_path; }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;
    // A value that is not a whole number reads as the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // Any whole number other than 0 is true; other text reads as the default.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;

    // Each returns false when the file could not be written.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);
    bool writeBool(const QString& section, const QString& key, bool value); // 1 or 0

private:
    QStringList loadLines(bool* readable = nullptr) const;
    bool find(const QString& section, const QString& key, QString* value) const;

    QString m_path;
};
