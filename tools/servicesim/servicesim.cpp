#include "tools/servicesim/servicesim.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QMap>
#include <QRandomGenerator>
#include <QUrl>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

struct FileBody
{
    QByteArray bytes;
    QString diskPath; // read when served, so large files stay on disk
    bool substitute = false;
};

struct Answer
{
    int status = 200;
    QByteArray contentType = "text/plain";
    QByteArray body;
    QString location;
};

const QString baseToken = QStringLiteral("{base}");

QJsonValue substituted(const QJsonValue& value, const QString& base)
{
    switch (value.type()) {
    case QJsonValue::String: {
        QString text = value.toString();
        return text.replace(baseToken, base);
    }
    case QJsonValue::Array: {
        QJsonArray out;
        for (const QJsonValue& v : value.toArray()) {
            out.append(substituted(v, base));
        }
        return out;
    }
    case QJsonValue::Object: {
        QJsonObject out;
        const QJsonObject in = value.toObject();
        for (auto it = in.begin(); it != in.end(); ++it) {
            out.insert(it.key(), substituted(it.value(), base));
        }
        return out;
    }
    default:
        return value;
    }
}

// Decodes the query the way web servers decode form values: "+" is a blank, then %XX.
QList<QPair<QString, QString>> decodeQuery(const QByteArray& query)
{
    QList<QPair<QString, QString>> items;
    if (query.isEmpty()) {
        return items;
    }
    for (const QByteArray& part : query.split('&')) {
        if (part.isEmpty()) {
            continue;
        }
        const int eq = part.indexOf('=');
        QByteArray key = eq < 0 ? part : part.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : part.mid(eq + 1);
        key.replace('+', ' ');
        value.replace('+', ' ');
        items.append(qMakePair(QUrl::fromPercentEncoding(key), QUrl::fromPercentEncoding(value)));
    }
    return items;
}

QByteArray htmlPage(const QString& title, const QString& body)
{
    return QStringLiteral("<html><head><title>%1</title></head><body>%2</body></html>")
        .arg(title.toHtmlEscaped(), body.toHtmlEscaped())
        .toUtf8();
}

QString randomPassword()
{
    static const char alphabet[] = "abcdefghijkmnpqrstuvwxyzACDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString password;
    for (int i = 0; i < 10; ++i) {
        password.append(
            QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof(alphabet) - 1))]));
    }
    return password;
}

} // namespace

struct ServiceSimulator::Private
{
    // Guards everything below that handlers read; handlers run on httplib's threads.
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;

    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 0;
    QString base;
    Layout layout = Layout::Lines;
    bool keepAlive = false;
    QList<QJsonObject> accounts;
    QJsonArray servers;
    QString latestVersion = QStringLiteral("4.0.2");
    QString installerUrl = QStringLiteral("{base}/files/update.exe");
    QString versionNote = QStringLiteral("stable");
    QHash<QString, FileBody> files;
    QString echoAddress;
    QList<RecordedRequest> recorded;
    QMap<QString, Fault> faults;
    int nextAccountNumber = 1001;
    QJsonObject newAccountTemplate;

    QString certificatePath;
    QString keyPath;
    std::atomic<int> handshakes{0};

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    std::atomic<bool> running{false};
    std::atomic<bool> halting{false};

    void handle(const httplib::Request& req, httplib::Response& res);
    Answer route(const RecordedRequest& request); // called with mutex held
    Answer login(const RecordedRequest& request);
    Answer accountDetails(const RecordedRequest& request);
    Answer newAccount(const RecordedRequest& request);
    int findAccount(const QString& username) const;
    bool keyMatches(const QJsonObject& account, const QString& key) const;
    void load(const QJsonObject& data, const QString& dir);
    // Waits up to ms, or for ever when ms < 0; false when the simulator is stopping.
    bool waitUnlessStopping(int ms);
};

bool ServiceSimulator::Private::waitUnlessStopping(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (ms < 0) {
        wake.wait(lock, [this] { return stopping; });
    } else {
        wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }
    return !stopping;
}

int ServiceSimulator::Private::findAccount(const QString& username) const
{
    for (int i = 0; i < accounts.size(); ++i) {
        if (accounts.at(i).value(QStringLiteral("username")).toString() == username) {
            return i;
        }
    }
    return -1;
}

