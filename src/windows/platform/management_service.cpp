// SPDX-License-Identifier: MIT
// The management instrumentation through its COM interfaces. The scripting
// objects that "winmgmts:" binds to (SWbemServices) would do, but their
// property sets cannot be enumerated under Wine (ISWbemPropertySet's
// _NewEnum is not implemented there), which would leave this untested. The
// interfaces beneath them give the same instances and the same properties in
// the same order: the moniker's defaults are the local root\cimv2 with
// impersonation, and its InstancesOf and ExecQuery return at once and
// enumerate forward.
#include "windows_services.h"

#include "base/step_failed.h"
#include "com_support.h"
#include "platform/management.h"
#include "win_text.h"

#include <windows.h>
#include <wbemcli.h>

namespace qni {

namespace {

using win::Bstr;
using win::Com;
using win::ComApartment;

// A hung provider must not hold the window for ever; scripts would wait.
constexpr long kObjectTimeoutMs = 60000;

Text reason(HRESULT hr)
{
    // The scripting host's wording for the errors a script meets here.
    switch (static_cast<unsigned long>(hr)) {
    case WBEM_E_FAILED: return u"Generic failure";
    case WBEM_E_NOT_FOUND: return u"Not found";
    case WBEM_E_ACCESS_DENIED: return u"Access denied";
    case WBEM_E_INVALID_NAMESPACE: return u"Invalid namespace";
    case WBEM_E_INVALID_CLASS: return u"Invalid class";
    case WBEM_E_INVALID_QUERY: return u"Invalid query";
    case WBEM_E_INVALID_QUERY_TYPE: return u"Invalid query language";
    case WBEM_E_SHUTTING_DOWN: return u"The management service is shutting down";
    case static_cast<unsigned long>(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)):
        return u"The remote server machine does not exist or is unavailable";
    default: return win::systemMessage(static_cast<unsigned long>(hr));
    }
}

[[noreturn]] void fail(HRESULT hr)
{
    throw StepFailed(reason(hr) + u", error " + win::hex(static_cast<unsigned long>(hr)));
}

// Calls on a proxy of the service run with the caller's identity, as the
// moniker's default impersonation level has them. In process (as under
// Wine) there is no proxy, and nothing to set.
void impersonate(IUnknown* proxy)
{
    CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

ManagementObject readObject(IWbemClassObject* object)
{
    ManagementObject read;
    HRESULT hr = object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY);
    if (FAILED(hr))
        fail(hr);
    for (;;) {
        BSTR name = nullptr;
        win::ScopedVariant value;
        hr = object->Next(0, &name, &value, nullptr, nullptr);
        if (hr != WBEM_S_NO_ERROR)
            break;
        const Text propertyName = win::fromWide(name, SysStringLen(name));
        SysFreeString(name);
        if (std::optional<Variant> v = win::fromVariant(value))
            read.properties.emplace_back(propertyName, std::move(*v));
    }
    object->EndEnumeration();
    if (FAILED(hr))
        fail(hr);
    return read;
}

ManagementCollection readAll(IEnumWbemClassObject* objects)
{
    impersonate(objects);
    ManagementCollection all;
    for (;;) {
        Com<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT hr = objects->Next(kObjectTimeoutMs, 1, object.out(), &returned);
        if (hr == WBEM_S_TIMEDOUT)
            throw StepFailed(u"the management service gave no answer within " +
                             decimal(kObjectTimeoutMs / 1000) + u" seconds");
        if (FAILED(hr))
            fail(hr);
        if (returned == 0)
            return all;
        all.push_back(readObject(object.get()));
    }
}

class WindowsManagementService final : public ManagementService {
public:
    WindowsManagementService(std::shared_ptr<ComApartment> apartment, IWbemServices* services)
        : apartment_(std::move(apartment)), services_(services)
    {
    }

    ManagementCollection instancesOf(TextView className) const override
    {
        const Bstr name(win::wide(Text(className)));
        Com<IEnumWbemClassObject> objects;
        const HRESULT hr = services_->CreateInstanceEnum(name, kFlags, nullptr, objects.out());
        if (FAILED(hr))
            fail(hr);
        return readAll(objects.get());
    }

    ManagementCollection execQuery(TextView query) const override
    {
        const Bstr language(L"WQL");
        const Bstr text(win::wide(Text(query)));
        Com<IEnumWbemClassObject> objects;
        const HRESULT hr = services_->ExecQuery(language, text, kFlags, nullptr, objects.out());
        if (FAILED(hr))
            fail(hr);
        return readAll(objects.get());
    }

private:
    static constexpr long kFlags = WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY;

    std::shared_ptr<ComApartment> apartment_; // first in, last out
    Com<IWbemServices> services_;
};

class WindowsManagement final : public ManagementProvider {
public:
    std::unique_ptr<ManagementService> bind() const override
    {
        // COM starts with the first bind, on the program's one thread, and
        // ends when the provider and every service it bound have gone.
        if (!apartment_)
            apartment_ = std::make_shared<ComApartment>();
        if (!apartment_->usable())
            fail(apartment_->result());
        Com<IWbemLocator> locator;
        HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(locator.out()));
        if (FAILED(hr))
            fail(hr);
        const Bstr space(L"root\\cimv2");
        IWbemServices* services = nullptr;
        hr = locator->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
        if (FAILED(hr))
            fail(hr);
        auto service = std::make_unique<WindowsManagementService>(apartment_, services);
        impersonate(services);
        return service;
    }

private:
    mutable std::shared_ptr<ComApartment> apartment_;
};

} // namespace

std::shared_ptr<const ManagementProvider> makeWindowsManagement() { return std::make_shared<WindowsManagement>(); }

} // namespace qni
