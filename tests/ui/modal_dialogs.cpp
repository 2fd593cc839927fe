#include "modal_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

void WhenModal(std::function<void(QWidget& dialog)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        // Acted on once it is the active window, as a user meets it: on a
        // busy machine it is shown some time before it takes the focus.
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || QApplication::activeWindow() != dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        // A check that failed half-way must not leave the test waiting.
        if (auto* stillOpen = qobject_cast<QDialog*>(QApplication::activeModalWidget()); stillOpen == dialog)
            stillOpen->reject();
    });
    poll->start();
}

void ClickButton(QWidget& dialog, const char* name)
{
    auto* button = dialog.findChild<QAbstractButton*>(name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void ExpectNoModal()
{
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
            QFAIL("a modal dialog was shown");
        }
    });
}
