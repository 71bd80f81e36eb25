<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ConnectionController</name>
    <message>
        <location filename="../connection/connectioncontroller.cpp" line="+201"/>
        <source>The computer was asleep for %1 minutes</source>
        <translation>Der Computer war %1 Minuten im Ruhezustand</translation>
    </message>
</context>
<context>
    <name>ConnectionEngine</name>
    <message>
        <location filename="../connection/connectionengine.cpp" line="+50"/>
        <source>ended</source>
        <translation>beendet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>in progress</source>
        <translation>läuft</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>connected</source>
        <translation>verbunden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>stopped</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Dial: %1</source>
        <translation>Einwahl: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dial: %1 (result %2)</source>
        <translation>Einwahl: %1 (Ergebnis %2)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>NetworkManager: the attempt ended</source>
        <translation>NetworkManager: der Versuch ist beendet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>NetworkManager: talking to the server</source>
        <translation>NetworkManager: verbindet mit dem Server</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>NetworkManager: the tunnel is up</source>
        <translation>NetworkManager: der Tunnel steht</translation>
    </message>
    <message>
        <location line="+341"/>
        <source>Starting %1</source>
        <translation>Starte %1</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Starting OpenVPN through NetworkManager</source>
        <translation>Starte OpenVPN über NetworkManager</translation>
    </message>
    <message>
        <location line="+129"/>
        <source>the OpenVPN program was ended unexpectedly</source>
        <translation>das OpenVPN-Programm wurde unerwartet beendet</translation>
    </message>
    <message>
        <source>the server&apos;s address refuses the connection</source>
        <translation>die Adresse des Servers weist die Verbindung ab</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>The OpenVPN program has not answered for %1 seconds; it is ended</source>
        <translation>Das OpenVPN-Programm hat %1 Sekunden lang nicht geantwortet; es wird beendet</translation>
    </message>
</context>
<context>
    <name>FormView</name>
    <message>
        <location filename="../app/formview.cpp" line="+357"/>
        <source>cancel</source>
        <translation>abbrechen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>login</source>
        <translation>anmelden</translation>
    </message>
    <message>
        <location line="+326"/>
        <source>Server: %1</source>
        <translation>Server: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Protocol: %1</source>
        <translation>Protokoll: %1</translation>
    </message>
</context>
<context>
    <name>LumtarMain</name>
    <message>
        <location filename="../ui/lumtarmain.ui"/>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <location/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location/>
        <source>XML Response</source>
        <translation>XML-Antwort</translation>
    </message>
    <message>
        <location/>
        <source>Logs</source>
        <translation>Protokolle</translation>
    </message>
    <message>
        <location/>
        <source>XML UserData Response</source>
        <translation>XML-Antwort Kontodaten</translation>
    </message>
    <message>
        <location/>
        <source>Selected Server Details</source>
        <translation>Details des gewählten Servers</translation>
    </message>
    <message>
        <location/>
        <source>Server Name</source>
        <translation>Servername</translation>
    </message>
    <message>
        <location/>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <location/>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <location/>
        <source>PSK</source>
        <translation>PSK</translation>
    </message>
    <message>
        <location/>
        <source>Assigned IP</source>
        <translation>Zugewiesene IP</translation>
    </message>
    <message>
        <location/>
        <source>Certificate</source>
        <translation>Zertifikat</translation>
    </message>
    <message>
        <location/>
        <source>Config</source>
        <translation>Konfiguration</translation>
    </message>
    <message>
        <location/>
        <source>UserEnabled</source>
        <translation>Konto aktiv</translation>
    </message>
    <message>
        <location/>
        <source>Current IP</source>
        <translation>Aktuelle IP</translation>
    </message>
    <message>
        <location/>
        <source>Account Info</source>
        <translation>Kontoinformationen</translation>
    </message>
    <message>
        <location/>
        <source>Quick Connect</source>
        <translation>Schnellverbindung</translation>
    </message>
    <message>
        <location/>
        <source>Step</source>
        <translation>Schritt</translation>
    </message>
    <message>
        <location/>
        <source>Servers</source>
        <translation>Server</translation>
    </message>
    <message>
        <location/>
        <source>Credit Card</source>
        <translation>Kreditkarte</translation>
    </message>
    <message>
        <location/>
        <source>Paypal</source>
        <translation>PayPal</translation>
    </message>
    <message>
        <location/>
        <source>Perfect Money</source>
        <translation>Perfect Money</translation>
    </message>
    <message>
        <location/>
        <source>New Item</source>
        <translation>Neuer Eintrag</translation>
    </message>
    <message>
        <location/>
        <source>$ 4.95 USD for One Month</source>
        <translation>4,95 USD für einen Monat</translation>
    </message>
    <message>
        <location/>
        <source>$ 13.37 for 4 Months</source>
        <translation>13,37 USD für 4 Monate</translation>
    </message>
    <message>
        <location/>
        <source>$ 50.75 USD for One Year Service</source>
        <translation>50,75 USD für ein Jahr</translation>
    </message>
    <message>
        <location/>
        <location filename="../app/lumtarmain.cpp" line="+79"/>
        <source>create trial account</source>
        <translation>Testkonto anlegen</translation>
    </message>
    <message>
        <location/>
        <source>login</source>
        <translation>anmelden</translation>
    </message>
    <message>
        <location/>
        <source>username</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <location/>
        <source>password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <location/>
        <source>new here? sign up</source>
        <translation>neu hier? registrieren</translation>
    </message>
    <message>
        <location/>
        <source>auto-login next time</source>
        <translation>Auto-Anmeldung</translation>
    </message>
    <message>
        <location/>
        <source>Basic</source>
        <translation>Einfach</translation>
    </message>
    <message>
        <location/>
        <source>Quick
CONNECT</source>
        <translation>Schnell
VERBINDEN</translation>
    </message>
    <message>
        <location/>
        <source>Automatically detects a method that can work 
 for your connection (recommended). 
Will be used PPTP, L2TP and OpenVPN methods 
on multiple servers.</source>
        <translation>Findet automatisch eine Methode, die für 
 Ihre Verbindung funktioniert (empfohlen). 
Versucht werden PPTP, L2TP und OpenVPN 
auf mehreren Servern.</translation>
    </message>
    <message>
        <location/>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <location/>
        <location filename="../app/window/connect.cpp" line="+268"/>
        <source>connect</source>
        <translation>verbinden</translation>
    </message>
    <message>
        <location/>
        <source>select server...</source>
        <translation>Server wählen …</translation>
    </message>
    <message>
        <location/>
        <source>select protocol...</source>
        <translation>Protokoll wählen …</translation>
    </message>
    <message>
        <location/>
        <source>select type...</source>
        <translation>Typ wählen …</translation>
    </message>
    <message>
        <location/>
        <source>My Account</source>
        <translation>Mein Konto</translation>
    </message>
    <message>
        <location/>
        <location filename="../app/lumtarmain.cpp" line="+0"/>
        <location filename="../app/window/login.cpp" line="+255"/>
        <source>buy package</source>
        <translation>Paket kaufen</translation>
    </message>
    <message>
        <location/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Your subscription has expired. You will need to purchase a new package to use our services. Please select desired package and payment method:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Ihr Abonnement ist abgelaufen. Um unsere Dienste weiter zu nutzen, kaufen Sie bitte ein neues Paket. Wählen Sie das gewünschte Paket und die Zahlungsart:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location/>
        <source>Expire 23 Aug 2013</source>
        <translation>Läuft ab am 23. Aug. 2013</translation>
    </message>
    <message>
        <location/>
        <source>Standard Plan</source>
        <translation>Standardtarif</translation>
    </message>
    <message>
        <location/>
        <source>logout</source>
        <translation>abmelden</translation>
    </message>
    <message>
        <location/>
        <source>create account</source>
        <translation>Konto anlegen</translation>
    </message>
    <message>
        <location/>
        <source>email</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <location/>
        <source>firstname</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <location/>
        <source>lastname</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <location/>
        <source>cancel</source>
        <translation>abbrechen</translation>
    </message>
    <message>
        <location/>
        <source>Create new account</source>
        <translation>Neues Konto anlegen</translation>
    </message>
    <message>
        <location/>
        <source>account details will be sent to this email address</source>
        <translation>Zugangsdaten gehen an diese E-Mail-Adresse</translation>
    </message>
    <message>
        <location/>
        <source>Connected!</source>
        <translation>Verbunden!</translation>
    </message>
    <message>
        <location/>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <location/>
        <source>You are now connected to US Chicago Server.
 Your connection is secured.</source>
        <translation>Sie sind jetzt mit dem Server US Chicago verbunden.
 Ihre Verbindung ist gesichert.</translation>
    </message>
    <message>
        <location/>
        <source>Connecting to ...</source>
        <translation>Verbindung zu …</translation>
    </message>
    <message>
        <location/>
        <source>PPTP connection to US3
is in progress</source>
        <translation>PPTP-Verbindung zu US3
wird aufgebaut</translation>
    </message>
    <message>
        <location/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location/>
        <source>Payment process in progress</source>
        <translation>Zahlung läuft</translation>
    </message>
    <message>
        <location/>
        <source>Please finish payment process to automatically apply
new plan to your account.</source>
        <translation>Bitte schließen Sie die Zahlung ab; der neue Tarif
wird dann automatisch Ihrem Konto zugewiesen.</translation>
    </message>
    <message>
        <location filename="../app/window/chrome.cpp" line="+88"/>
        <source>Close Confirmation?</source>
        <translation>Beenden bestätigen?</translation>
    </message>
    <message>
        <location line="-22"/>
        <source>Are you sure you want to exit?</source>
        <translation>Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>You are connected to %1. Quitting closes the VPN connection.

Are you sure you want to exit?</source>
        <translation>Sie sind mit %1 verbunden. Beim Beenden wird die VPN-Verbindung getrennt.

Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>A connection to %1 is being made. Quitting stops it.

