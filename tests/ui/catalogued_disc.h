#pragma once
// Catalogued discs for the tests of the results window: the disc folder
// "disc/" of two songs, one in its folder CD1, catalogued as the volume
// "Summer CD 1" of the list "My Discs" with the editor's commands, and, when
// asked for, "disc2/" of one song as "Summer CD 2"; a collection folder
// that holds none of them. Scan finds the discs' songs that the collection
// lacks.
#include "engine/u_cvprofile.h"
#include "engine/u_dupeengine.h"
#include "tests/ui/mpl_test_folders.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

struct TCataloguedDisc {
    explicit TCataloguedDisc(int discCount = 1);

    QString Folder(const QString& relative) const { return work.filePath(relative); }
    // A path on the disc of that number.
    QString Disc(const QString& relative, int number = 1) const
    {
        return work.filePath((number == 1 ? QString("disc/") : QString("disc%1/").arg(number)) + relative);
    }
    void Scan();
    // The result entry of the file of that name.
    TBWDupeFile* EntryNamed(const std::string& name);

    TempListFolder lists;
    QTemporaryDir work;
    TBWCVProfile profile;
    std::unique_ptr<TBWDupeEngine> engine;
};
