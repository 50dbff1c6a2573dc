#include "core/xml/XmlText.h"

#include "core/xml/XmlOutput.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace clipforge {

namespace {

// What each byte becomes when written; empty for bytes written as themselves.
struct EscapeTable {
    std::array<std::array<char, 7>, 256> text{};
    std::array<unsigned char, 256> length{};

    constexpr EscapeTable()
    {
        set('"', "&quot;");
        set('&', "&amp;");
        set('\'', "&apos;");
        set('<', "&lt;");
        set('>', "&gt;");
        constexpr const char* digits = "0123456789ABCDEF";
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char reference[] = {'&', '#', 'x', digits[byte >> 4], digits[byte & 15], ';', 0};
            set(static_cast<unsigned char>(byte), reference);
        }
    }

    constexpr void set(unsigned char byte, const char* replacement)
    {
        unsigned char n = 0;
        while (replacement[n] != 0) {
            text[byte][n] = replacement[n];
            ++n;
        }
        length[byte] = n;
    }
};

constexpr EscapeTable escapes;

constexpr char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Tries a named reference after "&"; returns its length (without the "&")
// and the byte it stands for, or 0.
size_t namedReference(std::string_view rest, char& byte)
{
    struct Named {
        std::string_view name;
        char byte;
    };
    static constexpr Named names[] = {
        {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"apos;", '\''}, {"quot;", '"'}};
    for (const auto& named : names) {
        if (rest.size() >= named.name.size() && equalsIgnoreCase(rest.substr(0, named.name.size()), named.name)) {
            byte = named.byte;
            return named.name.size();
        }
    }
    return 0;
}

int digitValue(char c, int base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && upper(c) >= 'A' && upper(c) <= 'F')
        return upper(c) - 'A' + 10;
    return -1;
}

// Tries "#digits;" or "#xdigits;" after "&"; same contract as namedReference.
// Only the low eight bits of the number matter, so it is kept modulo 256.
size_t characterReference(std::string_view rest, char& byte)
{
    if (rest.size() < 3 || rest[0] != '#')
        return 0;
    const bool hex = rest[1] == 'x' || rest[1] == 'X';
    const int base = hex ? 16 : 10;
    size_t i = hex ? 2 : 1;
    const size_t firstDigit = i;
    unsigned value = 0;
    bool positive = false;
    for (; i < rest.size(); ++i) {
        const int digit = digitValue(rest[i], base);
        if (digit < 0)
            break;
        value = (value * static_cast<unsigned>(base) + static_cast<unsigned>(digit)) & 0xFFu;
        positive = positive || digit != 0;
    }
    if (i == firstDigit || i >= rest.size() || rest[i] != ';' || !positive)
        return 0;
    byte = static_cast<char>(value);
    return i + 1;
}

#if defined(__SSE2__)
// Bit i set when byte i of the sixteen needs escaping.
int escapeMask(__m128i bytes)
{
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&'))),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\'')),
                     _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('<')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('>')))));
    // The sign bit of each byte marks 0x80 to 0xFF.
    return _mm_movemask_epi8(_mm_or_si128(special, bytes));
}

const char* atMask(const char* p, unsigned mask)
{
    return p + __builtin_ctz(mask);
}
#endif

// The first byte at or after p that the writer must escape, or end. Sixteen
// bytes are tested at a time where the processor allows: nearly every value
// is a run that needs nothing, and many are names and numbers shorter than
// sixteen bytes.
const char* findByteToEscape(const char* p, const char* end)
{
#if defined(__SSE2__)
    const auto size = static_cast<size_t>(end - p);
    if (size < 16) {
        char padded[16] = {};
        std::memcpy(padded, p, size);
        const auto found = static_cast<unsigned>(escapeMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(padded))));
        return found != 0 ? atMask(p, found) : end;
    }
    for (; end - p >= 16; p += 16) {
        const auto found = static_cast<unsigned>(escapeMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
        if (found != 0)
            return atMask(p, found);
    }
    if (p == end)
        return end;
    // The last sixteen bytes, of which the first few were tested already.
    const auto tested = static_cast<unsigned>(16 - (end - p));
    const auto found =
        static_cast<unsigned>(escapeMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16)))) >> tested;
    return found != 0 ? atMask(p, found) : end;
#else
    while (p < end && escapes.length[static_cast<unsigned char>(*p)] == 0)
        ++p;
    return p;
#endif
}

}  // namespace

void appendEncoded(XmlOutput& output, std::string_view value)
{
    const char* p = value.data();
    const char* const end = p + value.size();
    for (;;) {
        const char* special = findByteToEscape(p, end);
        output.write(p, static_cast<size_t>(special - p));
        if (special == end)
            return;
        const auto byte = static_cast<unsigned char>(*special);
        output.write(escapes.text[byte].data(), escapes.length[byte]);
        p = special + 1;
    }
}

void assignDecoded(std::string& target, std::string_view text)
{
    const void* firstAmpersand = std::memchr(text.data(), '&', text.size());
    if (firstAmpersand == nullptr) {
        target.assign(text);
        return;
    }
    target.clear();
    target.reserve(text.size());
    size_t i = static_cast<size_t>(static_cast<const char*>(firstAmpersand) - text.data());
    target.append(text.substr(0, i));
    while (i < text.size()) {
        const size_t ampersand = text.find('&', i);
        if (ampersand == std::string_view::npos) {
            target.append(text.substr(i));
            break;
        }
        target.append(text.substr(i, ampersand - i));
        const std::string_view rest = text.substr(ampersand + 1);
        char byte = '&';
        size_t used = namedReference(rest, byte);
        if (used == 0)
            used = characterReference(rest, byte);
        target.push_back(byte);
        i = ampersand + 1 + used;
    }
}

std::string decodeValue(std::string_view text)
{
    std::string result;
    assignDecoded(result, text);
    return result;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0)
        return true;
    for (size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

}  // namespace clipforge
