<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BackupFolderCheck</name>
    <message>
        <source>Enter the folder for the backup copies.</source>
        <translation>Geben Sie den Ordner für die Sicherungskopien an.</translation>
    </message>
    <message>
        <source>This name belongs to a file, not a folder:
</source>
        <translation>Dieser Name gehört zu einer Datei, nicht zu einem Ordner:
</translation>
    </message>
    <message>
        <source>Do you want to create this folder?
</source>
        <translation>Möchten Sie diesen Ordner anlegen?
</translation>
    </message>
    <message>
        <source>The folder could not be created:
</source>
        <translation>Der Ordner konnte nicht angelegt werden:
</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About Torvi Quillbook</source>
        <translation>Über Torvi Quillbook</translation>
    </message>
</context>
<context>
    <name>CBackupDlg</name>
    <message>
        <source>Every day</source>
        <translation>Jeden Tag</translation>
    </message>
    <message>
        <source>Every 3 days</source>
        <translation>Alle 3 Tage</translation>
    </message>
    <message>
        <source>Every week</source>
        <translation>Jede Woche</translation>
    </message>
    <message>
        <source>Every 2 week</source>
        <translation>Alle 2 Wochen</translation>
    </message>
    <message>
        <source>Every month</source>
        <translation>Jeden Monat</translation>
    </message>
    <message>
        <source>Backup settings</source>
        <translation>Sicherungseinstellungen</translation>
    </message>
    <message>
        <source>&amp;Backup files</source>
        <translation>&amp;Dateien sichern</translation>
    </message>
    <message>
        <source>How often</source>
        <translation>Wie oft</translation>
    </message>
    <message>
        <source>Versions kept</source>
        <translation>Aufbewahrte Versionen</translation>
    </message>
    <message>
        <source>&amp;Overview</source>
        <translation>D&amp;urchsuchen</translation>
    </message>
    <message>
        <source>But no more &amp;than</source>
        <translation>Aber nicht mehr &amp;als</translation>
    </message>
    <message>
        <source>version</source>
        <translation>Version(en)</translation>
    </message>
    <message>
        <source>Backup it to &amp;folder:</source>
        <translation>Sichern in &amp;Ordner:</translation>
    </message>
    <message>
        <source>Select folder</source>
        <translation>Ordner auswählen</translation>
    </message>
</context>
<context>
    <name>CBackupStep</name>
    <message>
        <source>The backup copy %1 could not be written.
The document is saved without it.</source>
        <translation>Die Sicherungskopie %1 konnte nicht geschrieben werden.
Das Dokument wird ohne sie gespeichert.</translation>
    </message>
    <message>
        <source>%1 does not read as a document, so it did not replace the backup copies.
It was kept as %2.</source>
        <translation>%1 lässt sich nicht als Dokument lesen und hat deshalb die Sicherungskopien nicht ersetzt.
Sie wurde als %2 aufbewahrt.</translation>
    </message>
    <message>
        <source>%1 is empty, so it did not replace the backup copies.
It was kept as %2.</source>
        <translation>%1 ist leer und hat deshalb die Sicherungskopien nicht ersetzt.
Sie wurde als %2 aufbewahrt.</translation>
    </message>
</context>
<context>
    <name>CBusyGuard</name>
    <message>
        <source>Internal error: another operation on the document is still in progress.</source>
        <translation>Interner Fehler: Ein anderer Vorgang am Dokument läuft noch.</translation>
    </message>
</context>
<context>
    <name>CCodePage</name>
    <message>
        <source>The character %1 cannot be kept in this document&apos;s code page (%2).</source>
        <translation>Das Zeichen %1 kann in der Codepage dieses Dokuments (%2) nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>The switch %1 needs the name of the file to print.</source>
        <translation>Der Schalter %1 braucht den Namen der zu druckenden Datei.</translation>
    </message>
    <message>
        <source>The switch %1 needs a file name and a printer name.</source>
        <translation>Der Schalter %1 braucht einen Dateinamen und einen Druckernamen.</translation>
    </message>
</context>
<context>
    <name>CCsvImport</name>
    <message>
        <source>Do you want to add denominations from first line of the list? 

