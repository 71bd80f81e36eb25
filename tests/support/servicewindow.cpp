#include "servicewindow.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace servicewindow {

QByteArray detailsDocument(const QStringList& positions, const QString& verdict, const QString& between)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><userinfo><response>") +
                  verdict.toHtmlEscaped() + QStringLiteral("</response>");
    for (int i = 0; i < positions.size(); ++i) {
        const QString name = QStringLiteral("f%1").arg(i + 1);
        xml += between;
        if (positions.at(i).isNull())
            xml += QLatin1Char('<') + name + QStringLiteral("/>");
        else
            xml += QLatin1Char('<') + name + QLatin1Char('>') + positions.at(i).toHtmlEscaped() +
                   QStringLiteral("</") + name + QLatin1Char('>');
    }
    xml += between + QStringLiteral("</userinfo>");
    return xml.toUtf8();
}

QStringList freshPositions()
{
    return {QStringLiteral("77"),
            QStringLiteral("carol"),
            QStringLiteral("carol@example.net"),
            QStringLiteral("1"),
            QStringLiteral("Basic Plan"),
            QStringLiteral("2024-02-02"),
            QStringLiteral("Expire 1 Jan 2030"),
            QStringLiteral("yesterday"),
            QStringLiteral("3"),
            QStringLiteral("12 GB"),
            QStringLiteral("5:Bank Transfer"),
            QStringLiteral("9:Lifetime"),
            QStringLiteral("NL1^198.18.10.3^OpenVPN"),
            QString(QLatin1String(""))};
}

LumtarMain* startWindow(WindowHarness& h)
{
    LumtarMain* window = h.create();
    h.settle(1000);
    return window;
}

bool submitLogin(WindowHarness& h, const QString& user, const QString& password, int timeoutMs)
{
    h.find<QLineEdit>(QStringLiteral("username"))->setText(user);
    h.find<QLineEdit>(QStringLiteral("password"))->setText(password);
    auto* progress = h.find<QProgressBar>(QStringLiteral("progressBar"));
    progress->setValue(0);
    h.invoke("on_login_clicked");
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (progress->value() >= 99)
            return true;
        QTest::qWait(10);
    }
    return false;
}

bool fetchAccountDetails(WindowHarness& h, int timeoutMs)
{
    auto* stored = h.find<QTextBrowser>(QStringLiteral("userdatatext"));
    const QString marker = QStringLiteral("waiting for the account reply");
    stored->setPlainText(marker);
    h.invoke("GetUserData");
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (stored->toPlainText() != marker)
            return true;
        QTest::qWait(10);
    }
    return false;
}

RecordedRequest lastRequest(const WindowHarness& h, const QString& path)
{
    const QList<RecordedRequest> requests = h.sim.requests(path);
    return requests.isEmpty() ? RecordedRequest() : requests.last();
}

} // namespace servicewindow
