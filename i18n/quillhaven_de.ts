<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>About</name>
    <message>
        <source>Sticky notes that tuck away at the top of the screen.
Copyright © 2026 The Quillhaven developers.
Licence: GNU GPL version 3 or later &lt;https://gnu.org/licenses/gpl.html&gt;.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
</source>
        <translation>Haftnotizen, die oben am Bildschirmrand verschwinden.
Copyright © 2026 Die Quillhaven-Entwickler.
Lizenz: GNU GPL Version 3 oder neuer &lt;https://gnu.org/licenses/gpl.html&gt;.
Dies ist freie Software: Sie dürfen sie ändern und weitergeben.
Es gibt KEINE GARANTIE, soweit gesetzlich zulässig.
</translation>
    </message>
</context>
<context>
    <name>Capture</name>
    <message>
        <source>The screen could not be captured: %1.</source>
        <translation>Der Bildschirm konnte nicht aufgenommen werden: %1.</translation>
    </message>
</context>
<context>
    <name>Colors</name>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Pink</source>
        <translation>Rosa</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Die Version anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Started at login: stay at the top edge without opening the dashboard.</source>
        <translation>Bei der Anmeldung gestartet: am oberen Rand bleiben, ohne die Übersicht zu öffnen.</translation>
    </message>
    <message>
        <source>Let the user select a screen region and write it to &lt;file&gt; as PNG (internal).</source>
        <translation>Einen Bildschirmbereich auswählen lassen und als PNG in &lt;Datei&gt; schreiben (intern).</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Quillhaven: sticky notes that tuck away at the top of the screen.</source>
        <translation>Quillhaven: Haftnotizen, die oben am Bildschirmrand verschwinden.</translation>
    </message>
    <message>
        <source>Show or hide the dashboard of the running copy (starting it if needed).</source>
        <translation>Die Übersicht der laufenden Kopie zeigen oder ausblenden (und sie dafür bei Bedarf starten).</translation>
    </message>
    <message>
        <source>Capture a screen region into a new note.</source>
        <translation>Einen Bildschirmbereich in eine neue Notiz aufnehmen.</translation>
    </message>
    <message>
        <source>Put a new note on the screen.</source>
        <translation>Eine neue Notiz auf den Bildschirm legen.</translation>
    </message>
    <message>
        <source>With --capture-region: select from the desktop&apos;s image in &lt;image&gt; (internal).</source>
        <translation>Mit --capture-region: aus dem Bild des Desktops in &lt;image&gt; auswählen (intern).</translation>
    </message>
    <message>
        <source>image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Export every note as Markdown into the folder &lt;dir&gt;.</source>
        <translation>Alle Notizen als Markdown in den Ordner &lt;Ordner&gt; exportieren.</translation>
    </message>
    <message>
        <source>dir</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>Import every note from &lt;path&gt; (a text or Markdown file, a folder of them, an export), from Xpad with “xpad”, or from KNotes with “knotes”.</source>
        <translation>Alle Notizen aus &lt;Pfad&gt; importieren (eine Text- oder Markdown-Datei, ein Ordner davon, ein Export), mit „xpad“ aus Xpad oder mit „knotes“ aus KNotes.</translation>
    </message>
