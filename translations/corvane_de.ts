<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
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
        <location filename="../app/chrome.cpp" line="+31"/>
        <source>Close Confirmation?</source>
        <translation>Beenden bestätigen?</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+20"/>
        <source>Are you sure you want to exit?</source>
        <translation>Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Application close</source>
        <translation>Programm schließen</translation>
    </message>
    <message>
        <location filename="../app/lumtarmain.cpp" line="+106"/>
        <source>&amp;Show Application</source>
        <translation>&amp;Programm anzeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../app/main.cpp" line="+47"/>
        <source>Start in the system tray, without showing the window.</source>
        <translation>Im Infobereich starten, ohne das Fenster zu zeigen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>VPN client for the Corvane service.</source>
        <translation>VPN-Client für den Corvane-Dienst.</translation>
    </message>
</context>
</TS>
