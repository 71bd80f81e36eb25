// A stand-in for openvpn.exe that speaks its management channel as a client
// (--management IP PORT stdin --management-client): it reads the channel's password from its
// standard input, connects, asks for that password, plays FAKE_SCENARIO ("connect" or
// "authfail") and records in its working folder how it was started ("arguments") and the
// credentials it was sent ("credentials"). Plain Win32, linked statically, so that a copy runs
// wherever a test puts it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
SOCKET channel = INVALID_SOCKET;
std::string pending;

void say(const std::string& line)
{
    const std::string out = line + "\n";
    send(channel, out.data(), int(out.size()), 0);
}

// The next line sent to us, without its end; exits when the channel closes.
std::string nextLine()
{
    for (;;) {
        const std::size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        char buffer[512];
        const int got = recv(channel, buffer, sizeof(buffer), 0);
        if (got <= 0)
            std::exit(3);
        pending.append(buffer, std::size_t(got));
    }
}

std::string until(const std::string& prefix)
{
    for (;;) {
        std::string line = nextLine();
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line;
    }
}
} // namespace

int main(int argc, char* argv[])
{
    const char* scenarioText = std::getenv("FAKE_SCENARIO");
    const std::string scenario = scenarioText ? scenarioText : "connect";
    std::string host, port;
    bool passwordOnStdin = false;
    if (FILE* record = std::fopen("arguments", "wb")) {
        for (int i = 0; i < argc; ++i)
            std::fprintf(record, "%s\n", argv[i]);
        std::fclose(record);
    }
    for (int i = 1; i + 2 < argc; ++i) {
        if (std::strcmp(argv[i], "--management") == 0) {
            host = argv[i + 1];
            port = argv[i + 2];
            passwordOnStdin = i + 3 < argc && std::strcmp(argv[i + 3], "stdin") == 0;
        }
    }
    if (host.empty())
        return 2;
    std::string password;
    if (passwordOnStdin) {
        char line[512] = {};
        if (!std::fgets(line, sizeof(line), stdin))
            return 2;
        password = line;
        while (!password.empty() && (password.back() == '\n' || password.back() == '\r'))
            password.pop_back();
    }

    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 2;
    addrinfo* where = nullptr;
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &where) != 0)
        return 2;
    channel = socket(where->ai_family, where->ai_socktype, where->ai_protocol);
    if (channel == INVALID_SOCKET || connect(channel, where->ai_addr, int(where->ai_addrlen)) != 0)
        return 3;
    freeaddrinfo(where);

    if (passwordOnStdin) {
        say("ENTER PASSWORD:");
        if (nextLine() != password) {
            say("ERROR: bad password");
            return 4;
        }
        say("SUCCESS: password is correct");
    }
    say(">INFO:OpenVPN Management Interface Version 5 -- type 'help' for more info");
    say(">HOLD:Waiting for hold release:0");
    until("hold release");
    say(">LOG:1796654661,I,OpenVPN 2.6 stand-in");
    say(">PASSWORD:Need 'Auth' username/password");
    const std::string user = until("username");
    const std::string pass = until("password");
    if (FILE* record = std::fopen("credentials", "wb")) {
        std::fprintf(record, "%s\n%s\n", user.c_str(), pass.c_str());
        std::fclose(record);
    }
    if (scenario == "authfail") {
        say(">PASSWORD:Verification Failed: 'Auth'");
        say(">STATE:1796654652,EXITING,auth-failure,,,,,");
        return 0;
    }
    say(">STATE:1796654642,CONNECTED,SUCCESS,198.19.0.10,198.18.0.1,1194,,");
    until("signal SIGTERM");
    say(">STATE:1796654643,EXITING,SIGTERM,,,,,");
    return 0;
}
