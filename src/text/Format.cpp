#include "Format.h"

#include "Error.h"

#include <charconv>
#include <climits>

namespace kvort::text {

std::string IntToStr(long long v) {
    return std::to_string(v);
}

std::string Format(std::string_view pattern, std::initializer_list<Arg> args) {
    std::string out;
    auto next = args.begin();
    size_t i = 0;
    auto bad = [&](const char* why) {
        throw Error(std::string("неверный формат «") + std::string(pattern) + "»: " + why);
    };
    while (i < pattern.size()) {
        char c = pattern[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < pattern.size() && pattern[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool left = false;
        if (i < pattern.size() && pattern[i] == '-') {
            left = true;
            ++i;
        }
        int width = -1, prec = -1;
        auto number = [&](int& into) {
            size_t start = i;
            while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9')
                ++i;
            if (i > start)
                into = std::stoi(std::string(pattern.substr(start, i - start)));
        };
        number(width);
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            prec = 0;
            number(prec);
        }
        if (i >= pattern.size())
            bad("обрыв после %");
        char conv = pattern[i++];
        if (next == args.end())
            bad("не хватает аргументов");
        const FormatArg& a = (next++)->value;
        std::string field;
        if (conv == 'd') {
            const long long* v = std::get_if<long long>(&a);
            if (!v)
                bad("%d ждёт число");
            unsigned long long mag = *v < 0 ? 0ULL - static_cast<unsigned long long>(*v)
                                            : static_cast<unsigned long long>(*v);
            std::string digits = std::to_string(mag);
            if (prec > 0 && static_cast<int>(digits.size()) < prec)
                digits.insert(0, prec - digits.size(), '0');
            field = (*v < 0 ? "-" : "") + digits;
        } else if (conv == 's') {
            const std::string_view* v = std::get_if<std::string_view>(&a);
            if (!v)
                bad("%s ждёт строку");
            field = std::string(prec >= 0 ? v->substr(0, prec) : *v);
        } else {
            bad("неизвестное преобразование");
        }
        if (width > 0 && static_cast<int>(field.size()) < width) {
            if (left)
                field.append(width - field.size(), ' ');
            else
                field.insert(0, width - field.size(), ' ');
        }
        out += field;
    }
    if (next != args.end())
        bad("лишние аргументы");
    return out;
}

int StrToIntDef(std::string_view s, int def) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return def;
    unsigned long long v = 0;
    auto [p, ec] = std::from_chars(s.data() + i, s.data() + s.size(), v, base);
    if (ec != std::errc() || p != s.data() + s.size())
        return def;
    if (!neg && v > static_cast<unsigned long long>(INT_MAX))
        return def;
    if (neg && v > static_cast<unsigned long long>(INT_MAX) + 1)
        return def;
    return neg ? static_cast<int>(0 - v) : static_cast<int>(v);
}

} // namespace kvort::text
