<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>BackgroundSetup</name>
    <message>
        <source>Failed loading skin %1</source>
        <translation>Das Hintergrundbild %1 konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>Current color palette (256 colors or less) does not support default background color.</source>
        <translation>Die aktuelle Farbpalette (256 Farben oder weniger) unterstützt die Standard-Hintergrundfarbe nicht.</translation>
    </message>
    <message>
        <source>Can not create internal background bitmap. Start-up failed</source>
        <translation>Das interne Hintergrundbild kann nicht erzeugt werden. Der Start ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>Can not create internal background bitmap.</source>
        <translation>Das interne Hintergrundbild kann nicht erzeugt werden.</translation>
    </message>
</context>
<context>
    <name>BelowRoot</name>
    <message>
        <source>the folder &quot;%1&quot; can not be opened: %2</source>
        <translation>der Ordner „%1“ lässt sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>the path has an empty, &quot;.&quot; or &quot;..&quot; level below &quot;%1&quot;</source>
        <translation>der Pfad hat unterhalb von „%1“ eine leere Ebene oder eine Ebene „.“ oder „..“</translation>
    </message>
    <message>
        <source>the folder &quot;%1&quot; can not be made: %2</source>
        <translation>der Ordner „%1“ kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a symbolic link or a file, not a folder</source>
        <translation>„%1“ ist ein symbolischer Link oder eine Datei, kein Ordner</translation>
    </message>
    <message>
        <source>the root itself is never written or removed</source>
        <translation>der Stammordner selbst wird nie beschrieben oder entfernt</translation>
    </message>
    <message>
        <source>the path has an empty, &quot;.&quot; or &quot;..&quot; level</source>
        <translation>der Pfad hat eine leere Ebene oder eine Ebene „.“ oder „..“</translation>
    </message>
</context>
<context>
    <name>CompareLaunch</name>
    <message>
        <source>Source &quot;%1&quot; and Target &quot;%2&quot; are the same folder under two names.</source>
        <translation>Quelle „%1“ und Ziel „%2“ sind derselbe Ordner unter zwei Namen.</translation>
    </message>
    <message>
        <source>Source &quot;%1&quot; and Target &quot;%2&quot; lie one inside the other: a synchronisation would copy or delete the folders themselves.</source>
        <translation>Quelle „%1“ und Ziel „%2“ liegen ineinander: Eine Synchronisation würde die Ordner selbst kopieren oder löschen.</translation>
    </message>
    <message>
        <source>Source FTP connection not found</source>
        <translation>FTP-Verbindung der Quelle nicht gefunden</translation>
    </message>
    <message>
        <source>Source SFTP connection not found</source>
        <translation>SFTP-Verbindung der Quelle nicht gefunden</translation>
    </message>
    <message>
        <source>Target SFTP connection not found</source>
        <translation>SFTP-Verbindung des Ziels nicht gefunden</translation>
    </message>
    <message>
        <source>Only one of Source and Target can be a folder on a server.</source>
        <translation>Nur eines von Quelle und Ziel kann ein Ordner auf einem Server sein.</translation>
    </message>
    <message>
        <source>Source folder not found.</source>
        <translation>Quellordner nicht gefunden.</translation>
    </message>
    <message>
        <source>Sorry this version does not support comparison between two FTP directories.</source>
        <translation>Diese Version kann leider keine zwei FTP-Verzeichnisse miteinander vergleichen.</translation>
    </message>
    <message>
        <source>Target FTP connection not found</source>
        <translation>FTP-Verbindung des Ziels nicht gefunden</translation>
    </message>
    <message>
        <source>Source and Target Folders are the same.</source>
        <translation>Quell- und Zielordner sind identisch.</translation>
    </message>
    <message>
        <source>Target folder not found.</source>
        <translation>Zielordner nicht gefunden.</translation>
    </message>
    <message>
        <source>Cannot make the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
</context>
<context>
    <name>Comparison</name>
    <message>
        <source>The two folders are identical (excluding filtered files and sub-folders)</source>
        <translation>Die beiden Ordner sind identisch (ohne gefilterte Dateien und Unterordner)</translation>
    </message>
    <message>
        <source>Some folders could not be read. The rows below them were excluded, so no synchronisation will copy over them or delete them:</source>
        <translation>Einige Ordner konnten nicht gelesen werden. Die Zeilen darunter wurden ausgeschlossen, sodass keine Synchronisation sie überschreibt oder löscht:</translation>
    </message>
    <message>
        <source>Source: %1</source>
        <translation>Quelle: %1</translation>
    </message>
    <message>
        <source>Target: %1</source>
        <translation>Ziel: %1</translation>
    </message>
    <message>
        <source>The Target&apos;s file system does not tell upper and lower case apart, so these Source names would be written over each other. Their rows were excluded:</source>
        <translation>Das Dateisystem des Ziels unterscheidet nicht zwischen Groß- und Kleinschreibung, daher würden sich diese Namen der Quelle gegenseitig überschreiben. Ihre Zeilen wurden ausgeschlossen:</translation>
    </message>
    <message>
        <source>Some files could not be read. Their rows were excluded, so no synchronisation will copy over them or delete them:</source>
        <translation>Einige Dateien konnten nicht gelesen werden. Ihre Zeilen wurden ausgeschlossen, damit keine Synchronisation sie überschreibt oder löscht:</translation>
    </message>
</context>
<context>
    <name>ComparisonRun</name>
    <message>
        <source>Warning: some file data could not be read. The file may be currently in use by an other application. Press &quot;OK&quot; to continue and exclude this file from the comparison. Press &quot;CANCEL&quot; to stop the comparison.</source>
        <translation>Warnung: Einige Dateidaten konnten nicht gelesen werden. Die Datei wird möglicherweise gerade von einer anderen Anwendung verwendet. Klicken Sie auf „OK“, um fortzufahren und diese Datei vom Vergleich auszuschließen. Klicken Sie auf „Abbrechen“, um den Vergleich zu beenden.</translation>
    </message>
    <message>
        <source>Error: cannot read source file information</source>
        <translation>Fehler: Die Dateiinformationen der Quelle können nicht gelesen werden</translation>
    </message>
    <message>
        <source>Error: cannot read target file information</source>
        <translation>Fehler: Die Dateiinformationen des Ziels können nicht gelesen werden</translation>
    </message>
    <message>
        <source>Error: cannot read source file information: the folder &quot;%1&quot; can not be listed (%2).</source>
        <translation>Fehler: Die Dateiinformationen der Quelle können nicht gelesen werden: Der Ordner „%1“ lässt sich nicht auflisten (%2).</translation>
    </message>
    <message>
        <source>Error: cannot read target file information: the folder &quot;%1&quot; can not be listed (%2).</source>
        <translation>Fehler: Die Dateiinformationen des Ziels können nicht gelesen werden: Der Ordner „%1“ lässt sich nicht auflisten (%2).</translation>
    </message>
</context>
<context>
    <name>ConnectionNames</name>
    <message>
        <source>Select connection name to be deleted</source>
        <translation>Wählen Sie die Verbindung aus, die gelöscht werden soll</translation>
    </message>
    <message>
        <source>A connection called %1 already exists. Do you want to change the settings for this connection? If not, press cancel and choose a new connection name.</source>
        <translation>Eine Verbindung namens %1 gibt es bereits. Möchten Sie die Einstellungen dieser Verbindung ändern? Falls nicht, klicken Sie auf „Abbrechen“ und wählen Sie einen neuen Verbindungsnamen.</translation>
    </message>
</context>
<context>
    <name>FileOperation</name>
    <message>
        <source>Can not access file: %1</source>
        <translation>Zugriff auf die Datei nicht möglich: %1</translation>
    </message>
    <message>
        <source>Can not make the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Can not copy %1 to %2</source>
        <translation>%1 kann nicht nach %2 kopiert werden</translation>
    </message>
    <message>
        <source>Can not set the mode and time of %1</source>
        <translation>Rechte und Zeitstempel von %1 können nicht gesetzt werden</translation>
    </message>
    <message>
        <source>Are you sure you want to move %1 to the trash?</source>
        <translation>Möchten Sie %1 wirklich in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>Are you sure you want to move these %1 objects to the trash?</source>
        <translation>Möchten Sie diese %1 Objekte wirklich in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1 permanently? There is no trash to get them back from.</source>
        <translation>Möchten Sie %1 wirklich endgültig löschen? Es gibt keinen Papierkorb, aus dem es sich zurückholen ließe.</translation>
    </message>
    <message>
        <source>Are you sure you want to delete these %1 objects permanently? There is no trash to get them back from.</source>
        <translation>Möchten Sie diese %1 Objekte wirklich endgültig löschen? Es gibt keinen Papierkorb, aus dem sie sich zurückholen ließen.</translation>
    </message>
    <message>
        <source>Can not delete %1</source>
        <translation>%1 kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>it does not lie below %1</source>
        <translation>es liegt nicht unterhalb von %1</translation>
    </message>
    <message>
        <source>%1: %2. Press &quot;OK&quot; to continue with the next object. Press &quot;CANCEL&quot; to stop.</source>
        <translation>%1: %2. Klicken Sie auf „OK“, um mit dem nächsten Objekt fortzufahren. Klicken Sie auf „Abbrechen“, um abzubrechen.</translation>
    </message>
    <message>
        <source>it changed since the comparison</source>
        <translation>es hat sich seit dem Vergleich geändert</translation>
    </message>
    <message>
        <source>%1 changed since the comparison; left as it is. Press &quot;OK&quot; to continue with the next object. Press &quot;CANCEL&quot; to stop.</source>
        <translation>%1 hat sich seit dem Vergleich geändert und bleibt, wie es ist. Klicken Sie auf „OK“, um mit dem nächsten Objekt fortzufahren. Klicken Sie auf „Abbrechen“, um abzubrechen.</translation>
    </message>
    <message>
        <source>%1 can not be moved to the trash (%2). Do you want to delete it permanently?</source>
        <translation>%1 kann nicht in den Papierkorb verschoben werden (%2). Möchten Sie es endgültig löschen?</translation>
    </message>
    <message>
        <source>there is no trash</source>
        <translation>es gibt keinen Papierkorb</translation>
    </message>
    <message>
        <source>%1 already exists. Do you want to replace it with %2?</source>
        <translation>%1 ist bereits vorhanden. Möchten Sie es durch %2 ersetzen?</translation>
    </message>
    <message>
        <source>it still holds something</source>
        <translation>er enthält noch etwas</translation>
    </message>
    <message>
        <source>a symbolic link is on the way to it</source>
        <translation>auf dem Weg dorthin liegt eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1? It is kept on the server.</source>
        <translation>Möchten Sie %1 wirklich löschen? Es bleibt auf dem Server erhalten.</translation>
    </message>
    <message>
        <source>Are you sure you want to delete these %1 objects? They are kept on the server.</source>
        <translation>Möchten Sie diese %1 Objekte wirklich löschen? Sie bleiben auf dem Server erhalten.</translation>
    </message>
