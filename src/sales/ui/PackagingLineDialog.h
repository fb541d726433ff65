#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "sales/InvoiceLines.h"

class QComboBox;
class QLineEdit;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

using PackagingLineWriter = std::function<std::optional<AcceptedLine>(const PackagingLineInput&)>;

// "Upis ambalaže ( za evidentno praćenje )": returnable packaging followed on the invoice, the
// packaging, its quantity, its price (the packaging's own, which may be changed) and a
// description. "Prihvati" writes the line and closes the dialog.
class PackagingLineDialog : public QDialog {
    Q_OBJECT
public:
    PackagingLineDialog(zodra::ui::WindowHost& host, PackagingLineWriter writer,
                        QWidget* parent = nullptr);

    bool AcceptLine();
    int LinesWritten() const { return m_written; }

    QComboBox* Packaging() const { return m_packaging; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* Price() const { return m_price; }
    QLineEdit* Description() const { return m_description; }

private:
    void PackagingChosen();

    zodra::ui::WindowHost& m_host;
    PackagingLineWriter m_writer;
    int m_written = 0;
    QComboBox* m_packaging;
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_price;
    QLineEdit* m_description;
};

}  // namespace zodra::sales::ui
