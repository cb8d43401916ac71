// The update check's request: one HTTP GET to the update server, run
// without blocking the window, ended after a time-out, its reply capped in
// size. One check at a time.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <string>

#include "shell/UpdateReply.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

class TUpdateClient : public QObject {
    Q_OBJECT
public:
    explicit TUpdateClient(QObject *parent = nullptr);

    // Starts a request to http://host/download/version.vlm?starter; false
    // when a check is already running.
    bool Start(const QString &host, int32_t starter);
    bool Running() const { return running_; }

    // The longest a check may take, from the request to the last byte.
    int TimeoutMs = 5000;

signals:
    // The reply judged; version is the server's version text.
    void Finished(TUpdateVerdict verdict, const QString &version);

private:
    void Done();

    QNetworkAccessManager *net_;
    QTimer *deadline_;
    QPointer<QNetworkReply> reply_;
    bool tooLarge_ = false;
    bool running_ = false;
};
