// The update check against a small HTTP server of the test's own on
// 127.0.0.1: replies, failures, the time-out and the start counter.
#include <QElapsedTimer>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <tuple>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/UpdateClient.h"
#include "shell/UpdateReply.h"

namespace {

// Answers every request with `response`, or never when it is empty; with
// dripMs, the response is followed by `more` every dripMs without end.
class TinyHttp {
public:
    TinyHttp()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                auto *request = new QByteArray;
                QObject::connect(s, &QObject::destroyed, [request] { delete request; });
                QObject::connect(s, &QTcpSocket::readyRead, [this, s, request] {
                    *request += s->readAll();
                    if (!request->contains("\r\n\r\n"))
                        return;
                    paths << QString::fromLatin1(request->split(' ').value(1));
                    s->write(response);
                    if (dripMs > 0) {
                        auto *timer = new QTimer(s);
                        QObject::connect(timer, &QTimer::timeout, s, [this, s] { s->write(more.repeated(64)); });
                        timer->start(dripMs);
                    } else if (!response.isEmpty()) {
                        s->disconnectFromHost();
                    }
                });
            }
        });
    }
    void Reply(const QByteArray &body, const char *status = "200 OK")
    {
        response = QByteArray("HTTP/1.1 ") + status +
                   "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
                   "\r\nConnection: close\r\n\r\n" + body;
    }
    QString Host() const { return QStringLiteral("127.0.0.1:") + QString::number(server.serverPort()); }

    QTcpServer server;
    QByteArray response, more;
    int dripMs = 0;
    QStringList paths;
};

class UpdateCheckTest : public FreshWindowTest {
protected:
    void SetUp() override
    {
        FreshWindowTest::SetUp();
        TSettingsStore::SetUpdateServer(http.Host());
    }
    bool WaitForCheck()
    {
        return QTest::qWaitFor([&] { return !form->UpdateClient()->Running(); }, 10000);
    }
    std::string Box(const std::string &text) { return std::string(UpdateTitle) + "|" + text; }
    bool UpgradeShown() { return form->PanelUpgrade->isVisible(); }

    TinyHttp http;
};

TEST_F(UpdateCheckTest, ManualCheckReportsEachReply)
{
    const double today = TSettingsStore::Today(), old = today - 100;
    const std::string up = Box(UpToDateText), none = Box(NoConnectionText);
    // the body and status, then the box shown (none: newer) and the version offered
    const std::tuple<QByteArray, const char *, std::string, const char *> cases[] = {
        {"01.33.00", "200 OK", up, ""},
        {"01.34.00", "200 OK", "", "01.34.00"},
        {"<html><body>Proxy error</body></html>", "200 OK", none, ""},
        {"01.34.00", "500 Internal Server Error", none, ""},
    };
    for (const auto &[body, status, box, offered] : cases) {
        SCOPED_TRACE(body.left(20).toStdString() + " " + status);
        Start();
        WriteDate(old);
        boxes.clear();
        http.Reply(body, status);
        Preferences.Records[prStarter].SetInteger(7);
        form->CheckForUpdatesClick();
        ASSERT_TRUE(WaitForCheck());
        EXPECT_EQ(boxes, box.empty() ? std::vector<std::string>() : std::vector{box});
        EXPECT_EQ(std::tuple(UpgradeShown(), form->LabelNewVersion->text().toStdString()),
                  std::tuple(box.empty(), std::string(offered)));
        // A reply that came is remembered as a successful check.
        EXPECT_EQ(StoredDate(), box == none ? old : today);
        EXPECT_EQ(http.paths.last(), QStringLiteral("/download/version.vlm?7"));
    }
    EXPECT_EQ(up, "Check For Updates|Velmora Version 01.33.00\n\nYour Velmora version is up to date   ");
    EXPECT_EQ(none, "Check For Updates|Velmora Version 01.33.00\n\nNo connection to Velmora Internet "
                    "Services    \n\nPlease check your online connection and repeat");
}

TEST_F(UpdateCheckTest, SilentCheckAtStartCountsTheStartFirstAndFailsSilently)
{
    for (const auto &[status, shown] : {std::pair{"503 Service Unavailable", false}, {"200 OK", true}}) {
        StoreRun([](TPreferences &p) { p.Records[prStarter].SetInteger(7); });
        http.Reply("01.40.00", status);
        http.paths.clear();
        Start();
        ASSERT_TRUE(WaitForCheck());
        EXPECT_EQ(std::tuple(http.paths, boxes.size(), UpgradeShown(), form->LabelNewVersion->text()),
                  std::tuple(QStringList{QStringLiteral("/download/version.vlm?8")}, size_t(0), shown,
                             QString(shown ? "01.40.00" : "")));
    }
    EXPECT_EQ(form->LabelVersion->text(), QStringLiteral("Version  01.33.00"));
}

// A server that never answers, or sends a body or a head without end: the
// window goes on answering keys, one check runs at a time, and it ends at its
// time-out, or at the size cap, as failed.
TEST_F(UpdateCheckTest, SilentOrEndlessServersEndWithinTheTimeOut)
{
    for (const QByteArray more : {"", "9", "X-Pad: 0123456789abcdef0123456789abcdef\r\n"}) {
        SCOPED_TRACE(more.left(2).toStdString());
        http.Reply("");
        http.response.replace("Content-Length: 0\r\n", "");
        if (more.startsWith("X-"))
            http.response.chop(2);  // no blank line: the head goes on
        if (more.isEmpty())
            http.response.clear();
        http.more = more, http.dripMs = more.isEmpty() ? 0 : 1, http.paths.clear();
        Start();
        boxes.clear();
        form->UpdateClient()->TimeoutMs = 1500;
        QElapsedTimer clock;
        clock.start();
        form->CheckForUpdatesClick();
        EXPECT_FALSE(Item("CheckForUpdates")->isEnabled());
        form->CheckForUpdatesClick();
        QTest::qWait(300);
        QTest::keyClicks(form->Grid(), QStringLiteral("5"));
        EXPECT_EQ(EditText.Cells[0][0].Ch, '5');
        EXPECT_LT(clock.elapsed(), 1000);
        ASSERT_TRUE(WaitForCheck());
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(boxes, std::vector<std::string>{Box(NoConnectionText)});
        EXPECT_EQ(std::pair(http.paths.size(), Item("CheckForUpdates")->isEnabled()), std::pair(qsizetype(1), true));
    }
}

TEST_F(UpdateCheckTest, UnconfiguredServerIsNeverAsked)
{
    TSettingsStore::SetUpdateServer(QString());
    EXPECT_EQ(TSettingsStore::UpdateServer(), QLatin1String(DefaultUpdateServer));
    Start();
    form->CheckForUpdatesClick();
    ASSERT_TRUE(WaitForCheck());
    EXPECT_EQ(std::pair(boxes, http.paths.isEmpty()), std::pair(std::vector<std::string>{Box(NoConnectionText)}, true));
}

}  // namespace
