// SPDX-License-Identifier: MIT
#include "com_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qni;

namespace {

// A one-dimensional array whose items `set` fills in by index.
SAFEARRAY* arrayOf(VARTYPE type, LONG count, const std::function<void(void*, LONG)>& set)
{
    SAFEARRAY* array = SafeArrayCreateVector(type, 0, ULONG(count));
    for (LONG i = 0; i < count; ++i) {
        void* item = nullptr;
        SafeArrayPtrOfIndex(array, &i, &item);
        set(item, i);
    }
    return array;
}

} // namespace

TEST(FromVariant, EveryKindTheManagementServiceGives)
{
    using Fill = std::function<void(VARIANT&)>;
    const std::tuple<const char*, VARTYPE, Fill, std::optional<Variant>> cases[] = {
        {"empty", VT_EMPTY, [](VARIANT&) {}, Variant()},
        {"null", VT_NULL, [](VARIANT&) {}, Variant::null()},
        {"text", VT_BSTR, [](VARIANT& v) { v.bstrVal = SysAllocString(L"12345-oem"); }, Variant::text(u"12345-oem")},
        {"null BSTR", VT_BSTR, [](VARIANT& v) { v.bstrVal = nullptr; }, Variant::text(u"")},
        {"uint32", VT_I4, [](VARIANT& v) { v.lVal = 2992; }, Variant::number(2992)},
        {"uint8", VT_UI1, [](VARIANT& v) { v.bVal = 200; }, Variant::number(200)},
        {"uint64", VT_UI8, [](VARIANT& v) { v.ullVal = 1ULL << 33; }, Variant::number(8589934592.0)},
        {"real32", VT_R4, [](VARIANT& v) { v.fltVal = 2.5f; }, Variant::number(2.5)},
        {"decimal", VT_DECIMAL, [](VARIANT& v) { VarDecFromI4(-1234567, &v.decVal), v.vt = VT_DECIMAL; },
         Variant::number(-1234567)},
        {"boolean", VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; }, Variant::boolean(true)},
        {"reference", VT_BYREF | VT_I4, [](VARIANT& v) { static LONG n = 42; v.plVal = &n; }, Variant::number(42)},
        {"strings", VT_ARRAY | VT_BSTR,
         [](VARIANT& v) {
             v.parray = arrayOf(VT_BSTR, 2, [](void* item, LONG i) {
                 *static_cast<BSTR*>(item) = SysAllocString(i ? L"fe80::1" : L"192.168.1.5");
             });
         },
         Variant::array({u"192.168.1.5", u"fe80::1"})},
        {"numbers", VT_ARRAY | VT_I4,
         [](VARIANT& v) { v.parray = arrayOf(VT_I4, 2, [](void* item, LONG i) { *static_cast<LONG*>(item) = 20 - 21 * i; }); },
         Variant::array({u"20", u"-1"})},
        {"variants", VT_ARRAY | VT_VARIANT,
         [](VARIANT& v) {
             v.parray = arrayOf(VT_VARIANT, 3, [](void* item, LONG i) {
                 auto& value = *static_cast<VARIANT*>(item);
                 value.vt = i == 0 ? VT_BSTR : i == 1 ? VT_NULL : VT_BOOL;
                 if (i == 0)
                     value.bstrVal = SysAllocString(L"255.255.255.0");
                 if (i == 2)
                     value.boolVal = VARIANT_TRUE;
             });
         },
         Variant::array({u"255.255.255.0", u"", u"True"})},
        // No text at all: the property is left out.
        {"object", VT_UNKNOWN, [](VARIANT& v) { v.punkVal = nullptr; }, std::nullopt},
        {"objects", VT_ARRAY | VT_UNKNOWN, [](VARIANT& v) { v.parray = arrayOf(VT_UNKNOWN, 1, [](void*, LONG) {}); },
         std::nullopt},
        {"error", VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; }, std::nullopt},
    };
    for (const auto& [name, type, fill, expected] : cases) {
        win::ScopedVariant v;
        v.vt = type;
        fill(v);
        EXPECT_EQ(win::fromVariant(v), expected) << name;
    }
    // A date is its text as the user's locale writes it.
    win::ScopedVariant date;
    date.vt = VT_DATE;
    date.date = 36526.5; // 2000-01-01 12:00
    const std::optional<Variant> text = win::fromVariant(date);
    ASSERT_TRUE(text && text->kind() == Variant::Kind::Text);
    EXPECT_NE(text->toText().find(u"2000"), Text::npos);
}
