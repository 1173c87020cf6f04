// SPDX-License-Identifier: MIT
// The Internet transfer control's fetch, through WinINet.
//
// The window keeps handling its events during the fetch, and the program
// has no thread of its own: WinINet runs asynchronously, its own threads
// call statusCallback, which only records what happened, and the fetch
// waits for those records in the event pump. Redirects are followed here,
// not by WinINet, so that each address is checked.
#include "windows_services.h"

#include "base/event_pump.h"
#include "base/step_failed.h"
#include "platform/network.h"
#include "win_text.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace qni {

namespace {

using Clock = std::chrono::steady_clock;

// Each bound keeps a bad or hostile server from holding the gather up or
// eating memory.
constexpr std::size_t kMaxBodyBytes = 1024 * 1024;
constexpr int kMaxRedirects = 5;

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;

std::string tooLarge() { return "the page is larger than " + std::to_string(kMaxBodyBytes / 1024) + " KiB"; }

std::string failure(DWORD error)
{
    switch (error) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
    case ERROR_INTERNET_PROXY_SERVER_UNREACHABLE:
        return "could not resolve host";
    case ERROR_INTERNET_CANNOT_CONNECT:
        return "could not connect";
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_INVALID_CERT:
        return "the server's certificate is not trusted";
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
        return "no secure connection";
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
        return "the connection broke off";
    case ERROR_INTERNET_TIMEOUT:
        return "no answer in time";
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
    case ERROR_INTERNET_INVALID_URL:
        return "not an http or https address";
    default:
        return "WinINet error " + std::to_string(error);
    }
}

// What WinINet's threads report about one request. It outlives the request
// until WinINet says the handle is closing: a report may come after the
// fetch has given up. Asynchronous calls write their results here too.
struct Progress {
    std::atomic<bool> completed{false};
    std::atomic<DWORD_PTR> result{0};
    std::atomic<DWORD> error{0};
    std::atomic<HINTERNET> created{nullptr};
    std::atomic<bool> closing{false};
    DWORD available = 0;
    DWORD read = 0;
    char buffer[16 * 1024];
};

// Requests given up before WinINet let go of them; freed once it has.
// Touched on the program's thread only.
std::vector<Progress*>& releasedProgress()
{
    static std::vector<Progress*> released;
    return released;
}

void freeReleased()
{
    std::erase_if(releasedProgress(), [](Progress* p) {
        if (!p->closing)
            return false;
        delete p;
        return true;
    });
}

// Runs on WinINet's threads, or on ours within a call: it records and
// returns, and nothing in it throws.
void CALLBACK statusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD) noexcept
{
    auto* const progress = reinterpret_cast<Progress*>(context);
    if (!progress)
        return;
    const auto* const result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
    if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        progress->closing = true;
    } else if (status == INTERNET_STATUS_HANDLE_CREATED && result) {
        progress->created = reinterpret_cast<HINTERNET>(result->dwResult);
    } else if (status == INTERNET_STATUS_REQUEST_COMPLETE && result) {
        progress->result = result->dwResult;
        progress->error = result->dwError;
        progress->completed = true;
    }
}

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h = nullptr) : h_(h) {}
    ~InternetHandle()
    {
        if (h_)
            InternetCloseHandle(h_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return h_; }

private:
    HINTERNET h_;
};

INTERNET_SCHEME schemeOf(const Text& url)
{
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = 1; // asks for the scheme
    if (url.find(u'\0') != Text::npos || !InternetCrackUrlW(win::wide(url), DWORD(url.size()), 0, &parts))
        return INTERNET_SCHEME_UNKNOWN;
    return parts.nScheme;
}

std::optional<Text> header(HINTERNET request, DWORD which)
{
    std::vector<wchar_t> value(256);
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = DWORD(value.size() * sizeof(wchar_t));
        if (HttpQueryInfoW(request, which, value.data(), &size, nullptr))
            return win::fromWide(value.data(), size / sizeof(wchar_t));
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return std::nullopt;
        value.resize(size / sizeof(wchar_t) + 1);
    }
    return std::nullopt;
}

// A header's number: up to 15 digits, nothing else.
std::optional<double> numberIn(const std::optional<Text>& value)
{
    if (!value)
        return std::nullopt;
    const TextView digits = trimmed(*value);
    if (digits.empty() || digits.size() > 15)
        return std::nullopt;
    double n = 0;
    for (const char16_t c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c - u'0');
    }
    return n;
}