bool ServiceSimulator::Private::keyMatches(const QJsonObject& account, const QString& key) const
{
    return key == ServiceSimulator::passwordKey(account.value(QStringLiteral("password")).toString());
}

Answer ServiceSimulator::Private::login(const RecordedRequest& request)
{
    Answer a;
    a.contentType = "text/xml; charset=utf-8";
    const int index = findAccount(request.queryValue(QStringLiteral("username")));
    const bool accepted =
        index >= 0 && keyMatches(accounts.at(index), request.queryValue(QStringLiteral("key")));
    QJsonArray offered;
    if (accepted) {
        // An account may be limited to some servers by their ids; by default it gets them all.
        const QJsonValue only = accounts.at(index).value(QStringLiteral("servers"));
        for (const QJsonValue& s : servers) {
            if (only.isArray() && !only.toArray().contains(s.toObject().value(QStringLiteral("id")))) {
                continue;
            }
            offered.append(substituted(s, base));
        }
    }
    a.body = servicesim::loginDocument(offered, accepted, layout);
    return a;
}

Answer ServiceSimulator::Private::accountDetails(const RecordedRequest& request)
{
    Answer a;
    a.contentType = "text/xml; charset=utf-8";
    const int index = findAccount(request.queryValue(QStringLiteral("username")));
    const bool accepted =
        index >= 0 && keyMatches(accounts.at(index), request.queryValue(QStringLiteral("key")));
    QJsonObject account;
    if (accepted) {
        account = substituted(accounts.at(index), base).toObject();
        if (!account.contains(QStringLiteral("id"))) {
            account.insert(QStringLiteral("id"), index + 1);
        }
    }
    a.body = servicesim::accountDocument(account, accepted);
    return a;
}

Answer ServiceSimulator::Private::newAccount(const RecordedRequest& request)
{
    Answer a;
    const QString first = request.queryValue(QStringLiteral("firstname")).trimmed();
    const QString last = request.queryValue(QStringLiteral("lastname")).trimmed();
    const QString email = request.queryValue(QStringLiteral("email")).trimmed();
    if (first.isEmpty() || last.isEmpty() || email.isEmpty()) {
        a.body = "false|Missing information. Please enter firstname, lastname and your email address.";
        return a;
    }
    for (const QJsonObject& existing : qAsConst(accounts)) {
        if (existing.value(QStringLiteral("email")).toString().compare(email, Qt::CaseInsensitive) == 0) {
            a.body = "false|This email address is already registered.";
            return a;
        }
    }
    QString username;
    do {
        username = QStringLiteral("trial") + QString::number(nextAccountNumber++);
    } while (findAccount(username) >= 0);

    QJsonObject account = newAccountTemplate;
    auto setDefault = [&account](const QString& key, const QJsonValue& value) {
        if (!account.contains(key)) {
            account.insert(key, value);
        }
    };
    account.insert(QStringLiteral("username"), username);
    account.insert(QStringLiteral("password"), randomPassword());
    account.insert(QStringLiteral("email"), email);
    account.insert(QStringLiteral("firstname"), first);
    account.insert(QStringLiteral("lastname"), last);
    setDefault(QStringLiteral("enabled"), QStringLiteral("1"));
    setDefault(QStringLiteral("plan"), QStringLiteral("Free Trial"));
    setDefault(QStringLiteral("expiry"), QDate::currentDate().addDays(7).toString(Qt::ISODate));
    setDefault(QStringLiteral("quota"), QStringLiteral("1 GB"));
    setDefault(QStringLiteral("processors"), QStringLiteral("1:Credit Card|2:Paypal"));
    setDefault(QStringLiteral("plans"), QStringLiteral("1:Monthly|2:Yearly"));
    setDefault(QStringLiteral("quickServers"), QString());
    setDefault(QStringLiteral("notice"), QString());
    accounts.append(account);
    a.body = QStringLiteral("true|%1").arg(username).toUtf8();
    return a;
}

