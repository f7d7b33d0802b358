#include "JsonOverflowingNumbers.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace quorin {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// End of the number token starting at `start`, following the JSON grammar as the
// parser's lexer does: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
// A malformed tail ends the token early; the parser rejects the text there anyway.
std::size_t numberEnd(std::string_view text, std::size_t start)
{
    std::size_t at = start;
    if (text[at] == '-')
        ++at;
    if (at < text.size() && text[at] == '0')
        ++at;
    else
        at = skipDigits(text, at);
    if (at + 1 < text.size() && text[at] == '.' && isDigit(text[at + 1]))
        at = skipDigits(text, at + 1);
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (exponent < text.size() && isDigit(text[exponent]))
            at = skipDigits(text, exponent);
    }
    return at;
}

// strtod as the parser calls it: with the locale's decimal point.
bool overflows(std::string_view token)
{
    std::string copy(token);
    char decimalPoint = *std::localeconv()->decimal_point;
    for (char& c : copy) {
        if (c == '.')
            c = decimalPoint;
    }
    return std::isinf(std::strtod(copy.c_str(), nullptr));
}

std::size_t stringEnd(std::string_view text, std::size_t openingQuote)
{
    std::size_t at = openingQuote + 1;
    while (at < text.size()) {
        if (text[at] == '\\')
            at += 2;
        else if (text[at++] == '"')
            return at;
    }
    return text.size();
}

} // namespace

JsonOverflowingNumbers JsonOverflowingNumbers::rewrite(std::string_view text)
{
    JsonOverflowingNumbers result;
    result.text.reserve(text.size());
    std::size_t numberIndex = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        char c = text[at];
        if (c == '"') {
            std::size_t end = stringEnd(text, at);
            result.text.append(text.substr(at, end - at));
            at = end;
        } else if (c == '-' || isDigit(c)) {
            std::size_t end = std::max(numberEnd(text, at), at + 1);
            std::string_view token = text.substr(at, end - at);
            if (overflows(token)) {
                result.numberIndexes.push_back(numberIndex);
                result.text.push_back('0');
            } else {
                result.text.append(token);
            }
            ++numberIndex;
            at = end;
        } else {
            result.text.push_back(c);
            ++at;
        }
    }
    return result;
}

} // namespace quorin