</context>
<context>
    <name>Dashboard</name>
    <message>
        <source>Add another image</source>
        <translation>Weiteres Bild hinzufügen</translation>
    </message>
    <message>
        <source>All Notes</source>
        <translation>Alle Notizen</translation>
    </message>
    <message>
        <source>On Screen</source>
        <translation>Auf dem Bildschirm</translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation>Angeheftet</translation>
    </message>
    <message>
        <source>Recently Deleted</source>
        <translation>Zuletzt gelöscht</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Sidebar</source>
        <translation>Seitenleiste</translation>
    </message>
    <message>
        <source>New Note</source>
        <translation>Neue Notiz</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>No Note Selected</source>
        <translation>Keine Notiz ausgewählt</translation>
    </message>
    <message>
        <source>Pick a note from the list, or start a new one.</source>
        <translation>Wählen Sie eine Notiz aus der Liste oder beginnen Sie eine neue.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No Notes</source>
        <translation>Keine Notizen</translation>
    </message>
    <message>
        <source>No Results</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <source>Drop to add image</source>
        <translation>Loslassen, um das Bild hinzuzufügen</translation>
    </message>
    <message>
        <source>View full size</source>
        <translation>In voller Größe anzeigen</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Previous 7 Days</source>
        <translation>Letzte 7 Tage</translation>
    </message>
    <message>
        <source>Earlier</source>
        <translation>Früher</translation>
    </message>
    <message>
        <source>On screen</source>
        <translation>Auf dem Bildschirm</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Schlagwörter</translation>
    </message>
    <message>
        <source>%1 color</source>
        <translation>Farbe %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Clear Search</source>
        <translation>Suche löschen</translation>
    </message>
    <message>
        <source>Your notes are not saved: %1. Quillhaven keeps them and keeps trying to write “%2”.</source>
        <translation>Ihre Notizen sind nicht gespeichert: %1. Quillhaven behält sie und versucht weiter, „%2“ zu schreiben.</translation>
    </message>
    <message>
        <source>There is a folder of this name already.</source>
        <translation>Es gibt bereits einen Ordner mit diesem Namen.</translation>
    </message>
    <message>
        <source>New Folder…</source>
        <translation>Neuer Ordner …</translation>
    </message>
    <message>
        <source>Sidebar width</source>
        <translation>Breite der Seitenleiste</translation>
    </message>
    <message>
        <source>List width</source>
        <translation>Breite der Liste</translation>
    </message>
    <message>
        <source>Image %1 of %2</source>
        <translation>Bild %1 von %2</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Export Notes…</source>
        <translation>Notizen exportieren …</translation>
    </message>
    <message>
        <source>Restore from Backup…</source>
        <translation>Aus Sicherung wiederherstellen …</translation>
    </message>
    <message>
        <source>Restore from Backup</source>
        <translation>Aus Sicherung wiederherstellen</translation>
    </message>
    <message>
        <source>Notes deleted since come back into Recently Deleted. Notes changed since stay as they are.</source>
        <translation>Seitdem gelöschte Notizen kommen zurück in „Zuletzt gelöscht“. Seitdem geänderte Notizen bleiben, wie sie sind.</translation>
    </message>
    <message>
        <source>%1 · Notes: %2</source>
        <translation>%1 · Notizen: %2</translation>
    </message>
    <message>
        <source>No backups yet</source>
        <translation>Noch keine Sicherungen</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Import Notes…</source>
        <translation>Notizen importieren …</translation>
    </message>
    <message>
        <source>“%1” moved to Recently Deleted.</source>
        <translation>„%1“ wurde nach „Zuletzt gelöscht“ verschoben.</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Found 1 note from %1. Import it?</source>
        <translation>1 Notiz aus %1 gefunden. Importieren?</translation>
    </message>
    <message>
        <source>Found %1 notes from %2. Import them?</source>
        <translation>%1 Notizen aus %2 gefunden. Importieren?</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Section heading</source>
        <translation>Abschnittsüberschrift</translation>
    </message>
    <message>
        <source>Ctrl+Alt+N and Ctrl+Alt+S work only while a Quillhaven window is active on this desktop.</source>
        <translation>Strg+Alt+N und Strg+Alt+S wirken auf diesem Desktop nur, solange ein Quillhaven-Fenster aktiv ist.</translation>
    </message>
    <message>
        <source>Quillhaven can add them to GNOME&apos;s keyboard settings.</source>
        <translation>Quillhaven kann sie in die Tastatureinstellungen von GNOME eintragen.</translation>
    </message>
    <message>
        <source>Add Shortcuts</source>
        <translation>Tastenkürzel eintragen</translation>
    </message>
    <message>
        <source>To use them everywhere, add these lines to sway&apos;s configuration:</source>
        <translation>Damit sie überall wirken, fügen Sie diese Zeilen in die Konfiguration von sway ein:</translation>
    </message>
    <message>
        <source>To use them everywhere, bind them in the desktop&apos;s keyboard settings to the commands “quillhaven --toggle-dashboard” and “quillhaven --capture”.</source>
        <translation>Damit sie überall wirken, legen Sie sie in den Tastatureinstellungen des Desktops auf die Befehle „quillhaven --toggle-dashboard“ und „quillhaven --capture“.</translation>
    </message>
    <message>
        <source>The shortcuts could not be added to GNOME&apos;s keyboard settings.</source>
        <translation>Die Tastenkürzel konnten nicht in die Tastatureinstellungen von GNOME eingetragen werden.</translation>
    </message>
    <message>
        <source>Ctrl+Alt+N and Ctrl+Alt+S now work everywhere. They are listed in GNOME&apos;s Settings under Keyboard, Custom Shortcuts.</source>
        <translation>Strg+Alt+N und Strg+Alt+S wirken jetzt überall. Sie stehen in den GNOME-Einstellungen unter Tastatur, Eigene Tastenkürzel.</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>The shortcuts were removed again.</source>
        <translation>Die Tastenkürzel wurden wieder entfernt.</translation>
    </message>
    <message>
        <source>The shortcuts could not be removed.</source>
        <translation>Die Tastenkürzel konnten nicht entfernt werden.</translation>
    </message>
    <message>
        <source>%1 of %2 done</source>
        <translation>%1 von %2 erledigt</translation>
    </message>
    <message>
        <source>Reminders</source>
        <translation>Erinnerungen</translation>
    </message>
    <message>
        <source>Coming Up</source>
        <translation>Demnächst</translation>
    </message>
    <message>
        <source>Adding image</source>
        <translation>Bild wird hinzugefügt</translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>Note editor</source>
        <translation>Notizeditor</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Notiztext</translation>
    </message>
    <message>
        <source>Note toolbar</source>
        <translation>Notiz-Werkzeugleiste</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Pin</source>
        <translation>Anheften</translation>
    </message>
    <message>
        <source>Move to Recently Deleted</source>
        <translation>In „Zuletzt gelöscht“ verschieben</translation>
    </message>
    <message>
        <source>Add Image</source>
        <translation>Bild hinzufügen</translation>
    </message>
    <message>
        <source>Add images from your computer (or drop / paste them)</source>
        <translation>Bilder von Ihrem Computer hinzufügen (oder hineinziehen / einfügen)</translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation>Bildschirmfoto</translation>
    </message>
    <message>
        <source>Capture part of the screen into this note</source>
        <translation>Einen Bildschirmausschnitt in diese Notiz aufnehmen</translation>
    </message>
    <message>
        <source>Recently Deleted bar</source>
        <translation>Leiste „Zuletzt gelöscht“</translation>
    </message>
    <message>
        <source>This note is in Recently Deleted.</source>
        <translation>Diese Notiz liegt in „Zuletzt gelöscht“.</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Delete Forever</source>
        <translation>Endgültig löschen</translation>
    </message>
    <message>
        <source>Remove Image</source>
        <translation>Bild entfernen</translation>
    </message>
    <message>
        <source>Unpin</source>
        <translation>Lösen</translation>
    </message>
    <message>
        <source>Tuck into Notch</source>
        <translation>Oben wegstecken</translation>
    </message>
    <message>
        <source>Stick on Screen</source>
        <translation>Auf den Bildschirm heften</translation>
    </message>
