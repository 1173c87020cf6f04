#include "platform/host/internet_curl.h"

#include "base/step_failed.h"
#include "platform/host/host_platform.h"
#include "platform/network.h"

#include <QList>
#include <QStringDecoder>

#include <curl/curl.h>

#include <string>

namespace qni {

namespace {

// The fetch runs on the window's thread: each bound keeps a bad or hostile
// server from freezing the window or eating memory.
constexpr long kConnectTimeoutMs = 3000;
constexpr long kTotalTimeoutMs = 10000;
constexpr qint64 kMaxBodyBytes = 1024 * 1024; // a larger body is a failed fetch
constexpr long kMaxRedirects = 5;

// libcurl's global set-up may run only once per process and before any
// other thread uses it; a function-local static gives both.
CURLcode globalInit()
{
    static const CURLcode rc = curl_global_init(CURL_GLOBAL_DEFAULT);
    return rc;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

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

// The Internet transfer control: http and https only, TLS verified, an HTTP
// status of 400 or more is a failed fetch.
class CurlInternet final : public Internet {
public:
    QString openUrl(const QString& url) override
    {
        if (globalInit() != CURLE_OK)
            throw StepFailed("libcurl could not be initialised");
        const CurlHandle curl(curl_easy_init());
        if (!curl)
            throw StepFailed("libcurl could not be initialised");

        const QByteArray address = url.toUtf8();
        // A page asked for over https must not be handed over in clear text.
        const bool secure = address.trimmed().toLower().startsWith("https:");
        Body body;
        char error[CURL_ERROR_SIZE] = {};

        CURL* c = curl.get();
        curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
        curl_easy_setopt(c, CURLOPT_URL, address.constData());
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, kTotalTimeoutMs);
        // Refuses a body whose declared length is already too large before
        // any of it is read.
        curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(c, CURLOPT_USERAGENT, "Quarn Network Information/1.00");
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);

        const CURLcode rc = curl_easy_perform(c);
        if (body.overflow || rc == CURLE_FILESIZE_EXCEEDED)
            throw StepFailed("The page is larger than " + std::to_string(kMaxBodyBytes) + " bytes");
        if (rc != CURLE_OK)
            throw StepFailed(error[0] ? error : curl_easy_strerror(rc));
        long status = 0;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
        if (status >= 400)
            throw StepFailed("HTTP status " + std::to_string(status));

        const char* contentType = nullptr;
        curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &contentType);
        return decodePage(body.bytes, QByteArray(contentType));
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
    globalInit();
    return std::make_shared<CurlInternet>();
}

} // namespace qni