Answer ServiceSimulator::Private::route(const RecordedRequest& request)
{
    const QString& path = request.path;
    Answer a;
    if (path == QLatin1String("/AppServersV2")) {
        return login(request);
    }
    if (path == QLatin1String("/AppUserInfoV2")) {
        return accountDetails(request);
    }
    if (path == QLatin1String("/AppNewAccount")) {
        return newAccount(request);
    }
    if (path.startsWith(QLatin1String("/AppVer2/"))) {
        a.contentType = "text/xml; charset=utf-8";
        QString installer = installerUrl;
        a.body = servicesim::versionDocument(latestVersion, installer.replace(baseToken, base), versionNote);
        return a;
    }
    if (path == QLatin1String("/ip/") || path == QLatin1String("/ip")) {
        a.contentType = "text/html";
        a.body =
            QStringLiteral("<html><head><title>Current IP Check</title></head><body>Current IP Address: %1"
                           "</body></html>")
                .arg(echoAddress.isEmpty() ? request.remoteAddress : echoAddress)
                .toUtf8();
        return a;
    }
    if (path == QLatin1String("/order/") || path == QLatin1String("/order")) {
        a.contentType = "text/html";
        a.body = htmlPage(QStringLiteral("Corvane - Order"), QStringLiteral("Choose your Corvane plan."));
        return a;
    }
    if (path == QLatin1String("/free-vpn-trial/") || path == QLatin1String("/free-vpn-trial")) {
        a.contentType = "text/html";
        a.body =
            htmlPage(QStringLiteral("Corvane - Free VPN Trial"), QStringLiteral("Create your free trial."));
        return a;
    }
    const auto file = files.constFind(path);
    if (file != files.constEnd()) {
        a.contentType = "application/octet-stream";
        if (!file->diskPath.isEmpty()) {
            QFile f(file->diskPath);
            if (!f.open(QIODevice::ReadOnly)) {
                a.status = 500;
                a.contentType = "text/plain";
                a.body = "cannot read " + file->diskPath.toUtf8();
                return a;
            }
            a.body = f.readAll();
        } else if (file->substitute) {
            a.body = QString::fromUtf8(file->bytes).replace(baseToken, base).toUtf8();
        } else {
            a.body = file->bytes;
        }
        return a;
    }
    a.status = 404;
    a.contentType = "text/html";
    a.body = htmlPage(QStringLiteral("Not Found"), QStringLiteral("Nothing here."));
    return a;
}

