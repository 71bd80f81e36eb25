// The public address check: the connection controller asks it and decides what an address means.
#include "app/lumtarmain.h"
#include "monitor/addresscheck.h"

void LumtarMain::GetCurrentIP()
{
    connection->checkAddress();
}

void LumtarMain::SetCurrentIP(QNetworkReply* reply)
{
    connection->addressCheck()->answerArrived(reply);
}
