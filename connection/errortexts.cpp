#include "connection/errortexts.h"

#include "connection/dialup.h"
#include "connection/nmvpnstate.h"

#include <QCoreApplication>

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
    {600, QT_TRANSLATE_NOOP("LumtarMain", "An operation is pending. ")},
    {601, QT_TRANSLATE_NOOP("LumtarMain", "The port handle is invalid. ")},
    {602, QT_TRANSLATE_NOOP("LumtarMain", "The port is already open. ")},
    {603, QT_TRANSLATE_NOOP("LumtarMain", "Caller's buffer is too small. ")},
    {604, QT_TRANSLATE_NOOP("LumtarMain", "Wrong information specified. ")},
    {606, QT_TRANSLATE_NOOP("LumtarMain", "The port is not connected. ")},
    {608, QT_TRANSLATE_NOOP("LumtarMain", "The device does not exist. ")},
    {609, QT_TRANSLATE_NOOP("LumtarMain", "The device type does not exist. ")},
    {610, QT_TRANSLATE_NOOP("LumtarMain", "The buffer is invalid. ")},
    {612, QT_TRANSLATE_NOOP("LumtarMain", "The route is not allocated. ")},
    {615, QT_TRANSLATE_NOOP("LumtarMain", "The port was not found. ")},
    {616, QT_TRANSLATE_NOOP("LumtarMain", "An asynchronous request is pending. ")},
    {617, QT_TRANSLATE_NOOP("LumtarMain", "The port or device is already disconnecting. ")},
    {618, QT_TRANSLATE_NOOP("LumtarMain", "The port is not open. ")},
    {619, QT_TRANSLATE_NOOP("LumtarMain", "The port is disconnected. ")},
    {621, QT_TRANSLATE_NOOP("LumtarMain", "Cannot open the phone book file. ")},
    {622, QT_TRANSLATE_NOOP("LumtarMain", "Cannot load the phone book file. ")},
    {623, QT_TRANSLATE_NOOP("LumtarMain", "Cannot find the phone book entry. ")},
    {624, QT_TRANSLATE_NOOP("LumtarMain", "Cannot write the phone book file. ")},
    {625, QT_TRANSLATE_NOOP("LumtarMain", "Invalid information found in the phone book. ")},
    {627, QT_TRANSLATE_NOOP("LumtarMain", "Cannot find key. ")},
    {628, QT_TRANSLATE_NOOP("LumtarMain", "The port was disconnected. ")},
    {629, QT_TRANSLATE_NOOP("LumtarMain", "The port was disconnected by the remote machine. ")},
    {630, QT_TRANSLATE_NOOP("LumtarMain", "The port was disconnected due to hardware failure. ")},
    {631, QT_TRANSLATE_NOOP("LumtarMain", "The port was disconnected by the user. ")},
    {632, QT_TRANSLATE_NOOP("LumtarMain", "The structure size is incorrect. ")},
    {633, QT_TRANSLATE_NOOP("LumtarMain",
                            "The port is already in use or is not configured for Remote Access dialout. ")},
    {635, QT_TRANSLATE_NOOP("LumtarMain", "Unknown error. ")},
    {636, QT_TRANSLATE_NOOP("LumtarMain", "The wrong device is attached to the port. ")},
    {638, QT_TRANSLATE_NOOP("LumtarMain", "The request has timed out. ")},
    {645, QT_TRANSLATE_NOOP("LumtarMain", "Internal authentication error. ")},
    {646, QT_TRANSLATE_NOOP("LumtarMain", "The account is not permitted to log on at this time of day. ")},
    {647, QT_TRANSLATE_NOOP("LumtarMain", "The account is disabled. ")},
    {648, QT_TRANSLATE_NOOP("LumtarMain", "The password has expired. ")},
    {649, QT_TRANSLATE_NOOP("LumtarMain", "The account does not have Remote Access permission. ")},
    {651, QT_TRANSLATE_NOOP("LumtarMain", "Your modem (or other connecting device) has reported an error. ")},
    {652, QT_TRANSLATE_NOOP("LumtarMain", "Unrecognized response from the device. ")},
    {653,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "A macro required by the device was not found in the device .INF file section. ")},
    {654, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "A command or response in the device .INF file section refers to an undefined macro ")},
    {655, QT_TRANSLATE_NOOP("LumtarMain", "The macro was not found in the device .INF file section. ")},
    {656, QT_TRANSLATE_NOOP("LumtarMain",
                            "The macro in the device .INF file section contains an undefined macro ")},
    {657, QT_TRANSLATE_NOOP("LumtarMain", "The device .INF file could not be opened. ")},
    {658,
     QT_TRANSLATE_NOOP("LumtarMain", "The device name in the device .INF or media .INI file is too long. ")},
    {659, QT_TRANSLATE_NOOP("LumtarMain", "The media .INI file refers to an unknown device name. ")},
    {660, QT_TRANSLATE_NOOP("LumtarMain", "The device .INF file contains no responses for the command. ")},
    {661, QT_TRANSLATE_NOOP("LumtarMain", "The device .INF file is missing a command. ")},
    {662,
     QT_TRANSLATE_NOOP("LumtarMain", "Attempted to set a macro not listed in device .INF file section. ")},
    {663, QT_TRANSLATE_NOOP("LumtarMain", "The media .INI file refers to an unknown device type. ")},
    {664, QT_TRANSLATE_NOOP("LumtarMain", "Cannot allocate memory. ")},
    {665, QT_TRANSLATE_NOOP("LumtarMain", "The port is not configured for Remote Access. ")},
    {666, QT_TRANSLATE_NOOP("LumtarMain", "Your modem (or other connecting device) is not functioning. ")},
    {667, QT_TRANSLATE_NOOP("LumtarMain", "Cannot read the media .INI file. ")},
    {668, QT_TRANSLATE_NOOP("LumtarMain", "The connection dropped. ")},
    {669, QT_TRANSLATE_NOOP("LumtarMain", "The usage parameter in the media .INI file is invalid. ")},
    {670, QT_TRANSLATE_NOOP("LumtarMain", "Cannot read the section name from the media .INI file. ")},
    {671, QT_TRANSLATE_NOOP("LumtarMain", "Cannot read the device type from the media .INI file. ")},
    {672, QT_TRANSLATE_NOOP("LumtarMain", "Cannot read the device name from the media .INI file. ")},
    {673, QT_TRANSLATE_NOOP("LumtarMain", "Cannot read the usage from the media .INI file. ")},
    {676, QT_TRANSLATE_NOOP("LumtarMain", "The phone line is busy. ")},
    {677, QT_TRANSLATE_NOOP("LumtarMain", "A person answered instead of a modem. ")},
    {678, QT_TRANSLATE_NOOP("LumtarMain", "There is no answer. ")},
    {679, QT_TRANSLATE_NOOP("LumtarMain", "Cannot detect carrier. ")},
    {680, QT_TRANSLATE_NOOP("LumtarMain", "There was no dial tone. ")},
    {691, QT_TRANSLATE_NOOP("LumtarMain",
                            "Access denied because username and/or password is invalid on the domain. ")},
    {692, QT_TRANSLATE_NOOP("LumtarMain", "Hardware failure in port or attached device. ")},
    {693, QT_TRANSLATE_NOOP("LumtarMain", "ERROR NOT BINARY MACRO ")},
    {694, QT_TRANSLATE_NOOP("LumtarMain", "ERROR DCB NOT FOUND ")},
    {695, QT_TRANSLATE_NOOP("LumtarMain", "ERROR STATE MACHINES NOT STARTED ")},
    {696, QT_TRANSLATE_NOOP("LumtarMain", "ERROR STATE MACHINES ALREADY STARTED ")},
    {697, QT_TRANSLATE_NOOP("LumtarMain", "ERROR PARTIAL RESPONSE LOOPING ")},
    {698, QT_TRANSLATE_NOOP("LumtarMain",
                            "A response keyname in the device .INF file is not in the expected format. ")},
    {699, QT_TRANSLATE_NOOP("LumtarMain", "The device response caused buffer overflow. ")},
    {700, QT_TRANSLATE_NOOP("LumtarMain", "The expanded command in the device .INF file is too long. ")},
    {701,
     QT_TRANSLATE_NOOP("LumtarMain", "The device moved to a BPS rate not supported by the COM driver. ")},
    {702, QT_TRANSLATE_NOOP("LumtarMain", "Device response received when none expected. ")},
    {703, QT_TRANSLATE_NOOP("LumtarMain", "ERROR INTERACTIVE MODE ")},
    {704, QT_TRANSLATE_NOOP("LumtarMain", "ERROR BAD CALLBACK NUMBER ")},
    {705, QT_TRANSLATE_NOOP("LumtarMain", "ERROR INVALID AUTH STATE ")},
    {707, QT_TRANSLATE_NOOP("LumtarMain", "X.25 diagnostic indication. ")},
    {708, QT_TRANSLATE_NOOP("LumtarMain", "The account has expired. ")},
    {709, QT_TRANSLATE_NOOP("LumtarMain", "Error changing password on domain. ")},
    {710, QT_TRANSLATE_NOOP("LumtarMain",
                            "Serial overrun errors were detected while communicating with your modem. ")},
    {711, QT_TRANSLATE_NOOP("LumtarMain", "RasMan initialization failure. Check the event log. ")},
    {713, QT_TRANSLATE_NOOP("LumtarMain", "No active ISDN lines are available. ")},
    {716, QT_TRANSLATE_NOOP("LumtarMain", "The Remote Access IP configuration is unusable. ")},
    {717,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "No IP addresses are available in the static pool of Remote Access IP addresses. ")},
    {718, QT_TRANSLATE_NOOP("LumtarMain", "PPP timeout. ")},
    {720, QT_TRANSLATE_NOOP("LumtarMain", "No PPP control protocols configured. ")},
    {721, QT_TRANSLATE_NOOP("LumtarMain", "Remote PPP peer is not responding. ")},
    {722, QT_TRANSLATE_NOOP("LumtarMain", "The PPP packet is invalid. ")},
    {723, QT_TRANSLATE_NOOP("LumtarMain", "The phone number, including prefix and suffix, is too long. ")},
    {726,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The IPX protocol cannot be used for dial-out on more than one port at a time. ")},
    {728, QT_TRANSLATE_NOOP("LumtarMain", "Cannot find an IP adapter bound to Remote Access. ")},
    {729, QT_TRANSLATE_NOOP("LumtarMain", "SLIP cannot be used unless the IP protocol is installed. ")},
    {730, QT_TRANSLATE_NOOP("LumtarMain", "Computer registration is not complete. ")},
    {731, QT_TRANSLATE_NOOP("LumtarMain", "The protocol is not configured. ")},
    {732, QT_TRANSLATE_NOOP("LumtarMain", "The PPP negotiation is not converging. ")},
    {733, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The PPP control protocol for this network protocol is not available on the server. ")},
    {734, QT_TRANSLATE_NOOP("LumtarMain", "The PPP link control protocol terminated.. ")},
    {735, QT_TRANSLATE_NOOP("LumtarMain", "The requested address was rejected by the server. ")},
    {736, QT_TRANSLATE_NOOP("LumtarMain", "The remote computer terminated the control protocol. ")},
    {737, QT_TRANSLATE_NOOP("LumtarMain", "Loopback detected. ")},
    {738, QT_TRANSLATE_NOOP("LumtarMain", "The server did not assign an address. ")},
    {739,
     QT_TRANSLATE_NOOP("LumtarMain", "The remote server cannot use the Windows NT encrypted password. ")},
    {740, QT_TRANSLATE_NOOP("LumtarMain",
                            "The TAPI devices configured for Remote Access failed to initialize or were not "
                            "installed correctly. ")},
    {741, QT_TRANSLATE_NOOP("LumtarMain", "The local computer does not support encryption. ")},
    {742, QT_TRANSLATE_NOOP("LumtarMain", "The remote server does not support encryption. ")},
    {749, QT_TRANSLATE_NOOP("LumtarMain", "ERROR_BAD_PHONE_NUMBER ")},
    {752, QT_TRANSLATE_NOOP("LumtarMain", "A syntax error was encountered while processing a script. ")},
    {753, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The connection could not be disconnected because it was created by the multi-protocol "
              "router. ")},
    {754, QT_TRANSLATE_NOOP("LumtarMain", "The system could not find the multi-link bundle. ")},
    {755,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The system cannot perform automated dial because this connection has a custom dialer "
                       "specified. ")},
    {756, QT_TRANSLATE_NOOP("LumtarMain", "This connection is already being dialed. ")},
    {757,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "Remote Access Services could not be started automatically. Additional information is "
                       "provided in the event log. ")},
    {764, QT_TRANSLATE_NOOP("LumtarMain", "No smart card reader is installed. ")},
    {765, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "Internet Connection Sharing cannot be enabled. A LAN connection is already configured "
              "with the IP address that is required for automatic IP addressing. ")},
    {766,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "A certificate could not be found. Connections that use the L2TP protocol over IPSec "
                       "require the installation of a machine certificate, also known as a computer "
                       "certificate. ")},
    {767,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "Internet Connection Sharing cannot be enabled. The LAN connection selected as the "
                       "private network has more than one IP address configured. Please reconfigure the LAN "
                       "connection with a single IP address before enabling Internet Connection Sharing. ")},
    {768,
     QT_TRANSLATE_NOOP("LumtarMain", "The connection attempt failed because of failure to encrypt data. ")},
    {769, QT_TRANSLATE_NOOP("LumtarMain", "The specified destination is not reachable. ")},
    {770, QT_TRANSLATE_NOOP("LumtarMain", "The remote computer rejected the connection attempt. ")},
    {771, QT_TRANSLATE_NOOP("LumtarMain", "The connection attempt failed because the network is busy. ")},
    {772, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The remote computer's network hardware is incompatible with the type of call requested. ")},
    {773, QT_TRANSLATE_NOOP("LumtarMain",
                            "The connection attempt failed because the destination number has changed. ")},
    {774, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The connection attempt failed because of a temporary failure. Try connecting again. ")},
    {775, QT_TRANSLATE_NOOP("LumtarMain", "The call was blocked by the remote computer. ")},
    {776,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The call could not be connected because the remote computer has invoked the Do Not "
                       "Disturb feature. ")},
    {777,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The connection attempt failed because the modem (or other connecting device on the "
                       "remote computer is out of order. ")},
    {778, QT_TRANSLATE_NOOP("LumtarMain", "It was not possible to verify the identity of the server. ")},
    {780, QT_TRANSLATE_NOOP("LumtarMain", "An attempted function is not valid for this connection. ")},
    {782, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "Internet Connection Sharing (ICS and Internet Connection Firewall (ICF cannot be "
              "enabled because Routing and Remote Access has been enabled on this computer. To enable "
              "ICS or ICF, first disable Routing and Remote Access. For more information about Routing "
              "and Remote Access, ICS, or ICF, see Help and Support. ")},
    {783, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "Internet Connection Sharing cannot be enabled. The LAN connection selected as the "
              "private network is either not present, or is disconnected from the network. Please "
              "ensure that the LAN adapter is connected before enabling Internet Connection Sharing. ")},
    {784, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "You cannot dial using this connection at logon time, because it is configured to use a "
              "user name different than the one on the smart card. If you want to use it at logon "
              "time, you must configure it to use the user name on the smart card. ")},
    {785, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "You cannot dial using this connection at logon time, because it is not configured to "
              "use a smart card. If you want to use it at logon time, you must edit the properties of "
              "this connection so that it uses a smart card. ")},
    {786,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The L2TP connection attempt failed because there is no valid machine certificate on "
                       "your computer for security authentication. ")},
    {787,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The L2TP connection attempt failed because the security layer could not authenticate "
                       "the remote computer. ")},
    {788,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The L2TP connection attempt failed because the security layer could not negotiate "
                       "compatible parameters with the remote computer. ")},
    {789, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The L2TP connection attempt failed because the security layer encountered a processing "
              "error during initial negotiations with the remote computer. ")},
    {790, QT_TRANSLATE_NOOP("LumtarMain",
                            "The L2TP connection attempt failed because certificate validation on the remote "
                            "computer failed. ")},
    {791, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The L2TP connection attempt failed because security policy for the connection was not "
              "found. ")},
    {792, QT_TRANSLATE_NOOP("LumtarMain",
                            "The L2TP connection attempt failed because security negotiation timed out. ")},
    {793, QT_TRANSLATE_NOOP("LumtarMain",
                            "The L2TP connection attempt failed because an error occurred while negotiating "
                            "security. ")},
    {794, QT_TRANSLATE_NOOP("LumtarMain", "The Framed Protocol RADIUS attribute for this user is not PPP. ")},
    {795, QT_TRANSLATE_NOOP("LumtarMain", "The Tunnel Type RADIUS attribute for this user is not correct. ")},
    {796, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The Service Type RADIUS attribute for this user is neither Framed nor Callback Framed. ")},
    {797, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "A connection to the remote computer could not be established because the modem was not "
              "found or was busy. For further assistance, click More Info or search Help and Support "
              "Center for this error number. ")},
    {798, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "A certificate could not be found that can be used with this Extensible Authentication "
              "Protocol. ")},
    {799, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "Internet Connection Sharing cannot be enabled because of an address conflict on the "
              "network. Internet Connection Sharing requires this computer to use the address "
              "192.168.0.1. Please make sure that no other client on the network uses 192.168.0.1. ")},
    {800, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "Unable to establish the VPN connection. The VPN server may be unreachable, or security "
              "parameters may not be configured properly for this connection. ")},
    {801,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "This connection is configured to validate the identity of the access server, but "
                       "Windows cannot verify the digital certificate sent by the server. ")},
    {802, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The card supplied was not recognized. Please check that the card is inserted correctly, "
              "and fits tightly. ")},
    {803, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The PEAP configuration stored in the session cookie does not match the current session "
              "configuration. ")},
    {804, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The PEAP identity stored in the session cookie does not match the current identity. ")},
    {805,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "You cannot dial using this connection at logon time, because it is configured to use "
                       "logged on user's credentials. ")},
    {806, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "A connection between your computer and the VPN server has been started, but the VPN "
              "connection cannot be completed. The most common cause for this is that at least one "
              "Internet device (for example, a firewall or a router) between your computer and the VPN "
              "server is not configured to allow Generic Routing Encapsulation (GRE) protocol packets. "
              "If the problem persists, contact your network administrator or Internet service "
              "provider. ")},
    {807, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The network connection between your computer and the VPN server was interrupted. This "
              "can be caused by a problem in the VPN transmission and is commonly the result of "
              "internet latency or simply that your VPN server has reached capacity. Please try to "
              "reconnect to the VPN server. If this problem persists, contact the VPN administrator "
              "and analyze quality of network connectivity. ")},
    {808, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The network connection between your computer and the VPN server could not be "
              "established because the remote server refused the connection. This is typically caused "
              "by a mismatch between the server's configuration and your connection settings. Please "
              "contact the remote server's Administrator to verify the server configuration and your "
              "connection settings. ")},
    {809, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The network connection between your computer and the VPN server could not be "
              "established because the remote server is not responding. This could be because one of "
              "the network devices (e.g., firewalls, NAT, routers, etc.) between your computer and the "
              "remote server is not configured to allow VPN connections. Please contact your "
              "Administrator or your service provider to determine which device may be causing the "
              "problem. ")},
    {810, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "A network connection between your computer and the VPN server was started, but the VPN "
              "connection was not completed. This is typically caused by the use of an incorrect or "
              "expired certificate for authentication between the client and the server. Please "
              "contact your Administrator to ensure that the certificate being used for authentication "
              "is valid. ")},
    {811, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The network connection between your computer and the VPN server could not be "
              "established because the remote server is not responding. This is typically caused by a "
              "pre-shared key problem between the client and server. A pre-shared key is used to "
              "guarantee you are who you say you are in an IP Security (IPSec) communication cycle. "
              "Please get the assistance of your administrator to determine where the pre-shared key "
              "problem is originating. ")},
    {812, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The connection was prevented because of a policy configured on your RAS/VPN server. "
              "Specifically, the authentication method used by the server to verify your username and "
              "password may not match the authentication method configured in your connection profile. "
              "Please contact the Administrator of the RAS server and notify them of this error. ")},
    {813,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "You have attempted to establish a second broadband connection while a previous "
                       "broadband connection is already established using the same device or port. Please "
                       "disconnect the earlier connection and then re-establish the connection. ")},
    {814, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The underlying Ethernet connectivity required for the broadband connection was not "
              "found. Please install and enable the Ethernet adapter on your computer via the Network "
              "Connections folder before attempting this connection. ")},
    {815, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The broadband network connection could not be established on your computer because the "
              "remote server is not responding. This could be caused by an invalid value for the "
              "'Service Name' field for this connection. Please contact your Internet Service Provider "
              "and inquire about the correct value for this field and update it in the Connection "
              "Properties. ")},
    {816,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "A feature or setting you have tried to enable is no longer supported by the remote "
                       "access service. ")},
    {817, QT_TRANSLATE_NOOP("LumtarMain", "Cannot delete a connection while it is connected. ")},
    {818, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The Network Access Protection (NAP) enforcement client could not create system "
              "resources for remote access connections. Some network services or resources might not "
              "be available. If the problem persists, disconnect and retry the remote access "
              "connection or contact the administrator for the remote access server. ")},
    {819, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The Network Access Protection Agent (NAP Agent) service has been disabled or is not "
              "installed on this computer. Some network services or resources might not be available. "
              "If the problem persists, disconnect and retry the remote access connection or contact "
              "the administrator for the remote access server. ")},
    {820, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The Network Access Protection (NAP) enforcement client failed to register with the "
              "Network Access Protection Agent (NAP Agent) service. Some network services or resources "
              "might not be available. If the problem persists, disconnect and retry the remote access "
              "connection or contact the administrator for the remote access server. ")},
    {821,
     QT_TRANSLATE_NOOP("LumtarMain",
                       "The Network Access Protection (NAP) enforcement client was unable to process the "
                       "request because the remote access connection does not exist. Retry the remote access "
                       "connection. If the problem persists, make sure that you can connect to the Internet, "
                       "and then contact the administrator for the remote access server. ")},
    {822, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The Network Access Protection (NAP) enforcement client did not respond. Some network "
              "services or resources might not be available. If the problem persists, disconnect and "
              "retry the remote access connection or contact the administrator for the remote access "
              "server. ")},
    {823, QT_TRANSLATE_NOOP("LumtarMain", "Received Crypto-Binding TLV is invalid. ")},
    {824, QT_TRANSLATE_NOOP("LumtarMain", "Crypto-Binding TLV is not received. ")},
    {825, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "Point-to-Point Tunnelling Protocol (PPTP) is incompatible with IPv6. Change the type of "
              "virtual private network to Layer Two Tunnelling Protocol (L2TP) ")},
    {826, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "EAPTLS validation of the cached credentials failed. Please discard cached credentials. ")},
    {827, QT_TRANSLATE_NOOP(
              "LumtarMain",
              "The L2TP/IPsec connection cannot be completed because the IKE and AuthIP IPSec Keying "
              "Modules service and/or the Base Filtering Engine service is not running. These services "
              "are required to establish an L2TP/IPSec connection. Please ensure that these services "
              "have been started before dialling the connection ")},
    {1168, QT_TRANSLATE_NOOP(
               "LumtarMain",
               "Do you have an active internet connection? Please be sure your network flight mode is "
               "off and check again your network connectivity.")},
};

