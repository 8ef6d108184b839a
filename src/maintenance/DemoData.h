#pragma once

#include <QString>

class Database;

// Fills a new database with realistic demo data.
namespace DemoData {

struct Options
{
    int contracts = 300;
    quint32 seed = 20261211;
};

bool fill(Database& db, const Options& options, QString* error = nullptr);

} // namespace DemoData