// A request's handle and its progress record, let go of however the
// request ends, its construction included.
struct RequestState {
    Progress* progress = new Progress;
    HINTERNET handle = nullptr;

    RequestState() = default;
    RequestState(const RequestState&) = delete;
    RequestState& operator=(const RequestState&) = delete;
    ~RequestState()
    {
        const HINTERNET h = handle ? handle : progress->created.load();
        if (h)
            InternetCloseHandle(h);
        // A request that never had a handle hears nothing more.
        if (!h || progress->closing)
            delete progress;
        else
            releasedProgress().push_back(progress);
    }
};

// One request of the fetch: an address opened, its headers, its body.
class Request {
public:
    Request(HINTERNET session, const Text& url, EventPump& events, Clock::time_point deadline)
        : events_(events), deadline_(deadline)
    {
        state_.handle = InternetOpenUrlW(session, win::wide(url), nullptr, 0, kRequestFlags,
                                         reinterpret_cast<DWORD_PTR>(state_.progress));
        if (!state_.handle) {
            if (GetLastError() != ERROR_IO_PENDING)
                throw StepFailed(failure(GetLastError()));
            state_.handle = reinterpret_cast<HINTERNET>(awaitCompletion());
        }
    }

    HINTERNET handle() const { return state_.handle; }

    int status() const { return int(numberIn(header(state_.handle, HTTP_QUERY_STATUS_CODE)).value_or(0)); }

    // Read until the end or until it passes the cap, not to the end of a
    // body that goes on and on.
    std::string body()
    {
        const std::optional<Text> length = header(state_.handle, HTTP_QUERY_CONTENT_LENGTH);
        if (length && (trimmed(*length).size() > 15 || numberIn(length).value_or(0) > double(kMaxBodyBytes)))
            throw StepFailed(tooLarge());
        Progress& p = *state_.progress;
        std::string body;
        for (;;) {
            // A body that trickles in keeps every wait short.
            if (Clock::now() >= deadline_)
                throw StepFailed("no answer in time");
            p.completed = false;
            if (!InternetQueryDataAvailable(state_.handle, &p.available, 0, 0)) {
                if (GetLastError() != ERROR_IO_PENDING)
                    throw StepFailed(failure(GetLastError()));
                awaitCompletion();
                continue; // now known, and asked again without a wait
            }
            if (p.available == 0)
                return body;
            const DWORD wanted =
                DWORD(std::min<std::size_t>({p.available, sizeof p.buffer, kMaxBodyBytes + 1 - body.size()}));
            p.completed = false;
            p.read = 0;
            if (!InternetReadFile(state_.handle, p.buffer, wanted, &p.read)) {
                if (GetLastError() != ERROR_IO_PENDING)
                    throw StepFailed(failure(GetLastError()));
                awaitCompletion();
            }
            if (p.read == 0)
                return body;
            body.append(p.buffer, p.read);
            if (body.size() > kMaxBodyBytes)
                throw StepFailed(tooLarge());
        }
    }

private:
    DWORD_PTR awaitCompletion()
    {
        Progress& p = *state_.progress;
        events_.waitUntil([&] { return p.completed || Clock::now() >= deadline_; });
        if (!p.completed)
            throw StepFailed("no answer in time");
        if (p.result == 0)
            throw StepFailed(failure(p.error));
        return p.result;
    }

    EventPump& events_;
    Clock::time_point deadline_;
    RequestState state_;
};

Text combined(const Text& base, const Text& relative)
{
    std::vector<wchar_t> out(INTERNET_MAX_URL_LENGTH + 1);
    DWORD size = DWORD(out.size());
    if (relative.find(u'\0') != Text::npos
        || !InternetCombineUrlW(win::wide(base), win::wide(relative), out.data(), &size, 0))
        throw StepFailed("not an http or https address");
    return win::fromWide(out.data(), size);
}

bool isRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

class WindowsInternet final : public Internet {
public:
    explicit WindowsInternet(std::chrono::milliseconds limit) : limit_(limit) {}
    ~WindowsInternet() override { freeReleased(); }

