#include "FileActions.h"

#include "document/ConfigFileSet.h"
#include "export/JsonExport.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

std::optional<std::filesystem::path> FileJSON(const std::filesystem::path& currentConfigPath,
                                              UserPrompts& prompts) {
    FileDialogOptions options;
    options.filter = "*.json|*.json";
    options.defaultExtension = ".json";
    options.initialName = text::fromUtf8Lossy(ChangeFileExt(currentConfigPath, ".json").string());
    auto chosen = prompts.saveFile(options);
    if (!chosen)
        return std::nullopt;
    ExportJson(currentConfigPath, *chosen);
    return chosen;
}

bool OpenArchiveText(ArchiveKind kind, const std::filesystem::path& currentConfigPath,
                     UserPrompts& prompts) {
    const std::filesystem::path file = ArchiveFile(kind, ChangeFileExt(currentConfigPath, ""));
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        prompts.openDocument(file);
        return true;
    }
    std::string_view text = kind == ArchiveKind::Fires ? "АРХИВ ПОЖАРОВ НЕ НАЙДЕН"_cp
                            : kind == ArchiveKind::Faults ? "АРХИВ ОТКАЗОВ НЕ НАЙДЕН"_cp
                                                          : "АРХИВ СОБЫТИЙ НЕ НАЙДЕН"_cp;
    prompts.message("ВНИМАНИЕ"_cp, text, MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

} // namespace kvort
