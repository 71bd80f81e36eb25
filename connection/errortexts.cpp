#include "connection/errortexts.h"

#include "connection/dialup.h"

#include <algorithm>
#include <iterator>

namespace {

struct ErrorText
{
    int code;
    const char* text;
};

// Sorted by code. The texts keep the wording users of the system have always seen, stray
// punctuation included.
const ErrorText rasTexts[] = {
    {600, "An operation is pending. "},
    {601, "The port handle is invalid. "},
    {602, "The port is already open. "},
    {603, "Caller's buffer is too small. "},
    {604, "Wrong information specified. "},
    {606, "The port is not connected. "},
    {608, "The device does not exist. "},
    {609, "The device type does not exist. "},
    {610, "The buffer is invalid. "},
    {612, "The route is not allocated. "},
    {615, "The port was not found. "},
    {616, "An asynchronous request is pending. "},
    {617, "The port or device is already disconnecting. "},
    {618, "The port is not open. "},
    {619, "The port is disconnected. "},
    {621, "Cannot open the phone book file. "},
    {622, "Cannot load the phone book file. "},
    {623, "Cannot find the phone book entry. "},
    {624, "Cannot write the phone book file. "},
    {625, "Invalid information found in the phone book. "},
    {627, "Cannot find key. "},
    {628, "The port was disconnected. "},
    {629, "The port was disconnected by the remote machine. "},
    {630, "The port was disconnected due to hardware failure. "},
    {631, "The port was disconnected by the user. "},
    {632, "The structure size is incorrect. "},
    {633, "The port is already in use or is not configured for Remote Access dialout. "},
    {635, "Unknown error. "},
    {636, "The wrong device is attached to the port. "},
    {638, "The request has timed out. "},
    {645, "Internal authentication error. "},
    {646, "The account is not permitted to log on at this time of day. "},
    {647, "The account is disabled. "},
    {648, "The password has expired. "},
    {649, "The account does not have Remote Access permission. "},
    {651, "Your modem (or other connecting device) has reported an error. "},
    {652, "Unrecognized response from the device. "},
    {653, "A macro required by the device was not found in the device .INF file section. "},
    {654, "A command or response in the device .INF file section refers to an undefined macro "},
    {655, "The macro was not found in the device .INF file section. "},
    {656, "The macro in the device .INF file section contains an undefined macro "},
    {657, "The device .INF file could not be opened. "},
    {658, "The device name in the device .INF or media .INI file is too long. "},
    {659, "The media .INI file refers to an unknown device name. "},
    {660, "The device .INF file contains no responses for the command. "},
    {661, "The device .INF file is missing a command. "},
    {662, "Attempted to set a macro not listed in device .INF file section. "},
    {663, "The media .INI file refers to an unknown device type. "},
    {664, "Cannot allocate memory. "},
    {665, "The port is not configured for Remote Access. "},
    {666, "Your modem (or other connecting device) is not functioning. "},
    {667, "Cannot read the media .INI file. "},
    {668, "The connection dropped. "},
    {669, "The usage parameter in the media .INI file is invalid. "},
    {670, "Cannot read the section name from the media .INI file. "},
    {671, "Cannot read the device type from the media .INI file. "},
    {672, "Cannot read the device name from the media .INI file. "},
    {673, "Cannot read the usage from the media .INI file. "},
    {676, "The phone line is busy. "},
    {677, "A person answered instead of a modem. "},
    {678, "There is no answer. "},
    {679, "Cannot detect carrier. "},
    {680, "There was no dial tone. "},
    {691, "Access denied because username and/or password is invalid on the domain. "},
    {692, "Hardware failure in port or attached device. "},
    {693, "ERROR NOT BINARY MACRO "},
    {694, "ERROR DCB NOT FOUND "},
    {695, "ERROR STATE MACHINES NOT STARTED "},
    {696, "ERROR STATE MACHINES ALREADY STARTED "},
    {697, "ERROR PARTIAL RESPONSE LOOPING "},
    {698, "A response keyname in the device .INF file is not in the expected format. "},
    {699, "The device response caused buffer overflow. "},
    {700, "The expanded command in the device .INF file is too long. "},
    {701, "The device moved to a BPS rate not supported by the COM driver. "},
    {702, "Device response received when none expected. "},
    {703, "ERROR INTERACTIVE MODE "},
    {704, "ERROR BAD CALLBACK NUMBER "},
    {705, "ERROR INVALID AUTH STATE "},
    {707, "X.25 diagnostic indication. "},
    {708, "The account has expired. "},
    {709, "Error changing password on domain. "},
    {710, "Serial overrun errors were detected while communicating with your modem. "},
    {711, "RasMan initialization failure. Check the event log. "},
    {713, "No active ISDN lines are available. "},
    {716, "The Remote Access IP configuration is unusable. "},
    {717, "No IP addresses are available in the static pool of Remote Access IP addresses. "},
    {718, "PPP timeout. "},
    {720, "No PPP control protocols configured. "},
    {721, "Remote PPP peer is not responding. "},
    {722, "The PPP packet is invalid. "},
    {723, "The phone number, including prefix and suffix, is too long. "},
    {726, "The IPX protocol cannot be used for dial-out on more than one port at a time. "},
    {728, "Cannot find an IP adapter bound to Remote Access. "},
    {729, "SLIP cannot be used unless the IP protocol is installed. "},
    {730, "Computer registration is not complete. "},
    {731, "The protocol is not configured. "},
    {732, "The PPP negotiation is not converging. "},
    {733, "The PPP control protocol for this network protocol is not available on the server. "},
    {734, "The PPP link control protocol terminated.. "},
    {735, "The requested address was rejected by the server. "},
    {736, "The remote computer terminated the control protocol. "},
    {737, "Loopback detected. "},
    {738, "The server did not assign an address. "},
    {739, "The remote server cannot use the Windows NT encrypted password. "},
    {740, "The TAPI devices configured for Remote Access failed to initialize or were not "
          "installed correctly. "},
    {741, "The local computer does not support encryption. "},
    {742, "The remote server does not support encryption. "},
    {749, "ERROR_BAD_PHONE_NUMBER "},
    {752, "A syntax error was encountered while processing a script. "},
    {753, "The connection could not be disconnected because it was created by the multi-protocol "
          "router. "},
    {754, "The system could not find the multi-link bundle. "},
    {755, "The system cannot perform automated dial because this connection has a custom dialer "
          "specified. "},
    {756, "This connection is already being dialed. "},
    {757, "Remote Access Services could not be started automatically. Additional information is "
          "provided in the event log. "},
    {764, "No smart card reader is installed. "},
    {765, "Internet Connection Sharing cannot be enabled. A LAN connection is already configured "
          "with the IP address that is required for automatic IP addressing. "},
    {766, "A certificate could not be found. Connections that use the L2TP protocol over IPSec "
          "require the installation of a machine certificate, also known as a computer "
          "certificate. "},
    {767, "Internet Connection Sharing cannot be enabled. The LAN connection selected as the "
          "private network has more than one IP address configured. Please reconfigure the LAN "
          "connection with a single IP address before enabling Internet Connection Sharing. "},
    {768, "The connection attempt failed because of failure to encrypt data. "},
    {769, "The specified destination is not reachable. "},
    {770, "The remote computer rejected the connection attempt. "},
    {771, "The connection attempt failed because the network is busy. "},
    {772, "The remote computer's network hardware is incompatible with the type of call requested. "},
    {773, "The connection attempt failed because the destination number has changed. "},
    {774, "The connection attempt failed because of a temporary failure. Try connecting again. "},
    {775, "The call was blocked by the remote computer. "},
    {776, "The call could not be connected because the remote computer has invoked the Do Not "
          "Disturb feature. "},
    {777, "The connection attempt failed because the modem (or other connecting device on the "
          "remote computer is out of order. "},
    {778, "It was not possible to verify the identity of the server. "},
    {780, "An attempted function is not valid for this connection. "},
    {782, "Internet Connection Sharing (ICS and Internet Connection Firewall (ICF cannot be "
          "enabled because Routing and Remote Access has been enabled on this computer. To enable "
          "ICS or ICF, first disable Routing and Remote Access. For more information about Routing "
          "and Remote Access, ICS, or ICF, see Help and Support. "},
    {783, "Internet Connection Sharing cannot be enabled. The LAN connection selected as the "
          "private network is either not present, or is disconnected from the network. Please "
          "ensure that the LAN adapter is connected before enabling Internet Connection Sharing. "},
    {784, "You cannot dial using this connection at logon time, because it is configured to use a "
          "user name different than the one on the smart card. If you want to use it at logon "
          "time, you must configure it to use the user name on the smart card. "},
    {785, "You cannot dial using this connection at logon time, because it is not configured to "
          "use a smart card. If you want to use it at logon time, you must edit the properties of "
          "this connection so that it uses a smart card. "},
    {786, "The L2TP connection attempt failed because there is no valid machine certificate on "
          "your computer for security authentication. "},
    {787, "The L2TP connection attempt failed because the security layer could not authenticate "
          "the remote computer. "},
    {788, "The L2TP connection attempt failed because the security layer could not negotiate "
          "compatible parameters with the remote computer. "},
    {789, "The L2TP connection attempt failed because the security layer encountered a processing "
          "error during initial negotiations with the remote computer. "},
    {790, "The L2TP connection attempt failed because certificate validation on the remote "
          "computer failed. "},
    {791, "The L2TP connection attempt failed because security policy for the connection was not "
          "found. "},
    {792, "The L2TP connection attempt failed because security negotiation timed out. "},
    {793, "The L2TP connection attempt failed because an error occurred while negotiating "
          "security. "},
    {794, "The Framed Protocol RADIUS attribute for this user is not PPP. "},
    {795, "The Tunnel Type RADIUS attribute for this user is not correct. "},
    {796, "The Service Type RADIUS attribute for this user is neither Framed nor Callback Framed. "},
    {797, "A connection to the remote computer could not be established because the modem was not "
          "found or was busy. For further assistance, click More Info or search Help and Support "
          "Center for this error number. "},
    {798, "A certificate could not be found that can be used with this Extensible Authentication "
          "Protocol. "},
    {799, "Internet Connection Sharing cannot be enabled because of an address conflict on the "
          "network. Internet Connection Sharing requires this computer to use the address "
          "192.168.0.1. Please make sure that no other client on the network uses 192.168.0.1. "},
    {800, "Unable to establish the VPN connection. The VPN server may be unreachable, or security "
          "parameters may not be configured properly for this connection. "},
    {801, "This connection is configured to validate the identity of the access server, but "
          "Windows cannot verify the digital certificate sent by the server. "},
    {802, "The card supplied was not recognized. Please check that the card is inserted correctly, "
          "and fits tightly. "},
    {803, "The PEAP configuration stored in the session cookie does not match the current session "
          "configuration. "},
    {804, "The PEAP identity stored in the session cookie does not match the current identity. "},
    {805, "You cannot dial using this connection at logon time, because it is configured to use "
          "logged on user's credentials. "},
    {806, "A connection between your computer and the VPN server has been started, but the VPN "
          "connection cannot be completed. The most common cause for this is that at least one "
          "Internet device (for example, a firewall or a router) between your computer and the VPN "
          "server is not configured to allow Generic Routing Encapsulation (GRE) protocol packets. "
          "If the problem persists, contact your network administrator or Internet service "
          "provider. "},
    {807, "The network connection between your computer and the VPN server was interrupted. This "
          "can be caused by a problem in the VPN transmission and is commonly the result of "
          "internet latency or simply that your VPN server has reached capacity. Please try to "
          "reconnect to the VPN server. If this problem persists, contact the VPN administrator "
          "and analyze quality of network connectivity. "},
    {808, "The network connection between your computer and the VPN server could not be "
          "established because the remote server refused the connection. This is typically caused "
          "by a mismatch between the server's configuration and your connection settings. Please "
          "contact the remote server's Administrator to verify the server configuration and your "
          "connection settings. "},
    {809, "The network connection between your computer and the VPN server could not be "
          "established because the remote server is not responding. This could be because one of "
          "the network devices (e.g., firewalls, NAT, routers, etc.) between your computer and the "
          "remote server is not configured to allow VPN connections. Please contact your "
          "Administrator or your service provider to determine which device may be causing the "
          "problem. "},
    {810, "A network connection between your computer and the VPN server was started, but the VPN "
          "connection was not completed. This is typically caused by the use of an incorrect or "
          "expired certificate for authentication between the client and the server. Please "
          "contact your Administrator to ensure that the certificate being used for authentication "
          "is valid. "},
    {811, "The network connection between your computer and the VPN server could not be "
          "established because the remote server is not responding. This is typically caused by a "
          "pre-shared key problem between the client and server. A pre-shared key is used to "
          "guarantee you are who you say you are in an IP Security (IPSec) communication cycle. "
          "Please get the assistance of your administrator to determine where the pre-shared key "
          "problem is originating. "},
    {812, "The connection was prevented because of a policy configured on your RAS/VPN server. "
          "Specifically, the authentication method used by the server to verify your username and "
          "password may not match the authentication method configured in your connection profile. "
          "Please contact the Administrator of the RAS server and notify them of this error. "},
    {813, "You have attempted to establish a second broadband connection while a previous "
          "broadband connection is already established using the same device or port. Please "
          "disconnect the earlier connection and then re-establish the connection. "},
    {814, "The underlying Ethernet connectivity required for the broadband connection was not "
          "found. Please install and enable the Ethernet adapter on your computer via the Network "
          "Connections folder before attempting this connection. "},
    {815, "The broadband network connection could not be established on your computer because the "
          "remote server is not responding. This could be caused by an invalid value for the "
          "'Service Name' field for this connection. Please contact your Internet Service Provider "
          "and inquire about the correct value for this field and update it in the Connection "
          "Properties. "},
    {816, "A feature or setting you have tried to enable is no longer supported by the remote "
          "access service. "},
    {817, "Cannot delete a connection while it is connected. "},
    {818, "The Network Access Protection (NAP) enforcement client could not create system "
          "resources for remote access connections. Some network services or resources might not "
          "be available. If the problem persists, disconnect and retry the remote access "
          "connection or contact the administrator for the remote access server. "},
    {819, "The Network Access Protection Agent (NAP Agent) service has been disabled or is not "
          "installed on this computer. Some network services or resources might not be available. "
          "If the problem persists, disconnect and retry the remote access connection or contact "
          "the administrator for the remote access server. "},
    {820, "The Network Access Protection (NAP) enforcement client failed to register with the "
          "Network Access Protection Agent (NAP Agent) service. Some network services or resources "
          "might not be available. If the problem persists, disconnect and retry the remote access "
          "connection or contact the administrator for the remote access server. "},
    {821, "The Network Access Protection (NAP) enforcement client was unable to process the "
          "request because the remote access connection does not exist. Retry the remote access "
          "connection. If the problem persists, make sure that you can connect to the Internet, "
          "and then contact the administrator for the remote access server. "},
    {822, "The Network Access Protection (NAP) enforcement client did not respond. Some network "
          "services or resources might not be available. If the problem persists, disconnect and "
          "retry the remote access connection or contact the administrator for the remote access "
          "server. "},
    {823, "Received Crypto-Binding TLV is invalid. "},
    {824, "Crypto-Binding TLV is not received. "},
    {825, "Point-to-Point Tunnelling Protocol (PPTP) is incompatible with IPv6. Change the type of "
          "virtual private network to Layer Two Tunnelling Protocol (L2TP) "},
    {826, "EAPTLS validation of the cached credentials failed. Please discard cached credentials. "},
    {827, "The L2TP/IPsec connection cannot be completed because the IKE and AuthIP IPSec Keying "
          "Modules service and/or the Base Filtering Engine service is not running. These services "
          "are required to establish an L2TP/IPSec connection. Please ensure that these services "
          "have been started before dialling the connection "},
    {1168, "Do you have an active internet connection? Please be sure your network flight mode is "
           "off and check again your network connectivity."},
};

const ErrorText ownTexts[] = {
    {int(ras::errorDialUpUnavailable),
     "PPTP and L2TP connections need the Windows dial-up service (RAS), which this system does not have. "
     "Use OpenVPN instead. "},
    {int(ras::errorServerAddressTooLong),
     "The server address is longer than the 128 characters a dial-up connection can hold, so the "
     "connection was not started. "},
    {int(ras::errorUserNameTooLong),
     "The user name is longer than the 256 characters a dial-up connection can hold, so the connection "
     "was not started. "},
    {int(ras::errorPasswordTooLong),
     "The password is longer than the 256 characters a dial-up connection can hold, so the connection "
     "was not started. "},
    {int(ras::errorPreSharedKeyTooLong),
     "The server's pre-shared key is longer than the 256 characters a dial-up connection can hold, so "
     "the connection was not started. "},
};

const char* const defaultText = "PPP protocol returned an error. ";

const char* find(const ErrorText* begin, const ErrorText* end, int code)
{
    const ErrorText* found = std::lower_bound(
        begin, end, code, [](const ErrorText& entry, int value) { return entry.code < value; });
    return found != end && found->code == code ? found->text : nullptr;
}

} // namespace

QString pppErrorText(int code)
{
    const char* text = find(std::begin(rasTexts), std::end(rasTexts), code);
    if (!text)
        text = find(std::begin(ownTexts), std::end(ownTexts), code);
    return QString::fromLatin1(text ? text : defaultText);
}

QList<int> pppErrorTableCodes()
{
    QList<int> codes;
    for (const ErrorText& entry : rasTexts)
        codes.append(entry.code);
    return codes;
}

int pppErrorTableSize()
{
    return int(std::size(rasTexts));
}
