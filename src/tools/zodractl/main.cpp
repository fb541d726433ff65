#include <QCoreApplication>
#include <QStringList>

#include "tools/zodractl/Commands.h"
#include "tools/zodractl/StockCheckCommand.h"
#include "tools/zodractl/Terminal.h"

namespace {

const char* kUsageText =
    "zodractl — naredbe za Zodra poduzeća bez prozora\n"
    "\n"
    "  create PUTANJA             novo prazno poduzeće (i datoteka detalja .det)\n"
    "  check PUTANJA              otvara, provjerava password i ispravnost, ispisuje verziju\n"
    "                             sheme i broj redaka\n"
    "  compact PUTANJA            sažimanje (oštećena datoteka se popravlja)\n"
    "  passwd PUTANJA             promjena passworda baze\n"
    "  sql PUTANJA \"SELECT …\"     upit; mijenjanje samo uz --write\n"
    "  demo PUTANJA               demo poduzeće\n"
    "  stockcheck PUTANJA         nabave prema karticama artikala, stanja trgovačkih knjiga i\n"
    "                             prosječne nabavne cijene; [--skladiste N] [--godina G],\n"
    "                             --popravi preračunava stanja knjiga i prosječne cijene\n"
    "\n"
    "Password se čita iz varijable ZODRA_PASSWORD (novi iz ZODRA_NEW_PASSWORD) ili s terminala,\n"
    "nikad iz naredbenog retka.\n"
    "Izlazni kodovi: 0 u redu, 1 odbijeno, 2 upotreba, 3 pogrešan password, 4 nije Zodra baza,\n"
    "5 oštećena, 6 nema datoteke, 7 zaključana ili samo za čitanje, 8 novija verzija.\n";

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zodra"));
    QCoreApplication::setApplicationName(QStringLiteral("Zodra"));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("help") ||
        args.first() == QLatin1String("--help")) {
        zodractl::Out(QString::fromUtf8(kUsageText));
        return args.isEmpty() ? zodractl::kUsage : zodractl::kOk;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("create"))
        return zodractl::Create(args);
    if (command == QLatin1String("check"))
        return zodractl::Check(args);
    if (command == QLatin1String("compact"))
        return zodractl::Compact(args);
    if (command == QLatin1String("passwd"))
        return zodractl::Passwd(args);
    if (command == QLatin1String("sql"))
        return zodractl::Sql(args);
    if (command == QLatin1String("demo"))
        return zodractl::Demo(args);
    if (command == QLatin1String("stockcheck"))
        return zodractl::StockCheck(args);
    zodractl::Err(QStringLiteral("Nepoznata naredba: ") + command);
    zodractl::Err(QString::fromUtf8(kUsageText));
    return zodractl::kUsage;
}
