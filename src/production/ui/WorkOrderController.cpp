#include "production/ui/WorkOrderController.h"

#include <QInputDialog>

#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/WorkingCopy.h"
#include "production/FinishingWorkOrder.h"
#include "production/ProductionPrint.h"
#include "production/WorkOrderList.h"
#include "production/WorkOrderPosting.h"
#include "production/ui/BillsWindow.h"
#include "production/ui/FinishedProductDialog.h"
#include "production/ui/ProductEntryDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "stock/Lots.h"
#include "stockdocs/IssueDocumentList.h"
#include "ui/DocumentWindow.h"
#include "ui/WindowHost.h"

namespace zodra::production::ui {

namespace {
const QString kPrint = QStringLiteral("Ispis");
const QString kBills = QStringLiteral("Sastavnice");
const QString kLoad = QStringLiteral("UcitajOtvoreni");
}  // namespace

QString WorkOrderController::CommandName() {
    return QStringLiteral("Knjizenje_radni_nalog");
}
QString WorkOrderController::FinishingCommandName() {
    return QStringLiteral("Knjizenje_radni_nalog_dorada");
}
QString WorkOrderController::PartnerKey() {
    return QStringLiteral("SIFRA_PARTNERA");
}
QString WorkOrderController::FinishingAbandonText() {
    return QStringLiteral(
        "Želite li odustati od radnog naloga dorade ? Njegove stavke će biti "
        "izbrisane.");
}
QString WorkOrderController::FinishingSaveQuestion() {
    return QStringLiteral(
        "Radni nalog dorade nije proknjižen. Želite li ga spremiti kao otvoreni "
        "dokument ?");
}
QString WorkOrderController::DestinationKey() {
    return QStringLiteral("ODREDISNO_SKLADISTE");
}
QString WorkOrderController::SaveQuestion() {
    return QStringLiteral(
        "Radni nalog nije proknjižen. Želite li ga spremiti kao otvoreni "
        "dokument ?");
}
QString WorkOrderController::AbandonText() {
    return QStringLiteral(
        "Želite li odustati od radnog naloga ? Njegove stavke će biti "
        "izbrisane.");
}

QString WorkOrderController::Caption() const {
    return Finishing() ? FinishingDocumentName() : QStringLiteral("Radni nalog");
}

QList<zodra::ui::FieldSpec> WorkOrderController::HeaderFields() const {
    if (Finishing()) {
        zodra::ui::FieldSpec owner;
        owner.key = PartnerKey();
        owner.label = QStringLiteral("Vlasnik robe :");
        owner.kind = zodra::ui::FieldSpec::Kind::Choice;
        owner.noneText = QString(QLatin1String(""));
        owner.choices = [](Session& session) {
            QList<zodra::ui::Choice> list;
            for (const auto& [code, name] : PartnerChoices(session.Db())) {
                list.push_back({name, code});
            }
            return list;
        };
        return {owner};
    }
    zodra::ui::FieldSpec destination;
    destination.key = DestinationKey();
    destination.label = QStringLiteral("Odredište :");
    destination.kind = zodra::ui::FieldSpec::Kind::Choice;
    destination.noneText = QString(QLatin1String(""));
    destination.choices = [](Session& session) {
        QList<zodra::ui::Choice> list;
        for (const auto& [code, name] : DestinationChoices(session.Db())) {
            list.push_back({name, code});
        }
        return list;
    };
    return {destination};
}

QString WorkOrderController::PrintBoxCaption() const {
    return QStringLiteral(" Ispis dokumenta");
}
QString WorkOrderController::NumberLabel() const {
    return QStringLiteral("Broj :");
}
QString WorkOrderController::NumberInvalidMessage() const {
    return QStringLiteral("Nije ispravno upisan broj !");
}
QString WorkOrderController::AddLineCaption() const {
    return QStringLiteral("U&pis");
}
QString WorkOrderController::DeleteLineCaption() const {
    return QStringLiteral("&Brisanje");
}

QList<zodra::ui::DocumentAction> WorkOrderController::Actions() const {
    return {
        {QStringLiteral("&Ispis"), kPrint, false},
        {QStringLiteral("&Sastavnice"), kBills, false},
        {QStringLiteral("Učitaj &otvoreni dokument"), kLoad, false},
    };
}

void WorkOrderController::PrepareWorkingCopy(Session& session) {
    m_codes = {workingcopy::AllocateSessionCode(session.Db()),
               workingcopy::AllocateSessionCode(session.Db())};
}

int WorkOrderController::NextNumber(Session& session) {
    return numbering::NextDocumentNumber(
        session.Db(), Finishing() ? DocumentKind::FinishingWorkOrder : DocumentKind::WorkOrder,
        session.activeWarehouse.code, session.businessYear);
}

void WorkOrderController::CheckNumber(Session&, const QString& typed) {
    stockdocs::CheckIssueNumber(typed);
}

QString WorkOrderController::LinesCaption() const {
    return QStringLiteral("Proizvodi :");
}

QList<zodra::ui::LinesPanel> WorkOrderController::FurtherPanels() const {
    if (Finishing()) {
        return {{QStringLiteral("Materijal :"), QStringLiteral("Materijal")},
                {QStringLiteral("Usluge :"), QStringLiteral("Usluge")}};
    }
    return {{QStringLiteral("Dijelovi :"), QStringLiteral("Dijelovi")},
            {QStringLiteral("Troškovi :"), QStringLiteral("Troskovi")}};
}

TableData WorkOrderController::WorkingLines(Session& session) {
    using F = TableColumn::Format;
    TableData data;
    if (Finishing()) {
        data.columns = {{QStringLiteral("Proizvod"), F::Text},
                        {QStringLiteral("Količina"), F::Quantity},
                        {QStringLiteral("Nabavna vrijednost materijala"), F::Money},
                        {QStringLiteral("Prodajna vrijednost materijala"), F::Money},
                        {QStringLiteral("Usluge"), F::Money},
                        {QStringLiteral("Vrijednost"), F::Money}};
        if (m_codes.parts != 0) {
            for (const FinishedProduct& p : FinishedProducts(session, m_codes.parts)) {
                data.rows.push_back({p.name, p.quantity, p.materialCost, p.materialValue,
                                     p.services, p.materialValue + p.services});
            }
        }
        return data;
    }
    data.columns = {{QStringLiteral("Rbr"), F::Integer},
                    {QStringLiteral("Proizvod"), F::Text},
                    {QStringLiteral("Količina"), F::Quantity},
                    {QStringLiteral("Cijena materijala"), F::Money},
                    {QStringLiteral("Zavisni trošak"), F::Money},
                    {QStringLiteral("Nabavna cijena"), F::Money},
                    {QStringLiteral("Nabavna vrijednost"), F::Money},
                    {QStringLiteral("Prodajna cijena"), F::Money},
                    {QStringLiteral("Vrijednost"), F::Money},
                    {QStringLiteral("RUC"), F::Money},
                    {QStringLiteral("RUC %"), F::Number, 2}};
    if (m_codes.parts == 0) {
        return data;
    }
    for (const ProductLine& l : ProductLines(session, m_codes)) {
        data.rows.push_back({l.lineNumber, stock::ArticleName(session.Db(), l.product), l.quantity,
                             l.materialPrice, l.dependentValue, l.costPrice, l.costValue,
                             l.sellingPrice, l.value, l.marginAmount, l.marginPercent});
    }
    return data;
}

TableData WorkOrderController::FurtherLines(Session& session, int index) {
    using F = TableColumn::Format;
    TableData data;
    if (Finishing()) {
        Database& db = session.Db();
        if (index == 0) {
            data.columns = {{QStringLiteral("Proizvod"), F::Text},
                            {QStringLiteral("Materijal"), F::Text},
                            {QStringLiteral("Broj primke"), F::Integer},
                            {QStringLiteral("Količina"), F::Quantity},
                            {QStringLiteral("Nabavna cijena"), F::Money},
                            {QStringLiteral("Prodajna cijena"), F::Money}};
            if (m_codes.parts != 0) {
                for (const FinishingMaterial& m : FinishingMaterials(session, m_codes.parts)) {
                    data.rows.push_back({stock::ArticleName(db, m.product),
                                         stock::ArticleName(db, m.article), m.lot, m.quantity,
                                         m.costPrice, m.sellingPrice});
                }
            }
        } else {
            data.columns = {{QStringLiteral("Proizvod"), F::Text},
                            {QStringLiteral("Opis"), F::Text},
                            {QStringLiteral("Količina"), F::Quantity},
                            {QStringLiteral("Cijena"), F::Money},
                            {QStringLiteral("Vrijednost"), F::Money}};
            if (m_codes.parts != 0) {
                for (const FinishingService& u : FinishingServices(session, m_codes.parts)) {
                    data.rows.push_back({stock::ArticleName(db, u.product), u.description,
                                         u.quantity, u.price, u.value});
                }
            }
        }
        return data;
    }
    if (index == 0) {
        data.columns = {{QStringLiteral("Dio"), F::Text},
                        {QStringLiteral("Broj primke"), F::Integer},
                        {QStringLiteral("Količina"), F::Quantity},
                        {QStringLiteral("Nabavna cijena"), F::Money},
                        {QStringLiteral("Prodajna cijena"), F::Money}};
        if (m_codes.parts != 0) {
            for (const PartLine& l : PartLines(session, m_codes)) {
                data.rows.push_back({stock::ArticleName(session.Db(), l.article), l.lot, l.quantity,
                                     l.costPrice, l.sellingPrice});
            }
        }
    } else {
        data.columns = {{QStringLiteral("Opis"), F::Text},
                        {QStringLiteral("Količina"), F::Quantity},
                        {QStringLiteral("Cijena"), F::Money},
                        {QStringLiteral("Vrijednost"), F::Money},
                        {QStringLiteral("Proizvod"), F::Text}};
        if (m_codes.parts != 0) {
            for (const CostLine& l : CostLines(session, m_codes)) {
                data.rows.push_back({l.description, l.quantity, l.price, l.value,
                                     stock::ArticleName(session.Db(), l.product)});
            }
        }
    }
    return data;
}

QString WorkOrderController::Totals(Session& session) {
    if (m_codes.parts == 0) {
        return {};
    }
    double cost = 0;
    double value = 0;
    if (Finishing()) {
        for (const FinishedProduct& p : FinishedProducts(session, m_codes.parts)) {
            cost += p.materialCost + p.services;
            value += p.materialValue + p.services;
        }
        return QStringLiteral("Nabavna vrijednost : ") + MoneyText(cost) +
               QStringLiteral("   Vrijednost : ") + MoneyText(value);
    }
    for (const ProductLine& l : ProductLines(session, m_codes)) {
        cost += l.costValue;
        value += l.value;
    }
    return QStringLiteral("Nabavna vrijednost : ") + MoneyText(cost) +
           QStringLiteral("   Prodajna vrijednost : ") + MoneyText(value);
}

bool WorkOrderController::AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                                  const zodra::ui::DocumentHeader&) {
    if (Finishing()) {
        FinishedProductDialog dialog(host, m_codes.parts, parent);
        dialog.exec();
        return dialog.Added();
    }
    ProductEntryDialog dialog(host, m_codes, parent);
    dialog.exec();
    return dialog.Added();
}

