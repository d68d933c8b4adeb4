// The numeric test of the contact form against a hand-written scanner of the same grammar:
// blanks, an optional sign, digits with at most one ".", at least one digit, an optional
// exponent, blanks.
#include "FuzzCheck.h"
#include "rules/NumberText.h"

#include <cstdint>

namespace {

bool scanNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto blank = [&](qsizetype at) { return text[at] == u' ' || text[at] == u'\t'; };
    const auto digit = [&](qsizetype at) { return text[at] >= u'0' && text[at] <= u'9'; };
    while (i < n && blank(i))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    int digits = 0;
    while (i < n && digit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && digit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        int exponentDigits = 0;
        while (i < n && digit(i)) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    while (i < n && blank(i))
        ++i;
    return i == n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FUZZ_CHECK(NumberText::isNumeric(text) == scanNumber(text));
    return 0;
}