void ServiceSimulator::Private::handle(const httplib::Request& req, httplib::Response& res)
{
    RecordedRequest request;
    request.method = QString::fromStdString(req.method);
    request.target = QByteArray::fromStdString(req.target);
    const int mark = request.target.indexOf('?');
    request.path = QUrl::fromPercentEncoding(mark < 0 ? request.target : request.target.left(mark));
    if (mark >= 0) {
        request.query = decodeQuery(request.target.mid(mark + 1));
    }
    for (const auto& header : req.headers) {
        request.headers.append(
            qMakePair(QByteArray::fromStdString(header.first), QByteArray::fromStdString(header.second)));
    }
    request.remoteAddress = QString::fromStdString(req.remote_addr);

    Fault fault;
    Answer answer;
    {
        std::lock_guard<std::mutex> lock(mutex);
        recorded.append(request);
        QString matched;
        bool found = false;
        for (auto it = faults.constBegin(); it != faults.constEnd(); ++it) {
            if (request.path.startsWith(it.key()) && (!found || it.key().size() > matched.size())) {
                matched = it.key();
                found = true;
            }
        }
        if (found) {
            fault = faults.value(matched);
            if (fault.oneShot) {
                faults.remove(matched);
            }
        }
        if (fault.kind == Fault::Kind::None || fault.kind == Fault::Kind::MalformedXml ||
            fault.kind == Fault::Kind::TruncatedXml || fault.kind == Fault::Kind::NulByte ||
            fault.kind == Fault::Kind::Trickle || fault.kind == Fault::Kind::StallMidway ||
            fault.kind == Fault::Kind::CloseMidway) {
            answer = route(request);
        }
    }

    if (fault.delayMs > 0 && !waitUnlessStopping(fault.delayMs)) {
        res.status = 503;
        return;
    }

    const qint64 size = answer.body.size();
    const qint64 middle = size / 2;
    switch (fault.kind) {
    case Fault::Kind::None:
        break;
    case Fault::Kind::HttpStatus:
        answer.status = fault.status;
        answer.contentType = "text/html";
        answer.body = htmlPage(QStringLiteral("Error"), QStringLiteral("Error %1").arg(fault.status));
        break;
    case Fault::Kind::NeverAnswer:
        waitUnlessStopping(-1);
        res.status = 503;
        return;
    case Fault::Kind::MalformedXml: {
        qint64 at = fault.offset >= 0 ? qMin(fault.offset, size) : answer.body.indexOf('<', int(middle));
        if (at < 0) {
            at = size;
        }
        answer.body.insert(int(at), "</mismatch>");
        break;
    }
    case Fault::Kind::TruncatedXml:
        answer.body.truncate(int(fault.offset >= 0 ? qMin(fault.offset, size) : middle));
        break;
    case Fault::Kind::NulByte: {
        const qint64 at = fault.offset >= 0 ? qMin(fault.offset, size) : size;
        answer.body.insert(int(at), QByteArray("\0<after>text after the NUL byte</after>", 40));
        break;
    }
    case Fault::Kind::Redirect:
        answer.status = fault.status;
        answer.location = fault.location;
        answer.contentType = fault.contentType;
        answer.body = fault.body;
        break;
    case Fault::Kind::Oversized: {
        res.status = 200;
        std::atomic<bool>* halt = &halting;
        res.set_content_provider(static_cast<size_t>(qMax<qint64>(0, fault.size)), "text/xml",
                                 [halt](size_t /*offset*/, size_t length, httplib::DataSink& sink) {
                                     static const std::string chunk = [] {
                                         std::string text;
                                         while (text.size() < 65536) {
                                             text += "<padding>0123456789abcdef0123456789abcdef</padding>\n";
                                         }
                                         return text;
                                     }();
                                     if (halt->load()) {
                                         return false;
                                     }
                                     return sink.write(chunk.data(), std::min(length, chunk.size()));
                                 });
        return;
    }
    case Fault::Kind::CustomBody:
        answer.status = fault.status;
        answer.contentType = fault.contentType;
        answer.body = fault.body;
        break;
    case Fault::Kind::Trickle: {
        res.status = answer.status;
        const auto body = std::make_shared<QByteArray>(answer.body);
        const int interval = fault.intervalMs;
        res.set_content_provider(static_cast<size_t>(body->size()), answer.contentType.toStdString(),
                                 [this, body, interval](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset > 0 && !waitUnlessStopping(interval))
                                         return false;
                                     return sink.write(body->constData() + offset, 1);
                                 });
        return;
    }
    case Fault::Kind::StallMidway:
    case Fault::Kind::CloseMidway: {
        // The header promises the whole answer; only its first half ever comes.
        res.status = answer.status;
        const auto body = std::make_shared<QByteArray>(answer.body);
        const bool stall = fault.kind == Fault::Kind::StallMidway;
        res.set_content_provider(static_cast<size_t>(body->size()), answer.contentType.toStdString(),
                                 [this, body, stall](size_t offset, size_t, httplib::DataSink& sink) {
                                     const size_t half = static_cast<size_t>(body->size()) / 2;
                                     if (offset < half)
                                         return sink.write(body->constData() + offset, half - offset);
                                     if (stall)
                                         waitUnlessStopping(-1);
                                     return false;
                                 });
        return;
    }
    }

    res.status = answer.status;
    if (!answer.location.isEmpty()) {
        res.set_header("Location", answer.location.toStdString());
    }
    res.set_content(answer.body.constData(), static_cast<size_t>(answer.body.size()),
                    answer.contentType.toStdString());
}