Are you sure you want to exit?</source>
        <translation>Eine Verbindung zu %1 wird aufgebaut. Beim Beenden wird sie abgebrochen.

Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Application close</source>
        <translation>Programm schließen</translation>
    </message>
    <message>
        <location filename="../app/lumtarmain.cpp" line="+32"/>
        <source>Your settings could not be read, so Corvane starts with its defaults. The old settings file is kept as %1.</source>
        <translation>Ihre Einstellungen konnten nicht gelesen werden, daher startet Corvane mit den Standardwerten. Die alte Einstellungsdatei bleibt als %1 erhalten.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Your settings file %1 cannot be read or written, so the changes you make will not be kept. Please check that it belongs to you.</source>
        <translation>Ihre Einstellungsdatei %1 kann nicht gelesen oder geschrieben werden, daher werden Ihre Änderungen nicht gespeichert. Bitte prüfen Sie, ob sie Ihnen gehört.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Settings not read</source>
        <translation>Einstellungen nicht gelesen</translation>
    </message>
    <message>
        <location line="+38"/>
        <location line="+60"/>
        <source>Show log</source>
        <translation>Protokoll anzeigen</translation>
    </message>
    <message>
        <location filename="../app/window/chrome.cpp" line="-87"/>
        <location line="+148"/>
        <source>&amp;Show Application</source>
        <translation>&amp;Programm anzeigen</translation>
    </message>
    <message>
        <location line="-146"/>
        <location line="+147"/>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location filename="../app/lumtarmain.cpp" line="-3"/>
        <location filename="../app/window/update.cpp" line="+118"/>
        <source>version </source>
        <translation>Version </translation>
    </message>
    <message>
        <location filename="../app/window/login.cpp" line="-182"/>
        <source>Notice</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <location filename="../app/window/accountdetails.cpp" line="+39"/>
        <source> quota available</source>
        <translation> Datenvolumen verfügbar</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Account Active</source>
        <translation>Konto aktiv</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Your account is now active. Thank you!</source>
        <translation>Ihr Konto ist jetzt aktiv. Vielen Dank!</translation>
    </message>
    <message>
        <location line="-37"/>
        <source>account is disabled</source>
        <translation>Konto ist gesperrt</translation>
    </message>
    <message>
        <location filename="../app/window/login.cpp" line="-45"/>
        <source>Cannot communicate with Corvane servers. Try temporarily disabling your firewall to see if that helps. If you have any proxy set up, disable it.</source>
        <translation>Keine Verbindung zu den Corvane-Servern. Deaktivieren Sie testweise Ihre Firewall. Falls Sie einen Proxy eingerichtet haben, deaktivieren Sie ihn.</translation>
    </message>
    <message>
        <location filename="../service/rememberedlogin.cpp" line="+22"/>
        <source>it is not in the system&apos;s secret store</source>
        <translation>es ist nicht im Schlüsselspeicher des Systems</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>no secret store is available on this system</source>
        <translation>auf diesem System ist kein Schlüsselspeicher verfügbar</translation>
    </message>
    <message>
        <location filename="../app/window/login.cpp" line="+9"/>
        <source>Password not found in the secret store.</source>
        <translation>Passwort nicht im Schlüsselspeicher gefunden.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No secret store: password not remembered.</source>
        <translation>Kein Schlüsselspeicher: Passwort nicht gespeichert.</translation>
    </message>
    <message>
        <location line="+178"/>
        <source>Starting auth process...</source>
        <translation>Anmeldung beginnt …</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Empty Authentication</source>
        <translation>Anmeldedaten fehlen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Username and/or password missing.</source>
        <translation>Benutzername und/oder Passwort fehlen.</translation>
    </message>
    <message>
        <location filename="../service/rememberedlogin.cpp" line="-2"/>
        <source>the secret store&apos;s prompt was declined</source>
        <translation>die Abfrage des Schlüsselbunds wurde abgelehnt</translation>
    </message>
    <message>
        <location line="+159"/>
        <source>The password could not be kept in the system&apos;s secret store: </source>
        <translation>Das Passwort konnte nicht im Schlüsselspeicher des Systems abgelegt werden: </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>. Corvane will ask for it at the next start.</source>
        <translation>. Corvane fragt beim nächsten Start danach.</translation>
    </message>
    <message>
        <location filename="../app/window/login.cpp" line="-131"/>
        <location line="+70"/>
        <source>Password not remembered</source>
        <translation>Passwort nicht gespeichert</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>Wait... login in progress!</source>
        <translation>Bitte warten … Anmeldung läuft!</translation>
    </message>
    <message>
        <location line="-132"/>
        <source>Service not trusted</source>
        <translation>Dienst nicht vertrauenswürdig</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>

Your user name and password were not sent. Someone on this network may be trying to intercept the connection: try another network.</source>
        <translation>

Ihr Benutzername und Ihr Passwort wurden nicht gesendet. Jemand in diesem Netzwerk versucht womöglich, die Verbindung abzufangen: Versuchen Sie es in einem anderen Netzwerk.</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+14"/>
        <location line="+129"/>
        <source>Not connected!</source>
        <translation>Nicht verbunden!</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Login complete!</source>
        <translation>Anmeldung abgeschlossen!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>start XML parse...</source>
        <translation>XML wird gelesen …</translation>
    </message>
    <message>
        <location line="-144"/>
        <source>

The service&apos;s answer could not be read.</source>
        <translation>

Die Antwort des Dienstes war nicht lesbar.</translation>
    </message>
    <message>
        <location line="-77"/>
        <source>Keyring prompt declined: password not remembered.</source>
        <translation>Abfrage des Schlüsselbunds abgelehnt: Passwort nicht gespeichert.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The Corvane service is not available at the moment: %1 refused the connection. Please try again in a few minutes.</source>
        <translation>Der Corvane-Dienst ist im Moment nicht erreichbar: %1 hat die Verbindung abgelehnt. Bitte versuchen Sie es in einigen Minuten noch einmal.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The Corvane service did not answer in time. Please check your internet connection and try again.</source>
        <translation>Der Corvane-Dienst hat nicht rechtzeitig geantwortet. Bitte prüfen Sie Ihre Internetverbindung und versuchen Sie es noch einmal.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The Corvane service has a problem of its own. Please try again later: your computer and its firewall are not the cause.</source>
        <translation>Der Corvane-Dienst hat selbst ein Problem. Bitte versuchen Sie es später noch einmal: Ihr Computer und seine Firewall sind nicht die Ursache.</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>Login cancelled.</source>
        <translation>Anmeldung abgebrochen.</translation>
    </message>
    <message>
        <location filename="../app/window/accountdetails.cpp" line="+33"/>
        <source>Please complete the payment process in your browser to automatically apply the new plan to your account.</source>
        <translation>Bitte schließen Sie die Zahlung in Ihrem Browser ab; der neue Tarif wird dann automatisch Ihrem Konto zugewiesen.</translation>
    </message>
    <message>
        <location filename="../app/window/login.cpp" line="+58"/>
        <source>Login disabled: %1 uses plain HTTP</source>
        <translation>Anmeldung gesperrt: %1 ohne HTTPS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Login disabled: %1 is not a web address</source>
        <translation>Anmeldung gesperrt: %1 ist keine Webadresse</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>Getting response!</source>
        <translation>Antwort wird empfangen!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Bad username/password</source>
        <translation>Falscher Benutzername oder falsches Passwort</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wrong username or password. Please try again.</source>
        <translation>Benutzername oder Passwort ist falsch. Bitte versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Authenticated!</source>
        <translation>Angemeldet!</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Logged out. Log in to connect.</source>
        <translation>Abgemeldet. Melden Sie sich an, um zu verbinden.</translation>
    </message>
    <message>
        <location filename="../app/window/accountdetails.cpp" line="+0"/>
        <source>Payment in progress</source>
        <translation>Zahlung läuft</translation>
    </message>
    <message>
        <location filename="../app/window/newaccount.cpp" line="+15"/>
        <source>No web browser could be opened. Please open this address in a web browser:
%1</source>
        <translation>Es konnte kein Webbrowser geöffnet werden. Bitte öffnen Sie diese Adresse in einem Webbrowser:
%1</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+13"/>
        <source>No web browser</source>
        <translation>Kein Webbrowser</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Missing info</source>
        <translation>Angaben fehlen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Missing information. Please enter firstname, lastname and your email address.</source>
        <translation>Es fehlen Angaben. Bitte geben Sie Vorname, Nachname und Ihre E-Mail-Adresse ein.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Invalid e-mail address</source>
        <translation>Ungültige E-Mail-Adresse</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; is not an e-mail address. Please enter the address the account details are to be sent to.</source>
        <translation>„%1“ ist keine E-Mail-Adresse. Bitte geben Sie die Adresse ein, an die die Kontodaten gesendet werden sollen.</translation>
    </message>
    <message>
        <location filename="../app/window/login.cpp" line="-144"/>
        <location line="+4"/>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>

Your details were not sent.</source>
        <translation>

Ihre Angaben wurden nicht gesendet.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Unable to process your request at this time. Please check your internet connection and if all is ok, please try to create new account again later.</source>
        <translation>Ihre Anfrage kann zurzeit nicht bearbeitet werden. Bitte prüfen Sie Ihre Internetverbindung; wenn alles in Ordnung ist, versuchen Sie später erneut, ein neues Konto anzulegen.</translation>
    </message>
    <message>
        <location filename="../app/window/newaccount.cpp" line="+24"/>
        <source>New Account Created</source>
        <translation>Neues Konto angelegt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Account has been created. Username and password have been sent to your email address.</source>
        <translation>Das Konto wurde angelegt. Benutzername und Passwort wurden an Ihre E-Mail-Adresse gesendet.</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>New Account Error</source>
        <translation>Fehler beim Anlegen des Kontos</translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="-147"/>
        <location filename="../app/window/quickconnect.cpp" line="+74"/>
        <source>Your account is disabled</source>
        <translation>Ihr Konto ist gesperrt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VPN connections are not available for your account. You need to subscribe to one of our plans. 
For more details please visit our site.</source>
        <translation>Für Ihr Konto sind keine VPN-Verbindungen verfügbar. Bitte schließen Sie einen unserer Tarife ab. 
Mehr dazu finden Sie auf unserer Website.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No OpenVPN profile</source>
        <translation>Kein OpenVPN-Profil</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>This server offers no OpenVPN profile. Please choose another protocol or another server.</source>
        <translation>Dieser Server bietet kein OpenVPN-Profil an. Bitte wählen Sie ein anderes Protokoll oder einen anderen Server.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No connection protocol</source>
        <translation>Kein Verbindungsprotokoll</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>This server offers no connection protocol this application can use. Please choose another server.</source>
        <translation>Dieser Server bietet kein Verbindungsprotokoll, das diese Anwendung nutzen kann. Bitte wählen Sie einen anderen Server.</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Connecting to %1 (%2) by %3</source>
        <translation>Verbinde mit %1 (%2) über %3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>, profile %1</source>
        <translation>, Profil %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Quick Connect %1/%2: </source>
        <translation>Schnellverbindung %1/%2: </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Redial: </source>
        <translation>Neue Einwahl: </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Connected to %1</source>
        <translation>Verbunden mit %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The connection to %1 dropped: %2. Dialling again in %3 s.</source>
        <translation>Die Verbindung zu %1 ist abgebrochen: %2. Neue Einwahl in %3 s.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ended: %1</source>
        <translation>Beendet: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Quick Connect %1/%2 failed: %3</source>
        <translation>Schnellverbindung %1/%2 fehlgeschlagen: %3</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Connecting...</source>
        <translation>Verbinde …</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Public address: checking...</source>
        <translation>Öffentliche Adresse: wird geprüft...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Traffic: -</source>
        <translation>Datenverkehr: -</translation>
    </message>
    <message>
        <location line="+58"/>
        <location line="+43"/>
        <source>Internet blocked until the VPN connects</source>
        <translation>Internet gesperrt, bis das VPN verbunden ist</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Reconnecting to </source>
        <translation>Neue Verbindung zu </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The connection to %1 dropped.
It is dialled again shortly.</source>
        <translation>Die Verbindung zu %1 ist abgebrochen.
Sie wird gleich neu aufgebaut.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Connecting to </source>
        <translation>Verbindung zu </translation>
    </message>
    <message>
        <location line="+1"/>
        <source> connection to </source>
        <translation>-Verbindung zu </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>
is in progress</source>
        <translation>