</context>
<context>
    <name>FileSystem</name>
    <message>
        <source>the original can not be opened</source>
        <translation>das Original lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>the original is no longer there</source>
        <translation>das Original ist nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>the original is a folder</source>
        <translation>das Original ist ein Ordner</translation>
    </message>
    <message>
        <source>a folder of that name is in the way</source>
        <translation>ein Ordner dieses Namens steht im Weg</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>es ist kein Ordner</translation>
    </message>
    <message>
        <source>it is no longer there</source>
        <translation>es ist nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>this side can not be written to</source>
        <translation>auf diese Seite lässt sich nicht schreiben</translation>
    </message>
</context>
<context>
    <name>FilterSet</name>
    <message>
        <source>This regular expression is not valid</source>
        <translation>Dieser reguläre Ausdruck ist ungültig</translation>
    </message>
</context>
<context>
    <name>FolderCheck</name>
    <message>
        <source>WARNING: the Source folder is no longer accessible.</source>
        <translation>WARNUNG: Auf den Quellordner kann nicht mehr zugegriffen werden.</translation>
    </message>
    <message>
        <source>WARNING: the Target folder is no longer accessible.</source>
        <translation>WARNUNG: Auf den Zielordner kann nicht mehr zugegriffen werden.</translation>
    </message>
</context>
<context>
    <name>FreedesktopTrash</name>
    <message>
        <source>no free name was found in the trash</source>
        <translation>im Papierkorb wurde kein freier Name gefunden</translation>
    </message>
    <message>
        <source>there is no trash folder</source>
        <translation>es gibt keinen Papierkorbordner</translation>
    </message>
    <message>
        <source>no trash on its file system takes it</source>
        <translation>kein Papierkorb auf seinem Dateisystem nimmt es auf</translation>
    </message>
    <message>
        <source>its place is not known</source>
        <translation>sein Ort ist nicht bekannt</translation>
    </message>
</context>
<context>
    <name>FtpClient</name>
    <message>
        <source>The server&apos;s name could not be resolved.</source>
        <translation>Der Name des Servers konnte nicht aufgelöst werden.</translation>
    </message>
    <message>
        <source>The server could not be reached.</source>
        <translation>Der Server ist nicht erreichbar.</translation>
    </message>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>Der Server hat den Benutzernamen oder das Passwort abgelehnt.</translation>
    </message>
    <message>
        <source>The server denied access.</source>
        <translation>Der Server hat den Zugriff verweigert.</translation>
    </message>
    <message>
        <source>The server does not have it.</source>
        <translation>Auf dem Server ist es nicht vorhanden.</translation>
    </message>
    <message>
        <source>The server did not send the file.</source>
        <translation>Der Server hat die Datei nicht gesendet.</translation>
    </message>
    <message>
        <source>The server did not take the upload.</source>
        <translation>Der Server hat das Hochladen nicht angenommen.</translation>
    </message>
    <message>
        <source>The server refused the command.</source>
        <translation>Der Server hat den Befehl abgelehnt.</translation>
    </message>
    <message>
        <source>The connection to the server broke off.</source>
        <translation>Die Verbindung zum Server ist abgebrochen.</translation>
    </message>
    <message>
        <source>The server&apos;s data connection could not be made (try passive mode).</source>
        <translation>Die Datenverbindung zum Server kam nicht zustande (versuchen Sie den passiven Modus).</translation>
    </message>
    <message>
        <source>The server&apos;s reply could not be understood.</source>
        <translation>Die Antwort des Servers ist unverständlich.</translation>
    </message>
    <message>
        <source>The server name %1 lacks its closing &apos;]&apos;.</source>
        <translation>Dem Servernamen %1 fehlt die schließende „]“.</translation>
    </message>
    <message>
        <source>The server name %1 cannot be read.</source>
        <translation>Der Servername %1 ist nicht lesbar.</translation>
    </message>
    <message>
        <source>The server name %1 is not a host name with an optional port.</source>
        <translation>Der Servername %1 ist kein Hostname mit optionalem Port.</translation>
    </message>
    <message>
        <source>The server name, user name or password of the connection holds a line break or NUL, which FTP cannot send.</source>
        <translation>Servername, Benutzername oder Passwort der Verbindung enthalten einen Zeilenumbruch oder ein NUL-Zeichen, das FTP nicht senden kann.</translation>
    </message>
    <message>
        <source>The name %1 holds a line break, which FTP cannot send.</source>
        <translation>Der Name %1 enthält einen Zeilenumbruch, den FTP nicht senden kann.</translation>
    </message>
    <message>
        <source>The FTP transfer could not be started.</source>
        <translation>Die FTP-Übertragung konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The FTP call was cancelled.</source>
        <translation>Der FTP-Aufruf wurde abgebrochen.</translation>
    </message>
    <message>
        <source>%1 (server reply: %2)</source>
        <translation>%1 (Antwort des Servers: %2)</translation>
    </message>
    <message>
        <source>The server %1 timed out: nothing came for %2 seconds while reading its first reply.</source>
        <translation>Zeitüberschreitung beim Server %1: Beim Warten auf seine erste Antwort kam %2 Sekunden lang nichts.</translation>
    </message>
    <message>
        <source>The server %1 timed out: nothing came for %2 seconds while reading %3.</source>
        <translation>Zeitüberschreitung beim Server %1: Beim Lesen von %3 kam %2 Sekunden lang nichts.</translation>
    </message>
    <message>
        <source>The FTP command %1 holds a line break.</source>
        <translation>Der FTP-Befehl %1 enthält einen Zeilenumbruch.</translation>
    </message>
    <message>
        <source>The upload was cancelled.</source>
        <translation>Das Hochladen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>the original could not be read</source>
        <translation>das Original konnte nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>FtpConnectionEditor</name>
    <message>
        <source>Empty connection name</source>
        <translation>Der Verbindungsname ist leer</translation>
    </message>
    <message>
        <source>Empty server name</source>
        <translation>Der Servername ist leer</translation>
    </message>
    <message>
        <source>The server name holds a line break or NUL character, which FTP cannot send.</source>
        <translation>Der Servername enthält einen Zeilenumbruch oder ein NUL-Zeichen, das FTP nicht senden kann.</translation>
    </message>
    <message>
        <source>The user name holds a line break or NUL character, which FTP cannot send.</source>
        <translation>Der Benutzername enthält einen Zeilenumbruch oder ein NUL-Zeichen, das FTP nicht senden kann.</translation>
    </message>
    <message>
        <source>The password holds a line break or NUL character, which FTP cannot send.</source>
        <translation>Das Passwort enthält einen Zeilenumbruch oder ein NUL-Zeichen, das FTP nicht senden kann.</translation>
    </message>
    <message>
        <source>The directory holds a line break or NUL character, which FTP cannot send.</source>
        <translation>Das Verzeichnis enthält einen Zeilenumbruch oder ein NUL-Zeichen, das FTP nicht senden kann.</translation>
    </message>
    <message>
        <source>Invalid URL for server and directory</source>
        <translation>Ungültige URL für Server und Verzeichnis</translation>
    </message>
</context>
<context>
    <name>FtpConnectionStore</name>
    <message>
        <source>FTP passwords are kept in the desktop keyring.</source>
        <translation>FTP-Passwörter werden im Schlüsselbund der Arbeitsumgebung aufbewahrt.</translation>
    </message>
    <message>
        <source>No desktop keyring answered, so FTP passwords are kept in %1, which only you can read.</source>
        <translation>Kein Schlüsselbund der Arbeitsumgebung hat geantwortet, daher werden FTP-Passwörter in %1 aufbewahrt, das nur Sie lesen können.</translation>
    </message>
</context>
<context>
    <name>FtpFileSystem</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The FTP folder %1 lists a name that cannot be a file name here, left out:</source>
        <translation>Der FTP-Ordner %1 führt einen Namen auf, der hier kein Dateiname sein kann; ausgelassen:</translation>
    </message>
    <message>
        <source>The FTP folder %1 lists names that cannot be a file name here, left out:</source>
        <translation>Der FTP-Ordner %1 führt Namen auf, die hier keine Dateinamen sein können; ausgelassen:</translation>
    </message>
    <message>
        <source>the server does not list it</source>
        <translation>der Server führt ihn nicht auf</translation>
    </message>
    <message>
        <source>Error on FTP connection</source>
        <translation>Fehler in der FTP-Verbindung</translation>
    </message>
    <message>
        <source>the FTP server refused it</source>
        <translation>der FTP-Server hat es abgelehnt</translation>
    </message>
    <message>
        <source>a file or link is in the way at %1</source>
        <translation>bei %1 steht eine Datei oder ein Link im Weg</translation>
    </message>
    <message>
        <source>the folder %1 is not there</source>
        <translation>der Ordner %1 ist nicht vorhanden</translation>
    </message>
    <message>
        <source>an FTP server cannot be given a symbolic link</source>
        <translation>einem FTP-Server lässt sich kein symbolischer Link übergeben</translation>
    </message>
    <message>
        <source>an FTP server has no trash</source>
        <translation>ein FTP-Server hat keinen Papierkorb</translation>
    </message>
    <message>
        <source>the server kept %1 of the %2 bytes sent; it was not put in place</source>
        <translation>der Server hat %1 der %2 gesendeten Bytes behalten; die Kopie wurde nicht eingesetzt</translation>
    </message>
    <message>
        <source>the name is not UTF-8, so the server would keep it under another name</source>
        <translation>der Name ist kein UTF-8, der Server würde ihn unter einem anderen Namen ablegen</translation>
    </message>
