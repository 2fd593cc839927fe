// Files that hold only words, for the tests of the matching's inner units:
// one file per text, in pool order, each in a folder of its own of a model
// tree that never touches the disk.
#pragma once

#include <string>
#include <vector>

#include "tests/engine/fake_audio.h"

class TWordedFiles {
public:
    explicit TWordedFiles(const std::vector<std::string>& texts)
    {
        for (const std::string& text : texts) {
            TBWFile* file = collection_.Add("/" + std::to_string(files.size()) + "/file.mp3");
            file->SetText(text);
            files.push_back(file);
        }
    }

    std::vector<TBWFile*> files;

private:
    TFakeCollection collection_;
};
