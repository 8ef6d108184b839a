#pragma once

#include <QDate>
#include <QString>

// The few SQL pieces that differ between engines. Stores write portable SQL
// and ask the dialect for these, so that a second engine only needs a second
// dialect. Values typed by the operator are never passed here: they are bound.
class SqlDialect
{
public:
    virtual ~SqlDialect();

    virtual QString name() const = 0;

    // A date constant of the program (never operator text), as stored:
    // 'yyyy-MM-dd'.
    virtual QString dateLiteral(const QDate& date) const;
    // Today as a constant, taken from the program's clock.
    QString today() const;
    // Whole days from the date expression `from` to the date expression `to`.
    virtual QString daysBetween(const QString& from, const QString& to) const = 0;
    virtual QString boolLiteral(bool value) const = 0;
    // `expr = other` without regard to letter case.
    virtual QString equalsNoCase(const QString& expr, const QString& other) const = 0;
    // `expr LIKE pattern` without regard to letter case, with '\' escaping
    // the wildcards (see escapeLike).
    virtual QString likeNoCase(const QString& expr, const QString& pattern) const = 0;
    // Starts a transaction that holds the write lock from its first statement,
    // so that codes allocated inside it cannot be taken by another workstation.
    virtual QString beginWrite() const = 0;

    // Escapes %, _ and \ so that a typed text matches literally inside a
    // LIKE pattern built by the caller ("%" + escapeLike(text) + "%").
    static QString escapeLike(const QString& text);
};

class SqliteDialect : public SqlDialect
{
public:
    QString name() const override { return QStringLiteral("sqlite"); }
    QString daysBetween(const QString& from, const QString& to) const override;
    QString boolLiteral(bool value) const override;
    QString equalsNoCase(const QString& expr, const QString& other) const override;
    QString likeNoCase(const QString& expr, const QString& pattern) const override;
    QString beginWrite() const override;
};