</context>
<context>
    <name>FtpOpener</name>
    <message>
        <source>Cannot initialise FTP connection</source>
        <translation>FTP-Verbindung kann nicht eingerichtet werden</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>%1 Server:%2 User:%3</source>
        <translation>%1 Server: %2 Benutzer: %3</translation>
    </message>
</context>
<context>
    <name>FtpServerTimes</name>
    <message>
        <source>The FTP server&apos;s answer to MDTM for %1 (%2) is not a time that fits its listing; the listing&apos;s times, to the minute or the day, are used instead.</source>
        <translation>Die Antwort des FTP-Servers auf MDTM für %1 (%2) ist keine Zeit, die zu seiner Auflistung passt; stattdessen gelten die Zeiten der Auflistung, auf die Minute oder den Tag genau.</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsCheck</name>
    <message>
        <source>The minimum for the byte value is 0</source>
        <translation>Der kleinste Wert für die Byte-Anzahl ist 0</translation>
    </message>
    <message>
        <source>The maximum for the byte value is %1</source>
        <translation>Der größte Wert für die Byte-Anzahl ist %1</translation>
    </message>
    <message>
        <source>Parameters must contain at least the text &quot;%s1&quot; and &quot;%s2&quot;. These constants will identify the two files to compare.</source>
        <translation>Die Parameter müssen mindestens die Texte &quot;%s1&quot; und &quot;%s2&quot; enthalten. Diese Platzhalter stehen für die beiden zu vergleichenden Dateien.</translation>
    </message>
    <message>
        <source>Can not find &quot;%1&quot;</source>
        <translation>„%1“ wurde nicht gefunden</translation>
    </message>
</context>
<context>
    <name>ListingGuard</name>
    <message>
        <source>its path is longer than the longest a path can be here</source>
        <translation>sein Pfad ist länger als der längste, den ein Pfad hier haben kann</translation>
    </message>
    <message>
        <source>The server&apos;s folder %1 was not listed: %2. Nothing below it is copied or deleted.</source>
        <translation>Der Ordner %1 des Servers wurde nicht aufgelistet: %2. Nichts darunter wird kopiert oder gelöscht.</translation>
    </message>
    <message>
        <source>it lies more than %1 levels deep</source>
        <translation>er liegt mehr als %1 Ebenen tief</translation>
    </message>
    <message>
        <source>the server lists the folder it is in as it lists %1</source>
        <translation>der Server listet den Ordner, in dem er liegt, so auf wie %1</translation>
    </message>
    <message>
        <source>The server lists %1 as it lists %2, a folder it is inside: a loop. The folders below it were not listed; nothing below them is copied or deleted.</source>
        <translation>Der Server listet %1 so auf wie %2, einen Ordner, in dem er liegt: eine Schleife. Die Ordner darunter wurden nicht aufgelistet; nichts darunter wird kopiert oder gelöscht.</translation>
    </message>
</context>
<context>
    <name>LocalFileSystem</name>
    <message>
        <source>it can not be read</source>
        <translation>er lässt sich nicht lesen</translation>
    </message>
</context>
<context>
    <name>LocalFolderWriter</name>
    <message>
        <source>the original could not be read</source>
        <translation>das Original konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>it changed while it was copied</source>
        <translation>es hat sich während des Kopierens geändert</translation>
    </message>
    <message>
        <source>the link text could not be read</source>
        <translation>der Inhalt des Links konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 of %2 bytes arrived; the copy is incomplete</source>
        <translation>%1 von %2 Bytes sind angekommen; die Kopie ist unvollständig</translation>
    </message>
    <message>
        <source>an object of that name appeared while it was copied</source>
        <translation>während des Kopierens ist ein Objekt dieses Namens aufgetaucht</translation>
    </message>
    <message>
        <source>the copy read back differs from the original; it was not put in place</source>
        <translation>die zurückgelesene Kopie weicht vom Original ab; sie wurde nicht eingesetzt</translation>
    </message>
</context>
<context>
    <name>LocalStagedCopy</name>
    <message>
        <source>it changed while the copy was made, and no trash takes the changed version (%1); it is left as it is</source>
        <translation>es hat sich während des Kopierens geändert, und kein Papierkorb nimmt die geänderte Fassung auf (%1); es bleibt, wie es ist</translation>
    </message>
</context>
<context>
    <name>NotDoneList</name>
    <message>
        <source>answered No</source>
        <translation>mit Nein beantwortet</translation>
    </message>
    <message>
        <source>not done</source>
        <translation>nicht ausgeführt</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>PasswordStore</name>
    <message>
        <source>The folder %1 cannot be made.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The password file %1 cannot be written: %2</source>
        <translation>Die Passwortdatei %1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>PlanSync</name>
    <message>
        <source>Please confirm that you want to &quot;%1&quot;</source>
        <translation>Bitte bestätigen Sie: „%1“</translation>
    </message>
    <message>
        <source>Please select sync method.</source>
        <translation>Bitte wählen Sie eine Synchronisationsmethode.</translation>
    </message>
    <message>
        <source>No files or folders need to be copied or deleted.</source>
        <translation>Es müssen keine Dateien oder Ordner kopiert oder gelöscht werden.</translation>
    </message>
</context>
<context>
    <name>PreviewBuilder</name>
    <message>
        <source>would copy SOURCE %1 to TARGET </source>
        <translation>würde QUELLE %1 nach ZIEL kopieren</translation>
    </message>
    <message>
        <source>would copy SOURCE %1 to OVERWRITE TARGET %2</source>
        <translation>würde QUELLE %1 kopieren und ZIEL %2 ÜBERSCHREIBEN</translation>
    </message>
    <message>
        <source>would copy SOURCE folder %1 to TARGET </source>
        <translation>würde QUELL-Ordner %1 nach ZIEL kopieren</translation>
    </message>
    <message>
        <source>would copy SOURCE folder %1 to OVERWRITE TARGET %2</source>
        <translation>würde QUELL-Ordner %1 kopieren und ZIEL %2 ÜBERSCHREIBEN</translation>
    </message>
    <message>
        <source>would copy TARGET %1 to SOURCE </source>
        <translation>würde ZIEL %1 nach QUELLE kopieren</translation>
    </message>
    <message>
        <source>would copy TARGET %1 to OVERWRITE SOURCE %2</source>
        <translation>würde ZIEL %1 kopieren und QUELLE %2 ÜBERSCHREIBEN</translation>
    </message>
    <message>
        <source>would copy TARGET folder %1 to SOURCE </source>
        <translation>würde ZIEL-Ordner %1 nach QUELLE kopieren</translation>
    </message>
    <message>
        <source>would copy TARGET folder %1 to OVERWRITE SOURCE %2</source>
        <translation>würde ZIEL-Ordner %1 kopieren und QUELLE %2 ÜBERSCHREIBEN</translation>
    </message>
    <message>
        <source>would DELETE TARGET %1</source>
        <translation>würde ZIEL %1 LÖSCHEN</translation>
    </message>
    <message>
        <source>would DELETE TARGET folder %1</source>
        <translation>würde ZIEL-Ordner %1 LÖSCHEN</translation>
    </message>
    <message>
        <source>Total Files/Folders copied or deleted: %1</source>
        <translation>Kopierte oder gelöschte Dateien/Ordner insgesamt: %1</translation>
    </message>
</context>
<context>
    <name>ProgressTicker</name>
    <message>
        <source>Collecting file information..</source>
        <translation>Dateiinformationen werden gesammelt..</translation>
    </message>
    <message>
        <source>Sorting Files...</source>
        <translation>Dateien werden sortiert...</translation>
    </message>
    <message>
        <source>Comparing Files...</source>
        <translation>Dateien werden verglichen...</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Ravelmoor Settings (*.zvs)</source>
        <translation>Ravelmoor-Einstellungen (*.zvs)</translation>
    </message>
</context>
<context>
    <name>RootLock</name>
    <message>
        <source>&quot;%1&quot; is being synchronised or undone by another run (process %2 on %3); try again once it has ended.</source>
        <translation>„%1“ wird gerade von einem anderen Lauf synchronisiert oder zurückgenommen (Prozess %2 auf %3); versuchen Sie es erneut, wenn er beendet ist.</translation>
    </message>
    <message>
        <source>Can not keep other runs off &quot;%1&quot;: the lock &quot;%2&quot;: %3.</source>
        <translation>Andere Läufe können nicht von „%1“ ferngehalten werden: die Sperre „%2“: %3.</translation>
    </message>
</context>
<context>
    <name>SelectionRules</name>
    <message>
        <source>Files Selected: %1 Total Size: %2 Folders Selected: %3</source>
        <translation>Dateien ausgewählt: %1 Gesamtgröße: %2 Ordner ausgewählt: %3</translation>
    </message>
    <message>
        <source>No objects selected</source>
        <translation>Keine Objekte ausgewählt</translation>
    </message>
