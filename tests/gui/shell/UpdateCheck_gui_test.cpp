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

// Answers every request with `response`, or never when it is empty.
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
                    if (dripMs > 0)
                        Drip(s);
                    else if (!response.isEmpty()) {
                        s->write(response);
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
    // The response in pieces: the head at once (or byte by byte with
    // slowHead), then `piece` bytes of the body every dripMs; with `endless`
    // the reply never ends: `piece` copies of `more` every dripMs.
    void Drip(QTcpSocket *s)
    {
        const qsizetype blank = response.indexOf("\r\n\r\n"), headEnd = blank < 0 ? response.size() : blank + 4;
        qsizetype sent = slowHead ? 0 : headEnd;
        s->write(response.left(sent));
        auto *timer = new QTimer(s);
        QObject::connect(timer, &QTimer::timeout, s, [this, s, sent, headEnd]() mutable {
            const qsizetype n = sent < headEnd ? 1 : piece;
            if (sent < response.size())
                s->write(response.mid(sent, n)), sent += n;
            else if (endless)
                s->write(more.repeated(n));
        });
        timer->start(dripMs);
    }
    QString Host() const { return QStringLiteral("127.0.0.1:") + QString::number(server.serverPort()); }

    QTcpServer server;
    QByteArray response;
    int dripMs = 0, piece = 1;
    QByteArray more = "9";
    bool slowHead = false, endless = false;
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
    const struct {
        QByteArray body;
        const char *status;
        const char *box;  // "up", "none" (no connection), "" (no box: newer)
        const char *offered;
    } cases[] = {
        {"01.33.00", "200 OK", "up", ""},
        {"01.34.00", "200 OK", "", "01.34.00"},
        {"1.0", "200 OK", "", "1.0"},
        {"01.33.00\r\n", "200 OK", "up", ""},
        {"", "200 OK", "up", ""},
        {"<html><body>Proxy error</body></html>", "200 OK", "none", ""},
        {"01.34.00", "500 Internal Server Error", "none", ""},
        {"01.34.00", "404 Not Found", "none", ""},
        {QByteArray(1000, '9'), "200 OK", "none", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.body.left(20).toStdString() + " " + c.status);
        Start();
        WriteDate(old);
        boxes.clear();
        http.Reply(c.body, c.status);
        Preferences.Records[prStarter].SetInteger(7);
        form->CheckForUpdatesClick();
        ASSERT_TRUE(WaitForCheck());
        const std::string box = c.box;
        std::vector<std::string> want;
        if (box == "up")
            want = {Box(UpToDateText)};
        else if (box == "none")
            want = {Box(NoConnectionText)};
        EXPECT_EQ(boxes, want);
        EXPECT_EQ(std::tuple(UpgradeShown(), form->LabelNewVersion->text().toStdString()),
                  std::tuple(box.empty(), std::string(box.empty() ? c.offered : "")));
        // A reply that came is remembered as a successful check.
        EXPECT_EQ(StoredDate(), box == "none" ? old : today);
        EXPECT_EQ(http.paths.last(), QStringLiteral("/download/version.vlm?7"));
    }
    EXPECT_EQ(Box(UpToDateText), "Check For Updates|Velmora Version 01.33.00\n\nYour Velmora version is up to date   ");
    EXPECT_EQ(Box(NoConnectionText), "Check For Updates|Velmora Version 01.33.00\n\nNo connection to Velmora Internet "
                                     "Services    \n\nPlease check your online connection and repeat");
}

TEST_F(UpdateCheckTest, SilentCheckAtStartCountsTheStartFirst)
{
    StoreRun([](TPreferences &p) { p.Records[prStarter].SetInteger(7); });
    http.Reply("01.40.00");
    Start();
    ASSERT_TRUE(WaitForCheck());
    EXPECT_EQ(http.paths, QStringList{QStringLiteral("/download/version.vlm?8")});
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(std::tuple(UpgradeShown(), form->LabelNewVersion->text(), form->LabelVersion->text()),
              std::tuple(true, QStringLiteral("01.40.00"), QStringLiteral("Version  01.33.00")));

    // A failed silent check stays silent.
    StoreRun([](TPreferences &) {});
    http.Reply("", "503 Service Unavailable");
    Start();
    ASSERT_TRUE(WaitForCheck());
    EXPECT_EQ(std::tuple(boxes.size(), UpgradeShown()), std::tuple(size_t(0), false));
}

TEST_F(UpdateCheckTest, ServerThatNeverAnswersEndsWithinTheTimeOut)
{
    Start();
    form->UpdateClient()->TimeoutMs = 1500;
    QElapsedTimer clock;
    clock.start();
    form->CheckForUpdatesClick();
    // The window goes on at once; one check at a time.
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(form->UpdateClient()->Running());
    EXPECT_FALSE(Item("CheckForUpdates")->isEnabled());
    form->CheckForUpdatesClick();
    QTest::keyClicks(form->Grid(), QStringLiteral("7"));
    EXPECT_EQ(EditText.Cells[0][0].Ch, '7');
    ASSERT_TRUE(WaitForCheck());
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_EQ(boxes, std::vector<std::string>{Box(NoConnectionText)});
    EXPECT_EQ(http.paths.size(), 1);
    EXPECT_TRUE(Item("CheckForUpdates")->isEnabled());
}

// A server that answers slowly, byte by byte, or sends a head or a body without end,
// fast or slowly: the window goes on answering keys and the check ends at its
// time-out, or at the size cap, as failed.
TEST_F(UpdateCheckTest, SlowOrEndlessRepliesEndWithinTheTimeOut)
{
    const struct {
        const char *name;
        QByteArray body;
        int dripMs, piece;
        bool slowHead, endless;
        QByteArray more;
    } cases[] = {{"head byte by byte", "01.34.00", 100, 1, true, false, ""},
                 {"body byte by byte", QByteArray(40, '0'), 100, 1, false, false, ""},
                 {"endless body, fast", "", 1, 64, false, true, "9"},
                 {"endless body, slow", "", 100, 1, false, true, "9"},
                 {"endless head, fast", "", 1, 64, false, true, "X-Pad: 0123456789abcdef0123456789abcdef\r\n"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        http.Reply(c.body);
        if (c.endless)
            http.response.replace("Content-Length: 0\r\n", "");
        if (c.more.startsWith("X-"))
            http.response.chop(2);  // no blank line: the head goes on
        http.more = c.more;
        http.dripMs = c.dripMs, http.piece = c.piece, http.slowHead = c.slowHead, http.endless = c.endless;
        Start();
        boxes.clear();
        form->UpdateClient()->TimeoutMs = 1500;
        QElapsedTimer clock;
        clock.start();
        form->CheckForUpdatesClick();
        QTest::qWait(300);
        QTest::keyClicks(form->Grid(), QStringLiteral("5"));
        EXPECT_EQ(EditText.Cells[0][0].Ch, '5');
        EXPECT_LT(clock.elapsed(), 1000);
        ASSERT_TRUE(WaitForCheck());
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(boxes, std::vector<std::string>{Box(NoConnectionText)});
    }
}

TEST_F(UpdateCheckTest, UnconfiguredServerIsNeverAsked)
{
    TSettingsStore::SetUpdateServer(QString());
    EXPECT_EQ(TSettingsStore::UpdateServer(), QLatin1String(DefaultUpdateServer));
    Start();
    form->CheckForUpdatesClick();
    ASSERT_TRUE(WaitForCheck());
    EXPECT_EQ(boxes, std::vector<std::string>{Box(NoConnectionText)});
    EXPECT_TRUE(http.paths.isEmpty());
}

}  // namespace