wird aufgebaut</translation>
    </message>
    <message>
        <location line="+18"/>
        <source> - Disconnect in the tray menu lifts it</source>
        <translation> – „Trennen“ im Infobereich-Menü hebt die Sperre auf</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connected for: %1</source>
        <translation>Verbindungsdauer: %1</translation>
    </message>
    <message>
        <location line="-93"/>
        <source>Disconnecting...</source>
        <translation>Trenne …</translation>
    </message>
    <message>
        <location line="-198"/>
        <location line="+192"/>
        <source>Reconnecting to %1 in %2 s</source>
        <translation>Neue Verbindung zu %1 in %2 s</translation>
    </message>
    <message>
        <location line="-184"/>
        <source>Public address: %1</source>
        <translation>Öffentliche Adresse: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Public address: %1 (not the server&apos;s)</source>
        <translation>Öffentliche Adresse: %1 (nicht die des Servers)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Traffic: %1</source>
        <translation>Datenverkehr: %1</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>The internet could not be blocked outside the tunnel: %1</source>
        <translation>Das Internet konnte außerhalb des Tunnels nicht gesperrt werden: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Internet block removed</source>
        <translation>Internetsperre entfernt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The internet was still blocked by an earlier run of Corvane that did not end normally. The block has been removed.</source>
        <translation>Das Internet war noch von einem früheren Lauf von Corvane gesperrt, der nicht normal beendet wurde. Die Sperre wurde entfernt.</translation>
    </message>
    <message>
        <location line="+158"/>
        <source>Ready!</source>
        <translation>Bereit!</translation>
    </message>
    <message>
        <location filename="../app/window/openvpn.cpp" line="+139"/>
        <source>The previous connection attempt is still ending. Please wait a moment and connect again.</source>
        <translation>Der vorige Verbindungsversuch wird noch beendet. Bitte warten Sie einen Moment und verbinden Sie erneut.</translation>
    </message>
    <message>
        <location filename="../connection/errortexts.cpp" line="+22"/>
        <source>An operation is pending. </source>
        <translation>Ein Vorgang ist noch nicht abgeschlossen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port handle is invalid. </source>
        <translation>Das Port-Handle ist ungültig. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port is already open. </source>
        <translation>Der Port ist bereits geöffnet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Caller&apos;s buffer is too small. </source>
        <translation>Der Puffer des Aufrufers ist zu klein. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wrong information specified. </source>
        <translation>Es wurden falsche Informationen angegeben. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port is not connected. </source>
        <translation>Der Port ist nicht verbunden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The device does not exist. </source>
        <translation>Das Gerät ist nicht vorhanden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The device type does not exist. </source>
        <translation>Der Gerätetyp ist nicht vorhanden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The buffer is invalid. </source>
        <translation>Der Puffer ist ungültig. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The route is not allocated. </source>
        <translation>Die Route ist nicht zugewiesen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port was not found. </source>
        <translation>Der Port wurde nicht gefunden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An asynchronous request is pending. </source>
        <translation>Eine asynchrone Anforderung ist noch nicht abgeschlossen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port or device is already disconnecting. </source>
        <translation>Der Port oder das Gerät wird bereits getrennt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port is not open. </source>
        <translation>Der Port ist nicht geöffnet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port is disconnected. </source>
        <translation>Der Port ist getrennt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot open the phone book file. </source>
        <translation>Die Telefonbuchdatei kann nicht geöffnet werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot load the phone book file. </source>
        <translation>Die Telefonbuchdatei kann nicht geladen werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot find the phone book entry. </source>
        <translation>Der Telefonbucheintrag wurde nicht gefunden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot write the phone book file. </source>
        <translation>Die Telefonbuchdatei kann nicht geschrieben werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Invalid information found in the phone book. </source>
        <translation>Im Telefonbuch stehen ungültige Angaben. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot find key. </source>
        <translation>Der Schlüssel wurde nicht gefunden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port was disconnected. </source>
        <translation>Der Port wurde getrennt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port was disconnected by the remote machine. </source>
        <translation>Der Port wurde vom Gegenrechner getrennt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port was disconnected due to hardware failure. </source>
        <translation>Der Port wurde wegen eines Hardwarefehlers getrennt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port was disconnected by the user. </source>
        <translation>Der Port wurde vom Benutzer getrennt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The structure size is incorrect. </source>
        <translation>Die Strukturgröße ist falsch. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port is already in use or is not configured for Remote Access dialout. </source>
        <translation>Der Port wird bereits verwendet oder ist nicht für ausgehende RAS-Verbindungen eingerichtet. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unknown error. </source>
        <translation>Unbekannter Fehler. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The wrong device is attached to the port. </source>
        <translation>Am Port ist das falsche Gerät angeschlossen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The request has timed out. </source>
        <translation>Die Anforderung hat das Zeitlimit überschritten. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Internal authentication error. </source>
        <translation>Interner Authentifizierungsfehler. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The account is not permitted to log on at this time of day. </source>
        <translation>Das Konto darf sich zu dieser Tageszeit nicht anmelden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The account is disabled. </source>
        <translation>Das Konto ist deaktiviert. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The password has expired. </source>
        <translation>Das Kennwort ist abgelaufen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The account does not have Remote Access permission. </source>
        <translation>Das Konto hat keine Berechtigung für den RAS-Zugang. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your modem (or other connecting device) has reported an error. </source>
        <translation>Ihr Modem (oder ein anderes Verbindungsgerät) hat einen Fehler gemeldet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unrecognized response from the device. </source>
        <translation>Unbekannte Antwort des Geräts. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A macro required by the device was not found in the device .INF file section. </source>
        <translation>Ein vom Gerät benötigtes Makro wurde im Abschnitt der .INF-Datei des Geräts nicht gefunden. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A command or response in the device .INF file section refers to an undefined macro </source>
        <translation>Ein Befehl oder eine Antwort im Abschnitt der .INF-Datei des Geräts verweist auf ein nicht definiertes Makro </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The macro was not found in the device .INF file section. </source>
        <translation>Das Makro wurde im Abschnitt der .INF-Datei des Geräts nicht gefunden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The macro in the device .INF file section contains an undefined macro </source>
        <translation>Das Makro im Abschnitt der .INF-Datei des Geräts enthält ein nicht definiertes Makro </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The device .INF file could not be opened. </source>
        <translation>Die .INF-Datei des Geräts konnte nicht geöffnet werden. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The device name in the device .INF or media .INI file is too long. </source>
        <translation>Der Gerätename in der .INF-Datei des Geräts oder in der Medien-.INI-Datei ist zu lang. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The media .INI file refers to an unknown device name. </source>
        <translation>Die Medien-.INI-Datei verweist auf einen unbekannten Gerätenamen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The device .INF file contains no responses for the command. </source>
        <translation>Die .INF-Datei des Geräts enthält keine Antworten auf den Befehl. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The device .INF file is missing a command. </source>
        <translation>In der .INF-Datei des Geräts fehlt ein Befehl. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Attempted to set a macro not listed in device .INF file section. </source>
        <translation>Es wurde versucht, ein Makro zu setzen, das im Abschnitt der .INF-Datei des Geräts nicht aufgeführt ist. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The media .INI file refers to an unknown device type. </source>
        <translation>Die Medien-.INI-Datei verweist auf einen unbekannten Gerätetyp. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot allocate memory. </source>
        <translation>Es kann kein Speicher reserviert werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The port is not configured for Remote Access. </source>
        <translation>Der Port ist nicht für den RAS-Zugang eingerichtet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your modem (or other connecting device) is not functioning. </source>
        <translation>Ihr Modem (oder ein anderes Verbindungsgerät) funktioniert nicht. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot read the media .INI file. </source>
        <translation>Die Medien-.INI-Datei kann nicht gelesen werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The connection dropped. </source>
        <translation>Die Verbindung wurde unterbrochen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The usage parameter in the media .INI file is invalid. </source>
        <translation>Der Verwendungsparameter in der Medien-.INI-Datei ist ungültig. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot read the section name from the media .INI file. </source>
        <translation>Der Abschnittsname kann nicht aus der Medien-.INI-Datei gelesen werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot read the device type from the media .INI file. </source>
        <translation>Der Gerätetyp kann nicht aus der Medien-.INI-Datei gelesen werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot read the device name from the media .INI file. </source>
        <translation>Der Gerätename kann nicht aus der Medien-.INI-Datei gelesen werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot read the usage from the media .INI file. </source>
        <translation>Die Verwendung kann nicht aus der Medien-.INI-Datei gelesen werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The phone line is busy. </source>
        <translation>Die Leitung ist besetzt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A person answered instead of a modem. </source>
        <translation>Statt eines Modems hat eine Person geantwortet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>There is no answer. </source>
        <translation>Es meldet sich niemand. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot detect carrier. </source>
        <translation>Es wurde kein Trägersignal erkannt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>There was no dial tone. </source>
        <translation>Es gab kein Freizeichen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Access denied because username and/or password is invalid on the domain. </source>
        <translation>Zugriff verweigert, weil Benutzername und/oder Kennwort in der Domäne ungültig sind. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Hardware failure in port or attached device. </source>
        <translation>Hardwarefehler im Port oder im angeschlossenen Gerät. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR NOT BINARY MACRO </source>
        <translation>ERROR NOT BINARY MACRO </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR DCB NOT FOUND </source>
        <translation>ERROR DCB NOT FOUND </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR STATE MACHINES NOT STARTED </source>
        <translation>ERROR STATE MACHINES NOT STARTED </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR STATE MACHINES ALREADY STARTED </source>
        <translation>ERROR STATE MACHINES ALREADY STARTED </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR PARTIAL RESPONSE LOOPING </source>
        <translation>ERROR PARTIAL RESPONSE LOOPING </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A response keyname in the device .INF file is not in the expected format. </source>
        <translation>Ein Antwortschlüssel in der .INF-Datei des Geräts hat nicht das erwartete Format. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The device response caused buffer overflow. </source>
        <translation>Die Antwort des Geräts hat einen Pufferüberlauf verursacht. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The expanded command in the device .INF file is too long. </source>
        <translation>Der erweiterte Befehl in der .INF-Datei des Geräts ist zu lang. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The device moved to a BPS rate not supported by the COM driver. </source>
        <translation>Das Gerät ist auf eine Übertragungsrate gewechselt, die der COM-Treiber nicht unterstützt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device response received when none expected. </source>
        <translation>Es kam eine Antwort des Geräts, obwohl keine erwartet wurde. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR INTERACTIVE MODE </source>
        <translation>ERROR INTERACTIVE MODE </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR BAD CALLBACK NUMBER </source>
        <translation>ERROR BAD CALLBACK NUMBER </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR INVALID AUTH STATE </source>
        <translation>ERROR INVALID AUTH STATE </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>X.25 diagnostic indication. </source>
        <translation>X.25-Diagnosemeldung. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The account has expired. </source>
        <translation>Das Konto ist abgelaufen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error changing password on domain. </source>
        <translation>Fehler beim Ändern des Kennworts in der Domäne. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Serial overrun errors were detected while communicating with your modem. </source>
        <translation>Bei der Kommunikation mit dem Modem wurden serielle Überlauffehler erkannt. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>RasMan initialization failure. Check the event log. </source>
        <translation>RasMan konnte nicht gestartet werden. Sehen Sie im Ereignisprotokoll nach. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No active ISDN lines are available. </source>
        <translation>Es sind keine aktiven ISDN-Leitungen verfügbar. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The Remote Access IP configuration is unusable. </source>
        <translation>Die IP-Konfiguration für den RAS-Zugang ist nicht verwendbar. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No IP addresses are available in the static pool of Remote Access IP addresses. </source>
        <translation>Im statischen Pool der RAS-IP-Adressen ist keine IP-Adresse mehr frei. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>PPP timeout. </source>
        <translation>Zeitüberschreitung bei PPP. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No PPP control protocols configured. </source>
        <translation>Es sind keine PPP-Steuerungsprotokolle eingerichtet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Remote PPP peer is not responding. </source>
        <translation>Die PPP-Gegenstelle antwortet nicht. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The PPP packet is invalid. </source>
        <translation>Das PPP-Paket ist ungültig. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The phone number, including prefix and suffix, is too long. </source>
        <translation>Die Rufnummer ist einschließlich Vorwahl und Nachwahl zu lang. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The IPX protocol cannot be used for dial-out on more than one port at a time. </source>
        <translation>Das IPX-Protokoll kann nicht auf mehreren Ports gleichzeitig für ausgehende Verbindungen verwendet werden. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot find an IP adapter bound to Remote Access. </source>
        <translation>Es wurde kein an den RAS-Zugang gebundener IP-Adapter gefunden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>SLIP cannot be used unless the IP protocol is installed. </source>
        <translation>SLIP kann nur verwendet werden, wenn das IP-Protokoll installiert ist. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Computer registration is not complete. </source>
        <translation>Die Registrierung des Computers ist nicht abgeschlossen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The protocol is not configured. </source>
        <translation>Das Protokoll ist nicht eingerichtet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The PPP negotiation is not converging. </source>
        <translation>Die PPP-Aushandlung kommt zu keinem Ergebnis. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The PPP control protocol for this network protocol is not available on the server. </source>
        <translation>Das PPP-Steuerungsprotokoll für dieses Netzwerkprotokoll ist auf dem Server nicht verfügbar. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The PPP link control protocol terminated.. </source>
        <translation>Das PPP-Verbindungssteuerungsprotokoll wurde beendet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The requested address was rejected by the server. </source>
        <translation>Die angeforderte Adresse wurde vom Server abgelehnt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote computer terminated the control protocol. </source>
        <translation>Der Gegenrechner hat das Steuerungsprotokoll beendet. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loopback detected. </source>
        <translation>Eine Schleife wurde erkannt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The server did not assign an address. </source>
        <translation>Der Server hat keine Adresse zugewiesen. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The remote server cannot use the Windows NT encrypted password. </source>
        <translation>Der Server kann das verschlüsselte Windows-NT-Kennwort nicht verwenden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The TAPI devices configured for Remote Access failed to initialize or were not installed correctly. </source>
        <translation>Die für den RAS-Zugang eingerichteten TAPI-Geräte konnten nicht gestartet werden oder sind nicht richtig installiert. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The local computer does not support encryption. </source>
        <translation>Dieser Computer unterstützt keine Verschlüsselung. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote server does not support encryption. </source>
        <translation>Der Server unterstützt keine Verschlüsselung. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ERROR_BAD_PHONE_NUMBER </source>
        <translation>ERROR_BAD_PHONE_NUMBER </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A syntax error was encountered while processing a script. </source>
        <translation>Beim Verarbeiten eines Skripts ist ein Syntaxfehler aufgetreten. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The connection could not be disconnected because it was created by the multi-protocol router. </source>
        <translation>Die Verbindung konnte nicht getrennt werden, weil sie vom Multiprotokoll-Router hergestellt wurde. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The system could not find the multi-link bundle. </source>
        <translation>Das System hat das Mehrfachverbindungsbündel nicht gefunden. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The system cannot perform automated dial because this connection has a custom dialer specified. </source>
        <translation>Das System kann nicht automatisch wählen, weil für diese Verbindung ein eigenes Wählprogramm angegeben ist. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>This connection is already being dialed. </source>
        <translation>Diese Verbindung wird bereits gewählt. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Remote Access Services could not be started automatically. Additional information is provided in the event log. </source>
        <translation>Die RAS-Dienste konnten nicht automatisch gestartet werden. Weitere Angaben stehen im Ereignisprotokoll. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No smart card reader is installed. </source>
        <translation>Es ist kein Smartcard-Leser installiert. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Internet Connection Sharing cannot be enabled. A LAN connection is already configured with the IP address that is required for automatic IP addressing. </source>
        <translation>Die Internetverbindungsfreigabe kann nicht aktiviert werden. Eine LAN-Verbindung ist bereits mit der IP-Adresse eingerichtet, die für die automatische IP-Adressierung nötig ist. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>A certificate could not be found. Connections that use the L2TP protocol over IPSec require the installation of a machine certificate, also known as a computer certificate. </source>
        <translation>Es wurde kein Zertifikat gefunden. Verbindungen über L2TP mit IPSec benötigen ein installiertes Computerzertifikat. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Internet Connection Sharing cannot be enabled. The LAN connection selected as the private network has more than one IP address configured. Please reconfigure the LAN connection with a single IP address before enabling Internet Connection Sharing. </source>
        <translation>Die Internetverbindungsfreigabe kann nicht aktiviert werden. Für die als privates Netzwerk gewählte LAN-Verbindung ist mehr als eine IP-Adresse eingerichtet. Richten Sie die LAN-Verbindung mit nur einer IP-Adresse ein, bevor Sie die Internetverbindungsfreigabe aktivieren. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The connection attempt failed because of failure to encrypt data. </source>
        <translation>Der Verbindungsversuch ist fehlgeschlagen, weil die Daten nicht verschlüsselt werden konnten. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The specified destination is not reachable. </source>
        <translation>Das angegebene Ziel ist nicht erreichbar. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote computer rejected the connection attempt. </source>
        <translation>Der Gegenrechner hat den Verbindungsversuch abgelehnt. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The connection attempt failed because the network is busy. </source>
        <translation>Der Verbindungsversuch ist fehlgeschlagen, weil das Netzwerk ausgelastet ist. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote computer&apos;s network hardware is incompatible with the type of call requested. </source>
        <translation>Die Netzwerkhardware des Gegenrechners passt nicht zur angeforderten Art der Verbindung. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The connection attempt failed because the destination number has changed. </source>
        <translation>Der Verbindungsversuch ist fehlgeschlagen, weil sich die Zielrufnummer geändert hat. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The connection attempt failed because of a temporary failure. Try connecting again. </source>
        <translation>Der Verbindungsversuch ist wegen eines vorübergehenden Fehlers fehlgeschlagen. Versuchen Sie es erneut. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The call was blocked by the remote computer. </source>
        <translation>Der Anruf wurde vom Gegenrechner blockiert. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The call could not be connected because the remote computer has invoked the Do Not Disturb feature. </source>
        <translation>Der Anruf konnte nicht verbunden werden, weil am Gegenrechner „Bitte nicht stören“ eingeschaltet ist. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The connection attempt failed because the modem (or other connecting device on the remote computer is out of order. </source>
        <translation>Der Verbindungsversuch ist fehlgeschlagen, weil das Modem (oder ein anderes Verbindungsgerät) des Gegenrechners außer Betrieb ist. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>It was not possible to verify the identity of the server. </source>
        <translation>Die Identität des Servers konnte nicht überprüft werden. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An attempted function is not valid for this connection. </source>
        <translation>Die versuchte Funktion ist für diese Verbindung nicht gültig. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Internet Connection Sharing (ICS and Internet Connection Firewall (ICF cannot be enabled because Routing and Remote Access has been enabled on this computer. To enable ICS or ICF, first disable Routing and Remote Access. For more information about Routing and Remote Access, ICS, or ICF, see Help and Support. </source>
        <translation>Internetverbindungsfreigabe (ICS) und Internetverbindungsfirewall (ICF) können nicht aktiviert werden, weil auf diesem Computer Routing und RAS aktiviert ist. Um ICS oder ICF zu aktivieren, deaktivieren Sie zuerst Routing und RAS. Mehr zu Routing und RAS, ICS und ICF finden Sie in Hilfe und Support. </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Internet Connection Sharing cannot be enabled. The LAN connection selected as the private network is either not present, or is disconnected from the network. Please ensure that the LAN adapter is connected before enabling Internet Connection Sharing. </source>
        <translation>Die Internetverbindungsfreigabe kann nicht aktiviert werden. Die als privates Netzwerk gewählte LAN-Verbindung ist nicht vorhanden oder vom Netzwerk getrennt. Stellen Sie sicher, dass der LAN-Adapter verbunden ist, bevor Sie die Internetverbindungsfreigabe aktivieren. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>You cannot dial using this connection at logon time, because it is configured to use a user name different than the one on the smart card. If you want to use it at logon time, you must configure it to use the user name on the smart card. </source>
        <translation>Mit dieser Verbindung kann bei der Anmeldung nicht gewählt werden, weil sie einen anderen Benutzernamen verwendet als den auf der Smartcard. Um sie bei der Anmeldung zu verwenden, richten Sie sie mit dem Benutzernamen der Smartcard ein. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>You cannot dial using this connection at logon time, because it is not configured to use a smart card. If you want to use it at logon time, you must edit the properties of this connection so that it uses a smart card. </source>
        <translation>Mit dieser Verbindung kann bei der Anmeldung nicht gewählt werden, weil sie nicht für eine Smartcard eingerichtet ist. Um sie bei der Anmeldung zu verwenden, ändern Sie ihre Eigenschaften so, dass sie eine Smartcard verwendet. </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The L2TP connection attempt failed because there is no valid machine certificate on your computer for security authentication. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil auf Ihrem Computer kein gültiges Computerzertifikat für die Sicherheitsauthentifizierung vorhanden ist. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The L2TP connection attempt failed because the security layer could not authenticate the remote computer. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil die Sicherheitsschicht den Gegenrechner nicht authentifizieren konnte. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The L2TP connection attempt failed because the security layer could not negotiate compatible parameters with the remote computer. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil die Sicherheitsschicht mit dem Gegenrechner keine passenden Parameter aushandeln konnte. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The L2TP connection attempt failed because the security layer encountered a processing error during initial negotiations with the remote computer. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil in der Sicherheitsschicht während der ersten Aushandlung mit dem Gegenrechner ein Verarbeitungsfehler aufgetreten ist. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The L2TP connection attempt failed because certificate validation on the remote computer failed. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil die Zertifikatprüfung auf dem Gegenrechner fehlgeschlagen ist. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The L2TP connection attempt failed because security policy for the connection was not found. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil keine Sicherheitsrichtlinie für die Verbindung gefunden wurde. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The L2TP connection attempt failed because security negotiation timed out. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil bei der Sicherheitsaushandlung das Zeitlimit überschritten wurde. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The L2TP connection attempt failed because an error occurred while negotiating security. </source>
        <translation>Der L2TP-Verbindungsversuch ist fehlgeschlagen, weil bei der Sicherheitsaushandlung ein Fehler aufgetreten ist. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The Framed Protocol RADIUS attribute for this user is not PPP. </source>
        <translation>Das RADIUS-Attribut „Framed Protocol“ dieses Benutzers ist nicht PPP. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The Tunnel Type RADIUS attribute for this user is not correct. </source>
        <translation>Das RADIUS-Attribut „Tunnel Type“ dieses Benutzers ist falsch. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The Service Type RADIUS attribute for this user is neither Framed nor Callback Framed. </source>
        <translation>Das RADIUS-Attribut „Service Type“ dieses Benutzers ist weder „Framed“ noch „Callback Framed“. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A connection to the remote computer could not be established because the modem was not found or was busy. For further assistance, click More Info or search Help and Support Center for this error number. </source>
        <translation>Zum Gegenrechner konnte keine Verbindung hergestellt werden, weil das Modem nicht gefunden wurde oder belegt war. Weitere Hilfe finden Sie unter „Weitere Informationen“ oder indem Sie in Hilfe und Support nach dieser Fehlernummer suchen. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>A certificate could not be found that can be used with this Extensible Authentication Protocol. </source>
        <translation>Es wurde kein Zertifikat gefunden, das mit diesem Extensible Authentication Protocol verwendet werden kann. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Internet Connection Sharing cannot be enabled because of an address conflict on the network. Internet Connection Sharing requires this computer to use the address 192.168.0.1. Please make sure that no other client on the network uses 192.168.0.1. </source>
        <translation>Die Internetverbindungsfreigabe kann wegen eines Adresskonflikts im Netzwerk nicht aktiviert werden. Die Internetverbindungsfreigabe verlangt, dass dieser Computer die Adresse 192.168.0.1 verwendet. Stellen Sie sicher, dass kein anderer Rechner im Netzwerk 192.168.0.1 verwendet. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Unable to establish the VPN connection. The VPN server may be unreachable, or security parameters may not be configured properly for this connection. </source>
        <translation>Die VPN-Verbindung konnte nicht hergestellt werden. Der VPN-Server ist möglicherweise nicht erreichbar, oder die Sicherheitsparameter sind für diese Verbindung nicht richtig eingerichtet. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This connection is configured to validate the identity of the access server, but Windows cannot verify the digital certificate sent by the server. </source>
        <translation>Diese Verbindung soll die Identität des Zugangsservers prüfen, aber Windows kann das vom Server gesendete digitale Zertifikat nicht überprüfen. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The card supplied was not recognized. Please check that the card is inserted correctly, and fits tightly. </source>
        <translation>Die eingelegte Karte wurde nicht erkannt. Prüfen Sie, ob die Karte richtig eingelegt ist und fest sitzt. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The PEAP configuration stored in the session cookie does not match the current session configuration. </source>
        <translation>Die im Sitzungscookie gespeicherte PEAP-Konfiguration stimmt nicht mit der Konfiguration der aktuellen Sitzung überein. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The PEAP identity stored in the session cookie does not match the current identity. </source>
        <translation>Die im Sitzungscookie gespeicherte PEAP-Identität stimmt nicht mit der aktuellen Identität überein. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>You cannot dial using this connection at logon time, because it is configured to use logged on user&apos;s credentials. </source>
        <translation>Mit dieser Verbindung kann bei der Anmeldung nicht gewählt werden, weil sie die Anmeldedaten des angemeldeten Benutzers verwenden soll. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A connection between your computer and the VPN server has been started, but the VPN connection cannot be completed. The most common cause for this is that at least one Internet device (for example, a firewall or a router) between your computer and the VPN server is not configured to allow Generic Routing Encapsulation (GRE) protocol packets. If the problem persists, contact your network administrator or Internet service provider. </source>
        <translation>Eine Verbindung zwischen Ihrem Computer und dem VPN-Server wurde begonnen, aber die VPN-Verbindung kann nicht abgeschlossen werden. Meist liegt das daran, dass mindestens ein Gerät im Internet (zum Beispiel eine Firewall oder ein Router) zwischen Ihrem Computer und dem VPN-Server keine Pakete des Protokolls Generic Routing Encapsulation (GRE) durchlässt. Wenn das Problem bleibt, wenden Sie sich an Ihren Netzwerkadministrator oder Internetanbieter. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The network connection between your computer and the VPN server was interrupted. This can be caused by a problem in the VPN transmission and is commonly the result of internet latency or simply that your VPN server has reached capacity. Please try to reconnect to the VPN server. If this problem persists, contact the VPN administrator and analyze quality of network connectivity. </source>
        <translation>Die Netzwerkverbindung zwischen Ihrem Computer und dem VPN-Server wurde unterbrochen. Ursache kann ein Problem bei der VPN-Übertragung sein, meist eine hohe Latenz im Internet oder ein ausgelasteter VPN-Server. Bitte verbinden Sie sich erneut mit dem VPN-Server. Wenn das Problem bleibt, wenden Sie sich an den VPN-Administrator und lassen Sie die Qualität der Netzwerkverbindung prüfen. </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The network connection between your computer and the VPN server could not be established because the remote server refused the connection. This is typically caused by a mismatch between the server&apos;s configuration and your connection settings. Please contact the remote server&apos;s Administrator to verify the server configuration and your connection settings. </source>
        <translation>Die Netzwerkverbindung zwischen Ihrem Computer und dem VPN-Server konnte nicht hergestellt werden, weil der Server die Verbindung abgelehnt hat. Meist passen die Konfiguration des Servers und Ihre Verbindungseinstellungen nicht zusammen. Bitte lassen Sie den Administrator des Servers dessen Konfiguration und Ihre Verbindungseinstellungen prüfen. </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The network connection between your computer and the VPN server could not be established because the remote server is not responding. This could be because one of the network devices (e.g., firewalls, NAT, routers, etc.) between your computer and the remote server is not configured to allow VPN connections. Please contact your Administrator or your service provider to determine which device may be causing the problem. </source>
        <translation>Die Netzwerkverbindung zwischen Ihrem Computer und dem VPN-Server konnte nicht hergestellt werden, weil der Server nicht antwortet. Möglicherweise lässt eines der Netzwerkgeräte (zum Beispiel Firewalls, NAT, Router) zwischen Ihrem Computer und dem Server keine VPN-Verbindungen zu. Bitte fragen Sie Ihren Administrator oder Ihren Anbieter, welches Gerät das Problem verursacht. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>A network connection between your computer and the VPN server was started, but the VPN connection was not completed. This is typically caused by the use of an incorrect or expired certificate for authentication between the client and the server. Please contact your Administrator to ensure that the certificate being used for authentication is valid. </source>
        <translation>Eine Netzwerkverbindung zwischen Ihrem Computer und dem VPN-Server wurde begonnen, aber die VPN-Verbindung wurde nicht abgeschlossen. Meist liegt das an einem falschen oder abgelaufenen Zertifikat für die Authentifizierung zwischen Client und Server. Bitte lassen Sie Ihren Administrator prüfen, ob das verwendete Zertifikat gültig ist. </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The network connection between your computer and the VPN server could not be established because the remote server is not responding. This is typically caused by a pre-shared key problem between the client and server. A pre-shared key is used to guarantee you are who you say you are in an IP Security (IPSec) communication cycle. Please get the assistance of your administrator to determine where the pre-shared key problem is originating. </source>
        <translation>Die Netzwerkverbindung zwischen Ihrem Computer und dem VPN-Server konnte nicht hergestellt werden, weil der Server nicht antwortet. Meist liegt das an einem Problem mit dem vorinstallierten Schlüssel zwischen Client und Server. Der vorinstallierte Schlüssel bestätigt bei IP Security (IPSec), dass Sie sind, wer Sie vorgeben zu sein. Bitte lassen Sie Ihren Administrator herausfinden, woher das Problem mit dem Schlüssel kommt. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The connection was prevented because of a policy configured on your RAS/VPN server. Specifically, the authentication method used by the server to verify your username and password may not match the authentication method configured in your connection profile. Please contact the Administrator of the RAS server and notify them of this error. </source>
        <translation>Die Verbindung wurde durch eine Richtlinie auf Ihrem RAS/VPN-Server verhindert. Die Authentifizierungsmethode, mit der der Server Benutzername und Kennwort prüft, passt möglicherweise nicht zu der in Ihrem Verbindungsprofil eingerichteten Methode. Bitte teilen Sie dem Administrator des RAS-Servers diesen Fehler mit. </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>You have attempted to establish a second broadband connection while a previous broadband connection is already established using the same device or port. Please disconnect the earlier connection and then re-establish the connection. </source>
        <translation>Sie haben versucht, eine zweite Breitbandverbindung herzustellen, während über dasselbe Gerät oder denselben Port bereits eine Breitbandverbindung besteht. Bitte trennen Sie zuerst die bestehende Verbindung und stellen Sie die Verbindung dann erneut her. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The underlying Ethernet connectivity required for the broadband connection was not found. Please install and enable the Ethernet adapter on your computer via the Network Connections folder before attempting this connection. </source>
        <translation>Die für die Breitbandverbindung nötige Ethernet-Verbindung wurde nicht gefunden. Bitte installieren und aktivieren Sie den Ethernet-Adapter im Ordner „Netzwerkverbindungen“, bevor Sie diese Verbindung versuchen. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The broadband network connection could not be established on your computer because the remote server is not responding. This could be caused by an invalid value for the &apos;Service Name&apos; field for this connection. Please contact your Internet Service Provider and inquire about the correct value for this field and update it in the Connection Properties. </source>
        <translation>Die Breitbandverbindung konnte nicht hergestellt werden, weil der Server nicht antwortet. Ursache kann ein ungültiger Wert im Feld „Dienstname“ dieser Verbindung sein. Bitte fragen Sie Ihren Internetanbieter nach dem richtigen Wert und tragen Sie ihn in den Verbindungseigenschaften ein. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>A feature or setting you have tried to enable is no longer supported by the remote access service. </source>
        <translation>Eine Funktion oder Einstellung, die Sie aktivieren wollten, wird vom RAS-Dienst nicht mehr unterstützt. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cannot delete a connection while it is connected. </source>
        <translation>Eine Verbindung kann nicht gelöscht werden, solange sie besteht. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The Network Access Protection (NAP) enforcement client could not create system resources for remote access connections. Some network services or resources might not be available. If the problem persists, disconnect and retry the remote access connection or contact the administrator for the remote access server. </source>
        <translation>Der Erzwingungsclient des Netzwerkzugriffsschutzes (NAP) konnte keine Systemressourcen für RAS-Verbindungen anlegen. Einige Netzwerkdienste oder -ressourcen sind möglicherweise nicht verfügbar. Wenn das Problem bleibt, trennen Sie die RAS-Verbindung und versuchen Sie es erneut, oder wenden Sie sich an den Administrator des RAS-Servers. </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The Network Access Protection Agent (NAP Agent) service has been disabled or is not installed on this computer. Some network services or resources might not be available. If the problem persists, disconnect and retry the remote access connection or contact the administrator for the remote access server. </source>
        <translation>Der Dienst Network Access Protection Agent (NAP-Agent) ist auf diesem Computer deaktiviert oder nicht installiert. Einige Netzwerkdienste oder -ressourcen sind möglicherweise nicht verfügbar. Wenn das Problem bleibt, trennen Sie die RAS-Verbindung und versuchen Sie es erneut, oder wenden Sie sich an den Administrator des RAS-Servers. </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The Network Access Protection (NAP) enforcement client failed to register with the Network Access Protection Agent (NAP Agent) service. Some network services or resources might not be available. If the problem persists, disconnect and retry the remote access connection or contact the administrator for the remote access server. </source>
        <translation>Der Erzwingungsclient des Netzwerkzugriffsschutzes (NAP) konnte sich nicht beim Dienst Network Access Protection Agent (NAP-Agent) registrieren. Einige Netzwerkdienste oder -ressourcen sind möglicherweise nicht verfügbar. Wenn das Problem bleibt, trennen Sie die RAS-Verbindung und versuchen Sie es erneut, oder wenden Sie sich an den Administrator des RAS-Servers. </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The Network Access Protection (NAP) enforcement client was unable to process the request because the remote access connection does not exist. Retry the remote access connection. If the problem persists, make sure that you can connect to the Internet, and then contact the administrator for the remote access server. </source>
        <translation>Der Erzwingungsclient des Netzwerkzugriffsschutzes (NAP) konnte die Anforderung nicht bearbeiten, weil die RAS-Verbindung nicht besteht. Versuchen Sie die RAS-Verbindung erneut. Wenn das Problem bleibt, prüfen Sie, ob Sie das Internet erreichen, und wenden Sie sich dann an den Administrator des RAS-Servers. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The Network Access Protection (NAP) enforcement client did not respond. Some network services or resources might not be available. If the problem persists, disconnect and retry the remote access connection or contact the administrator for the remote access server. </source>
        <translation>Der Erzwingungsclient des Netzwerkzugriffsschutzes (NAP) hat nicht geantwortet. Einige Netzwerkdienste oder -ressourcen sind möglicherweise nicht verfügbar. Wenn das Problem bleibt, trennen Sie die RAS-Verbindung und versuchen Sie es erneut, oder wenden Sie sich an den Administrator des RAS-Servers. </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Received Crypto-Binding TLV is invalid. </source>
        <translation>Das empfangene Crypto-Binding-TLV ist ungültig. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Crypto-Binding TLV is not received. </source>
        <translation>Das Crypto-Binding-TLV wurde nicht empfangen. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Point-to-Point Tunnelling Protocol (PPTP) is incompatible with IPv6. Change the type of virtual private network to Layer Two Tunnelling Protocol (L2TP) </source>
        <translation>Das Point-to-Point Tunneling Protocol (PPTP) ist mit IPv6 nicht vereinbar. Stellen Sie den VPN-Typ auf Layer Two Tunneling Protocol (L2TP) um </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>EAPTLS validation of the cached credentials failed. Please discard cached credentials. </source>
        <translation>Die EAP-TLS-Prüfung der zwischengespeicherten Anmeldedaten ist fehlgeschlagen. Bitte verwerfen Sie die zwischengespeicherten Anmeldedaten. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The L2TP/IPsec connection cannot be completed because the IKE and AuthIP IPSec Keying Modules service and/or the Base Filtering Engine service is not running. These services are required to establish an L2TP/IPSec connection. Please ensure that these services have been started before dialling the connection </source>
        <translation>Die L2TP/IPSec-Verbindung kann nicht hergestellt werden, weil der Dienst „IKE- und AuthIP-IPsec-Schlüsselerstellungsmodule“ und/oder der Dienst „Basisfiltermodul“ nicht läuft. Diese Dienste werden für eine L2TP/IPSec-Verbindung benötigt. Bitte stellen Sie sicher, dass sie gestartet sind, bevor Sie die Verbindung wählen </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Do you have an active internet connection? Please be sure your network flight mode is off and check again your network connectivity.</source>
        <translation>Haben Sie eine funktionierende Internetverbindung? Bitte prüfen Sie, ob der Flugmodus ausgeschaltet ist, und testen Sie Ihre Netzwerkverbindung erneut.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>PPTP and L2TP connections need the Windows dial-up service (RAS), which this system does not have. Use OpenVPN instead. </source>
        <translation>PPTP- und L2TP-Verbindungen brauchen den Windows-Wählnetzwerkdienst (RAS), den dieses System nicht hat. Verwenden Sie stattdessen OpenVPN. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The server address is longer than the 128 characters a dial-up connection can hold, so the connection was not started. </source>
        <translation>Die Serveradresse ist länger als die 128 Zeichen, die eine Wählverbindung aufnehmen kann; die Verbindung wurde deshalb nicht gestartet. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The user name is longer than the 256 characters a dial-up connection can hold, so the connection was not started. </source>
        <translation>Der Benutzername ist länger als die 256 Zeichen, die eine Wählverbindung aufnehmen kann; die Verbindung wurde deshalb nicht gestartet. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The password is longer than the 256 characters a dial-up connection can hold, so the connection was not started. </source>
        <translation>Das Passwort ist länger als die 256 Zeichen, die eine Wählverbindung aufnehmen kann; die Verbindung wurde deshalb nicht gestartet. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The server&apos;s pre-shared key is longer than the 256 characters a dial-up connection can hold, so the connection was not started. </source>
        <translation>Der vorinstallierte Schlüssel des Servers ist länger als die 256 Zeichen, die eine Wählverbindung aufnehmen kann; die Verbindung wurde deshalb nicht gestartet. </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>PPP protocol returned an error. </source>
        <translation>Das PPP-Protokoll hat einen Fehler gemeldet. </translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="-180"/>
        <source>downloading OpenVPN certificate...</source>
        <translation>OpenVPN-Zertifikat wird geladen …</translation>
    </message>
    <message>
        <location filename="../app/window/openvpn.cpp" line="-31"/>
        <source>certificate download error</source>
        <translation>Fehler beim Laden des Zertifikats</translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="+3"/>
        <source>downloading OpenVPN profile config...</source>
        <translation>OpenVPN-Profil wird geladen …</translation>
    </message>
    <message>
        <location filename="../app/window/openvpn.cpp" line="+1"/>
        <source>config download error</source>
        <translation>Fehler beim Laden der Konfiguration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OpenVPN download failed</source>
        <translation>OpenVPN-Download fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The OpenVPN %1 of this server could not be downloaded (%2). Please try again later or choose another server.</source>
        <translation>%1 dieses Servers konnte nicht geladen werden (%2). Bitte versuchen Sie es später erneut oder wählen Sie einen anderen Server.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>certificate</source>
        <translation>Das OpenVPN-Zertifikat</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>configuration</source>
        <translation>Die OpenVPN-Konfiguration</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>OpenVPN configuration refused: </source>
        <translation>OpenVPN-Konfiguration abgelehnt: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OpenVPN configuration refused</source>
        <translation>OpenVPN-Konfiguration abgelehnt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The configuration of this server holds a setting that could run programs or change files on this computer (</source>
        <translation>Die Konfiguration dieses Servers enthält eine Einstellung, die auf diesem Computer Programme starten oder Dateien ändern könnte (</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>), so it was not used. Please choose another server or protocol.</source>
        <translation>), deshalb wurde sie nicht verwendet. Bitte wählen Sie einen anderen Server oder ein anderes Protokoll.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>user name or password refused</source>
        <translation>Benutzername oder Passwort abgelehnt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The VPN server refused the user name or password. Please check them, log in again and connect again.</source>
        <translation>Der VPN-Server hat Benutzername oder Passwort abgelehnt. Bitte prüfen Sie beides, melden Sie sich erneut an und verbinden Sie erneut.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>The OpenVPN connection could not be set up: </source>
        <translation>Die OpenVPN-Verbindung konnte nicht aufgebaut werden: </translation>
    </message>
    <message>
        <location filename="../ui/lumtarmain.ui"/>
        <location filename="../app/connectionlog.cpp" line="+17"/>
        <source>Connection log</source>
        <translation>Verbindungsprotokoll</translation>
    </message>
    <message>
        <location filename="../app/connectionlog.cpp" line="+10"/>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="+3"/>
        <source>starting connection</source>
        <translation>Verbindung wird gestartet</translation>
    </message>
    <message>
        <location filename="../connection/openvpnconfig.cpp" line="+208"/>
        <source>directive &apos;%1&apos; on line %2</source>
        <translation>Anweisung „%1“ in Zeile %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1 on line %2</source>
        <translation>%1 in Zeile %2</translation>
    </message>
    <message>
        <location line="+123"/>
        <location line="+13"/>
        <source>unreadable line</source>
        <translation>unlesbare Zeile</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>unclosed block</source>
        <translation>nicht geschlossener Block</translation>
    </message>
    <message>
        <location line="+125"/>
        <source>a word on line %1 cannot be passed on</source>
        <translation>ein Wort in Zeile %1 kann nicht weitergegeben werden</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>line too long</source>
        <translation>Zeile zu lang</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>control character</source>
        <translation>Steuerzeichen</translation>
    </message>
    <message>
        <location filename="../app/window/quickconnect.cpp" line="-44"/>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>We tried %1 on one server</source>
        <translation>Wir haben %1 auf einem Server versucht</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>We tried %1 on %2 servers</source>
        <translation>Wir haben %1 auf %2 Servern versucht</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>VPN connections are not available for your account. You need to subscribe to a plan to make account enabled. 
For more details please visit our site.</source>
        <translation>VPN-Verbindungen sind für Ihr Konto nicht verfügbar. Schließen Sie einen Tarif ab, um Ihr Konto freizuschalten. 
Weitere Einzelheiten finden Sie auf unserer Website.</translation>
    </message>
    <message numerus="yes">
        <location line="+7"/>
        <source>Quick Connect ended: none of the %n entries connected</source>
        <translation>
            <numerusform>Schnellverbindung beendet: der %n Eintrag hat nicht verbunden</numerusform>
            <numerusform>Schnellverbindung beendet: keiner der %n Einträge hat verbunden</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+9"/>
        <source>Connection Error</source>
        <translation>Verbindungsfehler</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>We tested all available protocols (PPTP, L2TP and OpenVPN) on multiple servers and it was not possible to connect to any VPN Server. Please check your internet connection and set your computer firewall/security to allow this application to access internet on all ports and try to connect again. Also make sure to disable any proxy setting if you have installed a proxy.</source>
        <translation>Wir haben alle verfügbaren Protokolle (PPTP, L2TP und OpenVPN) auf mehreren Servern versucht, aber keine Verbindung zu einem VPN-Server erreicht. Bitte prüfen Sie Ihre Internetverbindung, erlauben Sie diesem Programm in Firewall und Sicherheitseinstellungen den Internetzugang auf allen Ports und versuchen Sie es erneut. Schalten Sie außerdem einen eingerichteten Proxy ab.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source> and it was not possible to connect to any VPN Server. Please check your internet connection and set your computer firewall/security to allow this application to access internet on all ports and try to connect again. Also make sure to disable any proxy setting if you have installed a proxy.</source>
        <translation>, und zu keinem VPN-Server war eine Verbindung möglich. Bitte prüfen Sie Ihre Internetverbindung, erlauben Sie diesem Programm in Ihrer Firewall den Internetzugang auf allen Ports und versuchen Sie es erneut. Deaktivieren Sie außerdem eingerichtete Proxy-Einstellungen.</translation>
    </message>
    <message>
        <location line="-53"/>
        <source>Initiating another method. Please wait...</source>
        <translation>Eine andere Methode wird versucht. Bitte warten …</translation>
    </message>
    <message>
        <location filename="../quickconnect/quicklist.cpp" line="+26"/>
        <source>Stage </source>
        <translation>Stufe </translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="+145"/>
        <source> in progress...</source>
        <translation> läuft …</translation>
    </message>
    <message>
        <location filename="../monitor/statustexts.cpp" line="+18"/>
        <source>connection in progress - </source>
        <translation>Verbindung wird aufgebaut – </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>connected for 1 minute</source>
        <translation>seit 1 Minute verbunden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>connected for %1 minutes</source>
        <translation>seit %1 Minuten verbunden</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Connected to %1!</source>
        <translation>Verbunden mit %1!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>%1 in, %2 out</source>
        <translation>%1 empfangen, %2 gesendet</translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="-166"/>
        <source>Connected! IP: </source>
        <translation>Verbunden! IP: </translation>
    </message>
    <message>
        <location line="+182"/>
        <source>Corvane connection dropped</source>
        <translation>Corvane-Verbindung abgebrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trying to reconnect on </source>
        <translation>Neuer Verbindungsversuch mit </translation>
    </message>
    <message>
        <location filename="../app/window/openvpn.cpp" line="-12"/>
        <source>Connection dropped</source>
        <translation>Verbindung abgebrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The connection to </source>
        <translation>Die Verbindung zu </translation>
    </message>
    <message>
        <location line="+1"/>
        <source> kept dropping, so no further attempt is made. Please connect again or choose another server.</source>
        <translation> brach immer wieder ab, daher wird kein weiterer Versuch unternommen. Bitte verbinden Sie erneut oder wählen Sie einen anderen Server.</translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="-14"/>
        <source>connected</source>
        <translation>verbunden</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Corvane is now connected!</source>
        <translation>Corvane ist jetzt verbunden!</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../monitor/statustexts.cpp" line="-7"/>
        <source>You are now connected to </source>
        <translation>Sie sind jetzt verbunden mit </translation>
    </message>
    <message>
        <location filename="../monitor/statustexts.cpp" line="-10"/>
        <source>Connected to </source>
        <translation>Verbunden mit </translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Server!</source>
        <translation>!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>You are now connected to %1.
 Your connection is now secured.</source>
        <translation>Sie sind jetzt mit %1 verbunden.
 Ihre Verbindung ist jetzt gesichert.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> Server.
 Your connection is now secured.</source>
        <translation>.
 Ihre Verbindung ist jetzt gesichert.</translation>
    </message>
    <message>
        <location filename="../app/window/openvpn.cpp" line="-41"/>
        <source>Corvane | PPP Error Code </source>
        <translation>Corvane | PPP-Fehlercode </translation>
    </message>
    <message>
        <location line="+2"/>
        <source> 
Try to connect again. 

If this problem persists, choose to connect using another protocol on </source>
        <translation> 
Versuchen Sie erneut, sich zu verbinden. 

Wenn das Problem bleibt, wählen Sie ein anderes Protokoll auf dem Server </translation>
    </message>
    <message>
        <location line="+2"/>
        <source> server or/and another server.</source>
        <translation> und/oder einen anderen Server.</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>cannot establish connection</source>
        <translation>Verbindung kann nicht hergestellt werden</translation>
    </message>
    <message>
        <location line="-51"/>
        <source>the user ended it</source>
        <translation>vom Benutzer beendet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the account may not use VPN connections</source>
        <translation>das Konto darf keine VPN-Verbindungen nutzen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the server offers no OpenVPN profile</source>
        <translation>der Server bietet kein OpenVPN-Profil an</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the server offers no protocol this application can use</source>
        <translation>der Server bietet kein Protokoll an, das dieses Programm nutzen kann</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the previous attempt was still ending</source>
        <translation>der vorige Versuch wurde noch beendet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the dial failed</source>
        <translation>die Einwahl ist fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no tunnel within 30 seconds</source>
        <translation>kein Tunnel innerhalb von 30 Sekunden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the certificate could not be downloaded</source>
        <translation>das Zertifikat konnte nicht heruntergeladen werden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the configuration could not be downloaded</source>
        <translation>die Konfiguration konnte nicht heruntergeladen werden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the configuration asks for something not allowed</source>
        <translation>die Konfiguration verlangt etwas Unerlaubtes</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the work files could not be written</source>
        <translation>die Arbeitsdateien konnten nicht geschrieben werden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>others may change the OpenVPN program or its folder</source>
        <translation>andere können das OpenVPN-Programm oder seinen Ordner ändern</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the OpenVPN program could not be started</source>
        <translation>das OpenVPN-Programm konnte nicht gestartet werden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the user name or password holds a line break</source>
        <translation>Benutzername oder Passwort enthält einen Zeilenumbruch</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the VPN server refused the user name or password</source>
        <translation>der VPN-Server hat Benutzername oder Passwort abgelehnt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the OpenVPN program gave up</source>
        <translation>das OpenVPN-Programm hat aufgegeben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the tunnel went down</source>
        <translation>der Tunnel ist zusammengebrochen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the public address is no longer the server&apos;s</source>
        <translation>die öffentliche Adresse ist nicht mehr die des Servers</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the connection kept dropping</source>
        <translation>die Verbindung brach immer wieder ab</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the account has expired</source>
        <translation>das Konto ist abgelaufen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the computer was asleep</source>
        <translation>der Computer war im Ruhezustand</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Cannot connect</source>
        <translation>Keine Verbindung möglich</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Cannot connect to this server. You can try again to connect using another available configuration for this server or can use another one.</source>
        <translation>Zu diesem Server ist keine Verbindung möglich. Versuchen Sie es erneut mit einer anderen verfügbaren Konfiguration dieses Servers oder wählen Sie einen anderen Server.</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>The attempt to %1 failed: %2</source>
        <translation>Der Versuch mit %1 ist fehlgeschlagen: %2</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>

The internet is no longer blocked.</source>
        <translation>

Das Internet ist nicht mehr gesperrt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>

The internet stays blocked until the VPN connects or you disconnect.</source>
        <translation>

Das Internet bleibt gesperrt, bis das VPN verbunden ist oder Sie trennen.</translation>
    </message>
    <message>
        <location filename="../app/window/connect.cpp" line="-193"/>
        <source>using IP </source>
        <translation>mit IP </translation>
    </message>
    <message>
        <location filename="../app/window/accountdetails.cpp" line="+12"/>
        <source>Corvane - Account Expired</source>
        <translation>Corvane – Konto abgelaufen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your account has expired! In order to continue using our services, you need to update your subscription.</source>
        <translation>Ihr Konto ist abgelaufen! Um unsere Dienste weiter zu nutzen, verlängern Sie bitte Ihr Abonnement.</translation>
    </message>
    <message>
        <location filename="../app/window/update.cpp" line="-68"/>
        <source>application up to date</source>
        <translation>Programm ist aktuell</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>new update available</source>
        <translation>neues Update verfügbar</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>New update available</source>
        <translation>Neues Update verfügbar</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <location line="-3"/>
        <source> is available for download. Do you want to start update?</source>
        <translation> steht zum Herunterladen bereit. Möchten Sie das Update starten?</translation>
    </message>
    <message>
        <location line="-85"/>
        <source>cannot download update pack: </source>
        <translation>Update-Paket kann nicht geladen werden: </translation>
    </message>
    <message>
        <location line="+10"/>
        <source>update not started: the installer is not newer than this version</source>
        <translation>Aktualisierung nicht gestartet: das Installationsprogramm ist nicht neuer als diese Version</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The update check failed: the Corvane service did not tell its version.</source>
        <translation>Die Suche nach Aktualisierungen ist fehlgeschlagen: der Corvane-Dienst hat keine Version genannt.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source> (stops after %1 min)</source>
        <translation> (bricht nach %1 min ab)</translation>
    </message>
    <message>
        <location line="+14"/>
        <source> is available for download. Do you want to open the download page?</source>
        <translation> steht zum Herunterladen bereit. Möchten Sie die Download-Seite öffnen?</translation>
    </message>
    <message>
        <location line="+12"/>
        <source> is available on our web site</source>
        <translation> ist auf unserer Website verfügbar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no web browser could be started: version </source>
        <translation>kein Webbrowser startbar: Version </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> is available at </source>
        <translation> ist verfügbar unter </translation>
    </message>
    <message>
        <location line="-8"/>
        <source>starting update...</source>
        <translation>Update wird gestartet …</translation>
    </message>
    <message>
        <location line="-17"/>
        <source> bytes downloaded</source>
        <translation> Bytes heruntergeladen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>% downloaded</source>
        <translation> % heruntergeladen</translation>
    </message>
    <message>
        <location line="-74"/>
        <source>cannot download update pack: the file is too large</source>
        <translation>Update-Paket kann nicht geladen werden: Datei zu groß</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>cannot download update pack</source>
        <translation>Update-Paket kann nicht geladen werden</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>cannot save files</source>
        <translation>Dateien können nicht gespeichert werden</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>update not started: this build names no publisher to trust</source>
        <translation>Update nicht gestartet: Dieser Build nennt keinen vertrauenswürdigen Herausgeber</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>update not started: the installer is not signed by Corvane</source>
        <translation>Update nicht gestartet: Das Installationsprogramm ist nicht von Corvane signiert</translation>
    </message>
    <message>
        <location filename="../connection/connectionengine.cpp" line="-520"/>
        <source>the file is too large</source>
        <translation>die Datei ist zu groß</translation>
    </message>
    <message>
        <location line="+174"/>
        <source>cannot write the certificate (%1)</source>
        <translation>das Zertifikat kann nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>cannot write the configuration (%1)</source>
        <translation>die Konfiguration kann nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>the user name or password holds a line end</source>
        <translation>Benutzername oder Passwort enthält einen Zeilenumbruch</translation>
    </message>
    <message>
        <location filename="../connection/managementchannel_posix.cpp" line="+28"/>
        <source>cannot open the management channel %1: %2</source>
        <translation>der Steuerkanal %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <location filename="../connection/pathsafety_posix.cpp" line="+15"/>
        <location filename="../connection/pathsafety_windows.cpp" line="+96"/>
        <source>%1 does not exist</source>
        <translation>%1 existiert nicht</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 belongs to another user (id %2) than the administrator</source>
        <translation>%1 gehört einem anderen Benutzer (ID %2) als dem Administrator</translation>
    </message>
    <message>
        <location filename="../connection/pathaccess.cpp" line="+27"/>
        <source>%1 belongs to %2, not to the administrators</source>
        <translation>%1 gehört %2, nicht den Administratoren</translation>
    </message>
    <message>
        <location line="+3"/>
        <location filename="../connection/pathsafety_posix.cpp" line="+7"/>
        <source>%1 may be changed by every user</source>
        <translation>%1 kann von jedem Benutzer geändert werden</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 may be changed by %2</source>
        <translation>%1 kann von %2 geändert werden</translation>
    </message>
    <message>
        <location filename="../connection/pathsafety_posix.cpp" line="+2"/>
        <source>%1 may be changed by the members of group %2</source>
        <translation>%1 kann von den Mitgliedern der Gruppe %2 geändert werden</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 leads nowhere</source>
        <translation>%1 führt ins Leere</translation>
    </message>
    <message>
        <location filename="../core/privatefolder_posix.cpp" line="+59"/>
        <location filename="../connection/workfiles_posix.cpp" line="+28"/>
        <location line="+32"/>
        <location filename="../connection/workfiles_windows.cpp" line="+24"/>
        <source>cannot create the folder %1</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <location line="-35"/>
        <location line="+17"/>
        <location filename="../connection/workfiles_posix.cpp" line="-29"/>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <location line="-15"/>
        <location line="+17"/>
        <location filename="../connection/workfiles_posix.cpp" line="+2"/>
        <source>%1 belongs to another user</source>
        <translation>%1 gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>%1 may be changed by other users</source>
        <translation>%1 kann von anderen Benutzern geändert werden</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1 may be entered by other users</source>
        <translation>%1 kann von anderen Benutzern betreten werden</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>no home folder</source>
        <translation>kein Benutzerordner</translation>
    </message>
    <message>
        <location filename="../connection/workfiles_posix.cpp" line="+2"/>
        <source>cannot make %1 private</source>
        <translation>%1 kann nicht privat gemacht werden</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>no private folder for the work files: %1</source>
        <translation>kein privater Ordner für die Arbeitsdateien: %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>the OpenVPN program is not installed</source>
        <translation>das OpenVPN-Programm ist nicht installiert</translation>
    </message>
    <message>
        <location filename="../connection/nmvpnstate.cpp" line="+43"/>
        <source>The connection was ended on this computer. </source>
        <translation>Die Verbindung wurde auf diesem Computer beendet. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The network this computer uses went away, and the VPN connection with it. </source>
        <translation>Das Netzwerk dieses Computers ist weggefallen und mit ihm die VPN-Verbindung. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The system&apos;s VPN service stopped while connecting. </source>
        <translation>Der VPN-Dienst des Systems hat beim Verbinden aufgehört. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The VPN server sent network settings this computer cannot use. </source>
        <translation>Der VPN-Server hat Netzwerkeinstellungen gesendet, die dieser Computer nicht verwenden kann. </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The VPN server did not answer in time. Please try again later or choose another server. </source>
        <translation>Der VPN-Server hat nicht rechtzeitig geantwortet. Bitte versuchen Sie es später erneut oder wählen Sie einen anderen Server. </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The system&apos;s VPN service for this protocol could not be started. Please check that NetworkManager&apos;s plugin for it is installed. </source>
        <translation>Der VPN-Dienst des Systems für dieses Protokoll konnte nicht gestartet werden. Bitte prüfen Sie, ob das NetworkManager-Plugin dafür installiert ist. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The system did not get the password or key for this connection. Please log in again and connect again. </source>
        <translation>Das System hat das Passwort oder den Schlüssel für diese Verbindung nicht erhalten. Bitte melden Sie sich erneut an und verbinden Sie sich erneut. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The VPN server refused the user name or password. Please check them, log in again and connect again. </source>
        <translation>Der VPN-Server hat Benutzername oder Passwort abgelehnt. Bitte prüfen Sie beides, melden Sie sich erneut an und verbinden Sie sich erneut. </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The VPN connection was removed from the system. </source>
        <translation>Die VPN-Verbindung wurde aus dem System entfernt. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The system&apos;s VPN service ended the connection. </source>
        <translation>Der VPN-Dienst des Systems hat die Verbindung beendet. </translation>
    </message>
    <message>
        <location line="+11"/>
        <source>NetworkManager did not start the VPN connection: it needs a working network connection and its plugin for this protocol. </source>
        <translation>NetworkManager hat die VPN-Verbindung nicht gestartet: Er braucht eine funktionierende Netzwerkverbindung und sein Plugin für dieses Protokoll. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The system&apos;s VPN service could not make the connection: the server did not answer, or this system lacks the PPP support (the ppp kernel module) that PPTP and L2TP need. Please try again later, choose another server or use OpenVPN. </source>
        <translation>Der VPN-Dienst des Systems konnte die Verbindung nicht herstellen: Der Server hat nicht geantwortet, oder diesem System fehlt die PPP-Unterstützung (das Kernelmodul ppp), die PPTP und L2TP brauchen. Bitte versuchen Sie es später erneut, wählen Sie einen anderen Server oder nutzen Sie OpenVPN. </translation>
    </message>
    <message>
        <location filename="../ui/lumtarmain.ui"/>
        <source>search: server, country or city</source>
        <translation>Suche: Server, Land oder Stadt</translation>
    </message>
    <message>
        <location/>
        <source>Favourite: listed first</source>
        <translation>Favorit: steht oben in der Liste</translation>
    </message>
    <message>
        <location/>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location/>
        <source>Start Corvane when I log in to this computer</source>
        <translation>Beim Anmelden am Computer starten</translation>
    </message>
    <message>
        <location/>
        <source>Connect to the last server at start</source>
        <translation>Beim Start mit dem letzten Server verbinden</translation>
    </message>
    <message>
        <location/>
        <source>Kill switch</source>
        <translation>Notschalter (Kill Switch)</translation>
    </message>
    <message>
        <location/>
        <source>Preferred protocol</source>
        <translation>Bevorzugtes Protokoll</translation>
    </message>
    <message>
        <location/>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <location/>
        <source>About and updates</source>
        <translation>Info und Updates</translation>
    </message>
    <message>
        <location/>
        <source>About Corvane</source>
        <translation>Über Corvane</translation>
    </message>
    <message>
        <location/>
        <source>© 2026 Corvane. All rights reserved. This client may be used with a subscription to the Corvane VPN service. It is built with Qt (LGPL 3) and runs OpenVPN (GPL 2).</source>
        <translation>© 2026 Corvane. Alle Rechte vorbehalten. Dieses Programm darf mit einem Abonnement des Corvane-VPN-Dienstes genutzt werden. Es ist mit Qt (LGPL 3) gebaut und verwendet OpenVPN (GPL 2).</translation>
    </message>
    <message>
        <location/>
        <source>Check for updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message>
        <location/>
        <source>About Qt</source>
        <translation>Über Qt</translation>
    </message>
    <message>
        <location/>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location filename="../app/window/serverlists.cpp" line="+56"/>
        <source>Choose a server to connect to.</source>
        <translation>Wählen Sie einen Server für die Verbindung.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>This server offers no connection protocol.</source>
        <translation>Dieser Server bietet kein Verbindungsprotokoll an.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This server offers no OpenVPN profile.</source>
        <translation>Dieser Server bietet kein OpenVPN-Profil an.</translation>
    </message>
    <message>
        <location filename="../app/window/settings.cpp" line="+37"/>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Block the internet while reconnecting</source>
        <translation>Internet beim Neuverbinden sperren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Block the internet unless connected</source>
        <translation>Internet sperren, wenn nicht verbunden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Never block the internet</source>
        <translation>Internet nie sperren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>System language</source>
        <translation>Systemsprache</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Settings not saved</source>
        <translation>Einstellungen nicht gespeichert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your choice could not be saved in %1 (%2). It applies while Corvane runs and is saved with the next change that can be written.</source>
        <translation>Ihre Auswahl konnte nicht in %1 gespeichert werden (%2). Sie gilt, solange Corvane läuft, und wird mit der nächsten Änderung gespeichert, die geschrieben werden kann.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the file cannot be written</source>
        <translation>die Datei kann nicht geschrieben werden</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The start at login could not be changed.</source>
        <translation>Der Start bei der Anmeldung konnte nicht geändert werden.</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>checking for updates...</source>
        <translation>suche nach Updates...</translation>
    </message>
    <message>
        <location filename="../connection/managementchannel_windows.cpp" line="+108"/>
        <source>cannot open the management channel: %1</source>
        <translation>der Steuerkanal kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <location filename="../connection/pathsafety_windows.cpp" line="+6"/>
        <source>the rights of %1 cannot be read</source>
        <translation>die Rechte von %1 können nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>QuickConnectRun</name>
    <message>
        <location filename="../quickconnect/quickconnectrun.cpp" line="+43"/>
        <source>Stage %1/%2</source>
        <translation>Stufe %1/%2</translation>
    </message>
</context>
<context>
    <name>RequestPolicy</name>
    <message>
        <location filename="../service/network.cpp" line="+298"/>
        <source>%1 could not be reached.</source>
        <translation>%1 ist nicht erreichbar.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 refused the connection.</source>
        <translation>%1 hat die Verbindung abgelehnt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 answered with an error of its own.</source>
        <translation>%1 hat mit einem eigenen Fehler geantwortet.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The answer of %1 is too large.</source>
        <translation>Die Antwort von %1 ist zu groß.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 did not answer in time.</source>
        <translation>%1 hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 would be reached over plain HTTP, not over a secure connection (https).</source>
        <translation>%1 würde über unverschlüsseltes HTTP erreicht, nicht über eine sichere Verbindung (https).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 is not a web address.</source>
        <translation>%1 ist keine Webadresse.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The certificate of %1 is not vouched for by an authority this computer trusts.</source>
        <translation>Für das Zertifikat von %1 bürgt keine Zertifizierungsstelle, der dieser Computer vertraut.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The certificate of %1 has expired or is not valid yet.</source>
        <translation>Das Zertifikat von %1 ist abgelaufen oder noch nicht gültig.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The certificate shown by %1 is made out to another name.</source>
        <translation>Das Zertifikat, das %1 vorzeigt, ist auf einen anderen Namen ausgestellt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 did not show a key this Corvane client knows for its service.</source>
        <translation>%1 hat keinen Schlüssel vorgezeigt, den dieser Corvane-Client für seinen Dienst kennt.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No secure connection to %1 could be made.</source>
        <translation>Es konnte keine sichere Verbindung zu %1 aufgebaut werden.</translation>
    </message>
</context>
<context>
    <name>TrayView</name>
    <message>
        <location filename="../app/trayview.cpp" line="+62"/>
        <source>Corvane: connecting to %1</source>
        <translation>Corvane: verbinde mit %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Corvane: connected to %1</source>
        <translation>Corvane: verbunden mit %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Corvane: connected to %1
%2</source>
        <translation>Corvane: verbunden mit %1
%2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Corvane: internet blocked until the VPN connects</source>
        <translation>Corvane: Internet gesperrt, bis das VPN verbunden ist</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Corvane: not connected</source>
        <translation>Corvane: nicht verbunden</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>&amp;Connect to %1</source>
        <translation>&amp;Verbinden mit %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../app/main.cpp" line="+39"/>
        <source>Start with the window minimised to the system tray.</source>
        <translation>Mit minimiertem Fenster im Infobereich starten.</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>VPN client for the Corvane service.</source>
        <translation>VPN-Client für den Corvane-Dienst.</translation>
    </message>
</context>
</TS>