</context>
<context>
    <name>ServerVersions</name>
    <message>
        <source>every name for the folder %1 is taken</source>
        <translation>jeder Name für den Ordner %1 ist vergeben</translation>
    </message>
    <message>
        <source>it lies in the folder of kept versions</source>
        <translation>es liegt im Ordner der aufbewahrten Versionen</translation>
    </message>
    <message>
        <source>a version of it is kept at %1 already</source>
        <translation>eine Version davon wird bereits unter %1 aufbewahrt</translation>
    </message>
    <message>
        <source>Removed the versions kept on the server in %1: older than %2 days.</source>
        <translation>Die auf dem Server aufbewahrten Versionen in %1 wurden entfernt: älter als %2 Tage.</translation>
    </message>
    <message>
        <source>Can not remove the old versions in %1: %2</source>
        <translation>Die alten Versionen in %1 können nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Settings:</source>
        <translation>Einstellungen:</translation>
    </message>
    <message>
        <source>sub-fol</source>
        <translation>Unterordner</translation>
    </message>
    <message>
        <source>size/time</source>
        <translation>Größe/Zeit</translation>
    </message>
    <message>
        <source>CRC</source>
        <translation>CRC</translation>
    </message>
    <message>
        <source>both</source>
        <translation>beides</translation>
    </message>
    <message>
        <source>DST</source>
        <translation>Sommerzeit</translation>
    </message>
    <message>
        <source>secs</source>
        <translation>60 Sek.</translation>
    </message>
    <message>
        <source>2 secs</source>
        <translation>2 Sek.</translation>
    </message>
    <message>
        <source>cs=%1</source>
        <translation>Block=%1</translation>
    </message>
    <message>
        <source>Filters:</source>
        <translation>Filter:</translation>
    </message>
    <message>
        <source>Inc(%1)</source>
        <translation>Einschl.(%1)</translation>
    </message>
    <message>
        <source>Exc(%1)</source>
        <translation>Ausschl.(%1)</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Invalid file.</source>
        <translation>Ungültige Datei.</translation>
    </message>
    <message>
        <source>Incorrect file extension.</source>
        <translation>Falsche Dateiendung.</translation>
    </message>
    <message>
        <source>File %1 not found.</source>
        <translation>Datei %1 nicht gefunden.</translation>
    </message>
    <message>
        <source>Can not read file %1</source>
        <translation>Datei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Can not create file for writing</source>
        <translation>Datei kann nicht zum Schreiben angelegt werden</translation>
    </message>
    <message>
        <source>Settings saved to file: %1</source>
        <translation>Einstellungen gespeichert in Datei: %1</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>Datei nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Can not read file: %1</source>
        <translation>Datei kann nicht gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>Could not write %1.</source>
        <translation>%1 konnte nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>SftpConnectionStore</name>
    <message>
        <source>Empty connection name</source>
        <translation>Leerer Verbindungsname</translation>
    </message>
    <message>
        <source>Empty host name</source>
        <translation>Leerer Hostname</translation>
    </message>
    <message>
        <source>The port %1 is not between 1 and 65535.</source>
        <translation>Der Port %1 liegt nicht zwischen 1 und 65535.</translation>
    </message>
    <message>
        <source>The host name holds a line break or NUL character.</source>
        <translation>Der Hostname enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The user name holds a line break or NUL character.</source>
        <translation>Der Benutzername enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The directory holds a line break or NUL character.</source>
        <translation>Das Verzeichnis enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The key file holds a line break or NUL character.</source>
        <translation>Die Schlüsseldatei enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The agent path holds a line break or NUL character.</source>
        <translation>Der Agentenpfad enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The password holds a line break or NUL character.</source>
        <translation>Das Passwort enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The connection name holds a line break or NUL character.</source>
        <translation>Der Verbindungsname enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>A logon by key file needs the key file.</source>
        <translation>Eine Anmeldung per Schlüsseldatei braucht die Schlüsseldatei.</translation>
    </message>
    <message>
        <source>SFTP passwords are kept in the desktop keyring.</source>
        <translation>SFTP-Passwörter werden im Schlüsselbund der Arbeitsumgebung aufbewahrt.</translation>
    </message>
    <message>
        <source>No desktop keyring answered, so SFTP passwords are kept in %1, which only you can read.</source>
        <translation>Kein Schlüsselbund der Arbeitsumgebung hat geantwortet, daher werden SFTP-Passwörter in %1 aufbewahrt, das nur Sie lesen können.</translation>
    </message>
</context>
<context>
    <name>SftpOpener</name>
    <message>
        <source>The folder %1 does not exist on %2.</source>
        <translation>Der Ordner %1 existiert auf %2 nicht.</translation>
    </message>
    <message>
        <source>%1 on %2 is not a folder.</source>
        <translation>%1 auf %2 ist kein Ordner.</translation>
    </message>
</context>
<context>
    <name>SftpSession</name>
    <message>
        <source>Cannot find the host %1: %2</source>
        <translation>Der Host %1 wurde nicht gefunden: %2</translation>
    </message>
    <message>
        <source>no address</source>
        <translation>keine Adresse</translation>
    </message>
    <message>
        <source>no answer within %1 seconds</source>
        <translation>keine Antwort innerhalb von %1 Sekunden</translation>
    </message>
    <message>
        <source>Cannot connect to %1: %2</source>
        <translation>Keine Verbindung zu %1: %2</translation>
    </message>
    <message>
        <source>Cannot initialise SFTP connection</source>
        <translation>Die SFTP-Verbindung kann nicht eingerichtet werden</translation>
    </message>
    <message>
        <source>the server did not answer within %1 seconds</source>
        <translation>der Server hat nicht innerhalb von %1 Sekunden geantwortet</translation>
    </message>
    <message>
        <source>The server %1 showed no host key.</source>
        <translation>Der Server %1 hat keinen Hostschlüssel gezeigt.</translation>
    </message>
    <message>
        <source>The host key of %1 has changed: the server now shows the key %2, which is not the one recorded for it. Someone may be intercepting the connection, or the server was set up again. The connection is refused; if the new key is right, remove the old one from %3 first.</source>
        <translation>Der Hostschlüssel von %1 hat sich geändert: Der Server zeigt jetzt den Schlüssel %2, der nicht der für ihn gespeicherte ist. Jemand könnte die Verbindung abfangen, oder der Server wurde neu eingerichtet. Die Verbindung wird abgelehnt; wenn der neue Schlüssel stimmt, entfernen Sie zuerst den alten aus %3.</translation>
    </message>
    <message>
        <source>The host %1 is not known (its key fingerprint is %2), and an unknown host key is not accepted here. The connection is refused; if the fingerprint is the server&apos;s, accept it once with --accept-new-host-key.</source>
        <translation>Der Host %1 ist nicht bekannt (sein Schlüssel-Fingerabdruck ist %2), und ein unbekannter Hostschlüssel wird hier nicht angenommen. Die Verbindung wird abgelehnt; wenn der Fingerabdruck der des Servers ist, nehmen Sie ihn einmal mit --accept-new-host-key an.</translation>
    </message>
    <message>
        <source>The host %1 is not known yet. Its key fingerprint is %2.
Do you trust this host and want to connect to it? Its key will be remembered.</source>
        <translation>Der Host %1 ist noch nicht bekannt. Sein Schlüssel-Fingerabdruck ist %2.
Vertrauen Sie diesem Host und möchten Sie sich mit ihm verbinden? Sein Schlüssel wird gespeichert.</translation>
    </message>
    <message>
        <source>The key of %1 could not be remembered in %2: %3</source>
        <translation>Der Schlüssel von %1 konnte nicht in %2 gespeichert werden: %3</translation>
    </message>
    <message>
        <source>The key file %1 cannot be read, or its passphrase is wrong.</source>
        <translation>Die Schlüsseldatei %1 kann nicht gelesen werden, oder ihre Passphrase ist falsch.</translation>
    </message>
    <message>
        <source>The server %1 does not offer SFTP: %2</source>
        <translation>Der Server %1 bietet kein SFTP an: %2</translation>
    </message>
    <message>
        <source> (the proxy command: %1)</source>
        <translation> (der Proxy-Befehl: %1)</translation>
    </message>
    <message>
        <source>Cannot start the proxy command for %1 (%2): %3</source>
        <translation>Der Proxy-Befehl für %1 (%2) kann nicht gestartet werden: %3</translation>
    </message>
    <message>
        <source>The known host keys for %1 cannot be read: %2</source>
        <translation>Die bekannten Host-Schlüssel für %1 können nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The host %1 is not known (its key fingerprint is %2), and StrictHostKeyChecking in the SSH configuration refuses a host that is not known. The connection is refused; if the fingerprint is the server&apos;s, add its key to %3 first.</source>
        <translation>Der Host %1 ist nicht bekannt (der Fingerabdruck seines Schlüssels ist %2), und StrictHostKeyChecking in der SSH-Konfiguration lehnt unbekannte Hosts ab. Die Verbindung wird abgelehnt; wenn der Fingerabdruck der des Servers ist, tragen Sie seinen Schlüssel zuerst in %3 ein.</translation>
    </message>
    <message>
        <source>%1 did not answer the logon within %2 seconds.</source>
        <translation>%1 hat auf die Anmeldung nicht innerhalb von %2 Sekunden geantwortet.</translation>
    </message>
    <message>
        <source>The logon of %1 to %2 failed: %3</source>
        <translation>Die Anmeldung von %1 bei %2 ist fehlgeschlagen: %3</translation>
    </message>
    <message>
        <source>%1 refused the logon of %2: %3</source>
        <translation>%1 hat die Anmeldung von %2 abgelehnt: %3</translation>
    </message>
</context>
<context>
    <name>SshConfig</name>
    <message>
        <source>The SSH configuration %1 cannot be read: %2</source>
        <translation>Die SSH-Konfiguration %1 kann nicht gelesen werden: %2</translation>
    </message>
</context>
<context>
    <name>SyncGuards</name>
    <message>
        <source>The synchronisation will delete %1 of %2 objects in Target &quot;%3&quot;. Do you want to go on?</source>
        <translation>Die Synchronisation wird %1 von %2 Objekten im Ziel „%3“ löschen. Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; would delete or replace objects in &quot;%2&quot;, which is the system&apos;s root, the home folder or a system folder: choose a folder below it.</source>
        <translation>„%1“ würde Objekte in „%2“ löschen oder ersetzen, dem Wurzelordner des Systems, dem persönlichen Ordner oder einem Systemordner: Wählen Sie einen Ordner darunter.</translation>
    </message>
