#pragma once

#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>

#include "pricelists/ui/PriceListCommands.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "registers/ui/RegisterCommands.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/FieldForm.h"

namespace zodra::test {

// A host with every register window bound, as the program has them.
struct RegisterWindowHost {
    WindowTestFolder folder;
    TestHost host{folder};
    ui::CommandRegistry registry;
    RegisterWindowHost() {
        registers::ui::RegisterRegisterCommands(registry);
        pricelists::ui::RegisterPriceListCommands(registry);
        host.registry = &registry;
        host.area.resize(1200, 760);
    }
    Database& Db() { return host.CurrentSession().Db(); }
    template <typename Window>
    Window* Open(const QString& command) {
        host.RunCommand(command);
        Settle();
        return qobject_cast<Window*>(host.LastWindow());
    }
    int AddArticle(const QString& name, const QString& code, const QString& barcode,
                   int group = 1) {
        return registers::Add(Db(), registers::catalogue::Articles(),
                              {{QStringLiteral("NAZIV"), name},
                               {QStringLiteral("OPIS"), code},
                               {QStringLiteral("BARKOD"), barcode},
                               {QStringLiteral("GRUPA_A"), group},
                               {QStringLiteral("GRUPA_P"), 1},
                               {QStringLiteral("CIJENA_U_VALUTI"), QStringLiteral("10")}})
            .code;
    }
    // With ZODRA_SCREENSHOTS set to a folder, the window is photographed there.
    void Photograph(QWidget* window, const QString& name) {
        const QString folderPath = qEnvironmentVariable("ZODRA_SCREENSHOTS");
        if (folderPath.isEmpty() || window == nullptr) {
            return;
        }
        QDir().mkpath(folderPath);
        host.area.show();
        QWidget* frame = window->parentWidget() ? window->parentWidget() : window;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
            sub->showMaximized();
        }
        Settle();
        frame->grab().save(folderPath + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
};

inline void Type(ui::FieldForm* form, const QString& key, const QString& text) {
    auto* box = qobject_cast<QLineEdit*>(form->Editor(key));
    QVERIFY(box);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    TypeInto(box, text);
}

}  // namespace zodra::test
