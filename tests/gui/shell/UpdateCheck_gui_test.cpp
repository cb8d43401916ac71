// The update check against a small HTTP server of the test's own on
// 127.0.0.1: replies, failures, the time-out and the start counter.
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/UpdateClient.h"
#include "shell/UpdateReply.h"

namespace {

// Answers each request with `response` (never when empty), then with `more` again and again: 64 copies every
// millisecond, or one copy every `dripMs` when set.
struct TinyHttp {
    TinyHttp()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] {
                    const QByteArray request = s->property("request").toByteArray() + s->readAll();
                    s->setProperty("request", request);
                    if (!request.contains("\r\n\r\n"))
                        return;
                    paths << QString::fromLatin1(request.split(' ').value(1));
                    s->write(response);
                    if (!more.isEmpty()) {
                        auto *timer = new QTimer(s);
                        const QByteArray piece = dripMs ? more : more.repeated(64);
                        QObject::connect(timer, &QTimer::timeout, s, [s, piece] { s->write(piece); });
                        timer->start(dripMs ? dripMs : 1);
                    } else if (!response.isEmpty()) {
                        s->disconnectFromHost();
                    }
                });
            }
        });
    }
    QTcpServer server;
    QByteArray response, more;
    int dripMs = 0;
    QStringList paths;
};

QByteArray Http(const QByteArray &body, const char *status = "200 OK")
{
    return "HTTP/1.1 " + QByteArray(status) + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
           body;
}

using UpdateCheckTest = FreshWindowTest;

TEST_F(UpdateCheckTest, EachReplyEndsInItsMessageOrTheUpgradePanel)
{
    TinyHttp http;
    const double today = TSettingsStore::Today(), old = today - 100;
    const std::string up = "Check For Updates|Velmora Version 01.33.00\n\nYour Velmora version is up to date   ",
                      none = "Check For Updates|Velmora Version 01.33.00\n\nNo connection to Velmora Internet "
                             "Services    \n\nPlease check your online connection and repeat";
    enum { Manual, AtStart, NoServer, Dripping };  // Dripping: manual, `more` every 50 ms
    const std::tuple<int, QByteArray, QByteArray, std::vector<std::string>, const char *> rows[] = {
        {Manual, Http("01.33.00"), "", {up}, ""},
        {Manual, Http("01.34.00"), "", {}, "01.34.00"},
        {Manual, Http("<html><body>Proxy error</body></html>"), "", {none}, ""},
        {Manual, Http("01.34.00", "500 Internal Server Error"), "", {none}, ""},
        {AtStart, Http("01.40.00", "503 Service Unavailable"), "", {}, ""},
        {AtStart, Http("01.40.00"), "", {}, "01.40.00"},
        {Manual, "", "", {none}, ""},                                          // no answer: the time-out
        {Manual, "HTTP/1.1 200 OK\r\n\r\n", "9", {none}, ""},                  // a body without end: the size cap
        {Manual, "HTTP/1.1 200 OK\r\n", "X-Pad: 0123456789\r\n", {none}, ""},  // a head without end
        {NoServer, Http("01.34.00"), "", {none}, ""},                          // nobody is asked
        {Dripping, "HTTP/1.1 200 OK\r\n\r\n", "0", {none}, ""},  // a byte at a time: the whole check still ends
    };
    for (const auto &[kind, response, more, box, offered] : rows) {
        SCOPED_TRACE(response.left(40).toStdString() + more.toStdString());
        form.reset(), QFile::remove(dir.filePath(QStringLiteral("Velmora.ini")));  // nothing stored: no check at start
        TSettingsStore::SetUpdateServer(
            kind == NoServer ? QString() : QStringLiteral("127.0.0.1:") + QString::number(http.server.serverPort()));
        http.response = response, http.more = more, http.dripMs = kind == Dripping ? 50 : 0;
        http.paths.clear(), boxes.clear();
        if (kind == AtStart)
            StoreRun([](TPreferences &p) { p.Records[prStarter].SetInteger(7); });
        QElapsedTimer clock;
        Start(true), clock.start();
        if (kind != AtStart) {
            WriteDate(old), form->UpdateClient()->TimeoutMs = kind == Dripping ? 500 : 1500;
            Preferences.Records[prStarter].SetInteger(7), form->CheckForUpdatesClick();
            EXPECT_FALSE(Item("CheckForUpdates")->isEnabled());
            form->CheckForUpdatesClick();  // one check at a time
        }
        if (response.isEmpty() || !more.isEmpty()) {  // the window goes on answering keys
            QTest::qWait(300), QTest::keyClicks(form->Grid(), QStringLiteral("5"));
            EXPECT_EQ(std::pair(EditText.Cells[0][0].Ch, clock.elapsed() < 1000), std::pair(uint8_t('5'), true));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->UpdateClient()->Running(); }, 10000));
        const std::string panel = (form->PanelUpgrade->isVisible() ? "shown " : "") +
                                  (form->LabelVersion->text() + " " + form->LabelNewVersion->text()).toStdString();
        EXPECT_EQ(
            std::tuple(boxes, panel, Item("CheckForUpdates")->isEnabled(), clock.elapsed() < 3000),
            std::tuple(box, *offered ? "shown Version  01.33.00 " + std::string(offered) : "Version ", true, true));
        TSettingsStore store;  // a reply that came is remembered as a successful check
        double date = 0;
        EXPECT_TRUE(store.OpenReadOnly() && store.ReadDate(CheckDateName, date) && store.Close());
        EXPECT_TRUE(kind == AtStart || date == (box == std::vector{up} || *offered ? today : old)) << date;
        EXPECT_EQ(http.paths.join(' '),
                  kind == NoServer ? QString() : "/download/version.vlm?" + QString::number(7 + (kind == AtStart)));
    }
}

}  // namespace
