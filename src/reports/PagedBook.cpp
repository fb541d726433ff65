#include "reports/PagedBook.h"

#include <QtGlobal>

namespace zodra {

QString PagedBook::CarryOutText(int nextPage) {
    return QStringLiteral("PRIJENOS NA STRANICU ") + QString::number(nextPage);
}

QString PagedBook::CarryInText(int previousPage) {
    return QStringLiteral("DONOS SA STRANE ") + QString::number(previousPage);
}

PagedBook::PagedBook(int rowsPerPage, int amountCount, Writer writer)
    : m_rowsPerPage(rowsPerPage),
      m_writer(std::move(writer)),
      m_totals(static_cast<std::size_t>(amountCount)),
      m_sums(static_cast<std::size_t>(amountCount), 0.0) {
    Q_ASSERT(rowsPerPage > 0);
}

void PagedBook::Start() {
    m_writer({Row::Kind::Opening, 1, 0, OpeningText(), m_sums});
}

void PagedBook::Add(const std::vector<double>& amounts) {
    Q_ASSERT(amounts.size() == m_sums.size());
    ++m_number;
    ++m_onPage;
    m_writer({Row::Kind::Booking, m_page, m_number, QString(), amounts});
    for (std::size_t i = 0; i < m_sums.size(); ++i) {
        m_totals[i] += amounts[i];
        m_sums[i] = m_totals[i].Value();
    }
    if (m_onPage == m_rowsPerPage) {
        m_onPage = 0;
        ++m_page;
        m_writer({Row::Kind::CarryOut, m_page - 1, 0, CarryOutText(m_page), m_sums});
        m_writer({Row::Kind::CarryIn, m_page, 0, CarryInText(m_page - 1), m_sums});
    }
}

}  // namespace zodra