</context>
<context>
    <name>Folders</name>
    <message>
        <source>Personal</source>
        <translation>Persönlich</translation>
    </message>
    <message>
        <source>Work</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Ideas</source>
        <translation>Ideen</translation>
    </message>
</context>
<context>
    <name>Launch</name>
    <message>
        <source>Another copy of Quillhaven is using the notes in “%1”.</source>
        <translation>Eine andere Kopie von Quillhaven verwendet die Notizen in „%1“.</translation>
    </message>
    <message>
        <source>It did not answer, so this copy does not start: only one copy may change the notes at a time. Quit the other copy, then start Quillhaven again.</source>
        <translation>Sie hat nicht geantwortet, daher startet diese Kopie nicht: Nur eine Kopie darf die Notizen zur selben Zeit ändern. Beenden Sie die andere Kopie und starten Sie Quillhaven dann erneut.</translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fenster schließen</translation>
    </message>
    <message>
        <source>Quit Quillhaven</source>
        <translation>Quillhaven beenden</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
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
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Notes Folder…</source>
        <translation>Notizordner…</translation>
    </message>
</context>
<context>
    <name>Note</name>
    <message>
        <source>New Note</source>
        <translation>Neue Notiz</translation>
    </message>
    <message>
        <source>No additional text</source>
        <translation>Kein weiterer Text</translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation>Bildschirmfoto</translation>
    </message>
    <message>
        <source>Choose images to add to “%1”</source>
        <translation>Bilder für „%1“ auswählen</translation>
    </message>
    <message>
        <source>Drop to add image</source>
        <translation>Loslassen, um das Bild hinzuzufügen</translation>
    </message>
    <message>
        <source>Click to view full size</source>
        <translation>Klicken für volle Größe</translation>
    </message>
    <message>
        <source>Remove Image</source>
        <translation>Bild entfernen</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Fit to Content</source>
        <translation>An Inhalt anpassen</translation>
    </message>
    <message>
        <source>Unfold</source>
        <translation>Ausklappen</translation>
    </message>
    <message>
        <source>Fold</source>
        <translation>Einklappen</translation>
    </message>
    <message>
        <source>Tuck into Notch</source>
        <translation>Oben wegstecken</translation>
    </message>
    <message>
        <source>Small  180 × 180</source>
        <translation>Klein  180 × 180</translation>
    </message>
    <message>
        <source>Medium  220 × 220</source>
        <translation>Mittel  220 × 220</translation>
    </message>
    <message>
        <source>Large  320 × 360</source>
        <translation>Groß  320 × 360</translation>
    </message>
    <message>
        <source>Images (%1)</source>
        <translation>Bilder (%1)</translation>
    </message>
    <message>
        <source>Too long to edit here: the first %1 of %2 characters are shown. All of it is kept and saved.</source>
        <translation>Zu lang zum Bearbeiten: Gezeigt werden die ersten %1 von %2 Zeichen. Alles bleibt erhalten und wird gespeichert.</translation>
    </message>
    <message>
        <source>Move to Recently Deleted</source>
        <translation>In „Zuletzt gelöscht“ verschieben</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Notiztext</translation>
    </message>
    <message>
        <source>Image %1 of %2</source>
        <translation>Bild %1 von %2</translation>
    </message>
    <message>
        <source>Checklist</source>
        <translation>Checkliste</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Zum Wörterbuch hinzufügen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Fett</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Kursiv</translation>
    </message>
    <message>
        <source>Strikethrough</source>
        <translation>Durchgestrichen</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Heading</source>
        <translation>Überschrift</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Adding image</source>
        <translation>Bild wird hinzugefügt</translation>
    </message>
