#pragma once
// The main of every ui test: CORVELLA_UI_TEST_MAIN(TestClass) instead of
// QTEST_MAIN. Before the QApplication exists it points HOME and the XDG
// folders at a fresh temporary folder, so no test reads or writes the
// developer's own settings, Trash or desktop; then it makes the picture modules.
#include "ui/common/u_pictures.h"

#include <QApplication>
#include <QTest>
#include <QTemporaryDir>

class IsolatedDesktop {
public:
    IsolatedDesktop();
    QString Home() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

#define CORVELLA_UI_TEST_MAIN(TestClass)                 \
    int main(int argc, char** argv)                      \
    {                                                    \
        IsolatedDesktop desktop;                         \
        QApplication application(argc, argv);           \
        TPictureModules pictures;                         \
        TestClass test;                                  \
        return QTest::qExec(&test, argc, argv);          \
    }