void ServiceSimulator::Private::load(const QJsonObject& data, const QString& dir)
{
    accounts.clear();
    for (const QJsonValue& v : data.value(QStringLiteral("accounts")).toArray()) {
        accounts.append(v.toObject());
    }
    servers = data.value(QStringLiteral("servers")).toArray();
    const QJsonObject version = data.value(QStringLiteral("version")).toObject();
    latestVersion = version.value(QStringLiteral("latest")).toString(QStringLiteral("4.0.2"));
    installerUrl =
        version.value(QStringLiteral("installer")).toString(QStringLiteral("{base}/files/update.exe"));
    versionNote = version.value(QStringLiteral("note")).toString(QStringLiteral("stable"));
    layout = servicesim::layoutFromName(data.value(QStringLiteral("layout")).toString());
    newAccountTemplate = data.value(QStringLiteral("newAccount")).toObject();
    files.clear();
    const QJsonObject fileMap = data.value(QStringLiteral("files")).toObject();
    for (auto it = fileMap.begin(); it != fileMap.end(); ++it) {
        const QJsonObject source = it.value().toObject();
        FileBody body;
        if (source.contains(QStringLiteral("text"))) {
            body.bytes = source.value(QStringLiteral("text")).toString().toUtf8();
            body.substitute = true;
        } else if (source.contains(QStringLiteral("base64"))) {
            body.bytes = QByteArray::fromBase64(source.value(QStringLiteral("base64")).toString().toLatin1());
        } else if (source.contains(QStringLiteral("file"))) {
            body.diskPath = QDir(dir).absoluteFilePath(source.value(QStringLiteral("file")).toString());
        }
        files.insert(it.key(), body);
    }
}

ServiceSimulator::ServiceSimulator() : d(new Private) {}

ServiceSimulator::~ServiceSimulator()
{
    stop();
}

namespace {
void countHandshake(const SSL* ssl, int where, int)
{
    if (!(where & SSL_CB_HANDSHAKE_DONE))
        return;
    auto* count = static_cast<std::atomic<int>*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
    if (count)
        ++*count;
}
} // namespace

void ServiceSimulator::useTls(const QString& certificatePath, const QString& keyPath)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->certificatePath = certificatePath;
    d->keyPath = keyPath;
}

bool ServiceSimulator::usesTls() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return !d->certificatePath.isEmpty();
}

void ServiceSimulator::keepConnectionsAlive(bool keep)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->keepAlive = keep;
}

int ServiceSimulator::handshakes() const
{
    return d->handshakes;
}

bool ServiceSimulator::start(quint16 port, const QString& host)
{
    stop();
    std::unique_ptr<httplib::Server> server;
    const bool tls = usesTls();
    if (tls) {
        auto secure = std::make_unique<httplib::SSLServer>(QFile::encodeName(d->certificatePath).constData(),
                                                           QFile::encodeName(d->keyPath).constData());
        if (!secure->is_valid())
            return false;
        SSL_CTX_set_app_data(secure->ssl_context(), &d->handshakes);
        SSL_CTX_set_info_callback(secure->ssl_context(), countHandshake);
        server = std::move(secure);
    } else {
        server = std::make_unique<httplib::Server>();
    }
    // Enough workers for a few held connections ("never answers") beside normal traffic.
    server->new_task_queue = [] { return new httplib::ThreadPool(32); };
    // One request per connection: idle keep-alive connections would hold workers and
    // delay stop().
    server->set_keep_alive_max_count(d->keepAlive ? 100 : 1);
    server->set_keep_alive_timeout(1);
    // httplib also sets SO_REUSEPORT by default, which would let a second simulator share
    // the port and steal half of the connections.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof(yes));
    });
    server->set_read_timeout(2, 0);
    server->set_write_timeout(5, 0);
    Private* p = d.get();
    server->set_pre_routing_handler([p](const httplib::Request& req, httplib::Response& res) {
        // The library compresses with Brotli, at its highest quality, whenever the client offers
        // it (Qt 6 does): seconds for each megabyte of a large answer. Only gzip is taken up.
        // The request is the server's own, handed over as const; changing it here is sound.
        auto& headers = const_cast<httplib::Headers&>(req.headers);
        for (auto it = headers.lower_bound("Accept-Encoding"); it != headers.upper_bound("Accept-Encoding");
             ++it) {
            std::string kept;
            std::size_t from = 0;
            while (from <= it->second.size()) {
                const std::size_t to = std::min(it->second.find(',', from), it->second.size());
                std::string token = it->second.substr(from, to - from);
                token.erase(0, token.find_first_not_of(' '));
                if (!token.empty() && token != "br" && token.rfind("br;", 0) != 0)
                    kept += (kept.empty() ? "" : ", ") + token;
                from = to + 1;
            }
            it->second = kept;
        }
        p->handle(req, res);
        return httplib::Server::HandlerResponse::Handled;
    });

    const std::string address = host.toStdString();
    int bound = -1;
    if (port == 0) {
        bound = server->bind_to_any_port(address);
    } else if (server->bind_to_port(address, port)) {
        bound = port;
    }
    if (bound <= 0) {
        return false;
    }

    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = false;
        d->host = host;
        d->port = static_cast<quint16>(bound);
        const QString shownHost =
            host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
        d->base = QStringLiteral("%1://%2:%3")
                      .arg(tls ? QStringLiteral("https") : QStringLiteral("http"), shownHost)
                      .arg(bound);
    }
    d->halting = false;
    d->server = std::move(server);
    httplib::Server* raw = d->server.get();
    d->thread = std::thread([raw] { raw->listen_after_bind(); });
    // httplib's stop() does nothing until the accept loop runs; wait for it so that a stop
    // right after start cannot leave the thread serving.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!raw->is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!raw->is_running()) {
        d->thread.join();
        d->server.reset();
        return false;
    }
    d->running = true;
    return true;
}