</context>
<context>
    <name>NotesFolder</name>
    <message>
        <source>Choose the Notes Folder</source>
        <translation>Notizordner wählen</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>es ist kein Ordner</translation>
    </message>
    <message>
        <source>it holds the pictures</source>
        <translation>darin liegen die Bilder</translation>
    </message>
    <message>
        <source>it cannot be written to</source>
        <translation>dort kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Another copy of Quillhaven is using the notes in “%1”. Your notes stay in “%2”.</source>
        <translation>Eine andere Kopie von Quillhaven verwendet die Notizen in „%1“. Ihre Notizen bleiben in „%2“.</translation>
    </message>
    <message>
        <source>“%1” already held notes, so Quillhaven now shows those. The notes you had are still in “%2”: choose that folder again to go back to them.</source>
        <translation>In „%1“ lagen schon Notizen, daher zeigt Quillhaven jetzt diese. Ihre bisherigen Notizen liegen weiter in „%2“: Wählen Sie diesen Ordner wieder, um zu ihnen zurückzukehren.</translation>
    </message>
    <message>
        <source>The notes could not be moved to “%1”: %2. Nothing was changed; they stay in “%3”.</source>
        <translation>Die Notizen konnten nicht nach „%1“ verschoben werden: %2. Nichts wurde geändert; sie bleiben in „%3“.</translation>
    </message>
