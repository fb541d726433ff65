#pragma once

#include <QDate>
#include <QRandomGenerator>
#include <vector>

namespace zodra {
class Session;
}

namespace zodra::demo {

// Offers, pro-formas and delivery notes of the demo company, drawn up and posted through their
// own posting in the session's warehouse; now and then the open delivery notes of a customer are
// billed. Deterministic: the same company gets the same documents.
class DemoOutgoing {
public:
    explicit DemoOutgoing(Session& session);

    // One period between two deliveries (dates in the business year): an offer or a pro-forma
    // on alternate periods, a delivery note on every third, and on every eighth the open notes
    // of the period's customer billed on `to`.
    void Period(const QDate& from, const QDate& to);

    int Offers() const { return m_offers; }
    int ProForma() const { return m_proFormas; }
    int DeliveryNotes() const { return m_notes; }
    int Billed() const { return m_billed; }

private:
    bool PostOne(int kind, const QDate& date, int customer);

    Session& m_session;
    QRandomGenerator m_random;
    std::vector<int> m_customers;
    int m_period = 0;
    int m_offers = 0;
    int m_proFormas = 0;
    int m_notes = 0;
    int m_billed = 0;
};

}  // namespace zodra::demo