</context>
<context>
    <name>SyncMethod</name>
    <message>
        <source>Select sync method above. Then press &quot;Synchronise&quot;.</source>
        <translation>Wählen Sie oben eine Synchronisationsmethode und klicken Sie dann auf „Synchronisieren“.</translation>
    </message>
    <message>
        <source>Align Source and Target</source>
        <translation>Quelle und Ziel abgleichen</translation>
    </message>
    <message>
        <source>Copy unmatched files/folders in Source to Target and unmatched files/folders in Target to Source. Copy newer files/folders in Source over the corresponding older files/folders in Target, and newer files/folders in Target over the corresponding older files/folders in Source.</source>
        <translation>Einzelne Dateien/Ordner der Quelle ins Ziel und einzelne Dateien/Ordner des Ziels in die Quelle kopieren. Neuere Dateien/Ordner der Quelle über die entsprechenden älteren im Ziel kopieren und neuere Dateien/Ordner des Ziels über die entsprechenden älteren in der Quelle.</translation>
    </message>
    <message>
        <source>Augment Target</source>
        <translation>Ziel ergänzen</translation>
    </message>
    <message>
        <source>Copy unmatched files/folders in Source to Target.</source>
        <translation>Einzelne Dateien/Ordner der Quelle ins Ziel kopieren.</translation>
    </message>
    <message>
        <source>Refresh Target</source>
        <translation>Ziel auffrischen</translation>
    </message>
    <message>
        <source>Copy newer files/folders in Source over corresponding older file/folders in Target.</source>
        <translation>Neuere Dateien/Ordner der Quelle über die entsprechenden älteren im Ziel kopieren.</translation>
    </message>
    <message>
        <source>Update Target</source>
        <translation>Ziel aktualisieren</translation>
    </message>
    <message>
        <source>Augment and Refresh Target.</source>
        <translation>Ziel ergänzen und auffrischen.</translation>
    </message>
    <message>
        <source>Update and Prune Target</source>
        <translation>Ziel aktualisieren und bereinigen</translation>
    </message>
    <message>
        <source>Augment and Refresh Target and then remove unmatched files/folders from Target.</source>
        <translation>Ziel ergänzen und auffrischen, danach einzelne Dateien/Ordner aus dem Ziel entfernen.</translation>
    </message>
    <message>
        <source>Force Target</source>
        <translation>Ziel erzwingen</translation>
    </message>
    <message>
        <source>Update and Prune Target, then overwrite newer files/folders in Target with older Source files/folders.</source>
        <translation>Ziel aktualisieren und bereinigen, danach neuere Dateien/Ordner im Ziel mit den älteren der Quelle überschreiben.</translation>
    </message>
    <message>
        <source>Synchronise Both Ways</source>
        <translation>In beide Richtungen abgleichen</translation>
    </message>
    <message>
        <source>Bring over what changed on either side since the last synchronisation of these two folders: new, changed, deleted and renamed files/folders. Files changed on both sides are conflicts and are left as they are until you decide.</source>
        <translation>Überträgt, was sich seit dem letzten Abgleich dieser beiden Ordner auf einer Seite geändert hat: neue, geänderte, gelöschte und umbenannte Dateien/Ordner. Auf beiden Seiten geänderte Dateien sind Konflikte und bleiben, wie sie sind, bis Sie entscheiden.</translation>
    </message>
    <message>
        <source>Manual Copy</source>
        <translation>Manuelles Kopieren</translation>
    </message>
    <message>
        <source>Manual Delete</source>
        <translation>Manuelles Löschen</translation>
    </message>
</context>
<context>
    <name>SyncSummary</name>
    <message>
        <source>Stopped after %1 seconds:</source>
        <translation>Nach %1 Sekunden abgebrochen:</translation>
    </message>
    <message>
        <source>Synchronised in %1 seconds:</source>
        <translation>In %1 Sekunden synchronisiert:</translation>
    </message>
    <message>
        <source>Undone in %1 seconds:</source>
        <translation>In %1 Sekunden rückgängig gemacht:</translation>
    </message>
    <message numerus="yes">
        <source>%1 changes taken back</source>
        <translation>
            <numerusform>%1 Änderung zurückgenommen</numerusform>
            <numerusform>%1 Änderungen zurückgenommen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 already as before</source>
        <translation>
            <numerusform>%1 schon wie vorher</numerusform>
            <numerusform>%1 schon wie vorher</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 not undone</source>
        <translation>
            <numerusform>%1 nicht rückgängig gemacht</numerusform>
            <numerusform>%1 nicht rückgängig gemacht</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 files copied</source>
        <translation>
            <numerusform>%1 Datei kopiert</numerusform>
            <numerusform>%1 Dateien kopiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 bytes</source>
        <translation>
            <numerusform>%1 Byte</numerusform>
            <numerusform>%1 Bytes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 folders made</source>
        <translation>
            <numerusform>%1 Ordner angelegt</numerusform>
            <numerusform>%1 Ordner angelegt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 objects moved to the trash</source>
        <translation>
            <numerusform>%1 Objekt in den Papierkorb verschoben</numerusform>
            <numerusform>%1 Objekte in den Papierkorb verschoben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 replaced files kept in the trash</source>
        <translation>
            <numerusform>%1 ersetzte Datei im Papierkorb aufbewahrt</numerusform>
            <numerusform>%1 ersetzte Dateien im Papierkorb aufbewahrt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 objects deleted permanently</source>
        <translation>
            <numerusform>%1 Objekt endgültig gelöscht</numerusform>
            <numerusform>%1 Objekte endgültig gelöscht</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 folders removed</source>
        <translation>
            <numerusform>%1 Ordner entfernt</numerusform>
            <numerusform>%1 Ordner entfernt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 objects were not copied or deleted</source>
        <translation>
            <numerusform>%1 Objekt wurde nicht kopiert oder gelöscht</numerusform>
            <numerusform>%1 Objekte wurden nicht kopiert oder gelöscht</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 changed since the comparison</source>
        <translation>davon %1 seit dem Vergleich geändert</translation>
    </message>
    <message numerus="yes">
        <source>%1 deleted objects kept on the server</source>
        <translation>
            <numerusform>%1 gelöschtes Objekt auf dem Server aufbewahrt</numerusform>
            <numerusform>%1 gelöschte Objekte auf dem Server aufbewahrt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 replaced files kept on the server</source>
        <translation>
            <numerusform>%1 ersetzte Datei auf dem Server aufbewahrt</numerusform>
            <numerusform>%1 ersetzte Dateien auf dem Server aufbewahrt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 replaced files not kept (no trash)</source>
        <translation>
            <numerusform>%1 ersetzte Datei nicht aufbewahrt (kein Papierkorb)</numerusform>
            <numerusform>%1 ersetzte Dateien nicht aufbewahrt (kein Papierkorb)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TwoWayMarks</name>
    <message>
        <source>Copied to Target</source>
        <translation>Wird ins Ziel kopiert</translation>
    </message>
    <message>
        <source>Copied to Source</source>
        <translation>Wird in die Quelle kopiert</translation>
    </message>
    <message>
        <source>Deleted in Target</source>
        <translation>Wird im Ziel gelöscht</translation>
    </message>
    <message>
        <source>Deleted in Source</source>
        <translation>Wird in der Quelle gelöscht</translation>
    </message>
    <message>
        <source>Renamed as on the other side</source>
        <translation>Wird wie auf der anderen Seite umbenannt</translation>
    </message>
    <message>
        <source>Conflict: left as it is</source>
        <translation>Konflikt: bleibt, wie er ist</translation>
    </message>
    <message>
        <source>Conflict: Source&apos;s version is kept</source>
        <translation>Konflikt: die Fassung der Quelle wird behalten</translation>
    </message>
    <message>
        <source>Conflict: Target&apos;s version is kept</source>
        <translation>Konflikt: die Fassung des Ziels wird behalten</translation>
    </message>
    <message>
        <source>Conflict: both versions are kept</source>
        <translation>Konflikt: beide Fassungen werden behalten</translation>
    </message>
</context>
<context>
    <name>UndoPlan</name>
    <message>
        <source>remove</source>
        <translation>entfernen</translation>
    </message>
    <message>
        <source>put back</source>
        <translation>zurücklegen</translation>
    </message>
    <message>
        <source>bring back</source>
        <translation>zurückholen</translation>
    </message>
    <message>
        <source>remove folder</source>
        <translation>Ordner entfernen</translation>
    </message>
    <message>
        <source>make folder</source>
        <translation>Ordner anlegen</translation>
    </message>
    <message>
        <source>can not undo</source>
        <translation>nicht rückgängig zu machen</translation>
    </message>
    <message>
        <source>rename back</source>
        <translation>zurück umbenennen</translation>
    </message>
</context>
<context>
    <name>ViewChoice</name>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Matched</source>
        <translation>Gleiche</translation>
    </message>
    <message>
        <source>Unmatched</source>
        <translation>Einzelne</translation>
    </message>
    <message>
        <source>Newer and Older</source>
        <translation>Neuere und ältere</translation>
    </message>
    <message>
        <source>Excluded</source>
        <translation>Ausgeschlossene</translation>
    </message>
</context>
<context>
    <name>VisibleRows</name>
    <message>
        <source>Files and Folders: %1</source>
        <translation>Dateien und Ordner: %1</translation>
    </message>
    <message>
        <source>Total Size: %1</source>
        <translation>Gesamtgröße: %1</translation>
    </message>
</context>
<context>
    <name>ravelmoor::AboutDialog</name>
    <message>
        <source>About Ravelmoor</source>
        <translation>Über Ravelmoor</translation>
    </message>
    <message>
        <source>Compares two folder trees, a Source and a Target, and brings them into agreement.

Either side may be a local folder or, for one side, a folder on an FTP or SFTP server. Files are compared by size and time, by CRC-32 checksum, or both; include and exclude rules choose which entries take part.</source>
        <translation>Vergleicht zwei Ordnerbäume, eine Quelle und ein Ziel, und gleicht sie einander an.

Jede Seite kann ein lokaler Ordner sein, eine der beiden auch ein Ordner auf einem FTP- oder SFTP-Server. Dateien werden nach Größe und Zeit, nach CRC-32-Prüfsumme oder nach beidem verglichen; Einschluss- und Ausschlussregeln bestimmen, welche Einträge teilnehmen.</translation>
    </message>
</context>
<context>
    <name>ravelmoor::ConnectionsDialog</name>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Ne&amp;w</source>
        <translation>Ne&amp;u</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
</context>
<context>
    <name>ravelmoor::DesktopViewerHost</name>
    <message>
        <source>Can not make a temporary folder for %1: %2</source>
        <translation>Für %1 kann kein temporärer Ordner angelegt werden: %2</translation>
    </message>
    <message>
        <source>the server refused it</source>
        <translation>der Server hat es abgelehnt</translation>
    </message>
    <message>
        <source>Can not download %1: %2</source>
        <translation>%1 kann nicht heruntergeladen werden: %2</translation>
    </message>
    <message>
        <source>Fetching from the server...</source>
        <translation>Wird vom Server geholt...</translation>
    </message>
</context>
<context>
    <name>ravelmoor::FilterDialog</name>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Exclude</source>
        <translation>Ausschließen</translation>
    </message>
    <message>
        <source>Include</source>
        <translation>Einschließen</translation>
    </message>
    <message>
        <source>Regular Expression:</source>
        <translation>Regulärer Ausdruck:</translation>
    </message>
