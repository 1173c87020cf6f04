// SPDX-License-Identifier: MIT
#include "com_support.h"

#include "win_text.h"

#include <windows.h>

#include <cstring>
#include <exception>

namespace qni::win {

namespace {

bool isNumber(VARTYPE type)
{
    switch (type) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
    case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL:
        return true;
    default:
        return false;
    }
}

// An array item as a script's Join writes it; Empty and Null join as "".
std::optional<Text> itemText(const VARIANT& item)
{
    const std::optional<Variant> value = fromVariant(item);
    if (!value || value->kind() == Variant::Kind::Array)
        return std::nullopt;
    return value->joinedText();
}

std::optional<Variant> fromArray(const VARIANT& value)
{
    const SAFEARRAY* const array = (value.vt & VT_BYREF) ? *value.pparray : value.parray;
    const VARTYPE type = value.vt & VT_TYPEMASK;
    if (!array)
        return Variant::array({});
    if (array->cDims != 1 || type == VT_DECIMAL || (type == VT_VARIANT && array->cbElements != sizeof(VARIANT)))
        return std::nullopt;
    std::vector<Text> items;
    const auto* data = static_cast<const unsigned char*>(array->pvData);
    for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i) {
        const void* element = data + std::size_t(i) * array->cbElements;
        std::optional<Text> text;
        if (type == VT_VARIANT) {
            text = itemText(*static_cast<const VARIANT*>(element));
        } else {
            // A scalar's bytes sit at the start of the value union.
            VARIANT item;
            VariantInit(&item);
            if (array->cbElements > sizeof item.llVal)
                return std::nullopt;
            item.vt = type;
            std::memcpy(&item.llVal, element, array->cbElements);
            text = itemText(item); // borrowed: not cleared
        }
        if (!text)
            return std::nullopt;
        items.push_back(std::move(*text));
    }
    return Variant::array(std::move(items));
}

} // namespace

std::optional<Variant> fromVariant(const VARIANT& value)
{
    if (value.vt & VT_ARRAY)
        return fromArray(value);
    if (value.vt & VT_BYREF) {
        ScopedVariant copy;
        if (FAILED(VariantCopyInd(&copy, const_cast<VARIANT*>(&value))))
            return std::nullopt;
        return fromVariant(copy);
    }
    switch (value.vt) {
    case VT_EMPTY:
        return Variant();
    case VT_NULL:
        return Variant::null();
    case VT_BSTR:
        return Variant::text(value.bstrVal ? fromWide(value.bstrVal, SysStringLen(value.bstrVal)) : Text());
    case VT_BOOL:
        return Variant::boolean(value.boolVal != VARIANT_FALSE);
    default:
        break;
    }
    ScopedVariant converted;
    const VARTYPE target = isNumber(value.vt) ? VT_R8 : VT_BSTR;
    if (value.vt == VT_UNKNOWN || value.vt == VT_DISPATCH
        || FAILED(VariantChangeTypeEx(&converted, const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT, 0, target)))
        return std::nullopt;
    if (target == VT_R8)
        return Variant::number(converted.dblVal);
    return Variant::text(fromWide(converted.bstrVal, SysStringLen(converted.bstrVal)));
}

} // namespace qni::win