    Text openUrl(const Text& url, EventPump& events) override
    {
        freeReleased();
        const Clock::time_point deadline = Clock::now() + limit_;
        INTERNET_SCHEME scheme = schemeOf(url);
        if (scheme != INTERNET_SCHEME_HTTP && scheme != INTERNET_SCHEME_HTTPS)
            throw StepFailed("not an http or https address");
        // The system's proxy settings, as the browser has them.
        const InternetHandle session(InternetOpenW(L"Quarn Network Information/1.00", INTERNET_OPEN_TYPE_PRECONFIG,
                                                   nullptr, nullptr, INTERNET_FLAG_ASYNC));
        if (!session.get())
            throw StepFailed(failure(GetLastError()));
        if (InternetSetStatusCallbackW(session.get(), statusCallback) == INTERNET_INVALID_STATUS_CALLBACK)
            throw StepFailed(failure(GetLastError()));

        Text address = url;
        for (int redirects = 0;; ++redirects) {
            Request request(session.get(), address, events, deadline);
            const int status = request.status();
            const std::optional<Text> location = isRedirect(status) ? header(request.handle(), HTTP_QUERY_LOCATION)
                                                                    : std::nullopt;
            if (!location) {
                if (status >= 400)
                    throw StepFailed("the server answered HTTP " + std::to_string(status));
                const std::string body = request.body();
                return decodePage(body, header(request.handle(), HTTP_QUERY_CONTENT_TYPE).value_or(Text()));
            }
            if (redirects == kMaxRedirects)
                throw StepFailed("too many redirects");
            const Text next = combined(address, *location);
            const INTERNET_SCHEME nextScheme = schemeOf(next);
            if (nextScheme != INTERNET_SCHEME_HTTP && nextScheme != INTERNET_SCHEME_HTTPS)
                throw StepFailed("not an http or https address");
            if (scheme == INTERNET_SCHEME_HTTPS && nextScheme == INTERNET_SCHEME_HTTP)
                throw StepFailed("redirected from https to http");
            address = next;
            scheme = nextScheme;
        }
    }

private:
    std::chrono::milliseconds limit_;
};

// The charset parameter of a Content-Type, lower case, without quotes.
std::string declaredCharset(TextView contentType)
{
    const std::vector<Text> parts = split(contentType, u';');
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const TextView parameter = trimmed(parts[i]);
        const std::size_t eq = parameter.find(u'=');
        if (eq == TextView::npos || lowered(trimmed(parameter.substr(0, eq))) != u"charset")
            continue;
        TextView value = trimmed(parameter.substr(eq + 1));
        if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
            value = trimmed(value.substr(1, value.size() - 2));
        return toUtf8(lowered(value));
    }
    return {};
}

// A number after one of the prefixes ("windows-1251", "cp866").
unsigned numberAfter(const std::string& name, const std::string& prefix)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 || name.size() > prefix.size() + 5)
        return 0;
    unsigned n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        n = n * 10 + unsigned(name[i] - '0');
    }
    return n;
}

unsigned codePageOf(const std::string& name)
{
    static const std::pair<const char*, unsigned> kNamed[] = {
        {"shift_jis", 932}, {"shift-jis", 932}, {"sjis", 932},          {"windows-31j", 932}, {"gb2312", 936},
        {"gbk", 936},       {"big5", 950},      {"euc-kr", 949},        {"ks_c_5601-1987", 949},
        {"koi8-r", 20866},  {"koi8-u", 21866},  {"euc-jp", 20932},
    };
    for (const auto& [n, page] : kNamed) {
        if (name == n)
            return page;
    }
    if (const unsigned n = numberAfter(name, "iso-8859-"); n >= 2 && n <= 15)
        return 28590 + n;
    for (const char* prefix : {"windows-", "cp", "ibm"}) {
        if (const unsigned n = numberAfter(name, prefix))
            return n;
    }
    return 0;
}

} // namespace

Text decodePage(std::string_view body, TextView contentType)
{
    const std::string charset = declaredCharset(contentType);
    if (charset == "iso-8859-1" || charset == "latin1" || charset == "us-ascii" || charset == "ascii")
        return fromLatin1(body);
    const unsigned codePage = codePageOf(charset);
    if (codePage != 0 && codePage != CP_UTF8 && IsValidCodePage(codePage))
        return win::fromCodePage(codePage, body);
    return fromUtf8(body);
}

std::shared_ptr<Internet> makeWindowsInternet(std::chrono::milliseconds limit)
{
    return std::make_shared<WindowsInternet>(limit);
}

} // namespace qni
