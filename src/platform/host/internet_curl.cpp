// SPDX-License-Identifier: MIT
#include "platform/host/internet_curl.h"

#include "base/step_failed.h"
#include "platform/host/curl_library.h"
#include "platform/host/responsive_wait.h"
#include "platform/host/host_platform.h"
#include "platform/network.h"

#include <QList>
#include <QScopeGuard>
#include <QStringDecoder>

#include <cctype>
#include <string>

namespace qni {

namespace {

// The fetch runs inside a gather on the window's thread: each bound keeps a
// bad or hostile server from holding the gather up or eating memory.
constexpr long kConnectTimeoutMs = 3000;
constexpr long kTotalTimeoutMs = 10000;
constexpr qint64 kMaxBodyBytes = 1024 * 1024; // a larger body is a failed fetch
constexpr long kMaxRedirects = 5;

struct EasyHandle {
    const CurlLibrary& curl;
    CURL* handle;
    ~EasyHandle() { curl.easyCleanup(handle); }
};

struct MultiHandle {
    const CurlLibrary& curl;
    CURLM* handle;
    ~MultiHandle() { curl.multiCleanup(handle); }
};

struct Body {
    QByteArray bytes;
    bool overflow = false;
};

size_t onBody(char* data, size_t size, size_t count, void* user)
{
    auto* body = static_cast<Body*>(user);
    const size_t length = size * count;
    // Refusing the bytes aborts the transfer at once, so a huge page costs
    // at most the cap in memory and is not read to its end.
    if (static_cast<qint64>(length) > kMaxBodyBytes - body->bytes.size()) {
        body->overflow = true;
        return 0;
    }
    body->bytes.append(data, static_cast<qsizetype>(length));
    return length;
}

QByteArray declaredCharset(const QByteArray& contentType)
{
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray param = parts.at(i).trimmed();
        const qsizetype eq = param.indexOf('=');
        if (eq < 0 || param.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = param.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2).trimmed();
        return value;
    }
    return {};
}

// Why a transfer failed, as a person would put it ("could not resolve host").
std::string fetchFailure(const CurlLibrary& curl, CURLcode rc)
{
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "could not resolve host";
    case CURLE_COULDNT_CONNECT:
        return "could not connect";
    case CURLE_OPERATION_TIMEDOUT:
        return "no answer in time";
    case CURLE_PEER_FAILED_VERIFICATION:
        return "the server's certificate is not trusted";
    case CURLE_SSL_CONNECT_ERROR:
        return "no secure connection";
    case CURLE_TOO_MANY_REDIRECTS:
        return "too many redirects";
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "not an http or https address";
    case CURLE_URL_MALFORMAT:
        return "not a valid address";
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return "the connection broke off";
    default: {
        std::string text = curl.easyStrerror(rc);
        if (!text.empty())
            text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        return text;
    }
    }
}

// The Internet transfer control: http and https only, TLS verified, an HTTP
// status of 400 or more is a failed fetch.
class CurlInternet final : public Internet {
public:
    QString openUrl(const QString& url) override
    {
        const CurlLibrary& curl = curlLibrary();
        const EasyHandle easy{curl, curl.easyInit()};
        const MultiHandle multi{curl, curl.multiInit()};
        if (!easy.handle || !multi.handle)
            throw StepFailed("libcurl could not be initialised");

        const QByteArray address = url.toUtf8();
        // A page asked for over https must not be handed over in clear text.
        const bool secure = address.trimmed().toLower().startsWith("https:");
        Body body;

        CURL* c = easy.handle;
        const auto set = curl.easySetopt;
        set(c, CURLOPT_URL, address.constData());
        set(c, CURLOPT_NOSIGNAL, 1L);
        set(c, CURLOPT_PROTOCOLS_STR, "http,https");
        set(c, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
        set(c, CURLOPT_FOLLOWLOCATION, 1L);
        set(c, CURLOPT_MAXREDIRS, kMaxRedirects);
        set(c, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
        set(c, CURLOPT_TIMEOUT_MS, kTotalTimeoutMs);
        // Refuses a body whose declared length is already too large before
        // any of it is read.
        set(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
        set(c, CURLOPT_SSL_VERIFYPEER, 1L);
        set(c, CURLOPT_SSL_VERIFYHOST, 2L);
        set(c, CURLOPT_USERAGENT, "Quarn Network Information/1.00");
        set(c, CURLOPT_WRITEFUNCTION, onBody);
        set(c, CURLOPT_WRITEDATA, &body);

        const CURLcode rc = transfer(curl, multi.handle, c);
        if (body.overflow || rc == CURLE_FILESIZE_EXCEEDED)
            throw StepFailed("the page is larger than " + std::to_string(kMaxBodyBytes / 1024) + " KiB");
        if (rc != CURLE_OK)
            throw StepFailed(fetchFailure(curl, rc));
        long status = 0;
        curl.easyGetinfo(c, CURLINFO_RESPONSE_CODE, &status);
        if (status >= 400)
            throw StepFailed("the server answered HTTP " + std::to_string(status));

        const char* contentType = nullptr;
        curl.easyGetinfo(c, CURLINFO_CONTENT_TYPE, &contentType);
        return decodePage(body.bytes, QByteArray(contentType));
    }

private:
    // Runs the transfer to its end through the multi interface, so that the
    // window keeps painting meanwhile; the bounds set on the handle still
    // end it.
    static CURLcode transfer(const CurlLibrary& curl, CURLM* multi, CURL* easy)
    {
        if (const CURLMcode mc = curl.multiAddHandle(multi, easy); mc != CURLM_OK)
            throw StepFailed(curl.multiStrerror(mc));
        const auto detach = qScopeGuard([&] { curl.multiRemoveHandle(multi, easy); });
        CURLMcode failure = CURLM_OK;
        waitResponsively([&](int waitMs) {
            int running = 0;
            failure = curl.multiPerform(multi, &running);
            if (failure != CURLM_OK || running == 0)
                return true;
            // libcurl shortens the wait to its own next time-out.
            failure = curl.multiPoll(multi, nullptr, 0, waitMs < 0 ? int{kTotalTimeoutMs} : waitMs, nullptr);
            return failure != CURLM_OK;
        });
        if (failure != CURLM_OK)
            throw StepFailed(curl.multiStrerror(failure));
        int queued = 0;
        while (const CURLMsg* message = curl.multiInfoRead(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
                return message->data.result;
        }
        return CURLE_RECV_ERROR;
    }
};

} // namespace

QString decodePage(const QByteArray& body, const QByteArray& contentType)
{
    // Stateless: a sequence cut off at the end of the body is replaced too,
    // not silently held back.
    const QByteArray charset = declaredCharset(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
        if (decoder.isValid())
            return decoder.decode(body);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return utf8.decode(body);
}

std::shared_ptr<Internet> makeHostInternet()
{
    return std::make_shared<CurlInternet>();
}

} // namespace qni
