#include "app/main_window/LoadedFileFolder.h"

std::string LoadedFileFolder(const std::string& fileName) {
    const size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return {};
    const std::string own = fileName.substr(0, slash + 1);
    if (own.size() > 1) {
        const size_t parentSlash = own.rfind('/', own.size() - 2);
        if (parentSlash != std::string::npos)
            return own.substr(0, parentSlash + 1);
    }
    return own;
}
