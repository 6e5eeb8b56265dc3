#include "app/thumbs/ThumbnailFetcher.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <deque>
#include <vector>

#include "common/RetryAfter.h"

namespace zb {

namespace {

struct Pending {
    std::string Address;
    int Retry = 0;  // retries already used
};

// One running transfer. Its timer (a child of the reply, so it goes with it) first guards the
// connection set-up, then the silence between two pieces of the body.
struct Transfer {
    Pending Item;
    QNetworkReply* Reply = nullptr;
    QTimer* Timer = nullptr;
    std::string Data;
    std::string Failure;  // set before an abort of our own: why it was aborted
};

struct RetryWait {
    Pending Item;
    QTimer* Timer = nullptr;
};

bool IsRetryStatus(int status) {
    return status == 429 || status == 503;
}

}  // namespace

struct ThumbnailFetcher::Impl {
    ThumbnailFetcher* Q;
    ThumbnailSettings Settings;
    QNetworkAccessManager Manager;
    std::deque<Pending> Queue;
    std::vector<std::unique_ptr<Transfer>> Running;
    std::vector<RetryWait> Waits;
    std::deque<ThumbnailResult> Rejected;  // addresses that cannot be fetched, told on the loop
    QTimer RejectTimer;

    explicit Impl(ThumbnailFetcher* q) : Q(q) {
        Manager.setProxy(QNetworkProxy::NoProxy);
        RejectTimer.setSingleShot(true);
        RejectTimer.setInterval(0);
        QObject::connect(&RejectTimer, &QTimer::timeout, Q, [this] { DeliverRejected(); });
    }

    ~Impl() { DropAll(); }

    int Jobs() const { return std::clamp(Settings.Jobs, 1, 16); }