QString WorkOrderController::DeleteLineQuestion(Session& session, int row) {
    if (Finishing()) {
        if (row != static_cast<int>(FinishedProducts(session, m_codes.parts).size()) - 1) {
            throw UserError(OnlyLastLineMessage());
        }
        return production::DeleteLineQuestion();
    }
    const std::vector<ProductLine> lines = ProductLines(session, m_codes);
    if (row != static_cast<int>(lines.size()) - 1) {
        throw UserError(OnlyLastLineMessage());
    }
    return production::DeleteLineQuestion();
}

void WorkOrderController::DeleteLine(Session& session, int row) {
    if (Finishing()) {
        const std::vector<FinishedProduct> products = FinishedProducts(session, m_codes.parts);
        if (row >= 0 && row < static_cast<int>(products.size())) {
            RemoveFinishedProduct(session, m_codes.parts,
                                  products[static_cast<size_t>(row)].product);
        }
        return;
    }
    const std::vector<ProductLine> lines = ProductLines(session, m_codes);
    if (row < 0 || row >= static_cast<int>(lines.size())) {
        return;
    }
    RemoveProductLine(session, m_codes, lines[static_cast<size_t>(row)].lineNumber);
}

bool WorkOrderController::RunAction(const QString& objectName, zodra::ui::WindowHost& host,
                                    QWidget* parent, const zodra::ui::DocumentHeader& header) {
    Session& session = host.CurrentSession();
    if (objectName == kPrint) {
        Print(host, header.number);
        return false;
    }
    if (objectName == kBills) {
        host.RunCommand(BillsWindow::CommandName());
        return false;
    }
    // "Učitaj otvoreni dokument": the saved orders of this kind by number; the chosen one comes
    // back into this window's working copy with its header (a finishing order with its owner).
    const OpenOrderKind& kind = Finishing() ? FinishingOpenKind() : OrdinaryOpenKind();
    const std::vector<OpenWorkOrder> open = OpenOrders(session, kind);
    if (open.empty()) {
        throw UserError(Finishing() ? QStringLiteral("Nema otvorenih radnih naloga dorade.")
                                    : QStringLiteral("Nema otvorenih radnih naloga."));
    }
    QStringList items;
    for (const OpenWorkOrder& o : open) {
        items << QString::number(o.number) + QStringLiteral("  ") + inputrules::FormatDate(o.date) +
                     QStringLiteral("  ") + o.description;
    }
    const std::optional<QString> typed = host.UserPrompter().AskText(
        (Finishing() ? QStringLiteral("Otvoreni radni nalozi dorade :\n")
                     : QStringLiteral("Otvoreni radni nalozi :\n")) +
            items.join(QLatin1Char('\n')) + QStringLiteral("\n\nUpišite broj radnog naloga :"),
        Caption(), QString::number(open.front().number));
    if (!typed) {
        return false;
    }
    bool ok = false;
    const int number = typed->trimmed().toInt(&ok);
    if (!ok) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    const OpenWorkOrder loaded = LoadOpenOrder(session, kind, m_codes, number);
    if (auto* window = qobject_cast<zodra::ui::DocumentWindow*>(parent)) {
        zodra::ui::DocumentHeader restored = header;
        restored.number = loaded.number;
        restored.date = loaded.date;
        restored.description = loaded.description;
        if (Finishing()) {
            restored.extra.insert(PartnerKey(),
                                  loaded.owner > 0 ? QVariant(loaded.owner) : QVariant());
        }
        window->SetHeader(restored);
    }
    return true;
}