</context>
<context>
    <name>ravelmoor::FilterListDialog</name>
    <message>
        <source>Filters</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Inc./Exc.</source>
        <translation>Ein/Aus</translation>
    </message>
    <message>
        <source>Regular Expression</source>
        <translation>Regulärer Ausdruck</translation>
    </message>
    <message>
        <source>Empty</source>
        <translation>Leer</translation>
    </message>
    <message>
        <source>Filter List:</source>
        <translation>Filterliste:</translation>
    </message>
    <message>
        <source>Add Filter</source>
        <translation>Filter hinzufügen</translation>
    </message>
    <message>
        <source>Edit Filter</source>
        <translation>Filter bearbeiten</translation>
    </message>
    <message>
        <source>Remove Filter</source>
        <translation>Filter entfernen</translation>
    </message>
    <message>
        <source>Select Filter to Edit from list.</source>
        <translation>Wählen Sie in der Liste den Filter aus, der bearbeitet werden soll.</translation>
    </message>
    <message>
        <source>Select Filter to Remove from list.</source>
        <translation>Wählen Sie in der Liste den Filter aus, der entfernt werden soll.</translation>
    </message>
</context>
<context>
    <name>ravelmoor::FtpConnectionsDialog</name>
    <message>
        <source>FTP Connections</source>
        <translation>FTP-Verbindungen</translation>
    </message>
    <message>
        <source>Pick a connection; a new one is named after its server and directory</source>
        <translation>Verbindung wählen; eine neue wird nach Server und Verzeichnis benannt</translation>
    </message>
    <message>
        <source>Host name or address, optionally with :port</source>
        <translation>Hostname oder Adresse, wahlweise mit :Port</translation>
    </message>
    <message>
        <source>Leave empty to log on anonymously</source>
        <translation>Leer lassen für eine anonyme Anmeldung</translation>
    </message>
    <message>
        <source>Select FTP Directory</source>
        <translation>FTP-Verzeichnis wählen</translation>
    </message>
    <message>
        <source>Passive mode</source>
        <translation>Passiver Modus</translation>
    </message>
    <message>
        <source>Let this program open the data connections; most servers behind NAT or a firewall need it</source>
        <translation>Dieses Programm öffnet die Datenverbindungen; die meisten Server hinter NAT oder einer Firewall brauchen das</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <source>&amp;User:</source>
        <translation>&amp;Benutzer:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>&amp;Directory:</source>
        <translation>&amp;Verzeichnis:</translation>
    </message>
    <message>
        <source>Found by each comparison that may write to the server, with a small file it uploads and removes again</source>
        <translation>Von jedem Vergleich ermittelt, der auf den Server schreiben darf, mit einer kleinen Datei, die er hochlädt und wieder entfernt</translation>
    </message>
    <message>
        <source>Server clock:</source>
        <translation>Server-Uhr:</translation>
    </message>
    <message>
        <source>this computer&apos;s zone</source>
        <translation>die Zeitzone dieses Computers</translation>
    </message>
    <message>
        <source>UTC%1</source>
        <translation>UTC%1</translation>
    </message>
    <message>
        <source>not known yet (a comparison that may write to the server finds it)</source>
        <translation>noch unbekannt (ein Vergleich, der auf den Server schreiben darf, ermittelt sie)</translation>
    </message>
    <message>
        <source>not offered</source>
        <translation>nicht angeboten</translation>
    </message>
    <message>
        <source>listings in %1, MDTM %2; no command keeps an upload&apos;s time, so this computer remembers it</source>
        <translation>Auflistungen in %1, MDTM %2; kein Befehl erhält die Zeit einer hochgeladenen Datei, daher merkt sie sich dieser Computer</translation>
    </message>
    <message>
        <source>listings in %1, MDTM %2; uploads keep their times with %3</source>
        <translation>Auflistungen in %1, MDTM %2; hochgeladene Dateien behalten ihre Zeit mit %3</translation>
    </message>
</context>
<context>
    <name>ravelmoor::FtpDirectoryTree</name>
    <message>
        <source>The FTP server did not answer within 1 second. Server:%1 User:%2</source>
        <translation>Der FTP-Server hat nicht innerhalb von 1 Sekunde geantwortet. Server:%1 Benutzer:%2</translation>
    </message>
    <message>
        <source>The FTP server did not answer within %1 seconds. Server:%2 User:%3</source>
        <translation>Der FTP-Server hat nicht innerhalb von %1 Sekunden geantwortet. Server:%2 Benutzer:%3</translation>
    </message>
    <message>
        <source>FTP connection has not been established.</source>
        <translation>Es besteht keine FTP-Verbindung.</translation>
    </message>
</context>
<context>
    <name>ravelmoor::GeneralSettingsDialog</name>
    <message>
        <source>General Settings</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>Size and Timestamp Comparison:</source>
        <translation>Vergleich nach Größe und Zeitstempel:</translation>
    </message>
    <message>
        <source>Ignore up to 2 seconds difference between files (NTFS/FAT)</source>
        <translation>Bis zu 2 Sekunden Unterschied zwischen Dateien ignorieren (NTFS/FAT)</translation>
    </message>
    <message>
        <source>Ignore up tp 60 seconds difference between files</source>
        <translation>Bis zu 60 Sekunden Unterschied zwischen Dateien ignorieren</translation>
    </message>
    <message>
        <source>Ignore 1 hour difference between files (DST) </source>
        <translation>1 Stunde Unterschied zwischen Dateien ignorieren (Sommerzeit) </translation>
    </message>
    <message>
        <source>CRC Comparison:</source>
        <translation>CRC-Vergleich:</translation>
    </message>
    <message>
        <source>Only consider initial</source>
        <translation>Nur die ersten</translation>
    </message>
    <message>
        <source>bytes for CRC calculation</source>
        <translation>Bytes für die CRC-Berechnung verwenden</translation>
    </message>
    <message>
        <source>Use &apos;0&apos; for computing the whole file</source>
        <translation>&apos;0&apos; verwendet die ganze Datei</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Select File Comparison Program</source>
        <translation>Dateivergleichsprogramm wählen</translation>
    </message>
    <message>
        <source>File Comparison Program:</source>
        <translation>Dateivergleichsprogramm:</translation>
    </message>
    <message>
        <source>Parameters:</source>
        <translation>Parameter:</translation>
    </message>
    <message>
        <source>Keep the old versions of replaced files in the trash</source>
        <translation>Alte Versionen ersetzter Dateien im Papierkorb behalten</translation>
    </message>
    <message>
        <source>Applications (*)</source>
        <translation>Programme (*)</translation>
    </message>
    <message>
        <source>Keep replaced and deleted files on FTP and SFTP servers for</source>
        <translation>Ersetzte und gelöschte Dateien auf FTP- und SFTP-Servern behalten für</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
</context>
<context>
    <name>ravelmoor::HelpWindow</name>
    <message>
        <source>Ravelmoor Help</source>
        <translation>Ravelmoor-Hilfe</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>en</source>
        <comment>help pages&apos; language</comment>
        <extracomment>The folder under :/help that holds this language&apos;s help pages; pages missing there are shown in English.</extracomment>
        <translation>de</translation>
    </message>
</context>
<context>
    <name>ravelmoor::MainWindow</name>
    <message>
        <source>S&amp;ource:</source>
        <translation>&amp;Quelle:</translation>
    </message>
    <message>
        <source>&amp;Target:</source>
        <translation>&amp;Ziel:</translation>
    </message>
    <message>
        <source>Select Source Folder.</source>
        <translation>Quellordner wählen.</translation>
    </message>
    <message>
        <source>Select Target Folder.</source>
        <translation>Zielordner wählen.</translation>
    </message>
    <message>
        <source>Use an FTP connection as the Source</source>
        <translation>Eine FTP-Verbindung als Quelle verwenden</translation>
    </message>
    <message>
        <source>Use an FTP connection as the Target</source>
        <translation>Eine FTP-Verbindung als Ziel verwenden</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Compare the Source and Target folders</source>
        <translation>Quell- und Zielordner vergleichen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Load settings from a file</source>
        <translation>Einstellungen aus einer Datei laden</translation>
    </message>
    <message>
        <source>Save settings to a file</source>
        <translation>Einstellungen in einer Datei speichern</translation>
    </message>
    <message>
        <source>S&amp;ynchronisation</source>
        <translation>S&amp;ynchronisation</translation>
    </message>
    <message>
        <source>Undo Last Synchronisation...</source>
        <translation>Letzte Synchronisation rückgängig machen...</translation>
    </message>
    <message>
        <source>Use an SFTP connection as the Source</source>
        <translation>Eine SFTP-Verbindung als Quelle verwenden</translation>
    </message>
    <message>
        <source>Use an SFTP connection as the Target</source>
        <translation>Eine SFTP-Verbindung als Ziel verwenden</translation>
    </message>
    <message>
        <source>Target folder not found. Make it?</source>
        <translation>Zielordner nicht gefunden. Soll er angelegt werden?</translation>
    </message>
    <message>
        <source>S&amp;wap</source>
        <translation>&amp;Tauschen</translation>
    </message>
    <message>
        <source>Exchange the Source and Target folders</source>
        <translation>Quell- und Zielordner tauschen</translation>
    </message>
</context>
<context>
    <name>ravelmoor::PreviewWindow</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Close Preview</source>
        <translation>Vorschau schließen</translation>
    </message>
    <message>
        <source>Untick an action to leave it out. Synchronise then carries out the ticked actions.</source>
        <translation>Entfernen Sie den Haken einer Aktion, um sie auszulassen. Synchronisieren führt dann die angehakten Aktionen aus.</translation>
    </message>
    <message>
        <source>&amp;Tick</source>
        <translation>&amp;Anhaken</translation>
    </message>
    <message>
        <source>&amp;Untick</source>
        <translation>Haken &amp;entfernen</translation>
    </message>
    <message>
        <source>&amp;Reverse Direction</source>
        <translation>&amp;Richtung umkehren</translation>
    </message>
    <message>
        <source>Copy the selected files the other way</source>
        <translation>Die ausgewählten Dateien in die andere Richtung kopieren</translation>
    </message>
    <message>
        <source>E&amp;xclude</source>
        <translation>Aus&amp;schließen</translation>
    </message>
    <message>
        <source>Leave the selected rows out and add them to the filter&apos;s excludes</source>
        <translation>Die ausgewählten Zeilen auslassen und zu den Ausschlüssen des Filters hinzufügen</translation>
    </message>
