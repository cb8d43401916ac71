#include "UpdateClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

TUpdateClient::TUpdateClient(QObject *parent)
    : QObject(parent), net_(new QNetworkAccessManager(this)), deadline_(new QTimer(this))
{
    // The transfer time-out starts again with every byte: a server that
    // drips its reply would hold the check for ever. The whole check has
    // TimeoutMs.
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] {
        if (reply_)
            reply_->abort();
    });
}

bool TUpdateClient::Start(const QString &host, int32_t starter)
{
    if (running_)
        return false;
    running_ = true;
    tooLarge_ = false;
    // A name under ".invalid" never resolves: no one is asked.
    if (host.endsWith(QStringLiteral(".invalid"), Qt::CaseInsensitive)) {
        QTimer::singleShot(0, this, [this] {
            running_ = false;
            emit Finished(TUpdateVerdict::Failed, QString());
        });
        return true;
    }
    const QUrl url(QStringLiteral("http://") + host + QString::fromStdString(UpdateRequestPath(starter)));
    QNetworkRequest request(url);
    reply_ = net_->get(request);
    deadline_->start(TimeoutMs);
    // A reply larger than a version text is cut short: it is not one.
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > MaxUpdateReply && reply_) {
            tooLarge_ = true;
            reply_->abort();
        }
    });
    connect(reply_, &QNetworkReply::finished, this, &TUpdateClient::Done);
    return true;
}

void TUpdateClient::Done()
{
    QNetworkReply *reply = reply_;
    reply_ = nullptr;
    if (!reply)
        return;
    running_ = false;
    deadline_->stop();
    reply->deleteLater();
    TUpdateVerdict verdict = TUpdateVerdict::Failed;
    std::string version;
    if (!tooLarge_ && reply->error() == QNetworkReply::NoError) {
        const QByteArray body = reply->read(MaxUpdateReply + 1);
        verdict = JudgeUpdateReply(body.toStdString(), version);
    }
    emit Finished(verdict, QString::fromLatin1(version.data(), qsizetype(version.size())));
}
