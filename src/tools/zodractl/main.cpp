#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <cerrno>
#include <memory>

#include "data/Errors.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/CopyCommand.h"
#include "tools/zodractl/NewYearCommand.h"
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
    "  archive PUTANJA ARHIVA.zip poduzeće i datoteka detalja u novu zip arhivu (dok drugi\n"
    "                             rade); postojeća datoteka se ne zamjenjuje\n"
    "  restore ARHIVA NOVA.mdb    vraćanje iz arhive ili dnevne kopije (firma_Nedjelja.bak)\n"
    "                             u novu datoteku, uz provjeru; postojeća se ne zamjenjuje\n"
    "  sql PUTANJA \"SELECT …\"     upit; mijenjanje samo uz --write\n"
    "  demo PUTANJA               demo poduzeće\n"
    "  report PUTANJA IZVJEŠTAJ.rpt [--formula 'IME= tekst'] [--selection 'FORMULA']\n"
    "         [--subselection 'PODIZVJEŠTAJ=FORMULA'] [--param IME=VRIJEDNOST]\n"
    "         (--pdf IZLAZ.pdf | --printer PISAČ | --csv IZLAZ.csv [--separator ;|,])\n"
    "                             izvještaj u PDF, na pisač ili u CSV tablicu, bez prozora\n"
    "  import PUTANJA articles|partners DATOTEKA.csv [--skip-bad] [--separator ;|,]\n"
    "                             uvoz iz CSV datoteke (UTF-8, prvi redak su nazivi stupaca);\n"
    "                             svaki redak prolazi provjere upisa, datoteka se uvozi cijela\n"
    "                             ili nimalo (uz --skip-bad samo ispravni redovi)\n"
    "  import PUTANJA count DATOTEKA.csv [--skladiste N] [--sesija N] [--separator ;|,]\n"
    "                             izbrojene količine (šifra ili barkod;količina) dodaju se\n"
    "                             inventuri u pripremi (docs/stock-count-import.md)\n"
    "  export PUTANJA articles|partners DATOTEKA.csv [--separator ;|,]\n"
    "                             izvoz u CSV datoteku (UTF-8, razdvojnik \";\")\n"
    "  post PUTANJA DATOTEKA.json [--da] [--pdf IZLAZ.pdf]\n"
    "                             knjiženje primke (docs/receipt-json.md) ili izmjene\n"
    "                             cijena (\"vrsta\": \"izmjena\", docs/price-change-json.md)\n"
    "                             opisane u JSON datoteci kroz iste provjere kao prozor;\n"
    "                             ispisuje broj dokumenta;\n"
    "                             --da odgovara Da na pitanja (razlike kontrolnih iznosa),\n"
    "                             --pdf ispisuje primku, račun, izmjenu cijena ili inventuru u "
    "PDF\n"
    "  post PUTANJA racun.json [--da] [--pdf IZLAZ.pdf]\n"
    "                             knjiženje računa (docs/invoice-json.md; datoteka s \"kupac\")\n"
    "                             kroz iste provjere kao prozor \"Račun\"; ispisuje broj računa\n"
    "  post PUTANJA ura.json     upis ulaznog računa u knjigu URA (docs/ura-json.md);\n"
    "                             delete PUTANJA ura BROJ [--knjiga B] [--da] ga briše\n"
    "  post PUTANJA inventura.json\n"
    "                             knjiženje inventure (docs/stock-count-json.md)\n"
    "  post PUTANJA radni-nalog.json\n"
    "                             knjiženje radnog naloga s odredišnom primkom\n"
    "                             (docs/work-order-json.md)\n"
    "  post PUTANJA radni-nalog-dorada.json\n"
    "                             knjiženje radnog naloga dorade (docs/finishing-work-order.md);\n"
    "                             delete/print radni-nalog-dorada BROJ kao za radni nalog\n"
    "  cancel PUTANJA primka|izmjena|racun|inventura BROJ [--skladiste N] [--knjiga B]\n"
    "                             [--datum DD.MM.GGGG] [--da]\n"
    "                             storno proknjižene primke (primka s negativnim količinama pod\n"
    "                             datumom --datum, inače današnjim), izmjene cijena ili računa\n"
    "                             iz knjige IRA B (1 ako nije navedena)\n"
    "  delete PUTANJA primka|izmjena|racun|inventura BROJ [--skladiste N] [--knjiga B] [--da]\n"
    "                             brisanje proknjižene primke iz koje ništa nije izdano,\n"
    "                             izmjene cijena nakon koje se ništa nije dogodilo s njenim\n"
    "                             robama ili računa; radni-nalog BROJ briše radni nalog\n"
    "                             i njegovu odredišnu primku;\n"
    "                             bez --skladiste jedino skladište poduzeća; pitanja se bez --da\n"
    "                             odgovaraju s Ne (bez --da se ništa ne mijenja)\n"
    "  post PUTANJA ponuda.json|predracun.json|otpremnica.json [--da]\n"
    "                             knjiženje ponude, predračuna ili otpremnice (\"vrsta\",\n"
    "                             docs/outgoing-documents-json.md)\n"
    "  delete PUTANJA ponuda|predracun|otpremnica BROJ [--skladiste N] [--knjiga B] [--da]\n"
    "                             brisanje ponude, predračuna (knjiga IRA B) ili otpremnice\n"
    "  invoice-deliveries PUTANJA [--kupac N] --od DD.MM.GGGG --do DD.MM.GGGG [--skladiste N]\n"
    "        [--da]                računi iz otvorenih otpremnica (knjiga IRA 1, jedan po kupcu,\n"
    "                             datum računa --do); bez --kupac pita za sve kupce\n"
    "                             (Ne bez --da)\n"
    "  print PUTANJA VRSTA BROJ --pdf IZLAZ.pdf [--skladiste N]\n"
    "        [--knjiga B] [--ispis racun|racun-otpremnica|otpremnica|storno|devizni]\n"
    "        [--bez-rabata] [--kolicine]\n"
    "                             ispis proknjižene primke, računa iz knjige IRA B (1 ako\n"
    "                             nije navedena), izmjene cijena (stornirane: ispis storna),\n"
    "                             inventure, međuskladišnice, izdatnice, povratnice, rashoda,\n"
    "                             odjave, povratnice dobavljaču, radnog naloga ili sastavnice\n"
    "                             (radni-nalog, sastavnica) u PDF; --bez-rabata: ispis\n"
    "                             bez stupaca rabata; --kolicine: ispis samo količina\n"
    "                             (međuskladišnica, izdatnica, povratnica)\n"
    "  correct PUTANJA racun BROJ --stavka N (--kolicina Q --cijena C --rabat R | --brisi)\n"
    "          [--knjiga B] [--skladiste N]\n"
    "                             ispravak stavke proknjiženog računa (nova količina, cijena\n"
    "                             bez rabata i postotak rabata, ili brisanje stavke) kroz iste\n"
    "                             provjere kao prozor \"Račun\" u ispravku\n"
    "  cashbook PUTANJA --skladiste N --od DD.MM.GGGG --do DD.MM.GGGG --pdf IZLAZ.pdf\n"
    "                             blagajnički izvještaj skladišta za razdoblje u PDF\n"
    "  ira PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG [--vrsta V] [--pdf IZLAZ.pdf] [--csv "
    "IZLAZ.csv]\n"
    "                             knjiga izlaznih računa za razdoblje u PDF ili CSV\n"
    "  einvoice PUTANJA KNJIGA/BROJ IZLAZ.xml [--skladiste N] [--godina GGGG] [--odobrenje]\n"
    "                             eRačun (UBL 2.1) proknjiženog računa poslovnom subjektu;\n"
    "                             --odobrenje izrađuje odobrenje storniranog računa\n"
    "  ura PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG [--knjiga B] [--placeni|--placeni-r2]\n"
    "      [--pdf IZLAZ.pdf] [--xml IZLAZ.xml] [--sastavio \"Ime Prezime\"]\n"
    "                             knjiga ulaznih računa u PDF; --xml izrađuje Obrazac U-RA\n"
    "  saldakonti PUTANJA IZVJESTAJ [--od DD.MM.GGGG --do DD.MM.GGGG] [--partner SIFRA]...\n"
    "      [--skladiste N] --pdf IZLAZ.pdf\n"
    "                             dužnici, dugovi, naplaćeni i plaćeni iznosi, uplate, početna\n"
    "                             stanja i kartice partnera u PDF; IZVJESTAJ je naredba\n"
    "                             izbornika (Dugovi_datum …) ili datoteka (uplate.rpt …)\n"
    "  summary PUTANJA NAREDBA [--skladiste N] [--od DD.MM.GGGG --do DD.MM.GGGG]\n"
    "      [--rbr-od N --rbr-do N] [--trazi TEKST] [--artikl SIFRA] [--na-dan DD.MM.GGGG]\n"
    "      (--pdf IZLAZ.pdf | --csv IZLAZ.csv)\n"
    "                             rekapitulacije i stanje na skladištu; NAREDBA je naredba\n"
    "                             izbornika (Rek_prim_uk, Stanje1(1), Ispis_kartice_artikla …)\n"
    "  uplatnice PUTANJA (--virman|--uplatnica|--ura) [--knjiga B] [--skladiste N]\n"
    "      [--od-broja N --do-broja N] [--od DD.MM.GGGG --do DD.MM.GGGG] --pdf IZLAZ.pdf\n"
    "                             uplatnice HUB-3A s 2D bar kodom za neplaćene izlazne ili\n"
    "                             ulazne račune u PDF\n"
    "  kpi PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG --pdf IZLAZ.pdf [--rbr-od N] [--rbr-do N]\n"
    "      [--po-tipovima] [--obnovi-promet]\n"
    "                             knjiga primitaka i izdataka za razdoblje u PDF\n"
    "  fiscal PUTANJA status|retry\n"
    "                             fiskalizirani računi bez JIR-a i neprihvaćeni izvještaji\n"
    "                             eRačuna; retry ih ponovo šalje (naknadna dostava)\n"
    "  fiscal PUTANJA change KNJIGA/BROJ --placanje G|K|T|O [--oib OIB|--bez-oiba]\n"
    "      [--skladiste N] [--detaljno]\n"
    "                             promjena načina plaćanja ili OIB-a kupca na današnjem\n"
    "                             fiskaliziranom računu\n"
    "  kp PUTANJA --skladiste N --od DD.MM.GGGG --do DD.MM.GGGG --pdf IZLAZ.pdf\n"
    "      [--ispis kp1|kp|kp_sum]\n"
    "                             knjiga popisa skladišta za razdoblje u PDF\n"
    "  post PUTANJA dugotrajna-imovina.json\n"
    "                             upis u popis dugotrajne imovine (docs/fixed-asset-json.md)\n"
    "  delete PUTANJA dugotrajna-imovina REDNI_BROJ --godina G [--da]\n"
    "                             brisanje stavke popisa dugotrajne imovine (Ne bez --da)\n"
    "  pdi PUTANJA --godina G --pdf IZLAZ.pdf\n"
    "                             popis dugotrajne imovine godine u PDF\n"
    "  planner-send [--file RACUN.xml]\n"
    "                             javlja pokrenutom programu Zodra da ga čeka račun planera\n"
    "                             (uz --file račun se prvo kopira na mjesto iz konfiguracije\n"
    "                             radnog mjesta, docs/planner.md)\n"
    "  planner-import PUTANJA RACUN.xml [--skladiste N] [--ispis]\n"
    "                             uvoz računa planera kao plaćenog maloprodajnog računa;\n"
    "                             --ispis ga šalje na POS printer\n"
    "  receipt PUTANJA BROJ [--skladiste N] [--knjiga B] [--storno] [--out DATOTEKA]\n"
    "                             maloprodajni račun (40 stupaca, kodna stranica i kodovi POS\n"
    "                             printera iz konfiguracije radnog mjesta) u datoteku ili na\n"
    "                             POS printer\n"
    "  xreport PUTANJA --skladiste N [--od DD.MM.GGGG --do DD.MM.GGGG] [--blagajnik IME]\n"
    "          [--out DATOTEKA] [--da]\n"
    "                             promet u maloprodaji (X izvještaj) za razdoblje (bez datuma:\n"
    "                             danas), svih blagajnika ili jednoga; --da dodaje\n"
    "                             rekapitulacije; u datoteku ili na POS printer\n"
    "  zreport PUTANJA --skladiste N [--od …] [--do …] [--blagajnik IME] [--out DATOTEKA] [--da]\n"
    "                             X izvještaj, zatim sumiranje maloprodajnih računa i naknadno\n"
    "                             skidanje artikala (pitanja su Ne bez --da) i promet dana u\n"
    "                             knjizi primitaka i izdataka (R-2)\n"
    "  vat PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG [--spremi] [--xml IZLAZ.xml] [--pdf IZLAZ.pdf]\n"
    "      [--godina G]          PDV obrazac razdoblja; --spremi ga sprema pod sljedećim brojem\n"
    "                             godine, --xml izrađuje Obrazac PDV za ePoreznu\n"
    "  vat PUTANJA --ispis N --pdf IZLAZ.pdf | --brisi N [--godina G]\n"
    "                             ispis ili brisanje spremljenog PDV obrasca\n"
    "  copy IZVOR ODREDIŠTE       kopija poduzeća u novu datoteku ili u novu (ili praznu)\n"
    "                             bazu na poslužitelju (postgresql://…, .zodra) i natrag, sa\n"
    "                             svim tablicama, brojevima dokumenata i lozinkom; zatim\n"
    "                             provjera broja redaka i zaliha (docs/postgresql.md)\n"
    "  newyear PUTANJA [--nova DATOTEKA] --datum DD.MM.GGGG\n"
    "                             prijenos u novu godinu: s --nova u novu datoteku (šifarnici,\n"
    "                             početno stanje zaliha, kupaca i dobavljača), inače u istoj\n"
    "                             datoteci (baza sa više godina)\n"
    "  transfer IZVOR CILJ receipts|deliveries [--od D] [--do D] [--od-broja N]\n"
    "      [--do-broja N] [--skladiste N]\n"
    "                             donos primki (ili otpremnica, kao izmjena cijena) iz\n"
    "                             poduzeća IZVOR u poduzeće CILJ (šifarnici po nazivu); CILJ.zip\n"
    "                             zapisuje datoteku prijenosa, a IZVOR.zip je knjiži u CILJ\n"
    "                             (docs/transfer.md)\n"
    "  stockcheck PUTANJA         nabave prema karticama artikala, stanja trgovačkih knjiga i\n"
    "                             prosječne nabavne cijene; [--skladiste N] [--godina G],\n"
    "                             --popravi preračunava stanja knjiga i prosječne cijene\n"
    "  pay PUTANJA --racun KNJIGA/BROJ --iznos A --datum DD.MM.GGGG [--model M]\n"
    "      [--kartica TIP] [--opis TEKST] [--skladiste N] [--godina G]\n"
    "                             naplata izlaznog računa (uplata i zatvaranje; model\n"
    "                             \"žiro račun\" ako nije naveden); --ura KNJIGA/REDNI_BROJ\n"
    "                             [--svrha TEKST] plaćanje ulaznog računa;\n"
    "                             delete PUTANJA naplata|uplata|placanje|uplata-ura ŠIFRA [--da]\n"
    "                             briše zatvaranje (s uplatom kad je samo njeno) ili uplatu\n"
    "                             sa svim zatvaranjima\n"
    "  import PUTANJA bank IZVOD.xml [--skladiste N] [--da]\n"
    "                             izvod banke (camt.053): uplate se prepoznaju po pozivu na\n"
    "                             broj ili po kupcu i iznosu; dvosmislene i neprepoznate se\n"
    "                             samo ispisuju; --da upisuje prepoznate kao naplate\n"
    "\n"
    "Password se čita iz varijable ZODRA_PASSWORD (novi iz ZODRA_NEW_PASSWORD) ili s terminala,\n"
    "nikad iz naredbenog retka.\n"
    "Izlazni kodovi: 0 u redu, 1 odbijeno, 2 upotreba, 3 pogrešan password, 4 nije Zodra baza,\n"
    "5 oštećena, 6 nema datoteke, 7 zaključana ili samo za čitanje, 8 novija verzija.\n";