</context>
<context>
    <name>ravelmoor::ProgressDialog</name>
    <message>
        <source>Comparing Files and Sub-Folders...</source>
        <translation>Dateien und Unterordner werden verglichen...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Number of Files/Folders in Source:</source>
        <translation>Anzahl Dateien/Ordner in der Quelle:</translation>
    </message>
    <message>
        <source>Number of Files/Folders in Target:</source>
        <translation>Anzahl Dateien/Ordner im Ziel:</translation>
    </message>
    <message>
        <source>Objects:</source>
        <translation>Objekte:</translation>
    </message>
    <message>
        <source>Bytes:</source>
        <translation>Bytes:</translation>
    </message>
    <message>
        <source>Rate:</source>
        <translation>Rate:</translation>
    </message>
    <message>
        <source>Time left:</source>
        <translation>Restzeit:</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1 objects/s</source>
        <translation>%1 Objekte/s</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Verbindung zu %1 wird hergestellt...</translation>
    </message>
</context>
<context>
    <name>ravelmoor::RemoteDirectoryDialog</name>
    <message>
        <source>&amp;Path:</source>
        <translation>&amp;Pfad:</translation>
    </message>
</context>
<context>
    <name>ravelmoor::ResultsListModel</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Timestamp</source>
        <translation>Zeitstempel</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>ravelmoor::ResultsShaping</name>
    <message>
        <source>&amp;Tree</source>
        <translation>&amp;Baum</translation>
    </message>
    <message>
        <source>Show the rows as folders that open and close, or as one list</source>
        <translation>Die Zeilen als Ordner zeigen, die sich öffnen und schließen lassen, oder als eine Liste</translation>
    </message>
    <message>
        <source>Filter rows</source>
        <translation>Zeilen filtern</translation>
    </message>
    <message>
        <source>Show only the rows whose path holds this text</source>
        <translation>Nur die Zeilen zeigen, deren Pfad diesen Text enthält</translation>
    </message>
    <message>
        <source>Show &amp;All</source>
        <translation>Alle &amp;zeigen</translation>
    </message>
    <message>
        <source>Only the folder %1 is shown.</source>
        <translation>Nur der Ordner %1 wird gezeigt.</translation>
    </message>
    <message>
        <source>F&amp;ilter:</source>
        <translation>&amp;Filter:</translation>
    </message>
</context>
<context>
    <name>ravelmoor::ResultsWindow</name>
    <message>
        <source>Undo the last synchronisation made from this window</source>
        <translation>Die letzte in diesem Fenster ausgeführte Synchronisation rückgängig machen</translation>
    </message>
    <message>
        <source>Re-Comparing files...</source>
        <translation>Dateien werden erneut verglichen...</translation>
    </message>
    <message>
        <source>Synchronising...</source>
        <translation>Wird synchronisiert...</translation>
    </message>
    <message>
        <source>Visualise Differences</source>
        <translation>Unterschiede anzeigen</translation>
    </message>
    <message>
        <source>Copy to Target  &gt;&gt;&gt;</source>
        <translation>Ins Ziel kopieren  &gt;&gt;&gt;</translation>
    </message>
    <message>
        <source>&lt;&lt;&lt; Copy to Source</source>
        <translation>&lt;&lt;&lt; In die Quelle kopieren</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Compare Again</source>
        <translation>Erneut vergleichen</translation>
    </message>
    <message>
        <source>Select predefined view</source>
        <translation>Vordefinierte Ansicht wählen</translation>
    </message>
    <message>
        <source>Select sync method</source>
        <translation>Synchronisationsmethode wählen</translation>
    </message>
    <message>
        <source>Close this window</source>
        <translation>Dieses Fenster schließen</translation>
    </message>
    <message>
        <source>Preview which files/folders the selected sync method would copy or delete</source>
        <translation>Vorschau, welche Dateien/Ordner die gewählte Methode kopieren oder löschen würde</translation>
    </message>
    <message>
        <source>Sync Source and Target</source>
        <translation>Quelle und Ziel synchronisieren</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Not done...</source>
        <translation>Nicht erledigt...</translation>
    </message>
    <message>
        <source>List what the synchronisation did not copy or delete</source>
        <translation>Auflisten, was die Synchronisation nicht kopiert oder gelöscht hat</translation>
    </message>
    <message>
        <source>&amp;View:</source>
        <translation>&amp;Ansicht:</translation>
    </message>
    <message>
        <source>&amp;Method:</source>
        <translation>&amp;Methode:</translation>
    </message>
    <message>
        <source>Do you want to copy the selected objects?</source>
        <translation>Möchten Sie die ausgewählten Objekte kopieren?</translation>
    </message>
    <message>
        <source>Not copied or deleted:</source>
        <translation>Nicht kopiert oder gelöscht:</translation>
    </message>
    <message>
        <source>the objects whose question was answered No or Cancel.</source>
        <translation>die Objekte, deren Frage mit Nein oder Abbrechen beantwortet wurde.</translation>
    </message>
    <message>
        <source>Matched</source>
        <translation>Gleich</translation>
    </message>
    <message>
        <source>View/Hide Matched files/folders</source>
        <translation>Gleiche Dateien/Ordner zeigen/ausblenden</translation>
    </message>
    <message>
        <source>Unmatched</source>
        <translation>Einzeln</translation>
    </message>
    <message>
        <source>View/Hide Unmatched files/folders</source>
        <translation>Einzelne Dateien/Ordner (ohne Gegenstück) zeigen/ausblenden</translation>
    </message>
    <message>
        <source>Newer</source>
        <translation>Neuer</translation>
    </message>
    <message>
        <source>View/Hide Newer files/folders</source>
        <translation>Neuere Dateien/Ordner zeigen/ausblenden</translation>
    </message>
    <message>
        <source>Older</source>
        <translation>Älter</translation>
    </message>
    <message>
        <source>View/Hide Older files/folders</source>
        <translation>Ältere Dateien/Ordner zeigen/ausblenden</translation>
    </message>
    <message>
        <source>Excluded</source>
        <translation>Ausgeschlossen</translation>
    </message>
    <message>
        <source>View/Hide Excluded files/folders</source>
        <translation>Ausgeschlossene Dateien/Ordner zeigen/ausblenden</translation>
    </message>
    <message>
        <source>Source: %1</source>
        <translation>Quelle: %1</translation>
    </message>
    <message>
        <source>Target:  %1</source>
        <translation>Ziel:  %1</translation>
    </message>
    <message>
        <source>Without a journal the synchronisation can not be undone. Synchronise anyway?</source>
        <translation>Ohne Protokoll kann die Synchronisation nicht rückgängig gemacht werden. Trotzdem synchronisieren?</translation>
    </message>
    <message>
        <source>The synchronisation stopped before its next change; what it did can be undone.</source>
        <translation>Die Synchronisation wurde vor ihrer nächsten Änderung angehalten; was sie getan hat, kann rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Show Only This Folder</source>
        <translation>Nur diesen Ordner zeigen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <source>&amp;Synchronise</source>
        <translation>S&amp;ynchronisieren</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Delete them?</source>
        <translation>Sollen sie gelöscht werden?</translation>
    </message>
    <message>
        <source>Conflicts left: %1.</source>
        <translation>Offene Konflikte: %1.</translation>
    </message>
    <message>
        <source>Planning the synchronisation both ways...</source>
        <translation>Abgleich in beide Richtungen wird geplant...</translation>
    </message>
    <message>
        <source>Without a journal this can not be undone. Go on anyway?</source>
        <translation>Ohne Protokoll lässt sich das nicht rückgängig machen. Trotzdem fortfahren?</translation>
    </message>
</context>
<context>
    <name>ravelmoor::SettingsMenu</name>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Include sub-folders</source>
        <translation>&amp;Unterordner einbeziehen</translation>
    </message>
    <message>
        <source>Size and Timestamp</source>
        <translation>Größe und Zeitstempel</translation>
    </message>
    <message>
        <source>CRC</source>
        <translation>CRC</translation>
    </message>
    <message>
        <source>Both</source>
        <translation>Beides</translation>
    </message>
    <message>
        <source>&amp;Filters...</source>
        <translation>&amp;Filter...</translation>
    </message>
    <message>
        <source>&amp;General Settings...</source>
        <translation>&amp;Allgemeine Einstellungen...</translation>
    </message>
    <message>
        <source>FTP &amp;Connections...</source>
        <translation>FTP-&amp;Verbindungen...</translation>
    </message>
    <message>
        <source>&amp;Load settings from a file...</source>
        <translation>Einstellungen aus Datei &amp;laden...</translation>
    </message>
    <message>
        <source>S&amp;ave settings to a file...</source>
        <translation>Einstellungen in Datei &amp;speichern...</translation>
    </message>
    <message>
        <source>&amp;Restore default settings</source>
        <translation>Standardeinstellungen &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>Remove background color</source>
        <translation>Hintergrundfarbe entfernen</translation>
    </message>
    <message>
        <source>Restore background color</source>
        <translation>Hintergrundfarbe wiederherstellen</translation>
    </message>
    <message>
        <source>SF&amp;TP Connections...</source>
        <translation>SF&amp;TP-Verbindungen...</translation>
    </message>
