#pragma once
// A catalogued disc for the tests of the results window: a disc folder of
// two songs, one in its folder CD1, and a collection folder that holds
// neither; the disc catalogued as the volume "Summer CD 1" of the list
// "My Discs" with the editor's commands. Scan finds the disc's songs that
// the collection lacks.
#include "engine/u_cvprofile.h"
#include "engine/u_dupeengine.h"
#include "tests/ui/mpl_test_folders.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

struct TCataloguedDisc {
    TCataloguedDisc();

    QString Folder(const QString& relative) const { return work.filePath(relative); }
    QString Disc(const QString& relative) const { return work.filePath("disc/" + relative); }
    void Scan();

    TempListFolder lists;
    QTemporaryDir work;
    TBWCVProfile profile;
    std::unique_ptr<TBWDupeEngine> engine;
};
