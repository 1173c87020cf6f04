#include "platform/host/internet_curl.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

struct Page {
    const char* name;
    QByteArray body;
    QByteArray contentType;
    QString expected;
};

void PrintTo(const Page& p, std::ostream* os) { *os << p.name; }

class DecodePage : public ::testing::TestWithParam<Page> {};

TEST_P(DecodePage, ByDeclaredCharset)
{
    EXPECT_EQ(qni::decodePage(GetParam().body, GetParam().contentType), GetParam().expected);
}

const QString cafe = QStringLiteral("caf\u00e9");
const QString cafBad = QStringLiteral("caf\ufffd");

INSTANTIATE_TEST_SUITE_P(Charsets, DecodePage, ::testing::Values(
    Page{"no_charset_is_utf8", "caf\xc3\xa9", "text/plain", cafe},
    Page{"no_content_type_is_utf8", "caf\xc3\xa9", "", cafe},
    Page{"latin1", "caf\xe9", "text/html; charset=ISO-8859-1", cafe},
    Page{"quoted_any_case", "caf\xe9", "text/html;CharSet=\"latin1\"; q=1", cafe},
    Page{"windows_1252", "\x80", "text/plain; charset=windows-1252", QStringLiteral("\u20ac")},
    Page{"declared_utf8", "caf\xc3\xa9", "text/plain; charset=UTF-8", cafe},
    Page{"invalid_utf8_replaced", "caf\xe9", "text/plain; charset=utf-8", cafBad},
    Page{"unknown_charset_falls_back_to_utf8", "caf\xe9", "text/plain; charset=x-no-such-set", cafBad},
    Page{"truncated_sequence_at_end_replaced", "caf\xc3", "text/plain", cafBad},
    Page{"byte_order_mark_dropped", "\xef\xbb\xbf" "81.2.3.4", "text/plain", QStringLiteral("81.2.3.4")},
    Page{"nul_kept", QByteArray("a\0b", 3), "", QString::fromUtf16(u"a\0b", 3)},
    Page{"empty_charset_is_utf8", "caf\xc3\xa9", "text/plain; charset=", cafe}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
