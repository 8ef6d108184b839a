// A workstation saving shipments and contracts as fast as it can: used by
// tst_allocation to run two of them against one database file at once.
// Arguments: <database file> <rounds> [mode]. Prints the codes and numbers
// it got. Mode "goods" adds goods through the goods windows' store instead,
// mode "clients" counterparts with automatic codes (one code a line).
#include "data/TdmData.h"
#include "data/TransactionGuard.h"
#include "reference/ClientStore.h"
#include "reference/GoodsStore.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

// Goods added one after another, each taking its code in its own save.
int addGoods(TdmData& dm, int rounds)
{
    QTextStream out(stdout);
    for (int i = 0; i < rounds; ++i) {
        GoodsRecord goods;
        goods.name = QStringLiteral("goods %1").arg(i);
        goods.price = 1;
        QString error;
        if (!GoodsStore::save(dm.db(), GoodsStore::Add, &goods, &error)) {
            QTextStream(stderr) << "goods: " << error << '\n';
            return 1;
        }
        out << goods.code << '\n';
    }
    return 0;
}

int addClients(TdmData& dm, int rounds)
{
    QTextStream out(stdout);
    for (int i = 0; i < rounds; ++i) {
        TransactionGuard tx(dm.db());
        if (!tx.isActive()) {
            QTextStream(stderr) << "begin: " << tx.error() << '\n';
            return 1;
        }
        const AllocatedCode code = ClientStore::allocateAutoCode(dm.db());
        Client c;
        c.code = code.code;
        c.name = QStringLiteral("单位");
        QString error;
        if (!code || !ClientStore::insert(dm.db(), &c, &error) || !tx.commit()) {
            QTextStream(stderr) << "save: " << code.error << error << tx.error() << '\n';
            return 1;
        }
        out << c.code << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4)
        return 2;
    TdmData dm;
    QString error;
    if (!dm.db().open(args.at(1), &error)) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    QTextStream out(stdout);
    const int rounds = args.at(2).toInt();
    if (args.size() == 4) {
        if (args.at(3) == QLatin1String("goods"))
            return addGoods(dm, rounds);
        if (args.at(3) == QLatin1String("clients"))
            return addClients(dm, rounds);
        return 2;
    }
    for (int i = 0; i < rounds; ++i) {
        TransactionGuard tx(dm.db());
        if (!tx.isActive()) {
            QTextStream(stderr) << "begin: " << tx.error() << '\n';
            return 1;
        }
        const AllocatedCode code = dm.NextShipmentCode();
        const int link = dm.NextContractLinkNumber();
        if (!code || link <= 0)
            return 1;
        if (!dm.db().exec("INSERT INTO t_FHrec(F_cltID, F_code) VALUES(:l, :c)",
                          {{":l", link}, {":c", code.code}}, &error) ||
            !dm.db().exec("INSERT INTO Contract(F_cltID, F_name) VALUES(:l, 'x')", {{":l", link}},
                          &error) ||
            !tx.commit()) {
            QTextStream(stderr) << "save: " << error << tx.error() << '\n';
            return 1;
        }
        out << code.code << ' ' << link << '\n';
    }
    return 0;
}