    void ApplyProxy() {
        if (Settings.ProxyHost.empty())
            Manager.setProxy(QNetworkProxy::NoProxy);
        else
            Manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy,
                                           QString::fromStdString(Settings.ProxyHost),
                                           static_cast<quint16>(Settings.ProxyPort)));
    }

    void DropAll() {
        Queue.clear();
        Rejected.clear();
        RejectTimer.stop();
        for (auto& wait : Waits)
            delete wait.Timer;
        Waits.clear();
        // Moved out first: an abort finishes the reply at once, and nothing may see it half-gone.
        auto running = std::move(Running);
        Running.clear();
        for (auto& transfer : running) {
            transfer->Reply->disconnect();
            transfer->Reply->abort();
            delete transfer->Reply;
        }
    }

    void Pump() {
        while (static_cast<int>(Running.size()) < Jobs() && !Queue.empty()) {
            Pending item = std::move(Queue.front());
            Queue.pop_front();
            Start(std::move(item));
        }
    }

    void Reject(const std::string& address, const std::string& error) {
        ThumbnailResult result;
        result.Address = address;
        result.Error = error;
        Rejected.push_back(std::move(result));
        RejectTimer.start();
    }

    void DeliverRejected() {
        while (!Rejected.empty()) {
            ThumbnailResult result = std::move(Rejected.front());
            Rejected.pop_front();
            Tell(result);
        }
    }

    void Tell(const ThumbnailResult& result) {
        if (auto callback = Q->OnFinished) callback(result);
    }

    void Start(Pending item) {
        const QUrl url(QString::fromStdString(item.Address), QUrl::StrictMode);
        const bool https = url.scheme() == QLatin1String("https");
        if (!url.isValid() || (!https && url.scheme() != QLatin1String("http")) ||
            url.host().isEmpty()) {
            Reject(item.Address, "not an http:// or https:// address");
            return;
        }
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        if (https) request.setSslConfiguration(TlsConfiguration());
        auto transfer = std::make_unique<Transfer>();
        Transfer* t = transfer.get();
        t->Item = std::move(item);
        t->Reply = Manager.get(request);
        t->Timer = new QTimer(t->Reply);
        t->Timer->setSingleShot(true);
        QObject::connect(t->Timer, &QTimer::timeout, t->Reply, [t] { Abort(t, "timed out"); });
        QObject::connect(t->Reply, &QNetworkReply::requestSent, t->Timer, [this, t] { Idle(t); });
        QObject::connect(t->Reply, &QNetworkReply::metaDataChanged, t->Timer,
                         [this, t] { CheckLength(t); });
        QObject::connect(t->Reply, &QNetworkReply::readyRead, t->Timer, [this, t] { Read(t); });
        QObject::connect(t->Reply, &QNetworkReply::finished, Q, [this, t] { Finished(t); });
        t->Timer->start(std::max(1, Settings.TimeOutMs));
        Running.push_back(std::move(transfer));
    }

    // The system's trusted certificates, the CA file's besides, or no check with Insecure.
    QSslConfiguration TlsConfiguration() const {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!Settings.CaFile.empty()) {
            tls.addCaCertificates(
                QSslCertificate::fromPath(QString::fromStdString(Settings.CaFile)));
        }
        if (Settings.Insecure) tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        return tls;
    }

    void Idle(Transfer* t) { t->Timer->start(std::max(1, Settings.IdleTimeOutMs)); }

    static void Abort(Transfer* t, const std::string& why) {
        if (t->Failure.empty()) t->Failure = why;
        t->Reply->abort();  // finishes the reply at once
    }

    void CheckLength(Transfer* t) {
        Idle(t);
        const QVariant length = t->Reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > Settings.MaxBytes) Abort(t, "too large");
    }

    void Read(Transfer* t) {
        Idle(t);
        const QByteArray bytes = t->Reply->readAll();
        t->Data.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        if (static_cast<std::int64_t>(t->Data.size()) > Settings.MaxBytes) Abort(t, "too large");
    }

    void Finished(Transfer* t) {
        t->Timer->stop();
        if (t->Failure.empty()) {
            const QByteArray rest = t->Reply->readAll();
            t->Data.append(rest.constData(), static_cast<size_t>(rest.size()));
            if (static_cast<std::int64_t>(t->Data.size()) > Settings.MaxBytes)
                t->Failure = "too large";
        }
        ThumbnailResult result;
        result.Address = t->Item.Address;
        result.Status = t->Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.Error = Judge(*t, result.Status);
        const std::string retryAfter = t->Reply->rawHeader("Retry-After").trimmed().toStdString();
        if (result.Ok()) {
            result.Kind = SniffImageKind(t->Data);
            if (result.Kind.empty())
                result.Error = "not an image";
            else
                result.Data = std::move(t->Data);
        }
        const Pending item = t->Item;
        const bool ours = !t->Failure.empty();  // aborted here: no retry
        t->Reply->deleteLater();
        const auto it = std::find_if(Running.begin(), Running.end(),
                                     [t](const auto& running) { return running.get() == t; });
        if (it != Running.end()) Running.erase(it);

        if (!ours && IsRetryStatus(result.Status) && item.Retry < Settings.Retries) {
            ScheduleRetry(item, result.Status, retryAfter);
            Pump();
            return;
        }
        Pump();
        Tell(result);
    }

    // The error text for a finished transfer; empty when its body is complete and wanted.
    static std::string Judge(const Transfer& t, int status) {
        if (!t.Failure.empty()) return t.Failure;
        const QNetworkReply::NetworkError error = t.Reply->error();
        if (status != 0 && status != 200) return "HTTP " + std::to_string(status);
        if (status == 0)
            return error != QNetworkReply::NoError ? t.Reply->errorString().toStdString()
                                                   : "no answer";
        const QVariant length = t.Reply->header(QNetworkRequest::ContentLengthHeader);
        const auto got = static_cast<std::int64_t>(t.Data.size());
        if (length.isValid() && got < length.toLongLong())
            return "truncated: " + std::to_string(got) + " of " +
                   std::to_string(length.toLongLong()) + " bytes";
        if (error != QNetworkReply::NoError)
            return "truncated: " + t.Reply->errorString().toStdString();
        return "";
    }

    void ScheduleRetry(const Pending& item, int status, const std::string& retryAfter) {
        const int waitMs = RetryWaitMs(retryAfter, item.Retry, QDateTime::currentSecsSinceEpoch());
        std::string reason = "HTTP " + std::to_string(status);
        if (!retryAfter.empty()) reason += ", Retry-After " + retryAfter;
        if (auto callback = Q->OnRetryWait) callback(item.Address, waitMs, reason);
        auto* timer = new QTimer(Q);
        timer->setSingleShot(true);
        Waits.push_back({Pending{item.Address, item.Retry + 1}, timer});
        QObject::connect(timer, &QTimer::timeout, Q, [this, timer] { RetryNow(timer); });
        timer->start(waitMs);
    }

    void RetryNow(QTimer* timer) {
        const auto it = std::find_if(Waits.begin(), Waits.end(), [timer](const RetryWait& wait) {
            return wait.Timer == timer;
        });
        if (it == Waits.end()) return;
        Queue.push_front(std::move(it->Item));
        Waits.erase(it);
        timer->deleteLater();
        Pump();
    }
};

ThumbnailFetcher::ThumbnailFetcher(QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>(this)) {}

ThumbnailFetcher::~ThumbnailFetcher() = default;

void ThumbnailFetcher::SetSettings(const ThumbnailSettings& settings) {
    d->Settings = settings;
    d->ApplyProxy();
    d->Pump();
}

const ThumbnailSettings& ThumbnailFetcher::Settings() const {
    return d->Settings;
}

void ThumbnailFetcher::Enqueue(const std::string& address) {
    d->Queue.push_back(Pending{address, 0});
    d->Pump();
}

void ThumbnailFetcher::Clear() {
    d->DropAll();
}

int ThumbnailFetcher::Outstanding() const {
    return static_cast<int>(d->Queue.size() + d->Running.size() + d->Waits.size() +
                            d->Rejected.size());
}

}  // namespace zb