(</source>
        <translation>Sollen die Bezeichnungen aus der ersten Zeile der Liste übernommen werden? 

(</translation>
    </message>
</context>
<context>
    <name>CDocumentFile</name>
    <message>
        <source>%1
Cannot find this file.
Please verify that the correct path and file name are given.</source>
        <translation>%1
Diese Datei wurde nicht gefunden.
Bitte prüfen Sie, ob Pfad und Dateiname stimmen.</translation>
    </message>
    <message>
        <source>Unable to read from %1, it is opened by someone else.</source>
        <translation>%1 kann nicht gelesen werden, die Datei ist von jemand anderem geöffnet.</translation>
    </message>
    <message>
        <source>Unexpected file format.</source>
        <translation>Unerwartetes Dateiformat.</translation>
    </message>
    <message>
        <source>unknown version of the data</source>
        <translation>unbekannte Version der Daten</translation>
    </message>
    <message>
        <source>Failed to save document.</source>
        <translation>Das Dokument konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Unable to write to %1, it is read-only or opened by someone else.</source>
        <translation>%1 kann nicht geschrieben werden, die Datei ist schreibgeschützt oder von jemand anderem geöffnet.</translation>
    </message>
    <message>
        <source>%1 is a link leading nowhere.</source>
        <translation>%1 ist eine Verknüpfung, die ins Leere führt.</translation>
    </message>
    <message>
        <source>Unable to write to %1, its folder does not exist.</source>
        <translation>%1 kann nicht geschrieben werden, ihr Ordner existiert nicht.</translation>
    </message>
    <message>
        <source>Destination disk drive is full.</source>
        <translation>Das Ziellaufwerk ist voll.</translation>
    </message>
    <message>
        <source>Destination disk drive is full. %1 was not written.</source>
        <translation>Das Ziellaufwerk ist voll. %1 wurde nicht geschrieben.</translation>
    </message>
</context>
<context>
    <name>CDocumentLock</name>
    <message>
        <source>%1 is being written by %2 (process %3 on %4).
Nothing was saved; try again when it is done.</source>
        <translation>%1 wird gerade von %2 geschrieben (Prozess %3 auf %4).
Es wurde nichts gespeichert; versuchen Sie es erneut, wenn der Vorgang beendet ist.</translation>
    </message>
    <message>
        <source>%1 is being written by another program (lock file %2).
Nothing was saved; try again when it is done.</source>
        <translation>%1 wird gerade von einem anderen Programm geschrieben (Sperrdatei %2).
Es wurde nichts gespeichert; versuchen Sie es erneut, wenn der Vorgang beendet ist.</translation>
    </message>
    <message>
        <source>%1 is being written by %2 (process %3 of user %4 on %5).
Nothing was saved; try again when it is done.</source>
        <translation>%1 wird gerade von %2 geschrieben (Prozess %3 des Benutzers %4 auf %5).
Es wurde nichts gespeichert; versuchen Sie es erneut, wenn der Vorgang beendet ist.</translation>
    </message>
    <message>
        <source>%1 cannot be saved: its lock file %2 was left behind by user %3 and is no longer in use, but it may not be removed by you.
Ask %3 or an administrator to delete it. Nothing was saved.</source>
        <translation>%1 kann nicht gespeichert werden: Die Sperrdatei %2 wurde vom Benutzer %3 zurückgelassen und wird nicht mehr verwendet, darf aber von Ihnen nicht entfernt werden.
Bitten Sie %3 oder einen Administrator, sie zu löschen. Es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>%1 cannot be saved: %2, the name of its lock file, is a folder with files in it.
Move or delete that folder. Nothing was saved.</source>
        <translation>%1 kann nicht gespeichert werden: %2, der Name seiner Sperrdatei, ist ein Ordner mit Dateien darin.
Verschieben oder löschen Sie diesen Ordner. Es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>%1 is being written by another program. Waiting until it is done...</source>
        <translation>%1 wird gerade von einem anderen Programm geschrieben. Es wird gewartet, bis der Vorgang beendet ist...</translation>
    </message>
</context>
<context>
    <name>CEnvelope</name>
    <message>
        <source>The password is wrong, or the file was changed or cut short.</source>
        <translation>Das Passwort ist falsch, oder die Datei wurde verändert oder gekürzt.</translation>
    </message>
    <message>
        <source>There is not enough memory to derive the key from the password.</source>
        <translation>Es ist nicht genug Speicher frei, um den Schlüssel aus dem Passwort abzuleiten.</translation>
    </message>
</context>
<context>
    <name>CSealKeys</name>
    <message>
        <source>Deriving the key from the password...</source>
        <translation>Der Schlüssel wird aus dem Passwort abgeleitet …</translation>
    </message>
</context>
<context>
    <name>CBackupReseal</name>
    <message>
        <source>The backup copies of this document were encrypted with the new password as well.</source>
        <translation>Die Sicherungskopien dieses Dokuments wurden ebenfalls mit dem neuen Passwort verschlüsselt.</translation>
    </message>
    <message>
        <source>The backup copy %1 was written under an earlier password and could not be encrypted with the new one: it still holds the notes in the weaker form.</source>
        <translation>Die Sicherungskopie %1 wurde unter einem früheren Passwort geschrieben und konnte nicht mit dem neuen verschlüsselt werden: Sie enthält die Notizen noch in der schwächeren Form.</translation>
    </message>
</context>
<context>
    <name>CExporter</name>
    <message>
        <source>The Markdown files will not be encrypted. Save them anyway?</source>
        <translation>Die Markdown-Dateien werden nicht verschlüsselt. Trotzdem speichern?</translation>
    </message>
    <message>
        <source>The HTML file will not be encrypted. Save it anyway?</source>
        <translation>Die HTML-Datei wird nicht verschlüsselt. Trotzdem speichern?</translation>
    </message>
    <message>
        <source>The OPML file will not be encrypted. Save it anyway?</source>
        <translation>Die OPML-Datei wird nicht verschlüsselt. Trotzdem speichern?</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exportiert nach %1</translation>
    </message>
    <message>
        <source>Export to an empty folder</source>
        <translation>In einen leeren Ordner exportieren</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>HTML Files (*.html);;All Files (*.*)</source>
        <translation>HTML-Dateien (*.html);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>OPML Files (*.opml);;All Files (*.*)</source>
        <translation>OPML-Dateien (*.opml);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>%1 byte(s) that the code page %2 does not define were written as U+FFFD.</source>
        <translation>%1 Byte(s), die die Codepage %2 nicht definiert, wurde(n) als U+FFFD geschrieben.</translation>
    </message>
    <message>
        <source>%1 control character(s) that XML cannot hold were left out.</source>
        <translation>%1 Steuerzeichen, die XML nicht darstellen kann, wurde(n) weggelassen.</translation>
    </message>
</context>
<context>
    <name>CFavoritesImport</name>
    <message>
        <source>%1: the folder cannot be read.</source>
        <translation>%1: Der Ordner kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>URL file error!</source>
        <translation>Fehler in der URL-Datei!</translation>
    </message>
    <message>
        <source>Text file error!</source>
        <translation>Fehler in der Textdatei!</translation>
    </message>
    <message>
        <source>Select folder</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>Select folder (favorite)</source>
        <translation>Ordner auswählen (Favoriten)</translation>
    </message>
    <message>
        <source>%1
Cannot find this file.
Please verify that the correct path and file name are given.</source>
        <translation>%1
Diese Datei wurde nicht gefunden.
Bitte prüfen Sie, ob Pfad und Dateiname stimmen.</translation>
    </message>
    <message>
        <source>%1 is neither an Internet shortcut (.url) nor a bookmark file (.html, .htm), nor a folder of them.</source>
        <translation>%1 ist weder eine Internetverknüpfung (.url) noch eine Lesezeichendatei (.html, .htm) noch ein Ordner mit solchen Dateien.</translation>
    </message>
    <message>
        <source>%1 nests its elements more than %2 levels deep, which no bookmark file does; it was not imported.</source>
        <translation>%1 verschachtelt seine Elemente tiefer als %2 Ebenen, was keine Lesezeichendatei tut; die Datei wurde nicht importiert.</translation>
    </message>
    <message>
        <source>%1: %2 linked folder(s) lead to folders imported already and were skipped.</source>
        <translation>%1: %2 verknüpfte(r) Ordner führt/führen zu bereits importierten Ordnern und wurde(n) übersprungen.</translation>
    </message>
</context>
<context>
    <name>CFileStamp</name>
    <message>
        <source>%1 kept being changed by another program while it was read.
Nothing was read; try again when it is done.</source>
        <translation>%1 wurde während des Lesens immer wieder von einem anderen Programm geändert.
Es wurde nichts gelesen; versuchen Sie es erneut, wenn der Vorgang beendet ist.</translation>
    </message>
</context>
<context>
    <name>CFindDlg</name>
    <message>
        <source>&amp;Case sensitive</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>This note &amp;only</source>
        <translation>Nur diese &amp;Notiz</translation>
    </message>
    <message>
        <source>Find &amp;next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>Re&amp;place</source>
        <translation>Erse&amp;tzen</translation>
    </message>
    <message>
        <source>Replace &amp;all</source>
        <translation>&amp;Alle ersetzen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen durch</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Find / Replace</source>
        <translation>Suchen / Ersetzen</translation>
    </message>
</context>
<context>
    <name>CFindReplace</name>
    <message>
        <source>1 replacement made.</source>
        <translation>1 Ersetzung vorgenommen.</translation>
    </message>
    <message>
        <source>%1 replacements made.</source>
        <translation>%1 Ersetzungen vorgenommen.</translation>
    </message>
    <message>
        <source>The %1 holds a character that the document&apos;s code page (%2) cannot hold. Nothing was searched or replaced.</source>
        <translation>Der %1 enthält ein Zeichen, das die Codepage des Dokuments (%2) nicht darstellen kann. Es wurde nichts gesucht oder ersetzt.</translation>
    </message>
    <message>
        <source>This is a loop...</source>
        <translation>Das ist eine Schleife ...</translation>
    </message>
    <message>
        <source>%1 more were not made: a note holds at most %2 characters.</source>
        <translation>%1 weitere wurden nicht angelegt: Eine Notiz fasst höchstens %2 Zeichen.</translation>
    </message>
</context>
<context>
    <name>CGoToNotePopup</name>
    <message>
        <source>Go to note</source>
        <translation>Gehe zu Notiz</translation>
    </message>
</context>
<context>
    <name>CGuiPrompter</name>
    <message>
        <source>Select folder</source>
        <translation>Ordner auswählen</translation>
    </message>
</context>
<context>
    <name>CIdleLock</name>
    <message>
        <source>Lock after N minutes without input</source>
        <translation>Nach N Minuten ohne Eingabe sperren</translation>
    </message>
    <message>
        <source>The password is wrong.</source>
        <translation>Das Passwort ist falsch.</translation>
    </message>
    <message>
        <source>The document is locked. Its password shows it again.</source>
        <translation>Das Dokument ist gesperrt. Sein Passwort zeigt es wieder an.</translation>
    </message>
    <message>
        <source>&amp;Unlock...</source>
        <translation>&amp;Entsperren...</translation>
    </message>
</context>
<context>
    <name>CImportCommands</name>
    <message>
        <source>Import notes from a text file</source>
        <translation>Notizen aus einer Textdatei importieren</translation>
    </message>
    <message>
        <source>Import a comma (tab, semicolon) separated value list from a text or csv file</source>
        <translation>Eine durch Komma (Tabulator, Semikolon) getrennte Werteliste aus einer Text- oder CSV-Datei importieren</translation>
    </message>
    <message>
        <source>Import IE Favorites</source>
        <translation>IE-Favoriten importieren</translation>
    </message>
    <message>
        <source>Import a folder of Markdown notes, as other note programs keep them</source>
        <translation>Einen Ordner mit Markdown-Notizen importieren, wie andere Notizprogramme sie ablegen</translation>
    </message>
</context>
<context>
    <name>CImportPlaceDlg</name>
    <message>
        <source>Where place imported notes?</source>
        <translation>Wohin sollen die importierten Notizen?</translation>
    </message>
    <message>
        <source>&amp;Selected folder</source>
        <translation>&amp;Ausgewählter Ordner</translation>
    </message>
    <message>
        <source>As &amp;Root folder</source>
        <translation>Als &amp;Stammordner</translation>
    </message>
    <message>
        <source>&amp;New document</source>
        <translation>&amp;Neues Dokument</translation>
    </message>
</context>
<context>
    <name>CImporter</name>
    <message>
        <source>Text file error!</source>
        <translation>Fehler in der Textdatei!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Text Files (*.txt);;All Files (*.*)</source>
        <translation>Textdateien (*.txt);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Comma Separated Text Files (*.csv);;All Files (*.*)</source>
        <translation>Kommagetrennte Textdateien (*.csv);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Favorites (*.url *.html *.htm);;All Files (*)</source>
        <translation>Favoriten (*.url *.html *.htm);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Import a Markdown folder</source>
        <translation>Einen Markdown-Ordner importieren</translation>
    </message>
</context>
<context>
    <name>CInfoTree</name>
    <message>
        <source>%1 item(s) of this document could not be placed in the tree because their parent links name no item that can be shown. They are not shown, and they are kept in the file when it is saved.</source>
        <translation>%1 Eintrag/Einträge dieses Dokuments konnte(n) nicht in den Baum eingeordnet werden, weil ihr Verweis auf den übergeordneten Eintrag keinen anzeigbaren Eintrag nennt. Sie werden nicht angezeigt und beim Speichern in der Datei behalten.</translation>
    </message>
    <message>
        <source>Not Save: m_new</source>
        <translation>Nicht gespeichert: m_new</translation>
    </message>
    <message>
        <source>The data was not saved!</source>
        <translation>Die Daten wurden nicht gespeichert!</translation>
    </message>
    <message>
        <source>No selection. Select a folder and try again.</source>
        <translation>Keine Auswahl. Wählen Sie einen Ordner aus und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>No selection.</source>
        <translation>Keine Auswahl.</translation>
    </message>
    <message>
        <source>No selection. Try again.</source>
        <translation>Keine Auswahl. Versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>No selection. Select a infotree item and try again.!</source>
        <translation>Keine Auswahl. Wählen Sie einen Eintrag im Baum aus und versuchen Sie es erneut!</translation>
    </message>
    <message>
        <source>No selection. Select a infotree item and try again.</source>
        <translation>Keine Auswahl. Wählen Sie einen Eintrag im Baum aus und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>You did not copied any item yet. Please copy or cut an item to paste.</source>
        <translation>Sie haben noch keinen Eintrag kopiert. Kopieren Sie einen Eintrag oder schneiden Sie ihn aus, um ihn einzufügen.</translation>
    </message>
    <message>
        <source>WARNING! This will delete the selected folder and all subfolders. Do you want to continue?</source>
        <translation>ACHTUNG! Damit werden der ausgewählte Ordner und alle Unterordner gelöscht. Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Left Font Error</source>
        <translation>Fehler bei der Schrift des linken Bereichs</translation>
    </message>
</context>
<context>
    <name>CInputFile</name>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine normale Datei.</translation>
    </message>
    <message>
        <source>%1 is larger than %2 MB.</source>
        <translation>%1 ist größer als %2 MB.</translation>
    </message>
    <message>
        <source>Unable to read from %1, access is denied.</source>
        <translation>%1 kann nicht gelesen werden, der Zugriff wurde verweigert.</translation>
    </message>
</context>
<context>
    <name>CLeftView</name>
    <message>
        <source>Undo	Ctrl+Z</source>
        <translation>Rückgängig	Strg+Z</translation>
    </message>
    <message>
        <source>Add a root folder	Alt+Ins</source>
        <translation>Stammordner hinzufügen	Alt+Einfg</translation>
    </message>
    <message>
        <source>Insert new note	Ins</source>
        <translation>Neue Notiz einfügen	Einfg</translation>
    </message>
    <message>
        <source>Cut	Ctrl+X</source>
        <translation>Ausschneiden	Strg+X</translation>
    </message>
    <message>
        <source>Copy	Ctrl+C</source>
        <translation>Kopieren	Strg+C</translation>
    </message>
    <message>
        <source>Paste into	Ctrl+V</source>
        <translation>Einfügen in	Strg+V</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Expand branch</source>
        <translation>Zweig aufklappen</translation>
    </message>
    <message>
        <source>Expand all </source>
        <translation>Alles aufklappen </translation>
    </message>
    <message>
        <source>Collapse</source>
        <translation>Zuklappen</translation>
    </message>
    <message>
        <source>Delete	Del</source>
        <translation>Löschen	Entf</translation>
    </message>
    <message>
        <source>Paste before	 Alt+V</source>
        <translation>Davor einfügen	 Alt+V</translation>
    </message>
    <message>
        <source>Paste root	 Alt+V</source>
        <translation>Als Stammordner einfügen	 Alt+V</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuell</translation>
    </message>
    <message>
        <source>Alphabetical</source>
        <translation>Alphabetisch</translation>
    </message>
    <message>
        <source>Alphabetical (folder first)</source>
        <translation>Alphabetisch (Ordner zuerst)</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Folders and notes</source>
        <translation>Ordner und Notizen</translation>
    </message>
    <message>
        <source>The tree of folders and notes of the document</source>
        <translation>Der Baum aus Ordnern und Notizen des Dokuments</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>The selected item: its title on the first line, a blank line, then its text</source>
        <translation>Der ausgewählte Eintrag: sein Titel in der ersten Zeile, eine Leerzeile, dann sein Text</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Password protection</source>
        <translation>Passwortschutz</translation>
    </message>
    <message>
        <source>Open this document</source>
        <translation>Dieses Dokument öffnen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Torvi Quillbook Files (*.tqb);;All Files (*.*)</source>
        <translation>Torvi-Quillbook-Dateien (*.tqb);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Select folder</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>The user guide could not be opened. It belongs in the folder &quot;%1&quot;.</source>
        <translation>Die Anleitung konnte nicht geöffnet werden. Sie gehört in den Ordner „%1“.</translation>
    </message>
    <message>
        <source>&amp;New	Ctrl+N</source>
        <translation>&amp;Neu	Strg+N</translation>
    </message>
    <message>
        <source>Create a new document
New</source>
        <translation>Ein neues Dokument anlegen
Neu</translation>
    </message>
    <message>
        <source>&amp;Open...	Ctrl+O</source>
        <translation>Ö&amp;ffnen ...	Strg+O</translation>
    </message>
    <message>
        <source>Open an existing document
Open</source>
        <translation>Ein vorhandenes Dokument öffnen
Öffnen</translation>
    </message>
    <message>
        <source>&amp;Text...</source>
        <translation>&amp;Text ...</translation>
    </message>
    <message>
        <source>&amp;CSV (list)...</source>
        <translation>&amp;CSV (Liste) ...</translation>
    </message>
    <message>
        <source>&amp;Favorites...</source>
        <translation>&amp;Favoriten ...</translation>
    </message>
    <message>
        <source>&amp;Save	Ctrl+S</source>
        <translation>&amp;Speichern	Strg+S</translation>
    </message>
    <message>
        <source>Save the active document
Save</source>
        <translation>Das aktive Dokument speichern
Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter ...</translation>
    </message>
    <message>
        <source>&amp;Lock	Ctrl+Shift+L</source>
        <translation>S&amp;perren	Strg+Umschalt+L</translation>
    </message>
    <message>
        <source>Hide the document until its password is given
Lock</source>
        <translation>Das Dokument verbergen, bis sein Passwort eingegeben wird
Sperren</translation>
    </message>
    <message>
        <source>Save the active document with a new name
Save As</source>
        <translation>Das aktive Dokument unter einem neuen Namen speichern
Speichern unter</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Restore the document from a backup copy
Restore</source>
        <translation>Das Dokument aus einer Sicherungskopie wiederherstellen
Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Print...	Ctrl+P</source>
        <translation>&amp;Drucken ...	Strg+P</translation>
    </message>
    <message>
        <source>Print the note
Print</source>
        <translation>Die Notiz drucken
Drucken</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>Zuletzt geöffnete Datei</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save documents
Exit</source>
        <translation>Das Programm beenden; fragt, ob Dokumente gespeichert werden sollen
Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo	Ctrl+Z</source>
        <translation>&amp;Rückgängig	Strg+Z</translation>
    </message>
    <message>
        <source>Undo the last action
Undo</source>
        <translation>Die letzte Aktion rückgängig machen
Rückgängig</translation>
    </message>
    <message>
        <source>Cu&amp;t	Ctrl+X</source>
        <translation>&amp;Ausschneiden	Strg+X</translation>
    </message>
    <message>
        <source>Cut the selection and put it on the Clipboard
Cut</source>
        <translation>Die Auswahl ausschneiden und in die Zwischenablage legen
Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy	Ctrl+C</source>
        <translation>&amp;Kopieren	Strg+C</translation>
    </message>
    <message>
        <source>Copy the selection and put it on the Clipboard
Copy</source>
        <translation>Die Auswahl kopieren und in die Zwischenablage legen
Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste	Ctrl+V</source>
        <translation>E&amp;infügen	Strg+V</translation>
    </message>
    <message>
        <source>Insert Clipboard contents
Paste</source>
        <translation>Den Inhalt der Zwischenablage einfügen
Einfügen</translation>
    </message>
    <message>
        <source>&amp;Find/Replace 	Ctrl+F</source>
        <translation>&amp;Suchen/Ersetzen 	Strg+F</translation>
    </message>
    <message>
        <source>Find and replace text in the notes
Find</source>
        <translation>Text in den Notizen suchen und ersetzen
Suchen</translation>
    </message>
    <message>
        <source>Reminders list	Ctrl+L</source>
        <translation>Erinnerungsliste	Strg+L</translation>
    </message>
    <message>
        <source>Edit (view) reminders list
Reminders list</source>
        <translation>Die Erinnerungsliste bearbeiten (ansehen)
Erinnerungsliste</translation>
    </message>
    <message>
        <source>Pass&amp;word	 Alt+P</source>
        <translation>Pass&amp;wort	 Alt+P</translation>
    </message>
    <message>
        <source>Set or change the document&apos;s password
Password</source>
        <translation>Das Passwort des Dokuments festlegen oder ändern
Passwort</translation>
    </message>
    <message>
        <source>Add a root folder	Alt+Ins</source>
        <translation>Stammordner hinzufügen	Alt+Einfg</translation>
    </message>
    <message>
        <source>Add a root folder
Root folder</source>
        <translation>Einen Stammordner hinzufügen
Stammordner</translation>
    </message>
    <message>
        <source>Insert new note	Ins</source>
        <translation>Neue Notiz einfügen	Einfg</translation>
    </message>
    <message>
        <source>Insert new note (subFolder)
Note (subfolder)</source>
        <translation>Neue Notiz (Unterordner) einfügen
Notiz (Unterordner)</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Rename the selected item
Rename the selected item</source>
        <translation>Den ausgewählten Eintrag umbenennen
Den ausgewählten Eintrag umbenennen</translation>
    </message>
    <message>
        <source>Expand branch</source>
        <translation>Zweig aufklappen</translation>
    </message>
    <message>
        <source>Expand the selected branch of the tree
Expand the selected branch of the tree</source>
        <translation>Den ausgewählten Zweig des Baums aufklappen
Den ausgewählten Zweig des Baums aufklappen</translation>
    </message>
    <message>
        <source>Expand all </source>
        <translation>Alles aufklappen </translation>
    </message>
    <message>
        <source>Expand all branch of the tree
Expand</source>
        <translation>Alle Zweige des Baums aufklappen
Aufklappen</translation>
    </message>
    <message>
        <source>Collapse</source>
        <translation>Zuklappen</translation>
    </message>
    <message>
        <source>Collapse
Collapse</source>
        <translation>Zuklappen
Zuklappen</translation>
    </message>
    <message>
        <source>Delete	Del</source>
        <translation>Löschen	Entf</translation>
    </message>
    <message>
        <source>Delete the selected folder or note
Delete</source>
        <translation>Den ausgewählten Ordner oder die ausgewählte Notiz löschen
Löschen</translation>
    </message>
    <message>
        <source>Paste before	 Alt+V</source>
        <translation>Davor einfügen	 Alt+V</translation>
    </message>
    <message>
        <source>Paste the copied branch of the tree before the selected folder</source>
        <translation>Den kopierten Zweig des Baums vor dem ausgewählten Ordner einfügen</translation>
    </message>
    <message>
        <source>Select icons</source>
        <translation>Symbole auswählen</translation>
    </message>
    <message>
        <source>Select icons for tree item(s)
Select icons</source>
        <translation>Symbole für Einträge im Baum auswählen
Symbole auswählen</translation>
    </message>
    <message>
        <source>Local sorting type</source>
        <translation>Sortierung im Ordner</translation>
    </message>
    <message>
        <source>Select the notes sorting type (in that folder)
Local sorting type</source>
        <translation>Die Sortierung der Notizen (in diesem Ordner) wählen
Sortierung im Ordner</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuell</translation>
    </message>
    <message>
        <source>Sort folders and notes manually
Sort folders and notes manually</source>
        <translation>Ordner und Notizen von Hand ordnen
Ordner und Notizen von Hand ordnen</translation>
    </message>
    <message>
        <source>Alphabetical</source>
        <translation>Alphabetisch</translation>
    </message>
    <message>
        <source>Sort folders and notes in alphabetical order
Sort folders and notes in alphabetical order </source>
        <translation>Ordner und Notizen alphabetisch sortieren
Ordner und Notizen alphabetisch sortieren </translation>
    </message>
    <message>
        <source>Alphabetical (folder first)</source>
        <translation>Alphabetisch (Ordner zuerst)</translation>
    </message>
    <message>
        <source>Sort folders and notes in alphabetical order (folder first)
Sort folders and notes in alphabetical order (folder first)</source>
        <translation>Ordner und Notizen alphabetisch sortieren (Ordner zuerst)
Ordner und Notizen alphabetisch sortieren (Ordner zuerst)</translation>
    </message>
    <message>
        <source>Reminder</source>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>Set the reminder of the selected note
Reminder</source>
        <translation>Die Erinnerung der ausgewählten Notiz festlegen
Erinnerung</translation>
    </message>
    <message>
        <source>Open	Alt+O</source>
        <translation>Öffnen	Alt+O</translation>
    </message>
    <message>
        <source>Open the selected file or URL
Open URL</source>
        <translation>Die ausgewählte Datei oder URL öffnen
URL öffnen</translation>
    </message>
    <message>
        <source>E-mail	Alt+E</source>
        <translation>E-Mail	Alt+E</translation>
    </message>
    <message>
        <source>Write an e-mail to the selected address
E-mail</source>
        <translation>Eine E-Mail an die ausgewählte Adresse schreiben
E-Mail</translation>
    </message>
    <message>
        <source>Call	Alt+D</source>
        <translation>Anrufen	Alt+D</translation>
    </message>
    <message>
        <source>Call the selected number
Call</source>
        <translation>Die ausgewählte Nummer anrufen
Anrufen</translation>
    </message>
    <message>
        <source>Local link</source>
        <translation>Lokaler Verweis</translation>
    </message>
    <message>
        <source>Insert a link to a local file
Link</source>
        <translation>Einen Verweis auf eine lokale Datei einfügen
Verweis</translation>
    </message>
    <message>
        <source>Password generator</source>
        <translation>Passwortgenerator</translation>
    </message>
    <message>
        <source>Password generator
Password generator</source>
        <translation>Passwortgenerator
Passwortgenerator</translation>
    </message>
    <message>
        <source>Four spaces</source>
        <translation>Vier Leerzeichen</translation>
    </message>
    <message>
        <source>Next pane</source>
        <translation>Nächster Bereich</translation>
    </message>
    <message>
        <source>Switch to the next window pane
Next pane</source>
        <translation>Zum nächsten Fensterbereich wechseln
Nächster Bereich</translation>
    </message>
    <message>
        <source>Previous pane</source>
        <translation>Vorheriger Bereich</translation>
    </message>
    <message>
        <source>Switch back to the previous window pane
Previous pane</source>
        <translation>Zum vorherigen Fensterbereich zurückwechseln
Vorheriger Bereich</translation>
    </message>
    <message>
        <source>Program folder</source>
        <translation>Programmordner</translation>
    </message>
    <message>
        <source>Keep documents in the program&apos;s folder</source>
        <translation>Dokumente im Ordner des Programms ablegen</translation>
    </message>
    <message>
        <source>Other folder</source>
        <translation>Anderer Ordner</translation>
    </message>
    <message>
        <source>Choose the folder for documents</source>
        <translation>Den Ordner für Dokumente wählen</translation>
    </message>
    <message>
        <source>Auto saving</source>
        <translation>Automatisch speichern</translation>
    </message>
    <message>
        <source>Save the document automatically
Auto saving</source>
        <translation>Das Dokument automatisch speichern
Automatisch speichern</translation>
    </message>
    <message>
        <source>Open the file at start</source>
        <translation>Datei beim Start öffnen</translation>
    </message>
    <message>
        <source>Open the last document at start
Open the file at start</source>
        <translation>Das zuletzt benutzte Dokument beim Start öffnen
Datei beim Start öffnen</translation>
    </message>
    <message>
        <source>Backup settings...</source>
        <translation>Sicherungseinstellungen ...</translation>
    </message>
    <message>
        <source>Set up backup copies
Backup settings</source>
        <translation>Sicherungskopien einrichten
Sicherungseinstellungen</translation>
    </message>
    <message>
        <source>Sort folders and notes manually</source>
        <translation>Ordner und Notizen von Hand ordnen</translation>
    </message>
    <message>
        <source>Execute for all folders</source>
        <translation>Auf alle Ordner anwenden</translation>
    </message>
    <message>
        <source>Execute default sorting for all folders
Execute default sorting for all folders</source>
        <translation>Die Standardsortierung auf alle Ordner anwenden
Die Standardsortierung auf alle Ordner anwenden</translation>
    </message>
    <message>
        <source>Icons (default)...</source>
        <translation>Symbole (Standard) ...</translation>
    </message>
    <message>
        <source>Select default icons
Select default icons</source>
        <translation>Standardsymbole auswählen
Standardsymbole auswählen</translation>
    </message>
    <message>
        <source>Right panel</source>
        <translation>Rechter Bereich</translation>
    </message>
    <message>
        <source>Choose the font of the note pane
Right panel font</source>
        <translation>Die Schrift des Notizbereichs wählen
Schrift des rechten Bereichs</translation>
    </message>
    <message>
        <source>Left panel</source>
        <translation>Linker Bereich</translation>
    </message>
    <message>
        <source>Choose the font of the tree pane
Left panel font</source>
        <translation>Die Schrift des Baumbereichs wählen
Schrift des linken Bereichs</translation>
    </message>
    <message>
        <source>&amp;Complete collapse </source>
        <translation>&amp;Vollständig zuklappen </translation>
    </message>
    <message>
        <source>Check mark this option if you want to collapse all branches: otherwise  only root branches will collapse
Collapse type</source>
        <translation>Setzen Sie hier ein Häkchen, wenn alle Zweige zugeklappt werden sollen; sonst werden nur die Stammordner zugeklappt
Art des Zuklappens</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>A double-click opens web addresses</source>
        <translation>Ein Doppelklick öffnet Webadressen</translation>
    </message>
    <message>
        <source>E-Mail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>A double-click writes to e-mail addresses</source>
        <translation>Ein Doppelklick schreibt an E-Mail-Adressen</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>A double-click dials phone numbers</source>
        <translation>Ein Doppelklick wählt Telefonnummern</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>A double-click opens files</source>
        <translation>Ein Doppelklick öffnet Dateien</translation>
    </message>
    <message>
        <source>P&amp;rint Setup...</source>
        <translation>Drucker&amp;einrichtung ...</translation>
    </message>
    <message>
        <source>Change the printer and printing options
Page Setup</source>
        <translation>Den Drucker und die Druckoptionen ändern
Seite einrichten</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Werkzeugleiste</translation>
    </message>
    <message>
        <source>Show or hide the toolbar
Toggle ToolBar</source>
        <translation>Die Werkzeugleiste ein- oder ausblenden
Werkzeugleiste umschalten</translation>
    </message>
    <message>
        <source>Customize toolbar...</source>
        <translation>Werkzeugleiste anpassen ...</translation>
    </message>
    <message>
        <source>Choose the toolbar&apos;s buttons
Customize toolbar</source>
        <translation>Die Schaltflächen der Werkzeugleiste wählen
Werkzeugleiste anpassen</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>&amp;Statusleiste</translation>
    </message>
    <message>
        <source>Show or hide the status bar
Toggle StatusBar</source>
        <translation>Die Statusleiste ein- oder ausblenden
Statusleiste umschalten</translation>
    </message>
    <message>
        <source>Help	F1</source>
        <translation>Hilfe	F1</translation>
    </message>
    <message>
        <source>Open the user guide
Help</source>
        <translation>Die Anleitung öffnen
Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Torvi Quillbook...</source>
        <translation>&amp;Über Torvi Quillbook ...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright
About</source>
        <translation>Programminformationen, Versionsnummer und Urheberrecht anzeigen
Über</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>Da&amp;tei</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>E&amp;instellungen</translation>
    </message>
    <message>
        <source>Default folder</source>
        <translation>Standardordner</translation>
    </message>
    <message>
        <source>Sort (default)</source>
        <translation>Sortierung (Standard)</translation>
    </message>
    <message>
        <source>&amp;Font</source>
        <translation>Sch&amp;rift</translation>
    </message>
    <message>
        <source>DblClick</source>
        <translation>Doppelklick</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Markdown folder...</source>
        <translation>&amp;Markdown-Ordner ...</translation>
    </message>
    <message>
        <source>Export the notes as a folder of Markdown files
Export Markdown</source>
        <translation>Die Notizen als Ordner mit Markdown-Dateien exportieren
Markdown exportieren</translation>
    </message>
    <message>
        <source>&amp;HTML file...</source>
        <translation>&amp;HTML-Datei ...</translation>
    </message>
    <message>
        <source>Export the notes as one web page
Export HTML</source>
        <translation>Die Notizen als eine Webseite exportieren
HTML exportieren</translation>
    </message>
    <message>
        <source>&amp;OPML outline...</source>
        <translation>&amp;OPML-Gliederung ...</translation>
    </message>
    <message>
        <source>Export the notes as an OPML outline
Export OPML</source>
        <translation>Die Notizen als OPML-Gliederung exportieren
OPML exportieren</translation>
    </message>
    <message>
        <source>Search all notes...	Ctrl+Shift+F</source>
        <translation>Alle Notizen durchsuchen ...	Strg+Umschalt+F</translation>
    </message>
    <message>
        <source>List every note that holds a text
Search all notes</source>
        <translation>Jede Notiz auflisten, die einen Text enthält
Alle Notizen durchsuchen</translation>
    </message>
    <message>
        <source>Go to note...	Ctrl+G</source>
        <translation>Gehe zu Notiz ...	Strg+G</translation>
    </message>
    <message>
        <source>Select a note by its title
Go to note</source>
        <translation>Eine Notiz über ihren Titel auswählen
Gehe zu Notiz</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>Sperren</translation>
    </message>
    <message>
        <source>&amp;Lock after N minutes without input (0 = never):</source>
        <translation>Nach N Minuten ohne Eingabe &amp;sperren (0 = nie):</translation>
    </message>
    <message>
        <source>Hide the document after a time without input, until its password is given
Lock</source>
        <translation>Das Dokument nach einer Zeit ohne Eingabe verbergen, bis sein Passwort eingegeben wird
Sperren</translation>
    </message>
</context>
<context>
    <name>CMainToolBar</name>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
</context>
<context>
    <name>CMarkdownExport</name>
    <message>
        <source>Failed to write %1: %2.</source>
        <translation>%1 konnte nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>%1 is not empty. A Markdown folder is written only into an empty folder or a new one.</source>
        <translation>%1 ist nicht leer. Ein Markdown-Ordner wird nur in einen leeren oder neuen Ordner geschrieben.</translation>
    </message>
    <message>
        <source>%1 is a file, not a folder.</source>
        <translation>%1 ist eine Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>The file of the note &quot;%1&quot; would lie deeper than the %2 bytes a path may have. Nothing was exported.</source>
        <translation>Die Datei der Notiz „%1“ läge tiefer als die %2 Bytes, die ein Pfad haben darf. Es wurde nichts exportiert.</translation>
    </message>
</context>
<context>
    <name>CMarkdownImport</name>
    <message>
        <source>%1 hidden file(s) or folder(s)</source>
        <translation>%1 versteckte Datei(en) oder Ordner</translation>
    </message>
    <message>
        <source>%1 file(s) other than .md</source>
        <translation>%1 Datei(en), die keine .md-Dateien sind</translation>
    </message>
    <message>
        <source>%1 link(s) to a folder imported already</source>
        <translation>%1 Verknüpfung(en) zu einem bereits importierten Ordner</translation>
    </message>
    <message>
        <source>Skipped: </source>
        <translation>Übersprungen: </translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>%1: the file cannot be read.</source>
        <translation>%1: Die Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1: the folder cannot be read.</source>
        <translation>%1: Der Ordner kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1: the folder was removed or moved while it was read.</source>
        <translation>%1: Der Ordner wurde beim Lesen entfernt oder verschoben.</translation>
    </message>
    <message>
        <source>%1: the path is too long.</source>
        <translation>%1: Der Pfad ist zu lang.</translation>
    </message>
    <message>
        <source>Nothing was imported: %1 file(s) or folder(s) could not be read.</source>
        <translation>Nichts wurde importiert: %1 Datei(en) oder Ordner konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>... and %1 more.</source>
        <translation>... und %1 weitere.</translation>
    </message>
    <message>
        <source>%1 link(s) leading outside the folder</source>
        <translation>%1 Verknüpfung(en), die aus dem Ordner hinausführen</translation>
    </message>
    <message>
        <source>%1 broken link(s)</source>
        <translation>%1 defekte Verknüpfung(en)</translation>
    </message>
    <message>
        <source>%1 link loop(s)</source>
        <translation>%1 Verknüpfungsschleife(n)</translation>
    </message>
    <message>
        <source>%1 named pipe(s), socket(s) or device(s)</source>
        <translation>%1 benannte Pipe(s), Socket(s) oder Gerät(e)</translation>
    </message>
    <message>
        <source>%1: the folder was changed while it was read.</source>
        <translation>%1: Der Ordner wurde beim Lesen geändert.</translation>
    </message>
</context>
<context>
    <name>COutlineExport</name>
    <message>
        <source>%1 is a folder, not a file.</source>
        <translation>%1 ist ein Ordner, keine Datei.</translation>
    </message>
</context>
<context>
    <name>CNewNoteDlg</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>New note from coppied text</source>
        <translation>Neue Notiz aus kopiertem Text</translation>
    </message>
    <message>
        <source>Select the folder for new note before OK clicking</source>
        <translation>Wählen Sie vor dem Klick auf OK den Ordner für die neue Notiz aus</translation>
    </message>
    <message>
        <source>&amp;Auto title</source>
        <translation>&amp;Titel automatisch</translation>
    </message>
    <message>
        <source>As &amp;root folder</source>
        <translation>Als &amp;Stammordner</translation>
    </message>
    <message>
        <source> Change or remove it, then click OK again.</source>
        <translation> Ändern oder entfernen Sie es und klicken Sie dann erneut auf OK.</translation>
    </message>
    <message>
        <source>Nothing new was selected or copied in the other program; the dialog shows the last capture.</source>
        <translation>Im anderen Programm wurde nichts Neues ausgewählt oder kopiert; der Dialog zeigt die letzte Erfassung.</translation>
    </message>
</context>
<context>
    <name>CPasswordCheck</name>
    <message>
        <source>The password seems to be wrong: the document does not read correctly with it.</source>
        <translation>Das Passwort scheint falsch zu sein: Das Dokument lässt sich damit nicht richtig lesen.</translation>
    </message>
    <message>
        <source>The document was not opened, because it does not read correctly with this password.</source>
        <translation>Das Dokument wurde nicht geöffnet, weil es sich mit diesem Passwort nicht richtig lesen lässt.</translation>
    </message>
</context>
<context>
    <name>CPasswordDlg</name>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>&amp;Visible</source>
        <translation>&amp;Sichtbar</translation>
    </message>
    <message>
        <source>&amp;Reload Document</source>
        <translation>Dokument &amp;neu laden</translation>
    </message>
    <message>
        <source>&amp;Strong encryption (recommended)</source>
        <translation>S&amp;tarke Verschlüsselung (empfohlen)</translation>
    </message>
    <message>
        <source>Only this password opens the notes; older versions cannot read the file.</source>
        <translation>Nur dieses Passwort öffnet die Notizen; ältere Versionen können die Datei nicht lesen.</translation>
    </message>
    <message>
        <source>C&amp;ompatible with older versions (light protection)</source>
        <translation>K&amp;ompatibel mit älteren Versionen (leichter Schutz)</translation>
    </message>
    <message>
        <source>Older versions read the file, but anyone with the file can read the notes.</source>
        <translation>Ältere Versionen lesen die Datei, aber jeder mit der Datei kann die Notizen lesen.</translation>
    </message>
</context>
<context>
    <name>CPasswordGenDlg</name>
    <message>
        <source>&amp;Numbers</source>
        <translation>&amp;Ziffern</translation>
    </message>
    <message>
        <source>&amp;Letters</source>
        <translation>&amp;Buchstaben</translation>
    </message>
    <message>
        <source>&amp;Special symbols</source>
        <translation>&amp;Sonderzeichen</translation>
    </message>
    <message>
        <source>Set &amp;reminder</source>
        <translation>&amp;Erinnerung setzen</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Ne&amp;xt</source>
        <translation>&amp;Nächstes</translation>
    </message>
    <message>
        <source>Symbols &amp;quantity</source>
        <translation>&amp;Anzahl der Zeichen</translation>
    </message>
    <message>
        <source>Symbols quantity</source>
        <translation>Anzahl der Zeichen</translation>
    </message>
    <message>
        <source>Password Generator</source>
        <translation>Passwortgenerator</translation>
    </message>
</context>
<context>
    <name>CPasswordKey</name>
    <message>
        <source>This password contains a character that cannot be used for coding (such as the euro sign or a character of code 128).
Use another password</source>
        <translation>Dieses Passwort enthält ein Zeichen, mit dem nicht verschlüsselt werden kann (etwa das Euro-Zeichen oder ein Zeichen mit dem Code 128).
Verwenden Sie ein anderes Passwort</translation>
    </message>
    <message>
        <source>This password does not code for your document
</source>
        <translation>Dieses Passwort verschlüsselt Ihr Dokument nicht
</translation>
    </message>
    <message>
        <source>
If this a password you have used before, 
you need to change it, since it is not workable. 
However, this time you are allowed to enter 
the document without a password by clicking Cancel.</source>
        <translation>
Wenn Sie dieses Passwort schon früher benutzt haben, 
müssen Sie es ändern, da es nicht funktioniert. 
Diesmal können Sie das Dokument jedoch 
mit einem Klick auf Abbrechen ohne Passwort öffnen.</translation>
    </message>
    <message>
        <source>
Use another password</source>
        <translation>
Verwenden Sie ein anderes Passwort</translation>
    </message>
    <message>
        <source>The password contains characters that cannot be stored in this document&apos;s code page.</source>
        <translation>Das Passwort enthält Zeichen, die in der Codepage dieses Dokuments nicht gespeichert werden können.</translation>
    </message>
</context>
<context>
    <name>CQuickCapture</name>
    <message>
        <source>Quick capture is off: the hot key %1 could not be registered (%2).</source>
        <translation>Schnellerfassung ist aus: Das Tastenkürzel %1 konnte nicht registriert werden (%2).</translation>
    </message>
</context>
<context>
    <name>CReminderDlg</name>
    <message>
        <source>minute</source>
        <translation>Minute</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>Stunde</translation>
    </message>
    <message>
        <source>day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>week</source>
        <translation>Woche</translation>
    </message>
    <message>
        <source>month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Reminder setting</source>
        <translation>Erinnerung einstellen</translation>
    </message>
    <message>
        <source>Remind &amp;from</source>
        <translation>Erinnern &amp;ab</translation>
    </message>
    <message>
        <source>   Remind &amp;till</source>
        <translation>   Erinnern &amp;bis</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Tolerance before or after</source>
        <translation>Spielraum davor oder danach</translation>
    </message>
    <message>
        <source>How much of the tolerance lies before the moment</source>
        <translation>Wie viel des Spielraums vor dem Zeitpunkt liegt</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>&amp;In</source>
        <translation>&amp;In</translation>
    </message>
    <message>
        <source>&amp;Each</source>
        <translation>&amp;Jede(n)</translation>
    </message>
    <message>
        <source>T&amp;olerance</source>
        <translation>&amp;Spielraum</translation>
    </message>
    <message>
        <source>In, unit</source>
        <translation>In, Einheit</translation>
    </message>
    <message>
        <source>Each, unit</source>
        <translation>Jede(n), Einheit</translation>
    </message>
    <message>
        <source>Tolerance, unit</source>
        <translation>Spielraum, Einheit</translation>
    </message>
    <message>
        <source>Repeat &amp;next</source>
        <translation>&amp;Wiederholen nächste(n)</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Davor</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Danach</translation>
    </message>
    <message>
        <source>Initiali&amp;ze</source>
        <translation>&amp;Vorbelegen</translation>
    </message>
</context>
<context>
    <name>CReminderForm</name>
    <message>
        <source>Enter no more than 3 characters.</source>
        <translation>Geben Sie nicht mehr als 3 Zeichen ein.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; needs a whole number of at least 1.</source>
        <translation>„%1“ braucht eine ganze Zahl von mindestens 1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; needs a unit.</source>
        <translation>„%1“ braucht eine Einheit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is too long to be stored: a span can be at most 68 years.</source>
        <translation>„%1“ ist zu lang zum Speichern: Eine Zeitspanne darf höchstens 68 Jahre betragen.</translation>
    </message>
    <message>
        <source>This reminder cannot be stored: its dates must lie between 1902 and 2037.</source>
        <translation>Diese Erinnerung kann nicht gespeichert werden: Ihre Daten müssen zwischen 1902 und 2037 liegen.</translation>
    </message>
</context>
<context>
    <name>CReminderListDlg</name>
    <message>
        <source>from</source>
        <translation>ab</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Reminders list</source>
        <translation>Erinnerungsliste</translation>
    </message>
    <message>
        <source>Reminders</source>
        <translation>Erinnerungen</translation>
    </message>
    <message>
        <source>&amp;Show the note</source>
        <translation>Notiz &amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>CReminderPopupDlg</name>
    <message>
        <source>Reminder</source>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>&amp;Show the note</source>
        <translation>Notiz &amp;zeigen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>CRestoreDlg</name>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Backup files</source>
        <translation>Sicherungsdateien</translation>
    </message>
    <message>
        <source>Backup file</source>
        <translation>Sicherungsdatei</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>CSearchDock</name>
    <message>
        <source>Search</source>
        <translation>Suche</translation>
    </message>
    <message>
        <source>Search all notes</source>
        <translation>Alle Notizen durchsuchen</translation>
    </message>
    <message>
        <source>&amp;Case sensitive</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>&amp;Titles only</source>
        <translation>&amp;Nur Titel</translation>
    </message>
    <message>
        <source>That note is no longer in the tree.</source>
        <translation>Diese Notiz ist nicht mehr im Baum.</translation>
    </message>
</context>
<context>
    <name>CSelectIconsDlg</name>
    <message>
        <source>&amp;Branch</source>
        <translation>&amp;Zweig</translation>
    </message>
    <message>
        <source>Icons</source>
        <translation>Symbole</translation>
    </message>
</context>
<context>
    <name>CTextExport</name>
    <message>
        <source>Text file error!</source>
        <translation>Fehler in der Textdatei!</translation>
    </message>
</context>
<context>
    <name>CToolbarDlg</name>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>separator</source>
        <translation>Trennlinie</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Root</source>
        <translation>Stammordner</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Expand</source>
        <translation>Aufklappen</translation>
    </message>
    <message>
        <source>Collapse</source>
        <translation>Zuklappen</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Icons</source>
        <translation>Symbole</translation>
    </message>
    <message>
        <source>Reminder</source>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>Rem. list</source>
        <translation>Erinn.-Liste</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Open URL</source>
        <translation>URL öffnen</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verweis</translation>
    </message>
    <message>
        <source>Generator</source>
        <translation>Generator</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Customize toolbar</source>
        <translation>Werkzeugleiste anpassen</translation>
    </message>
    <message>
        <source>Restart program for update</source>
        <translation>Starten Sie das Programm neu, damit die Änderung wirkt</translation>
    </message>
</context>
<context>
    <name>CTorviQuillbookApp</name>
    <message>
        <source>The printer &quot;%1&quot; was not found; nothing was printed.</source>
        <translation>Der Drucker „%1“ wurde nicht gefunden; es wurde nichts gedruckt.</translation>
    </message>
    <message>
        <source>There is no printer to print on; nothing was printed.</source>
        <translation>Es gibt keinen Drucker; es wurde nichts gedruckt.</translation>
    </message>
</context>
<context>
    <name>CTorviQuillbookDoc</name>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Keep my version</source>
        <translation>Meine Fassung behalten</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Speichern unter ...</translation>
    </message>
    <message>
        <source>Torvi Quillbook Files (*.tqb);;All Files (*.*)</source>
        <translation>Torvi-Quillbook-Dateien (*.tqb);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <source>Text Files (*.txt);;Torvi Quillbook Files (*.tqb)</source>
        <translation>Textdateien (*.txt);;Torvi-Quillbook-Dateien (*.tqb)</translation>
    </message>
    <message>
        <source>    Password protected  </source>
        <translation>    Passwortgeschützt  </translation>
    </message>
    <message>
        <source> No password protection  </source>
        <translation> Kein Passwortschutz  </translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>%1 has been changed on disk by another program.
Reload it (your unsaved changes are lost), keep your version (the next save writes over the file), or save your version under another name?</source>
        <translation>%1 wurde von einem anderen Programm auf der Festplatte geändert.
Neu laden (Ihre ungespeicherten Änderungen gehen verloren), Ihre Fassung behalten (das nächste Speichern überschreibt die Datei) oder Ihre Fassung unter einem anderen Namen speichern?</translation>
    </message>
    <message>
        <source>%1 was changed on disk and has been read again.</source>
        <translation>%1 wurde auf der Festplatte geändert und neu eingelesen.</translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation>Verschlüsselt</translation>
    </message>
    <message>
        <source>The text file will not be encrypted. Save it anyway?</source>
        <translation>Die Textdatei wird nicht verschlüsselt. Trotzdem speichern?</translation>
    </message>
    <message>
        <source>%1 was changed on disk by another program and cannot be read now:
%2
Your notes stay open here; save them to keep them.</source>
        <translation>%1 wurde von einem anderen Programm auf der Festplatte geändert und kann jetzt nicht gelesen werden:
%2
Ihre Notizen bleiben hier geöffnet; speichern Sie sie, um sie zu behalten.</translation>
    </message>
    <message>
        <source>The changes made since the document was last saved will be lost when it is read again. Read it again?</source>
        <translation>Die Änderungen seit dem letzten Speichern gehen verloren, wenn das Dokument erneut gelesen wird. Erneut lesen?</translation>
    </message>
    <message>
        <source>%1 had other names (hard links) for the same file. The save wrote a new file under this name only: the other names still show the version before this save.</source>
        <translation>%1 hatte weitere Namen (harte Links) für dieselbe Datei. Beim Speichern wurde nur unter diesem Namen eine neue Datei geschrieben: Die anderen Namen zeigen weiterhin die Fassung vor diesem Speichern.</translation>
    </message>
    <message>
        <source>Failed to open document.</source>
        <translation>Das Dokument konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>There is not enough memory to read this document.</source>
        <translation>Es ist nicht genug Arbeitsspeicher vorhanden, um dieses Dokument zu lesen.</translation>
    </message>
</context>
<context>
    <name>CTorviQuillbookView</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Undo 	Ctrl+Z</source>
        <translation>Rückgängig 	Strg+Z</translation>
    </message>
    <message>
        <source>Cut 	Ctrl+X</source>
        <translation>Ausschneiden 	Strg+X</translation>
    </message>
    <message>
        <source>Copy 	Ctrl+C</source>
        <translation>Kopieren 	Strg+C</translation>
    </message>
    <message>
        <source>Paste 	Ctrl+V</source>
        <translation>Einfügen 	Strg+V</translation>
    </message>
    <message>
        <source>Open	Alt+O</source>
        <translation>Öffnen	Alt+O</translation>
    </message>
    <message>
        <source>E-mail	Alt+E</source>
        <translation>E-Mail	Alt+E</translation>
    </message>
    <message>
        <source>Call	Alt+D</source>
        <translation>Anrufen	Alt+D</translation>
    </message>
</context>
<context>
    <name>HelpAndVersion</name>
    <message>
        <source>Torvi Quillbook keeps short texts in a tree of folders and notes inside one document file (.tqb).

  torvi-quillbook [FILE]            open FILE, or the last file or a new document
  torvi-quillbook /p FILE           print the selected note of FILE and end
  torvi-quillbook /pt FILE PRINTER  the same on the printer PRINTER

A program already running takes FILE over and comes to the front.</source>
        <translation>Torvi Quillbook bewahrt kurze Texte in einem Baum aus Ordnern und Notizen in einer Dokumentdatei (.tqb) auf.

  torvi-quillbook [FILE]            FILE öffnen, sonst die letzte Datei oder ein neues Dokument
  torvi-quillbook /p FILE           die ausgewählte Notiz von FILE drucken und enden
  torvi-quillbook /pt FILE PRINTER  dasselbe auf dem Drucker PRINTER

Läuft das Programm schon, übernimmt es FILE und kommt nach vorn.</translation>
    </message>
    <message>
        <source>The document to open (.tqb).</source>
        <translation>Das zu öffnende Dokument (.tqb).</translation>
    </message>
</context>
<context>
    <name>IconRules</name>
    <message>
        <source>Closed root folder</source>
        <translation>Geschlossener Stammordner</translation>
    </message>
    <message>
        <source>Opened root folder</source>
        <translation>Geöffneter Stammordner</translation>
    </message>
    <message>
        <source>Closed subfolder</source>
        <translation>Geschlossener Unterordner</translation>
    </message>
    <message>
        <source>Opened subfolder</source>
        <translation>Geöffneter Unterordner</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Select default icons</source>
        <translation>Standardsymbole auswählen</translation>
    </message>
    <message>
        <source>Select icons</source>
        <translation>Symbole auswählen</translation>
    </message>
    <message>
        <source>As Selected</source>
        <translation>Wie ausgewählt</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>ImportFile</name>
    <message>
        <source>%1: %2 character(s) that the code page %3 cannot hold were imported as &quot;?&quot;.</source>
        <translation>%1: %2 Zeichen, die die Codepage %3 nicht darstellen kann, wurden als „?“ importiert.</translation>
    </message>
    <message>
        <source>%1 and %2 other file(s): %3 character(s) that the code page %4 cannot hold were imported as &quot;?&quot;.</source>
        <translation>%1 und %2 weitere Datei(en): %3 Zeichen, die die Codepage %4 nicht darstellen kann, wurden als „?“ importiert.</translation>
    </message>
</context>
<context>
    <name>LinkActions</name>
    <message>
        <source>Select the pathname to the file (document or program) including extention  or a URL address 
for example,	%1	  or	%2</source>
        <translation>Markieren Sie den Pfad zur Datei (Dokument oder Programm) mit Endung  oder eine URL-Adresse 
zum Beispiel	%1	  oder	%2</translation>
    </message>
    <message>
        <source>Select an e-mail address.
For example: </source>
        <translation>Markieren Sie eine E-Mail-Adresse.
Zum Beispiel: </translation>
    </message>
</context>
<context>
    <name>NoteSearch</name>
    <message>
        <source>1 note matches (%1 ms)</source>
        <translation>1 Notiz passt (%1 ms)</translation>
    </message>
    <message>
        <source>%1 notes match (%2 ms)</source>
        <translation>%1 Notizen passen (%2 ms)</translation>
    </message>
</context>
<context>
    <name>SortRules</name>
    <message>
        <source>Manual</source>
        <translation>Manuell</translation>
    </message>
    <message>
        <source>Alphabetical</source>
        <translation>Alphabetisch</translation>
    </message>
    <message>
        <source>Alphabetical (folder first)</source>
        <translation>Alphabetisch (Ordner zuerst)</translation>
    </message>
</context>
<context>
    <name>links</name>
    <message>
        <source>Select a phone number.</source>
        <translation>Markieren Sie eine Telefonnummer.</translation>
    </message>
    <message>
        <source>Open %1?</source>
        <translation>%1 öffnen?</translation>
    </message>
    <message>
        <source>Run the program %1?</source>
        <translation>Das Programm %1 ausführen?</translation>
    </message>
</context>
<context>
    <name>noteblock</name>
    <message>
        <source>Don&apos;t cut any characters following the title</source>
        <translation>Schneiden Sie keine Zeichen nach dem Titel aus</translation>
    </message>
    <message>
        <source>Don&apos;t paste any characters following the title</source>
        <translation>Fügen Sie keine Zeichen nach dem Titel ein</translation>
    </message>
    <message>
        <source>Only %1 of %2 characters were pasted: a note holds at most %3.</source>
        <translation>Nur %1 von %2 Zeichen wurden eingefügt: Eine Notiz fasst höchstens %3.</translation>
    </message>
</context>
<context>
    <name>notesearch</name>
    <message>
        <source>The code page %1 cannot hold every character of &quot;%2&quot;.</source>
        <translation>Die Codepage %1 kann nicht jedes Zeichen von „%2“ darstellen.</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft ...</translation>
    </message>
</context>
</TS>
