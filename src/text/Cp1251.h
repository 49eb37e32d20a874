#pragma once
// CP1251 is the text of the system: the configuration files, the panel image
// and every text of the core are CP1251 bytes. UTF-8 appears only at the
// edges (widgets, terminal, JSON), and this is the one conversion table.
#include <string>
#include <string_view>

namespace kvort::text {

// CP1251 bytes -> UTF-8. The one undefined byte 0x98 becomes U+FFFD.
std::string toUtf8(std::string_view cp1251);

// UTF-8 -> CP1251 bytes. Throws TextError for malformed UTF-8 or for a
// character that has no CP1251 form, naming the character.
std::string fromUtf8(std::string_view utf8);

// The same, but a character without a CP1251 form becomes `replacement`
// (used where a person's typing must never fail, e.g. the typing filter).
std::string fromUtf8Lossy(std::string_view utf8, char replacement = '?');

// Upper case of one CP1251 byte: Latin a-z and every Cyrillic lower-case
// letter of the code page (а-я, ё, і, ї, є, ў, ґ, ђ, ѓ, љ, њ, ќ, ћ, џ, ј, ѕ).
char upper(char c);
std::string upper(std::string_view cp1251);

// The typing filter for zone names and detector texts: Ї, І, і, ї become the
// Latin "I" and "№" is dropped. Upper-casing is separate (upper()).
std::string typingFilter(std::string_view cp1251);

// Blanks (space, tab) trimmed at both ends.
std::string_view trim(std::string_view s);

// Case-insensitive (CP1251 upper case) comparison of two names with the
// blanks around them ignored: "ПЛАН ЗОНЫ " matches "план зоны".
bool sameName(std::string_view a, std::string_view b);

// The folded form that sameName compares: trimmed and upper-cased.
std::string foldName(std::string_view name);

} // namespace kvort::text
