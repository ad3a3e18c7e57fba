#pragma once

#include "StartedProgram.h"

#include "app/widgets/StyleManager.h"

// A started program that begins and ends in the built-in look, whatever theme a test chose.
class ThemedProgram : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        StyleManager::trySetStyle(StyleManager::defaultStyleName(), false);
    }
    void TearDown() override {
        StyleManager::trySetStyle(StyleManager::defaultStyleName(), false);
        StartedProgram::TearDown();
    }
};
