<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>About</name>
    <message>
        <source>Sticky notes that tuck away at the top of the screen.
Copyright © 2026 The Quillhaven developers.
Licence: GNU GPL version 3 or later &lt;https://gnu.org/licenses/gpl.html&gt;.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Capture</name>
    <message>
        <source>The screen could not be captured: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Colors</name>
    <message>
        <source>Yellow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pink</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Green</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Started at login: stay at the top edge without opening the dashboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Let the user select a screen region and write it to &lt;file&gt; as PNG (internal).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillhaven: sticky notes that tuck away at the top of the screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show or hide the dashboard of the running copy (starting it if needed).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capture a screen region into a new note.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put a new note on the screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --capture-region: select from the desktop&apos;s image in &lt;image&gt; (internal).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export every note as Markdown into the folder &lt;dir&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dir</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import every note from &lt;path&gt; (a text or Markdown file, a folder of them, an export), from Xpad with “xpad”, or from KNotes with “knotes”.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dashboard</name>
    <message>
        <source>Add another image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recently Deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sidebar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Note Selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pick a note from the list, or start a new one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Results</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop to add image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View full size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous 7 Days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Earlier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tags</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear Search</source>
        <translation></translation>
    </message>
    <message>
        <source>Your notes are not saved: %1. Quillhaven keeps them and keeps trying to write “%2”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is a folder of this name already.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sidebar width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Notes…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore from Backup…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore from Backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes deleted since come back into Recently Deleted. Notes changed since stay as they are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · Notes: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No backups yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Notes…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” moved to Recently Deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found 1 note from %1. Import it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found %1 notes from %2. Import them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Section heading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Alt+N and Ctrl+Alt+S work only while a Quillhaven window is active on this desktop.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillhaven can add them to GNOME&apos;s keyboard settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To use them everywhere, add these lines to sway&apos;s configuration:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To use them everywhere, bind them in the desktop&apos;s keyboard settings to the commands “quillhaven --toggle-dashboard” and “quillhaven --capture”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The shortcuts could not be added to GNOME&apos;s keyboard settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Alt+N and Ctrl+Alt+S now work everywhere. They are listed in GNOME&apos;s Settings under Keyboard, Custom Shortcuts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The shortcuts were removed again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The shortcuts could not be removed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reminders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coming Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adding image</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>Note editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move to Recently Deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add images from your computer (or drop / paste them)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capture part of the screen into this note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recently Deleted bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This note is in Recently Deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Forever</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unpin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tuck into Notch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stick on Screen</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Folders</name>
    <message>
        <source>Personal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ideas</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Launch</name>
    <message>
        <source>Another copy of Quillhaven is using the notes in “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It did not answer, so this copy does not start: only one copy may change the notes at a time. Quit the other copy, then start Quillhaven again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Quillhaven</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes Folder…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Note</name>
    <message>
        <source>New Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No additional text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose images to add to “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop to add image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to view full size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit to Content</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unfold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tuck into Notch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Small  180 × 180</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Medium  220 × 220</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Large  320 × 360</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Images (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too long to edit here: the first %1 of %2 characters are shown. All of it is kept and saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move to Recently Deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checklist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation></translation>
    </message>
    <message>
        <source>Bold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Italic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Strikethrough</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Heading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adding image</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NotesFolder</name>
    <message>
        <source>Choose the Notes Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it holds the pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it cannot be written to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another copy of Quillhaven is using the notes in “%1”. Your notes stay in “%2”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” already held notes, so Quillhaven now shows those. The notes you had are still in “%2”: choose that folder again to go back to them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The notes could not be moved to “%1”: %2. Nothing was changed; they stay in “%3”.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Pad</name>
    <message>
        <source>All Notes…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bring All Notes Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open at Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Quillhaven</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste screenshot as note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From your clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Release to tuck away</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click to open on screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pull down or click</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes pad</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Screenshot to Note (Ctrl+Alt+S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation></translation>
    </message>
    <message>
        <source>Notes file unreadable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 note recovered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 notes recovered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes Folder…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Reminder</name>
    <message>
        <source>Later Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This Evening</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tomorrow Morning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <extracomment>A reminder&apos;s time: the day, then the time of day (&quot;Tomorrow, 09:00&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Date and Time…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Reminder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remind Me…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tuck Until…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Snooze 10 Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 reminders</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Shortcuts</name>
    <message>
        <source>Quillhaven: show or hide the dashboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillhaven: capture the screen into a note</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Spelling</name>
    <message>
        <source>Check Spelling</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The notes file could not be read and no note could be recovered from it; it is kept as “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The notes file was damaged. 1 note could be recovered; the damaged file is kept as “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The notes file was damaged. %1 notes could be recovered; the damaged file is kept as “%2”.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Sync</name>
    <message>
        <source>A note deleted on another computer is kept here: it was changed here since.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A copy of the notes file could not be read and was left as it is: “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The notes file was replaced by one that could not be read; it is kept as “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Time</name>
    <message>
        <source>Just now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Transfers</name>
    <message>
        <source>Export Notes To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes exported to “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The notes could not be exported to “%1”: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The backup of %1 could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restored from the backup of %1. Notes brought back: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Notes From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No new notes found in “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes imported from “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Viewer</name>
    <message>
        <source>Previous</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The image could not be saved as “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
