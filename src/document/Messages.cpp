#include "Messages.h"

#include <cerrno>
#include <cstring>

namespace kvort::msg {

std::string reason(int err) {
    switch (err) {
    case ENOENT:
        return "нет такого файла или папки";
    case ENOTDIR:
        return "часть пути не является папкой";
    case EACCES:
    case EPERM:
        return "нет доступа";
    case EISDIR:
        return "это папка";
    case EROFS:
        return "носитель только для чтения";
    case ENOSPC:
        return "нет места на диске";
    case EDQUOT:
        return "превышена дисковая квота";
    case EFBIG:
        return "файл слишком велик";
    case EIO:
        return "ошибка ввода-вывода";
    case ELOOP:
        return "слишком много символических ссылок";
    case ENAMETOOLONG:
        return "слишком длинное имя";
    default:
        return std::strerror(err);
    }
}

std::string unableToWrite(const std::filesystem::path& path, int err) {
    std::string text = "Unable to write to " + path.string();
    if (err)
        text += " (" + reason(err) + ")";
    return text;
}

std::string unableToRead(const std::filesystem::path& path, int err) {
    return "Не удалось прочитать файл " + path.string() + " (" + reason(err) + ")";
}

std::string notARegularFile(const std::filesystem::path& path, bool isFolder) {
    if (isFolder)
        return "Не удалось прочитать файл " + path.string() + ": это папка, а не файл";
    return "Не удалось прочитать файл " + path.string() +
           ": это не обычный файл (устройство, канал или сокет)";
}

std::string fileTooLarge(const std::filesystem::path& path, std::uintmax_t limit) {
    return "Файл " + path.string() + " больше " + std::to_string(limit / (1024 * 1024)) +
           " МБ: такого файла конфигурации не бывает, он не прочитан";
}

std::string noConfiguration(const std::filesystem::path& path) {
    return "Нет файла конфигурации: " + path.string();
}

std::string notAnInteger(std::string_view foundUtf8, std::string_view whereUtf8) {
    return "«" + std::string(foundUtf8) + "» не является целым числом (" + std::string(whereUtf8) +
           ")";
}

} // namespace kvort::msg