zodra::ui::PostResult WorkOrderController::Post(zodra::ui::WindowHost& host,
                                                const zodra::ui::DocumentHeader& header) {
    if (Finishing()) {
        FinishingHeader data{header.number, header.date, header.description,
                             header.extra.value(PartnerKey()).toInt()};
        if (data.partner <= 0) {
            throw FieldError(PartnerKey(), NoPartnerMessage());
        }
        const PostedFinishingOrder posted =
            PostFinishingOrder(host.CurrentSession(), m_codes.parts, data);
        return zodra::ui::PostResult{posted.number, posted.number == header.number
                                                        ? QString()
                                                        : FinishingPostedMessage(posted.number)};
    }
    WorkOrderHeader data;
    data.number = header.number;
    data.date = header.date;
    data.description = header.description;
    data.destination = header.extra.value(DestinationKey()).toInt();
    if (data.destination <= 0) {
        throw FieldError(DestinationKey(),
                         QStringLiteral("Izaberite skladište na koje će biti zaprimljen gotov "
                                        "proizvod"));
    }
    const PostedWorkOrder posted = PostWorkOrder(host.CurrentSession(), m_codes, data);
    return zodra::ui::PostResult{
        posted.number, posted.number == header.number ? QString() : PostedMessage(posted.number)};
}