void ServiceSimulator::stop()
{
    if (!d->server) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
    }
    d->halting = true;
    d->wake.notify_all();
    d->server->stop();
    if (d->thread.joinable()) {
        d->thread.join();
    }
    d->server.reset();
    d->running = false;
}

bool ServiceSimulator::isRunning() const
{
    return d->running;
}

quint16 ServiceSimulator::port() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->port;
}

QString ServiceSimulator::host() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->host;
}

QString ServiceSimulator::baseUrl() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->base;
}

bool ServiceSimulator::loadDataFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(d->mutex);
    d->load(document.object(), QFileInfo(path).absolutePath());
    return true;
}

void ServiceSimulator::loadData(const QJsonObject& data)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->load(data, QDir::currentPath());
}

QJsonObject ServiceSimulator::data() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QJsonArray accounts;
    for (const QJsonObject& a : qAsConst(d->accounts)) {
        accounts.append(a);
    }
    return QJsonObject{
        {QStringLiteral("accounts"), accounts},
        {QStringLiteral("servers"), d->servers},
        {QStringLiteral("version"), QJsonObject{{QStringLiteral("latest"), d->latestVersion},
                                                {QStringLiteral("installer"), d->installerUrl},
                                                {QStringLiteral("note"), d->versionNote}}},
        {QStringLiteral("layout"), servicesim::layoutName(d->layout)},
    };
}

void ServiceSimulator::setLayout(Layout layout)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->layout = layout;
}

ServiceSimulator::Layout ServiceSimulator::layout() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->layout;
}

void ServiceSimulator::addAccount(const QJsonObject& account)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const int index = d->findAccount(account.value(QStringLiteral("username")).toString());
    if (index >= 0) {
        d->accounts[index] = account;
    } else {
        d->accounts.append(account);
    }
}

QJsonObject ServiceSimulator::account(const QString& username) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const int index = d->findAccount(username);
    return index >= 0 ? d->accounts.at(index) : QJsonObject();
}

void ServiceSimulator::setAccountValue(const QString& username, const QString& key, const QJsonValue& value)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const int index = d->findAccount(username);
    if (index >= 0) {
        d->accounts[index].insert(key, value);
    }
}

void ServiceSimulator::setServers(const QJsonArray& servers)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->servers = servers;
}

void ServiceSimulator::setVersion(const QString& latest, const QString& installerUrl)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->latestVersion = latest;
    d->installerUrl = installerUrl;
}

void ServiceSimulator::setFile(const QString& path, const QByteArray& body)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    FileBody file;
    file.bytes = body;
    d->files.insert(path, file);
}

void ServiceSimulator::setEchoAddress(const QString& address)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->echoAddress = address;
}

QList<RecordedRequest> ServiceSimulator::requests() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->recorded;
}

QList<RecordedRequest> ServiceSimulator::requests(const QString& path) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QList<RecordedRequest> matching;
    for (const RecordedRequest& r : qAsConst(d->recorded)) {
        if (r.path == path) {
            matching.append(r);
        }
    }
    return matching;
}

void ServiceSimulator::clearRequests()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->recorded.clear();
}

void ServiceSimulator::setFault(const QString& pathPrefix, const Fault& fault)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.insert(pathPrefix, fault);
}

void ServiceSimulator::clearFault(const QString& pathPrefix)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.remove(pathPrefix);
}

void ServiceSimulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.clear();
}
