#include "UserPrompts.h"

#include <system_error>

namespace kvort {

void makeWorkingDirectoryOf(const std::filesystem::path& chosenFile) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(chosenFile, ec).parent_path();
    if (!ec && !folder.empty())
        std::filesystem::current_path(folder, ec);
}

} // namespace kvort