void WorkOrderController::Print(zodra::ui::WindowHost& host, const QVariant& key) {
    Session& session = host.CurrentSession();
    reports::ui::ShowReport(host, Finishing() ? FinishingOrderPrintRequest(session, key.toInt())
                                              : WorkOrderPrintRequest(session, key.toInt()));
}

zodra::ui::CloseStep WorkOrderController::BeforeClose(zodra::ui::WindowHost& host, QWidget*,
                                                      const zodra::ui::DocumentHeader& header) {
    if (!host.UserPrompter().AskYesNo(Finishing() ? FinishingSaveQuestion() : SaveQuestion(),
                                      Caption(), false)) {
        return zodra::ui::CloseStep::Ask;
    }
    if (Finishing()) {
        SaveOpenOrder(host.CurrentSession(), FinishingOpenKind(), m_codes,
                      {header.number, header.date, header.description,
                       header.extra.value(PartnerKey()).toInt()});
    } else {
        SaveOpenWorkOrder(host.CurrentSession(), m_codes,
                          {header.number, header.date, header.description});
    }
    return zodra::ui::CloseStep::Kept;
}

void WorkOrderController::ClearWorkingCopy(Session& session) {
    if (m_codes.parts == 0) {
        return;
    }
    if (Finishing()) {
        ClearFinishingOrder(session, m_codes.parts);
    } else {
        ClearWorkOrder(session, m_codes);
    }
}

void WorkOrderController::WindowClosed(Session& session) {
    if (m_codes.parts == 0) {
        return;
    }
    ClearWorkingCopy(session);
    workingcopy::ReleaseSessionCodes(session.Db(), {m_codes.parts, m_codes.products});
    m_codes = {};
}

}  // namespace zodra::production::ui