</context>
<context>
    <name>ravelmoor::SftpConnectionsDialog</name>
    <message>
        <source>SFTP Connections</source>
        <translation>SFTP-Verbindungen</translation>
    </message>
    <message>
        <source>Pick a connection; a new one is named after its host and directory</source>
        <translation>Verbindung wählen; eine neue wird nach Host und Verzeichnis benannt</translation>
    </message>
    <message>
        <source>An absolute folder, or one below the folder the logon starts in</source>
        <translation>Ein absoluter Ordner oder einer unterhalb des Ordners, in dem die Anmeldung beginnt</translation>
    </message>
    <message>
        <source>Select SFTP Directory</source>
        <translation>SFTP-Verzeichnis wählen</translation>
    </message>
    <message>
        <source>Key file</source>
        <translation>Schlüsseldatei</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Select Key File</source>
        <translation>Schlüsseldatei wählen</translation>
    </message>
    <message>
        <source>P&amp;ort:</source>
        <translation>P&amp;ort:</translation>
    </message>
    <message>
        <source>&amp;Host:</source>
        <translation>&amp;Host:</translation>
    </message>
    <message>
        <source>&amp;User:</source>
        <translation>&amp;Benutzer:</translation>
    </message>
    <message>
        <source>&amp;Directory:</source>
        <translation>&amp;Verzeichnis:</translation>
    </message>
    <message>
        <source>Lo&amp;gon:</source>
        <translation>&amp;Anmeldung:</translation>
    </message>
    <message>
        <source>&amp;Key file:</source>
        <translation>&amp;Schlüsseldatei:</translation>
    </message>
    <message>
        <source>Pass&amp;phrase:</source>
        <translation>Pass&amp;phrase:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>Leave empty for a key file without a passphrase</source>
        <translation>Leer lassen für eine Schlüsseldatei ohne Passphrase</translation>
    </message>
    <message>
        <source>Host name or address of the SSH server, or a host of ~/.ssh/config, which then gives its address, user, port, key and jump host</source>
        <translation>Hostname oder Adresse des SSH-Servers, oder ein Host aus ~/.ssh/config, der dann Adresse, Benutzer, Port, Schlüssel und Sprung-Host angibt</translation>
    </message>
    <message>
        <source>22: the port ~/.ssh/config gives the host, or 22</source>
        <translation>22: der Port, den ~/.ssh/config für den Host angibt, sonst 22</translation>
    </message>
    <message>
        <source>Leave empty for the user ~/.ssh/config gives the host, or your own user name</source>
        <translation>Leer lassen für den Benutzer, den ~/.ssh/config für den Host angibt, sonst Ihren eigenen Benutzernamen</translation>
    </message>
    <message>
        <source>SSH agent and key files</source>
        <translation>SSH-Agent und Schlüsseldateien</translation>
    </message>
    <message>
        <source>SSH agent and key files: the agent&apos;s keys, then the key files ~/.ssh/config names for the host, then ~/.ssh/id_*</source>
        <translation>SSH-Agent und Schlüsseldateien: die Schlüssel des Agenten, dann die Schlüsseldateien, die ~/.ssh/config für den Host nennt, dann ~/.ssh/id_*</translation>
    </message>
</context>
<context>
    <name>ravelmoor::SftpDirectoryTree</name>
    <message>
        <source>SFTP connection has not been established.</source>
        <translation>Es besteht keine SFTP-Verbindung.</translation>
    </message>
</context>
<context>
    <name>ravelmoor::TwoWayLists</name>
    <message>
        <source>Conflicts</source>
        <translation>Konflikte</translation>
    </message>
    <message>
        <source>View only the files/folders changed on both sides</source>
        <translation>Nur die auf beiden Seiten geänderten Dateien/Ordner anzeigen</translation>
    </message>
    <message>
        <source>Keep Source</source>
        <translation>Quelle behalten</translation>
    </message>
    <message>
        <source>Keep Target</source>
        <translation>Ziel behalten</translation>
    </message>
    <message>
        <source>Keep Both</source>
        <translation>Beide behalten</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
</context>
<context>
    <name>ravelmoor::TwoWayMarkModel</name>
    <message>
        <source>What the synchronisation does with the row</source>
        <translation>Was die Synchronisation mit der Zeile tut</translation>
    </message>
</context>
<context>
    <name>ravelmoor::TwoWayPlanDialog</name>
    <message>
        <source>Synchronise Both Ways</source>
        <translation>In beide Richtungen abgleichen</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Conflicts</source>
        <translation>Konflikte</translation>
    </message>
    <message>
        <source>Show only the files changed on both sides</source>
        <translation>Nur die auf beiden Seiten geänderten Dateien zeigen</translation>
    </message>
    <message>
        <source>Synchronise</source>
        <translation>Synchronisieren</translation>
    </message>
    <message>
        <source>Changed on both sides</source>
        <translation>Auf beiden Seiten geändert</translation>
    </message>
    <message>
        <source>Renamed</source>
        <translation>Umbenannt</translation>
    </message>
    <message>
        <source>Copied to Target</source>
        <translation>Wird ins Ziel kopiert</translation>
    </message>
    <message>
        <source>Copied to Source</source>
        <translation>Wird in die Quelle kopiert</translation>
    </message>
    <message>
        <source>Deleted in Target</source>
        <translation>Wird im Ziel gelöscht</translation>
    </message>
    <message>
        <source>Deleted in Source</source>
        <translation>Wird in der Quelle gelöscht</translation>
    </message>
    <message>
        <source>Actions: %1. Conflicts left: %2.</source>
        <translation>Aktionen: %1. Offene Konflikte: %2.</translation>
    </message>
    <message>
        <source>absent</source>
        <translation>nicht vorhanden</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>%1 bytes, %2</source>
        <translation>%1 Bytes, %2</translation>
    </message>
    <message>
        <source>New on both sides, and different.</source>
        <translation>Auf beiden Seiten neu und verschieden.</translation>
    </message>
    <message>
        <source>Changed on both sides since the last synchronisation.</source>
        <translation>Seit der letzten Synchronisation auf beiden Seiten geändert.</translation>
    </message>
    <message>
        <source>Last sync: %1</source>
        <translation>Letzte Synchronisation: %1</translation>
    </message>
    <message>
        <source>Source: %1</source>
        <translation>Quelle: %1</translation>
    </message>
    <message>
        <source>Target: %1</source>
        <translation>Ziel: %1</translation>
    </message>
    <message>
        <source>Keep Source</source>
        <translation>Quelle behalten</translation>
    </message>
    <message>
        <source>Keep Target</source>
        <translation>Ziel behalten</translation>
    </message>
    <message>
        <source>Keep Both</source>
        <translation>Beide behalten</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Renamed apart</source>
        <translation>Verschieden umbenannt</translation>
    </message>
    <message>
        <source>%1 was renamed to %2 in Source and to %3 in Target.</source>
        <translation>%1 wurde in der Quelle in %2 und im Ziel in %3 umbenannt.</translation>
    </message>
</context>
<context>
    <name>ravelmoor::UndoAction</name>
    <message>
        <source>Reading the journal...</source>
        <translation>Das Protokoll wird gelesen...</translation>
    </message>
    <message>
        <source>Undo Last Synchronisation</source>
        <translation>Letzte Synchronisation rückgängig machen</translation>
    </message>
    <message>
        <source>There is no synchronisation to undo.</source>
        <translation>Es gibt keine Synchronisation, die rückgängig gemacht werden kann.</translation>
    </message>
    <message>
        <source>Nothing to undo: the last synchronisation changed nothing.</source>
        <translation>Nichts rückgängig zu machen: Die letzte Synchronisation hat nichts geändert.</translation>
    </message>
    <message>
        <source>The journal can not be read in full (%1): only the changes it names before that are undone.</source>
        <translation>Das Protokoll kann nicht vollständig gelesen werden (%1): Nur die Änderungen davor werden rückgängig gemacht.</translation>
    </message>
    <message>
        <source>Undoing the synchronisation...</source>
        <translation>Synchronisation wird rückgängig gemacht...</translation>
    </message>
    <message>
        <source>Not undone:</source>
        <translation>Nicht rückgängig gemacht:</translation>
    </message>
    <message>
        <source>Without a journal the undo can not be undone or finished later. Undo anyway?</source>
        <translation>Ohne Protokoll kann das Rückgängigmachen weder selbst rückgängig gemacht noch später zu Ende geführt werden. Trotzdem rückgängig machen?</translation>
    </message>
    <message>
        <source>undo of %1</source>
        <translation>Rückgängigmachen von %1</translation>
    </message>
    <message>
        <source>Undo the synchronisation &quot;%1&quot; of &quot;%2&quot; and &quot;%3&quot;?</source>
        <translation>Die Synchronisation &quot;%1&quot; von &quot;%2&quot; und &quot;%3&quot; rückgängig machen?</translation>
    </message>
    <message numerus="yes">
        <source>%1 files it made go to the trash</source>
        <translation>
            <numerusform>%1 Datei, die sie angelegt hat, kommt in den Papierkorb</numerusform>
            <numerusform>%1 Dateien, die sie angelegt hat, kommen in den Papierkorb</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 replaced files come back from the trash</source>
        <translation>
            <numerusform>%1 ersetzte Datei kommt aus dem Papierkorb zurück</numerusform>
            <numerusform>%1 ersetzte Dateien kommen aus dem Papierkorb zurück</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 deleted objects come back from the trash</source>
        <translation>
            <numerusform>%1 gelöschtes Objekt kommt aus dem Papierkorb zurück</numerusform>
            <numerusform>%1 gelöschte Objekte kommen aus dem Papierkorb zurück</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 folders it made are removed</source>
        <translation>
            <numerusform>%1 Ordner, den sie angelegt hat, wird entfernt</numerusform>
            <numerusform>%1 Ordner, die sie angelegt hat, werden entfernt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 folders are made again</source>
        <translation>
            <numerusform>%1 Ordner wird wieder angelegt</numerusform>
            <numerusform>%1 Ordner werden wieder angelegt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 changes can not be undone</source>
        <translation>
            <numerusform>%1 Änderung lässt sich nicht rückgängig machen</numerusform>
            <numerusform>%1 Änderungen lassen sich nicht rückgängig machen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 renamed objects get their old names back</source>
        <translation>
            <numerusform>%1 umbenanntes Objekt bekommt seinen alten Namen zurück</numerusform>
            <numerusform>%1 umbenannte Objekte bekommen ihre alten Namen zurück</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 files it made on the server are deleted for good</source>
        <translation>
            <numerusform>%1 Datei, die sie auf dem Server angelegt hat, wird endgültig gelöscht</numerusform>
            <numerusform>%1 Dateien, die sie auf dem Server angelegt hat, werden endgültig gelöscht</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 replaced files come back from the versions kept on the server</source>
        <translation>
            <numerusform>%1 ersetzte Datei kommt aus den auf dem Server aufbewahrten Versionen zurück</numerusform>
            <numerusform>%1 ersetzte Dateien kommen aus den auf dem Server aufbewahrten Versionen zurück</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 deleted objects come back from the versions kept on the server</source>
        <translation>
            <numerusform>%1 gelöschtes Objekt kommt aus den auf dem Server aufbewahrten Versionen zurück</numerusform>
            <numerusform>%1 gelöschte Objekte kommen aus den auf dem Server aufbewahrten Versionen zurück</numerusform>
        </translation>
    </message>
</context>
</TS>
