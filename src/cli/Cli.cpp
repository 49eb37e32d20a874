#include "Cli.h"

#include "document/ConfigFileSet.h"

#include <iostream>

namespace kvort::cli {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
           const std::set<std::string>& flagOptions) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() > 1 && w[0] == '-') {
            std::string opt = w, val;
            bool inlineValue = false;
            if (auto eq = w.find('='); eq != std::string::npos && w.rfind("--", 0) == 0) {
                opt = w.substr(0, eq);
                val = w.substr(eq + 1);
                inlineValue = true;
            }
            if (valueOptions.count(opt)) {
                if (!inlineValue) {
                    if (i + 1 >= words.size())
                        throw UsageError{"параметру " + opt + " нужно значение"};
                    val = words[++i];
                }
                m_values[opt] = val;
            } else if (flagOptions.count(opt) && !inlineValue) {
                m_flags.insert(opt);
            } else {
                throw UsageError{"неизвестный параметр: " + w};
            }
        } else {
            m_positional.push_back(w);
        }
    }
}

std::optional<std::string> Args::value(const std::string& option) const {
    auto it = m_values.find(option);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

std::string Args::single(const char* what) const {
    if (m_positional.empty())
        throw UsageError{std::string("не указан ") + what};
    if (m_positional.size() > 1)
        throw UsageError{"лишний параметр: " + m_positional[1]};
    return m_positional[0];
}

std::filesystem::path outputFile(const std::string& word, const char* option) {
    if (word.empty())
        throw UsageError{std::string(option) + ": пустое имя файла"};
    const std::filesystem::path path(word);
    const std::string name = path.filename().string();
    if (name.empty() || name == "." || name == "..")
        throw UsageError{std::string(option) + ": «" + word + "» — это папка, нужно имя файла"};
    return path;
}

std::filesystem::path outputConfig(const std::string& word, const char* option) {
    const std::filesystem::path path = outputFile(word, option);
    if (ChangeFileExt(path, "").filename().empty())
        throw UsageError{std::string(option) + ": в «" + word +
                         "» нет имени конфигурации (нужно NAME.cnf)"};
    return path;
}

void say(const std::string& utf8) {
    std::cout << utf8 << std::endl;
}
void sayError(const std::string& utf8) {
    std::cerr << utf8 << std::endl;
}

} // namespace kvort::cli