const ErrorText ownTexts[] = {
    {int(ras::errorDialUpUnavailable),
     QT_TRANSLATE_NOOP(
         "LumtarMain",
         "PPTP and L2TP connections need the Windows dial-up service (RAS), which this system does not have. "
         "Use OpenVPN instead. ")},
    {int(ras::errorServerAddressTooLong),
     QT_TRANSLATE_NOOP(
         "LumtarMain",
         "The server address is longer than the 128 characters a dial-up connection can hold, so the "
         "connection was not started. ")},
    {int(ras::errorUserNameTooLong),
     QT_TRANSLATE_NOOP(
         "LumtarMain",
         "The user name is longer than the 256 characters a dial-up connection can hold, so the connection "
         "was not started. ")},
    {int(ras::errorPasswordTooLong),
     QT_TRANSLATE_NOOP(
         "LumtarMain",
         "The password is longer than the 256 characters a dial-up connection can hold, so the connection "
         "was not started. ")},
    {int(ras::errorPreSharedKeyTooLong),
     QT_TRANSLATE_NOOP(
         "LumtarMain",
         "The server's pre-shared key is longer than the 256 characters a dial-up connection can hold, so "
         "the connection was not started. ")},
};

const char* const defaultText = QT_TRANSLATE_NOOP("LumtarMain", "PPP protocol returned an error. ");

const char* find(const ErrorText* begin, const ErrorText* end, int code)
{
    const ErrorText* found = std::lower_bound(
        begin, end, code, [](const ErrorText& entry, int value) { return entry.code < value; });
    return found != end && found->code == code ? found->text : nullptr;
}

} // namespace

QString pppErrorText(int code)
{
    if (code >= 0 && nm::isVpnResult(std::uint32_t(code)))
        return nm::vpnResultText(std::uint32_t(code));
    const char* text = find(std::begin(rasTexts), std::end(rasTexts), code);
    if (!text)
        text = find(std::begin(ownTexts), std::end(ownTexts), code);
    return QCoreApplication::translate("LumtarMain", text ? text : defaultText);
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