</context>
<context>
    <name>Pad</name>
    <message>
        <source>All Notes…</source>
        <translation>Alle Notizen…</translation>
    </message>
    <message>
        <source>Bring All Notes Back</source>
        <translation>Alle Notizen zurückholen</translation>
    </message>
    <message>
        <source>Open at Login</source>
        <translation>Bei Anmeldung öffnen</translation>
    </message>
    <message>
        <source>Quit Quillhaven</source>
        <translation>Quillhaven beenden</translation>
    </message>
    <message>
        <source>Paste screenshot as note</source>
        <translation>Bildschirmfoto als Notiz einfügen</translation>
    </message>
    <message>
        <source>From your clipboard</source>
        <translation>Aus Ihrer Zwischenablage</translation>
    </message>
    <message>
        <source>1 Note</source>
        <translation>1 Notiz</translation>
    </message>
    <message>
        <source>%1 Notes</source>
        <translation>%1 Notizen</translation>
    </message>
    <message>
        <source>New Note</source>
        <translation>Neue Notiz</translation>
    </message>
    <message>
        <source>Release to tuck away</source>
        <translation>Loslassen zum Wegstecken</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>Click to open on screen</source>
        <translation>Zum Öffnen klicken</translation>
    </message>
    <message>
        <source>Pull down or click</source>
        <translation>Herunterziehen oder klicken</translation>
    </message>
    <message>
        <source>Notes pad</source>
        <translation>Notizblock</translation>
    </message>
    <message>
        <source>All Notes</source>
        <translation>Alle Notizen</translation>
    </message>
    <message>
        <source>Screenshot to Note (Ctrl+Alt+S)</source>
        <translation>Bildschirmfoto als Notiz (Strg+Alt+S)</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>Ungespeichert</translation>
    </message>
    <message>
        <source>Notes file unreadable</source>
        <translation>Notizdatei unlesbar</translation>
    </message>
    <message>
        <source>1 note recovered</source>
        <translation>1 Notiz gerettet</translation>
    </message>
    <message>
        <source>%1 notes recovered</source>
        <translation>%1 Notizen gerettet</translation>
    </message>
    <message>
        <source>Notes Folder…</source>
        <translation>Notizordner…</translation>
    </message>
</context>
<context>
    <name>Reminder</name>
    <message>
        <source>Later Today</source>
        <translation>Später heute</translation>
    </message>
    <message>
        <source>This Evening</source>
        <translation>Heute Abend</translation>
    </message>
    <message>
        <source>Tomorrow Morning</source>
        <translation>Morgen früh</translation>
    </message>
    <message>
        <source>Next Week</source>
        <translation>Nächste Woche</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <translation>Morgen</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <extracomment>A reminder&apos;s time: the day, then the time of day (&quot;Tomorrow, 09:00&quot;).</extracomment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Choose Date and Time…</source>
        <translation>Datum und Uhrzeit wählen…</translation>
    </message>
    <message>
        <source>Remove Reminder</source>
        <translation>Erinnerung entfernen</translation>
    </message>
    <message>
        <source>Remind Me…</source>
        <translation>Erinnern…</translation>
    </message>
    <message>
        <source>Tuck Until…</source>
        <translation>Wegstecken bis…</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Festlegen</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>Snooze 10 Minutes</source>
        <translation>10 Minuten schlummern</translation>
    </message>
    <message>
        <source>%1 reminders</source>
        <translation>%1 Erinnerungen</translation>
    </message>
