#ifndef CORVANE_SERVICE_ENDPOINTS_H
#define CORVANE_SERVICE_ENDPOINTS_H

#include <QString>

// The three places the client talks to. Each can be moved with an environment variable
// (CORVANE_SERVICE_URL, CORVANE_WEBSITE_URL, CORVANE_IPECHO_URL), which is how tests and the
// demo point the client at the service simulator.
namespace service {

// "https://" + service host, without a trailing slash; service paths are appended to it.
QString serviceBaseUrl();
// The vendor's web site, without a trailing slash; only pages opened in the browser.
QString webSiteBaseUrl();
// The public IP-echo page.
QString ipEchoUrl();

} // namespace service

#endif
