#include "Format.h"

#include "Error.h"

#include <charconv>
#include <climits>

namespace kvort::text {

std::string IntToStr(long long v) {
    return std::to_string(v);
}

void AppendDecimal(std::string& out, long long v, int digits) {
    char buf[24];
    const unsigned long long mag =
        v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    const auto end = std::to_chars(buf, buf + sizeof buf, mag).ptr;
    const auto size = static_cast<std::size_t>(end - buf);
    if (v < 0)
        out += '-';
    if (digits > 0 && size < static_cast<std::size_t>(digits))
        out.append(static_cast<std::size_t>(digits) - size, '0');
    out.append(buf, size);
}

// Runs on every section name and step key the exports and the decoder
// build, so it writes straight into the result, without a heap string per
// field.
std::string Format(std::string_view pattern, std::initializer_list<Arg> args) {
    std::string out;
    // Short results ("05", "097") stay in the string itself: a reserve
    // would take them to the heap.
    if (pattern.size() > 8)
        out.reserve(pattern.size() + 16);
    auto next = args.begin();
    size_t i = 0;
    auto bad = [&](const char* why) {
        throw Error(std::string("неверный формат «") + std::string(pattern) + "»: " + why);
    };
    auto number = [&](int& into) {
        if (i >= pattern.size() || pattern[i] < '0' || pattern[i] > '9')
            return;
        into = 0;
        for (; i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9'; ++i) {
            into = into * 10 + (pattern[i] - '0');
            if (into > 4096)
                bad("слишком большая ширина");
        }
    };
    while (i < pattern.size()) {
        const size_t plain = pattern.find('%', i);
        out.append(pattern.substr(i, plain - i));
        if (plain == std::string_view::npos)
            break;
        i = plain + 1;
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
        number(width);
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            prec = 0;
            number(prec);
        }
        if (i >= pattern.size())
            bad("обрыв после %");
        const char conv = pattern[i++];
        if (next == args.end())
            bad("не хватает аргументов");
        const FormatArg& a = (next++)->value;
        // A number's field is built apart (short enough to need no heap for
        // any precision a pattern of ours has), a string is cut in place.
        std::string number;
        std::string_view body;
        if (conv == 'd') {
            const long long* v = std::get_if<long long>(&a);
            if (!v)
                bad("%d ждёт число");
            AppendDecimal(number, *v, prec);
            body = number;
        } else if (conv == 's') {
            const std::string_view* v = std::get_if<std::string_view>(&a);
            if (!v)
                bad("%s ждёт строку");
            body = prec >= 0 ? v->substr(0, static_cast<size_t>(prec)) : *v;
        } else {
            bad("неизвестное преобразование");
        }
        const size_t size = body.size();
        const size_t pad = width > 0 && size < static_cast<size_t>(width) ? width - size : 0;
        if (!left)
            out.append(pad, ' ');
        out.append(body);
        if (left)
            out.append(pad, ' ');
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
