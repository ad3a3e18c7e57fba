#pragma once

#include <string>

// The folder the status bar shows for a loaded file: the parent of the folder that holds it
// (the day's folder for a project of the day), else the file's own folder, with its trailing
// '/'; empty for a bare file name.
std::string LoadedFileFolder(const std::string& fileName);
