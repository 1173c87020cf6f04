// SPDX-License-Identifier: MIT
// The Internet transfer control's fetch, through Qt's network access.
#include "host/internet_service.h"
#include "host/qt_text.h"

#include "base/event_pump.h"
#include "base/step_failed.h"
#include "host/host_platform.h"
#include "platform/network.h"

#include <QDeadlineTimer>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QUrl>

#include <string>

namespace qni {

namespace {

// The fetch runs inside a gather: each bound keeps a bad or hostile server
// from holding the gather up or eating memory.
constexpr std::chrono::milliseconds kTotalLimit(10000);
constexpr qint64 kMaxBodyBytes = 1024 * 1024; // a larger body is a failed fetch
constexpr int kMaxRedirects = 5;

bool isPageScheme(const QString& scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
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
std::string fetchFailure(const QNetworkReply& reply)
{
    switch (reply.error()) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
        return "could not resolve host";
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError:
        return "could not connect";
    case QNetworkReply::SslHandshakeFailedError:
        return "no secure connection";
    case QNetworkReply::TooManyRedirectsError:
        return "too many redirects";
    case QNetworkReply::ProtocolUnknownError:
        return "not an http or https address";
    case QNetworkReply::InsecureRedirectError:
        return "redirected from https to http";
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
        return "the connection broke off";
    default:
        return reply.errorString().toStdString();
    }
}

// One fetch: the reply, what has come of its body, and the first reason to
// give it up.
class Fetch {
public:
    Fetch(QNetworkAccessManager& manager, const QString& url, std::chrono::milliseconds limit)
        : deadline_(limit.count())
    {
        QNetworkRequest request{QUrl(url)};
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Quarn Network Information/1.00"));
        // Qt follows only http and https, and this refuses https down to http.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        request.setMaximumRedirectsAllowed(kMaxRedirects);
        reply_ = manager.get(request);
        // Qt reads no further ahead than this, so a fast endless body costs
        // at most the cap in memory.
        reply_->setReadBufferSize(kMaxBodyBytes + 1);
        QObject::connect(reply_, &QNetworkReply::metaDataChanged, reply_, [this] { onHeaders(); });
        QObject::connect(reply_, &QNetworkReply::readyRead, reply_, [this] { onBody(); });
        // Nothing ignores these, so the handshake fails; this says why.
        QObject::connect(reply_, &QNetworkReply::sslErrors, reply_, [this] {
            if (failure_.empty())
                failure_ = "the server's certificate is not trusted";
        });
    }

    ~Fetch()
    {
        reply_->abort();
        delete reply_;
    }

    bool finished()
    {
        if (!reply_->isFinished() && deadline_.hasExpired())
            giveUp("no answer in time");
        return reply_->isFinished();
    }

    QString page()
    {
        onBody();
        if (!failure_.empty())
            throw StepFailed(failure_);
        // An HTTP error status is reported by its number, not by Qt's text.
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400)
            throw StepFailed("the server answered HTTP " + std::to_string(status));
        if (reply_->error() != QNetworkReply::NoError)
            throw StepFailed(fetchFailure(*reply_));
        return decodePage(body_, reply_->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    }

private:
    void giveUp(std::string reason)
    {
        if (failure_.empty())
            failure_ = std::move(reason);
        reply_->abort();
    }

    // A declared length already too large is refused before any of the body.
    void onHeaders()
    {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxBodyBytes)
            giveUp(tooLarge());
    }

    void onBody()
    {
        if (!failure_.empty())
            return;
        body_ += reply_->read(kMaxBodyBytes + 1 - body_.size());
        // Given up as soon as it passes the cap, not read to its end.
        if (body_.size() > kMaxBodyBytes)
            giveUp(tooLarge());
    }

    static std::string tooLarge() { return "the page is larger than " + std::to_string(kMaxBodyBytes / 1024) + " KiB"; }

    QNetworkReply* reply_ = nullptr;
    QDeadlineTimer deadline_;
    QByteArray body_;
    std::string failure_;
};

// The Internet transfer control: http and https only, TLS verified, ten
// seconds and a mebibyte at most; the proxy variables apply.
class HostInternet final : public Internet {
public:
    explicit HostInternet(std::chrono::milliseconds limit) : limit_(limit) {}

    Text openUrl(const Text& url, EventPump& events) override
    {
        const QUrl address(toQt(url));
        if (!address.isValid() || !isPageScheme(address.scheme().toLower()))
            throw StepFailed("not an http or https address");
        // http_proxy, https_proxy and no_proxy, as other programs here read them.
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        QNetworkAccessManager manager;
        Fetch fetch(manager, toQt(url), limit_);
        events.waitUntil([&] { return fetch.finished(); });
        return fromQt(fetch.page());
    }

private:
    std::chrono::milliseconds limit_;
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

std::shared_ptr<Internet> makeHostInternet(std::chrono::milliseconds limit)
{
    return std::make_shared<HostInternet>(limit);
}

std::shared_ptr<Internet> makeHostInternet()
{
    return makeHostInternet(kTotalLimit);
}

} // namespace qni
