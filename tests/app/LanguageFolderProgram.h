#pragma once

#include "StartedProgram.h"

#include "platform/AppPaths.h"

#include <filesystem>
#include <string>

// A started program whose languages folder (private to the test process) holds one Turkish
// file, copied from `TurkishSource()`, and nothing else; the folder goes again after the test.
class LanguageFolderProgram : public StartedProgram {
protected:
    virtual std::string TurkishSource() const = 0;

    void SetUp() override {
        StartedProgram::SetUp();
        folder = AppPaths::languagesFolder();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(TurkishSource(), folder + "tr.json");
    }
    void TearDown() override {
        StartedProgram::TearDown();
        std::filesystem::remove_all(folder);
    }

    std::string folder;
};
