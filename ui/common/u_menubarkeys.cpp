#include "ui/common/u_menubarkeys.h"

#include <QMenuBar>
#include <QShortcut>

void OpenFirstMenuOnF10(QMenuBar& bar)
{
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar.window());
    f10->setObjectName("scOpenMenu");
    QObject::connect(f10, &QShortcut::activated, &bar, [&bar] {
        if (!bar.actions().isEmpty())
            bar.setActiveAction(bar.actions().front());
    });
}
