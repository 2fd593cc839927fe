// Audio trees held only in memory, what discs are catalogued from in the
// list tests: directories whose entries are audio entries with every kind of
// information set, so copying them reads nothing from disk.
#pragma once

#include <string>
#include <vector>

#include "model/u_bwfs.h"
#include "model/u_mplio.h"

class TAudioMemoryDir : public TBWDirectory {
    BW_CLASS(TAudioMemoryDir)
public:
    explicit TAudioMemoryDir(TBWObject* owner = nullptr);
    void LoadSubDirs() override {}
    // Adds an entry holding the record's values.
    void AddAudio(const TMplFileRecord& record);
};

class TAudioMemoryFileList : public TBWFileList {
    BW_CLASS(TAudioMemoryFileList)
public:
    explicit TAudioMemoryFileList(TBWObject* owner = nullptr);
    void Refresh() override { Touch(); }
};

// The values of an audio entry as a list would store them.
TMplFileRecord RecordOfEntry(TBWFile& file);
std::vector<TMplFileRecord> RecordsIn(TBWDirectory& dir);
