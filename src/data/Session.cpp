#include "data/Session.h"

SessionData Session;

QStringList SessionData::departments() const
{
    return parseDeptList(DeptList);
}

QStringList parseDeptList(const QString& stored)
{
    QStringList out;
    QString current;
    bool quoted = false; // inside '...'
    bool wasQuoted = false;
    auto finish = [&] {
        const QString name = wasQuoted ? current : current.trimmed();
        if (!name.isEmpty())
            out << name;
        current.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar c = stored.at(i);
        if (quoted) {
            if (c == QLatin1Char('\'')) {
                if (i + 1 < stored.size() && stored.at(i + 1) == QLatin1Char('\'')) {
                    current += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('\'')) {
            quoted = true;
            wasQuoted = true;
            current.clear(); // blanks before the opening quote
        } else if (c == QLatin1Char(',')) {
            finish();
        } else if (!wasQuoted) {
            current += c;
        }
    }
    finish();
    return out;
}

QString formatDeptList(const QStringList& departments)
{
    QStringList quoted;
    for (QString name : departments) {
        name.replace(QLatin1Char('\''), QLatin1String("''"));
        quoted << QLatin1Char('\'') + name + QLatin1Char('\'');
    }
    return quoted.join(QLatin1Char(','));
}

int decimalsFromSlot(const QString& text, bool* ok)
{
    bool good = false;
    const int n = text.trimmed().toInt(&good);
    good = good && n >= 0 && n <= 10;
    if (ok)
        *ok = good;
    return good ? n : 2;
}
