#pragma once

#include <QDate>
#include <QRandomGenerator>
#include <vector>

namespace zodra {
class Session;
}

namespace zodra::demo {

// Wholesale invoices of the demo company, drawn up and posted as a clerk would (the invoice's
// own lines, header and posting; now and then a cancellation a day later), in the session's
// warehouse. Deterministic: the same company gets the same invoices.
class DemoInvoices {
public:
    explicit DemoInvoices(Session& session);

    // Posts `count` invoices dated evenly from `from` to `to` (both in the business year), each
    // of a few articles the warehouse has free stock of, for customers of the demo with an
    // address; every twelfth is cancelled on the day after (or on its own day at the end).
    void Post(const QDate& from, const QDate& to, int count);

    int Posted() const { return m_posted; }
    int Cancelled() const { return m_cancelled; }

private:
    bool PostOne(const QDate& date, const QDate& last);

    Session& m_session;
    QRandomGenerator m_random;
    std::vector<int> m_customers;
    int m_posted = 0;
    int m_cancelled = 0;
};

}  // namespace zodra::demo