</context>
<context>
    <name>Shortcuts</name>
    <message>
        <source>Quillhaven: show or hide the dashboard</source>
        <translation>Quillhaven: Übersicht zeigen oder ausblenden</translation>
    </message>
    <message>
        <source>Quillhaven: capture the screen into a note</source>
        <translation>Quillhaven: Bildschirmfoto in eine Notiz</translation>
    </message>
</context>
<context>
    <name>Spelling</name>
    <message>
        <source>Check Spelling</source>
        <translation>Rechtschreibung prüfen</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The notes file could not be read and no note could be recovered from it; it is kept as “%1”.</source>
        <translation>Die Notizdatei war nicht lesbar, und keine Notiz ließ sich daraus retten; sie ist als „%1“ aufbewahrt.</translation>
    </message>
    <message>
        <source>The notes file was damaged. 1 note could be recovered; the damaged file is kept as “%1”.</source>
        <translation>Die Notizdatei war beschädigt. 1 Notiz wurde gerettet; die beschädigte Datei ist als „%1“ aufbewahrt.</translation>
    </message>
    <message>
        <source>The notes file was damaged. %1 notes could be recovered; the damaged file is kept as “%2”.</source>
        <translation>Die Notizdatei war beschädigt. %1 Notizen wurden gerettet; die beschädigte Datei ist als „%2“ aufbewahrt.</translation>
    </message>
</context>
<context>
    <name>Sync</name>
    <message>
        <source>A note deleted on another computer is kept here: it was changed here since.</source>
        <translation>Eine auf einem anderen Computer gelöschte Notiz bleibt hier erhalten: Sie wurde hier seitdem geändert.</translation>
    </message>
    <message>
        <source>A copy of the notes file could not be read and was left as it is: “%1”.</source>
        <translation>Eine Kopie der Notizdatei war nicht lesbar und bleibt unverändert liegen: „%1“.</translation>
    </message>
    <message>
        <source>The notes file was replaced by one that could not be read; it is kept as “%1”.</source>
        <translation>Die Notizdatei wurde durch eine ersetzt, die nicht lesbar war; diese ist als „%1“ aufbewahrt.</translation>
    </message>
</context>
<context>
    <name>Time</name>
    <message>
        <source>Just now</source>
        <translation>Gerade eben</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Gestern</translation>
    </message>
</context>
<context>
    <name>Transfers</name>
    <message>
        <source>Export Notes To</source>
        <translation>Notizen exportieren nach</translation>
    </message>
    <message>
        <source>Notes exported to “%1”: %2.</source>
        <translation>Nach „%1“ exportierte Notizen: %2.</translation>
    </message>
    <message>
        <source>The notes could not be exported to “%1”: %2</source>
        <translation>Die Notizen konnten nicht nach „%1“ exportiert werden: %2</translation>
    </message>
    <message>
        <source>The backup of %1 could not be read.</source>
        <translation>Die Sicherung vom %1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Restored from the backup of %1. Notes brought back: %2.</source>
        <translation>Aus der Sicherung vom %1 wiederhergestellt. Zurückgeholte Notizen: %2.</translation>
    </message>
    <message>
        <source>Import Notes From</source>
        <translation>Notizen importieren aus</translation>
    </message>
    <message>
        <source>No new notes found in “%1”.</source>
        <translation>Keine neuen Notizen in „%1“ gefunden.</translation>
    </message>
    <message>
        <source>Notes imported from “%1”: %2.</source>
        <translation>Aus „%1“ importierte Notizen: %2.</translation>
    </message>
</context>
<context>
    <name>Viewer</name>
    <message>
        <source>Previous</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>Speichern unter…</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The image could not be saved as “%1”.</source>
        <translation>Das Bild konnte nicht als „%1“ gespeichert werden.</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
</context>
</TS>