int Dispatch(const QString& command, const QStringList& args);

}  // namespace

int main(int argc, char** argv) {
    // Reports need the GUI application object (fonts, painting); without a display they run on
    // the offscreen platform.
    const bool report =
        argc > 1 && (qstrcmp(argv[1], "report") == 0 || qstrcmp(argv[1], "post") == 0 ||
                     qstrcmp(argv[1], "print") == 0 || qstrcmp(argv[1], "cashbook") == 0 ||
                     qstrcmp(argv[1], "vat") == 0 || qstrcmp(argv[1], "ira") == 0 ||
                     qstrcmp(argv[1], "ura") == 0 || qstrcmp(argv[1], "kpi") == 0 ||
                     qstrcmp(argv[1], "kp") == 0 || qstrcmp(argv[1], "pdi") == 0 ||
                     qstrcmp(argv[1], "saldakonti") == 0 || qstrcmp(argv[1], "summary") == 0 ||
                     qstrcmp(argv[1], "uplatnice") == 0);
    if (report && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Without a desktop session (a service, cron, a shell over ssh as root) there is no runtime
    // folder; the one Qt would fall back to is made here, quietly, instead of a warning on every
    // command.
    if (report && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = QDir::tempPath().toLocal8Bit() + "/runtime-" +
                                   QByteArray::number(static_cast<qulonglong>(::getuid()));
        if (::mkdir(runtime.constData(), 0700) == 0 || errno == EEXIST) {
            qputenv("XDG_RUNTIME_DIR", runtime);
        }
    }
    std::unique_ptr<QCoreApplication> app = report ? std::make_unique<QGuiApplication>(argc, argv)
                                                   : std::make_unique<QCoreApplication>(argc, argv);
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
    // No command ends on an exception: whatever a command did not handle itself is reported
    // here with its own text, a damaged file as such.
    try {
        return Dispatch(command, args);
    } catch (const zodra::DbError& e) {
        zodractl::Err(QStringLiteral("Greška baze podataka: ") + e.driverText());
        return e.isDamage() ? zodractl::kDamaged : zodractl::kRefused;
    } catch (const zodra::UserError& e) {
        zodractl::Err(e.message());
        return zodractl::kRefused;
    } catch (const std::exception& e) {
        zodractl::Err(QStringLiteral("Neočekivana greška: ") + QString::fromLocal8Bit(e.what()));
        return zodractl::kRefused;
    }
}

namespace {

int Dispatch(const QString& command, const QStringList& args) {
    if (command == QLatin1String("create"))
        return zodractl::Create(args);
    if (command == QLatin1String("check"))
        return zodractl::Check(args);
    if (command == QLatin1String("compact"))
        return zodractl::Compact(args);
    if (command == QLatin1String("passwd"))
        return zodractl::Passwd(args);
    if (command == QLatin1String("archive"))
        return zodractl::Archive(args);
    if (command == QLatin1String("restore"))
        return zodractl::Restore(args);
    if (command == QLatin1String("sql"))
        return zodractl::Sql(args);
    if (command == QLatin1String("demo"))
        return zodractl::Demo(args);
    if (command == QLatin1String("report"))
        return zodractl::Report(args);
    if (command == QLatin1String("import"))
        return zodractl::Import(args);
    if (command == QLatin1String("export"))
        return zodractl::Export(args);
    if (command == QLatin1String("post"))
        return zodractl::Post(args);
    if (command == QLatin1String("cancel"))
        return zodractl::Cancel(args);
    if (command == QLatin1String("delete"))
        return zodractl::Delete(args);
    if (command == QLatin1String("print"))
        return zodractl::Print(args);
    if (command == QLatin1String("invoice-deliveries"))
        return zodractl::InvoiceDeliveries(args);
    if (command == QLatin1String("correct"))
        return zodractl::Correct(args);
    if (command == QLatin1String("cashbook"))
        return zodractl::CashBook(args);
    if (command == QLatin1String("ira"))
        return zodractl::Ira(args);
    if (command == QLatin1String("ura"))
        return zodractl::InputInvoiceBook(args);
    if (command == QLatin1String("saldakonti"))
        return zodractl::PaymentReport(args);
    if (command == QLatin1String("summary"))
        return zodractl::Summary(args);
    if (command == QLatin1String("uplatnice"))
        return zodractl::PaymentSlips(args);
    if (command == QLatin1String("einvoice"))
        return zodractl::EInvoice(args);
    if (command == QLatin1String("kpi"))
        return zodractl::Kpi(args);
    if (command == QLatin1String("fiscal"))
        return zodractl::Fiscal(args);
    if (command == QLatin1String("kp"))
        return zodractl::Kp(args);
    if (command == QLatin1String("pdi"))
        return zodractl::FixedAssetReport(args);
    if (command == QLatin1String("planner-send"))
        return zodractl::PlannerSend(args);
    if (command == QLatin1String("planner-import"))
        return zodractl::PlannerImport(args);
    if (command == QLatin1String("receipt"))
        return zodractl::Receipt(args);
    if (command == QLatin1String("xreport"))
        return zodractl::XReport(args);
    if (command == QLatin1String("zreport"))
        return zodractl::ZReport(args);
    if (command == QLatin1String("vat"))
        return zodractl::Vat(args);
    if (command == QLatin1String("copy"))
        return zodractl::CopyCompany(args);
    if (command == QLatin1String("newyear"))
        return zodractl::NewYear(args);
    if (command == QLatin1String("transfer"))
        return zodractl::Transfer(args);
    if (command == QLatin1String("pay"))
        return zodractl::Pay(args);
    if (command == QLatin1String("stockcheck"))
        return zodractl::StockCheck(args);
    zodractl::Err(QStringLiteral("Nepoznata naredba: ") + command);
    zodractl::Err(QString::fromUtf8(kUsageText));
    return zodractl::kUsage;
}

}  // namespace
