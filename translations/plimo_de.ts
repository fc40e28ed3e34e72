<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CipherPanel</name>
    <message>
        <source>Encrypt</source>
        <translation>Verschlüsseln</translation>
    </message>
    <message>
        <source>Encryption level</source>
        <translation>Verschlüsselungsstufe</translation>
    </message>
    <message>
        <source>Encryption password</source>
        <translation>Verschlüsselungspasswort</translation>
    </message>
    <message>
        <source>Decrypt</source>
        <translation>Entschlüsseln</translation>
    </message>
    <message>
        <source>Decryption level</source>
        <translation>Entschlüsselungsstufe</translation>
    </message>
    <message>
        <source>Decryption password</source>
        <translation>Entschlüsselungspasswort</translation>
    </message>
    <message>
        <source>Pwd:</source>
        <translation>Pwd:</translation>
    </message>
    <message>
        <source>Again:</source>
        <translation>Erneut:</translation>
    </message>
    <message>
        <source>Encryption passphrase again</source>
        <translation>Verschlüsselungspassphrase erneut</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>FindPanel</name>
    <message>
        <source>Match case</source>
        <translation>Groß/klein</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Ganze Wörter</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Zu suchender Text</translation>
    </message>
    <message>
        <source>counting hits…</source>
        <translation>Treffer werden gezählt…</translation>
    </message>
    <message>
        <source>hit %1 of %2</source>
        <translation>Treffer %1 von %2</translation>
    </message>
</context>
<context>
    <name>GoToLinePanel</name>
    <message>
        <source>Line:</source>
        <translation>Zeile:</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Los</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Line number</source>
        <translation>Zeilennummer</translation>
    </message>
    <message>
        <source>of %1</source>
        <translation>von %1</translation>
    </message>
</context>
<context>
    <name>LevelAPwdPanel</name>
    <message>
        <source>Password change can give you more security. Documents that used previous pwd for Level A encryption will not be able to decrypt with changed password.</source>
        <translation>Ein neues Passwort kann Ihnen mehr Sicherheit geben. Dokumente, die mit dem bisherigen Passwort auf Stufe A verschlüsselt wurden, lassen sich mit dem neuen Passwort nicht entschlüsseln.</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>New Level A password</source>
        <translation>Neues Passwort für Stufe A</translation>
    </message>
</context>
<context>
    <name>Plimo</name>
    <message>
        <source> Character </source>
        <translation> Zeichen </translation>
    </message>
    <message>
        <source> of &apos;</source>
        <translation> von „</translation>
    </message>
    <message>
        <source>&apos; needs to be a digit: a Level B code starts with three digits from 000 to 999.</source>
        <translation>“ muss eine Ziffer sein: Ein Code der Stufe B beginnt mit drei Ziffern von 000 bis 999.</translation>
    </message>
    <message>
        <source>first</source>
        <translation>erste</translation>
    </message>
    <message>
        <source>second</source>
        <translation>zweite</translation>
    </message>
    <message>
        <source>third</source>
        <translation>dritte</translation>
    </message>
    <message>
        <source>&apos; has no </source>
        <translation>&apos; hat keine </translation>
    </message>
    <message>
        <source> digit: a Level B code starts with three digits from 000 to 999.</source>
        <translation> Ziffer: Ein Code der Stufe B beginnt mit drei Ziffern von 000 bis 999.</translation>
    </message>
    <message>
        <source>Text was not encrypted: the character </source>
        <translation>Der Text wurde nicht verschlüsselt: Das Zeichen </translation>
    </message>
    <message>
        <source>&quot; (code </source>
        <translation>&quot; (Code </translation>
    </message>
    <message>
        <source>with code </source>
        <translation>mit dem Code </translation>
    </message>
    <message>
        <source> in line </source>
        <translation> in Zeile </translation>
    </message>
    <message>
        <source>, column </source>
        <translation>, Spalte </translation>
    </message>
    <message>
        <source> would not come back when decrypted. Nothing has been changed.</source>
        <translation> käme beim Entschlüsseln nicht zurück. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Good - Level A</source>
        <translation>Gut - Stufe A</translation>
    </message>
    <message>
        <source>Very Good - Level B</source>
        <translation>Sehr gut - Stufe B</translation>
    </message>
    <message>
        <source>Secure - Level C</source>
        <translation>Sicher - Stufe C</translation>
    </message>
    <message>
        <source>Your password will be ignored because you have chosen Level A.</source>
        <translation>Ihr Passwort wird nicht verwendet, weil Sie Stufe A gewählt haben.</translation>
    </message>
    <message>
        <source>Password needs to be of 3 numbers and numbers only.</source>
        <translation>Das Passwort muss aus 3 Ziffern und nur aus Ziffern bestehen.</translation>
    </message>
    <message>
        <source>Password needs to be only numbers from 000 to 999.</source>
        <translation>Das Passwort darf nur aus Ziffern von 000 bis 999 bestehen.</translation>
    </message>
    <message>
        <source>Your password digits need to be from 000 to 999.</source>
        <translation>Die Ziffern Ihres Passworts müssen zwischen 000 und 999 liegen.</translation>
    </message>
    <message>
        <source>Text is too short [A]. Minimum is 8 characters.</source>
        <translation>Der Text ist zu kurz [A]. Mindestens 8 Zeichen.</translation>
    </message>
    <message>
        <source>Text is too short (B). Minimum is 8 characters.</source>
        <translation>Der Text ist zu kurz (B). Mindestens 8 Zeichen.</translation>
    </message>
    <message>
        <source>Text is too short (C). It needs to 8 or more characters long.</source>
        <translation>Der Text ist zu kurz (C). Er muss 8 oder mehr Zeichen lang sein.</translation>
    </message>
    <message>
        <source>Text is too short. Minimum size is 8 characters.</source>
        <translation>Der Text ist zu kurz. Die Mindestlänge ist 8 Zeichen.</translation>
    </message>
    <message>
        <source>Text is too short. Minimum is 8 characters.</source>
        <translation>Der Text ist zu kurz. Mindestens 8 Zeichen.</translation>
    </message>
    <message>
        <source>Sorry, password for Level A was not updated. It needs to be made of letters, numbers and 8 characters together.</source>
        <translation>Das Passwort für Stufe A wurde leider nicht geändert. Es muss aus Buchstaben und Ziffern bestehen und zusammen 8 Zeichen haben.</translation>
    </message>
    <message>
        <source>Password for Level A has been updated!</source>
        <translation>Das Passwort für Stufe A wurde geändert!</translation>
    </message>
    <message>
        <source>Please type a passphrase: it cannot be empty. Nothing has been changed.</source>
        <translation>Bitte geben Sie eine Passphrase ein: Sie darf nicht leer sein. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>This passphrase cannot be used: it may have at most 255 bytes (a character outside ASCII takes two or more) and no NUL character. Nothing has been changed.</source>
        <translation>Diese Passphrase ist nicht verwendbar: Sie darf höchstens 255 Bytes haben (ein Zeichen außerhalb von ASCII braucht zwei oder mehr) und kein NUL-Zeichen. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>The passphrase is wrong: the text was not decrypted. Nothing has been changed.</source>
        <translation>Die Passphrase ist falsch: Der Text wurde nicht entschlüsselt. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>The OpenPGP message is damaged or was altered (its integrity check fails, or it is cut short): it was not decrypted. Nothing has been changed.</source>
        <translation>Die OpenPGP-Nachricht ist beschädigt oder wurde verändert (ihre Integritätsprüfung schlägt fehl, oder sie ist abgeschnitten): Sie wurde nicht entschlüsselt. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>This OpenPGP message was encrypted to a public key, not with a passphrase: only the holder of the secret key can decrypt it, with a program such as gpg. Nothing has been changed.</source>
        <translation>Diese OpenPGP-Nachricht wurde für einen öffentlichen Schlüssel verschlüsselt, nicht mit einer Passphrase: Nur der Inhaber des geheimen Schlüssels kann sie entschlüsseln, mit einem Programm wie gpg. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>This OpenPGP message is not encrypted (it is only stored or signed): there is nothing to decrypt. Nothing has been changed.</source>
        <translation>Diese OpenPGP-Nachricht ist nicht verschlüsselt (sie ist nur gespeichert oder signiert): Es gibt nichts zu entschlüsseln. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>This OpenPGP message is encrypted in a way that is not supported here (an unknown algorithm, or no integrity protection): it was not decrypted. Nothing has been changed.</source>
        <translation>Diese OpenPGP-Nachricht ist auf eine Weise verschlüsselt, die hier nicht unterstützt wird (ein unbekannter Algorithmus oder kein Integritätsschutz): Sie wurde nicht entschlüsselt. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>The text is no OpenPGP message: there is nothing to decrypt. Nothing has been changed.</source>
        <translation>Der Text ist keine OpenPGP-Nachricht: Es gibt nichts zu entschlüsseln. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>The input could not be read to its end.</source>
        <translation>Die Eingabe konnte nicht bis zu ihrem Ende gelesen werden.</translation>
    </message>
    <message>
        <source>The output could not be written.</source>
        <translation>Die Ausgabe konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The OpenPGP library could not complete the command. Nothing has been changed.</source>
        <translation>Die OpenPGP-Bibliothek konnte den Befehl nicht ausführen. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>This passphrase has </source>
        <translation>Diese Passphrase hat </translation>
    </message>
    <message>
        <source> character</source>
        <translation> Zeichen</translation>
    </message>
    <message>
        <source> characters</source>
        <translation> Zeichen</translation>
    </message>
    <message>
        <source> or more are advised, as a shorter one is easier to guess.</source>
        <translation> oder mehr werden empfohlen, denn eine kürzere ist leichter zu erraten.</translation>
    </message>
    <message>
        <source>Strong - OpenPGP</source>
        <translation>Stark - OpenPGP</translation>
    </message>
    <message>
        <source>The two passphrases differ: please type the same passphrase in both boxes. Nothing has been changed.</source>
        <translation>Die beiden Passphrasen unterscheiden sich: Bitte geben Sie in beide Felder dieselbe Passphrase ein. Nichts wurde geändert.</translation>
    </message>
    <message>
        <source> The text is encrypted with it.</source>
        <translation> Der Text ist damit verschlüsselt.</translation>
    </message>
    <message>
        <source>Entered text is too short to encrypt.</source>
        <translation>Der eingegebene Text ist zu kurz zum Verschlüsseln.</translation>
    </message>
    <message>
        <source>Please your password needs to be longer.</source>
        <translation>Ihr Passwort muss bitte länger sein.</translation>
    </message>
    <message>
        <source>Your password needs to be shorter.</source>
        <translation>Ihr Passwort muss kürzer sein.</translation>
    </message>
    <message>
        <source>Entered text is too short to decrypt.</source>
        <translation>Der eingegebene Text ist zu kurz zum Entschlüsseln.</translation>
    </message>
    <message>
        <source>Please your password should be longer.</source>
        <translation>Ihr Passwort sollte bitte länger sein.</translation>
    </message>
    <message>
        <source>&apos; is not a valid integer value.</source>
        <translation>&apos; ist keine gültige ganze Zahl.</translation>
    </message>
    <message>
        <source>Level </source>
        <translation>Stufe </translation>
    </message>
    <message>
        <source> passphrase</source>
        <translation> – Passphrase</translation>
    </message>
    <message>
        <source> code</source>
        <translation> – Code</translation>
    </message>
    <message>
        <source> password</source>
        <translation> – Passwort</translation>
    </message>
    <message>
        <source> again: </source>
        <translation> noch einmal: </translation>
    </message>
    <message>
        <source> exists and was not replaced (--force replaces it)</source>
        <translation> existiert und wurde nicht ersetzt (--force ersetzt sie)</translation>
    </message>
    <message>
        <source>Try &apos;plimo-cipher --help&apos;.</source>
        <translation>Siehe &apos;plimo-cipher --help&apos;.</translation>
    </message>
    <message>
        <source>Level A takes its password from the editor&apos;s settings file; name it with --settings FILE.</source>
        <translation>Stufe A nimmt ihr Passwort aus der Einstellungsdatei des Editors; geben Sie sie mit --settings DATEI an.</translation>
    </message>
    <message>
        <source> needs --password-file FILE: standard input is no terminal to ask on</source>
        <translation> braucht --password-file DATEI: Die Standardeingabe ist kein Terminal, an dem gefragt werden könnte</translation>
    </message>
    <message>
        <source>the two entries differ: nothing was encrypted</source>
        <translation>die beiden Eingaben unterscheiden sich: Nichts wurde verschlüsselt</translation>
    </message>
    <message>
        <source>nothing was typed: nothing was done</source>
        <translation>nichts wurde eingegeben: Nichts wurde getan</translation>
    </message>
    <message>
        <source>Cannot read standard input</source>
        <translation>Die Standardeingabe kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>: another program changed it while it was read; nothing was written</source>
        <translation>: Ein anderes Programm hat sie während des Lesens geändert; nichts wurde geschrieben</translation>
    </message>
    <message>
        <source>Cannot write standard output</source>
        <translation>Die Standardausgabe kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>warning: </source>
        <translation>Warnung: </translation>
    </message>
    <message>
        <source>Usage: plimo-cipher encrypt|decrypt --level A|B|C|P [OPTION...] [FILE...]
Encrypts or decrypts texts with Plimo&apos;s cipher, exactly as the editor does.

With no FILE, the text comes from standard input and the result goes to standard output.
Each FILE is read whole and the result is written beside it under the name the editor gives
it after the command: letter.txt encrypted at Level C becomes letter.txc, and letter.txc
decrypted becomes letter.txt. Line breaks become CR LF, as when the editor opens a file;
Level P keeps every byte as it is.

  --level A|B|C|P       A: the Level A password of the editor&apos;s settings file;
                        B: a three-digit code; C: a password of 6 to 12 characters;
                        P: &quot;Strong - OpenPGP&quot;, a passphrase (12 characters or more are
                        advised): an OpenPGP message that gpg decrypts, written as .asc;
                        decryption reads .asc and .gpg messages, gpg&apos;s too
  --settings FILE       Level A: the settings file to read (default: plimo.dat in the
                        current folder when there is one, else the editor&apos;s own,
                        ${XDG_DATA_HOME:-~/.local/share}/plimo/plimo.dat)
  --password-file FILE  Levels B, C and P: a regular file holding the code, password or
                        passphrase on one line; a line break at its end is not part of it.
                        One that other users may read gets a warning. Without this option
                        it is asked for on the terminal without echo, twice when
                        encrypting.
  --force               replace output files that exist (they are never replaced otherwise),
                        but never through a symbolic link to the file being read
  --help                show this help and exit
  --version             show the version and exit

The code or password is never taken from the command line, where other users can read it.
Text typed at the prompt or held in a password file that is valid UTF-8 becomes
Windows-1252, as in the editor&apos;s password box; any other bytes are taken as they are.
A Level P passphrase is taken as its bytes are (UTF-8 from a terminal), as gpg takes it.

Exit status: 0 when every text was done; 1 when any was refused or failed (the other
files are still done); 2 when the command line cannot be run.

Examples:
  plimo-cipher decrypt --level C letters/*.txc
  printf &apos;Dear Ann,\nsee you at eight.\n&apos; | plimo-cipher encrypt --level A &gt; note.txa
  plimo-cipher decrypt --level B --password-file code.txt &lt; report.txb | head -n 5
  plimo-cipher encrypt --level P --password-file pass.txt report.txt
</source>
        <translation>Aufruf: plimo-cipher encrypt|decrypt --level A|B|C|P [OPTION...] [DATEI...]
Verschlüsselt oder entschlüsselt Texte mit Plimos Verschlüsselung, genau wie der Editor.

Ohne DATEI kommt der Text von der Standardeingabe, und das Ergebnis geht zur Standardausgabe.
Jede DATEI wird ganz gelesen, und das Ergebnis wird daneben unter dem Namen geschrieben, den
der Editor ihr nach dem Befehl gibt: letter.txt, auf Stufe C verschlüsselt, wird zu letter.txc,
und letter.txc, entschlüsselt, wird zu letter.txt. Zeilenumbrüche werden zu CR LF, wie wenn
der Editor eine Datei öffnet; Stufe P lässt jedes Byte, wie es ist.

  --level A|B|C|P       A: das Passwort für Stufe A aus der Einstellungsdatei des Editors;
                        B: ein dreistelliger Code; C: ein Passwort mit 6 bis 12 Zeichen;
                        P: &quot;Strong - OpenPGP&quot;, eine Passphrase (12 Zeichen oder mehr werden
                        empfohlen): eine OpenPGP-Nachricht, die gpg entschlüsselt, als .asc
                        geschrieben; beim Entschlüsseln werden .asc- und .gpg-Nachrichten
                        gelesen, auch die von gpg
  --settings DATEI      Stufe A: die zu lesende Einstellungsdatei (Vorgabe: plimo.dat im
                        aktuellen Ordner, wenn es sie gibt, sonst die des Editors,
                        ${XDG_DATA_HOME:-~/.local/share}/plimo/plimo.dat)
  --password-file DATEI Stufen B, C und P: eine reguläre Datei, die den Code, das Passwort
                        oder die Passphrase in einer Zeile enthält; ein Zeilenumbruch an
                        ihrem Ende gehört nicht dazu. Ist sie für andere Benutzer lesbar,
                        gibt es eine Warnung. Ohne diese Option wird am Terminal ohne Echo
                        danach gefragt, beim Verschlüsseln zweimal.
  --force               vorhandene Ausgabedateien ersetzen (sonst werden sie nie ersetzt),
                        aber nie über einen symbolischen Link auf die gelesene Datei
  --help                diese Hilfe anzeigen und beenden
  --version             die Version anzeigen und beenden

Code oder Passwort werden nie von der Befehlszeile genommen, wo andere Benutzer sie lesen
können. Text, der an der Eingabeaufforderung getippt wird oder in einer Passwortdatei steht
und gültiges UTF-8 ist, wird zu Windows-1252, wie im Passwortfeld des Editors; alle anderen
Bytes werden genommen, wie sie sind. Eine Passphrase der Stufe P wird mit ihren Bytes
genommen, wie sie sind (UTF-8 von einem Terminal), wie gpg sie nimmt.

Rückgabewert: 0, wenn jeder Text erledigt wurde; 1, wenn einer abgelehnt wurde oder
fehlschlug (die übrigen Dateien werden trotzdem erledigt); 2, wenn die Befehlszeile nicht
ausgeführt werden kann.

Beispiele:
  plimo-cipher decrypt --level C letters/*.txc
  printf &apos;Dear Ann,\nsee you at eight.\n&apos; | plimo-cipher encrypt --level A &gt; note.txa
  plimo-cipher decrypt --level B --password-file code.txt &lt; report.txb | head -n 5
  plimo-cipher encrypt --level P --password-file pass.txt report.txt
</translation>
    </message>
    <message>
        <source>unknown level &apos;</source>
        <translation>unbekannte Stufe &apos;</translation>
    </message>
    <message>
        <source>&apos;: use A, B, C or P</source>
        <translation>&apos;: Verwenden Sie A, B, C oder P</translation>
    </message>
    <message>
        <source> is given twice</source>
        <translation> ist zweimal angegeben</translation>
    </message>
    <message>
        <source> needs a value</source>
        <translation> braucht einen Wert</translation>
    </message>
    <message>
        <source>&apos;-&apos; is no file: name no FILE to read standard input</source>
        <translation>&apos;-&apos; ist keine Datei: Geben Sie keine DATEI an, um die Standardeingabe zu lesen</translation>
    </message>
    <message>
        <source>unknown option &apos;</source>
        <translation>unbekannte Option &apos;</translation>
    </message>
    <message>
        <source>no command: encrypt or decrypt</source>
        <translation>kein Befehl: encrypt oder decrypt</translation>
    </message>
    <message>
        <source>unknown command &apos;</source>
        <translation>unbekannter Befehl &apos;</translation>
    </message>
    <message>
        <source>&apos;: use encrypt or decrypt</source>
        <translation>&apos;: Verwenden Sie encrypt oder decrypt</translation>
    </message>
    <message>
        <source>no level: add --level A, B, C or P</source>
        <translation>keine Stufe: Fügen Sie --level A, B, C oder P hinzu</translation>
    </message>
    <message>
        <source>: a password file must be a regular file</source>
        <translation>: Eine Passwortdatei muss eine reguläre Datei sein</translation>
    </message>
    <message>
        <source>warning: other users may read the password file </source>
        <translation>Warnung: Andere Benutzer können die Passwortdatei lesen: </translation>
    </message>
    <message>
        <source> (chmod go-r makes it yours alone)</source>
        <translation> (chmod go-r macht sie zu Ihrer allein)</translation>
    </message>
    <message>
        <source>: it is a link to the file being read, which it would replace</source>
        <translation>: Sie ist ein Link auf die gelesene Datei, die sie ersetzen würde</translation>
    </message>
    <message>
        <source>: it leads through a link another user made in a shared folder</source>
        <translation>: Der Weg führt über einen Link, den ein anderer Benutzer in einem gemeinsamen Ordner angelegt hat</translation>
    </message>
    <message>
        <source>Cannot open file </source>
        <translation>Datei kann nicht geöffnet werden: </translation>
    </message>
    <message>
        <source>Cannot create file </source>
        <translation>Datei kann nicht angelegt werden: </translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>Der Text übersteigt die Kapazität des Textbereichs</translation>
    </message>
    <message>
        <source>Out of memory: the command was not completed.</source>
        <translation>Kein Speicher mehr: Der Befehl wurde nicht ausgeführt.</translation>
    </message>
    <message>
        <source>This may not be standard text. We do not recommend sending it via email and Plimo may not be capable to do so.</source>
        <translation>Dies ist vielleicht kein gewöhnlicher Text. Wir raten davon ab, ihn per E-Mail zu senden, und Plimo kann es möglicherweise nicht.</translation>
    </message>
    <message>
        <source>The text to email is too short. Consider updating it.</source>
        <translation>Der zu sendende Text ist zu kurz. Erwägen Sie, ihn zu ergänzen.</translation>
    </message>
    <message>
        <source>LF and CR</source>
        <translation>LF und CR</translation>
    </message>
    <message>
        <source>Line breaks were </source>
        <translation>Zeilenumbrüche waren </translation>
    </message>
    <message>
        <source>: Save writes CR LF</source>
        <translation>: Speichern schreibt CR LF</translation>
    </message>
    <message>
        <source>This file looks like UTF-8: letters beyond A-Z show as two or three symbols and are saved unchanged</source>
        <translation>Diese Datei sieht nach UTF-8 aus: Buchstaben jenseits von A-Z erscheinen als zwei oder drei Zeichen und werden unverändert gespeichert</translation>
    </message>
    <message>
        <source>, and Plimo keeps private files only in a folder of your own: </source>
        <translation>, und Plimo legt private Dateien nur in einem eigenen Ordner ab: </translation>
    </message>
    <message>
        <source>the folder </source>
        <translation>der Ordner </translation>
    </message>
    <message>
        <source>there is no folder for private files: neither XDG_DATA_HOME nor HOME names one</source>
        <translation>es gibt keinen Ordner für private Dateien: Weder XDG_DATA_HOME noch HOME nennt einen</translation>
    </message>
    <message>
        <source> cannot be made (</source>
        <translation> kann nicht angelegt werden (</translation>
    </message>
    <message>
        <source>make it with mode 700, or name another folder</source>
        <translation>legen Sie ihn mit Modus 700 an, oder nennen Sie einen anderen Ordner</translation>
    </message>
    <message>
        <source> is a link another user made</source>
        <translation> ist ein Link, den ein anderer Benutzer angelegt hat</translation>
    </message>
    <message>
        <source>remove the link (rm </source>
        <translation>entfernen Sie den Link (rm </translation>
    </message>
    <message>
        <source> cannot be opened as a folder</source>
        <translation> kann nicht als Ordner geöffnet werden</translation>
    </message>
    <message>
        <source>remove or rename what has its name</source>
        <translation>entfernen oder benennen Sie um, was seinen Namen trägt</translation>
    </message>
    <message>
        <source> belongs to another user</source>
        <translation> gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>have it removed (its owner or root can), or name another folder</source>
        <translation>lassen Sie ihn entfernen (sein Besitzer oder root kann es), oder nennen Sie einen anderen Ordner</translation>
    </message>
    <message>
        <source> can be written by other users</source>
        <translation> kann von anderen Benutzern beschrieben werden</translation>
    </message>
    <message>
        <source>use a folder of your own</source>
        <translation>verwenden Sie einen eigenen Ordner</translation>
    </message>
    <message>
        <source>make it yours alone (chmod go-w </source>
        <translation>machen Sie ihn zu Ihrem allein (chmod go-w </translation>
    </message>
    <message>
        <source>: another program is saving this file</source>
        <translation>: Ein anderes Programm speichert gerade diese Datei</translation>
    </message>
    <message>
        <source>. Its previous content is kept in </source>
        <translation>. Ihr bisheriger Inhalt ist aufbewahrt in </translation>
    </message>
    <message>
        <source>The file is left as it is: settings changed in this run are not saved, and Level A uses the factory password until the file can be read.</source>
        <translation>Die Datei bleibt, wie sie ist: In diesem Lauf geänderte Einstellungen werden nicht gespeichert, und Stufe A verwendet das Werkspasswort, bis die Datei gelesen werden kann.</translation>
    </message>
    <message>
        <source>Settings are not saved: the settings file </source>
        <translation>Die Einstellungen werden nicht gespeichert: Die Einstellungsdatei </translation>
    </message>
    <message>
        <source> could not be read at start-up and is left as it is.</source>
        <translation> konnte beim Start nicht gelesen werden und bleibt, wie sie ist.</translation>
    </message>
    <message>
        <source>it is larger than 1 MiB, far more than settings take</source>
        <translation>sie ist größer als 1 MiB, weit mehr als Einstellungen brauchen</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>sie ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>: it is far too large</source>
        <translation>: Sie ist viel zu groß</translation>
    </message>
    <message>
        <source>: neither XDG_CONFIG_HOME nor HOME names a folder for it</source>
        <translation>: Weder XDG_CONFIG_HOME noch HOME nennt einen Ordner dafür</translation>
    </message>
    <message>
        <source>unknown option </source>
        <translation>unbekannte Option </translation>
    </message>
    <message>
        <source>only one file can be opened</source>
        <translation>nur eine Datei kann geöffnet werden</translation>
    </message>
    <message>
        <source>the file name is empty</source>
        <translation>der Dateiname ist leer</translation>
    </message>
    <message>
        <source>Usage: plimo [FILE]
Plimo Text Editor: edit plain 8-bit (Windows-1252) text and encrypt it at Level A,
B or C.

  FILE          open this file at start, as File &gt; Open does
  -h, --help    print this help and exit
  --version     print the version and exit
  --            the next argument is the file, even if it starts with &quot;-&quot;
</source>
        <translation>Aufruf: plimo [DATEI]
Plimo Text Editor: einfachen 8-Bit-Text (Windows-1252) bearbeiten und ihn auf Stufe A,
B oder C verschlüsseln.

  DATEI         diese Datei beim Start öffnen, wie Datei &gt; Öffnen
  -h, --help    diese Hilfe ausgeben und beenden
  --version     die Version ausgeben und beenden
  --            das nächste Argument ist die Datei, auch wenn es mit &quot;-&quot; beginnt
</translation>
    </message>
    <message>
        <source>File opening was cancelled!</source>
        <translation>Das Öffnen der Datei wurde abgebrochen!</translation>
    </message>
    <message>
        <source>Saving the file was stopped.</source>
        <translation>Das Speichern der Datei wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Sorry, we could not save this document, it is empty. Please try Save As.</source>
        <translation>Dieses Dokument konnte leider nicht gespeichert werden, es ist leer. Bitte versuchen Sie „Speichern unter“.</translation>
    </message>
    <message>
        <source>Do you wish to start a new document? The current is not empty! Are you sure?</source>
        <translation>Möchten Sie ein neues Dokument beginnen? Das aktuelle ist nicht leer! Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Closing this file - are you sure?</source>
        <translation>Diese Datei schließen - sind Sie sicher?</translation>
    </message>
    <message>
        <source>The file </source>
        <translation>Die Datei </translation>
    </message>
    <message>
        <source> was changed by another program since it was opened. Overwrite it?</source>
        <translation> wurde seit dem Öffnen von einem anderen Programm geändert. Überschreiben?</translation>
    </message>
    <message>
        <source>The text has changes that are not saved. Exit anyway?</source>
        <translation>Der Text hat ungespeicherte Änderungen. Trotzdem beenden?</translation>
    </message>
    <message>
        <source>The text has changes that are not saved. Open </source>
        <translation>Der Text hat ungespeicherte Änderungen. Trotzdem </translation>
    </message>
    <message>
        <source> anyway?</source>
        <translation> öffnen?</translation>
    </message>
    <message>
        <source>Text|*.txt|Encypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg</source>
        <translation>Text|*.txt|Verschlüsselt A|*.txa|Verschlüsselt B|*.txb|Verschlüsselt C|*.txc|OpenPGP-Nachricht|*.asc *.gpg</translation>
    </message>
    <message>
        <source>Text file|*.txt|Encrypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg</source>
        <translation>Textdatei|*.txt|Verschlüsselt A|*.txa|Verschlüsselt B|*.txb|Verschlüsselt C|*.txc|OpenPGP-Nachricht|*.asc *.gpg</translation>
    </message>
    <message>
        <source>Save your file</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>the folder is missing</source>
        <translation>der Ordner fehlt</translation>
    </message>
    <message>
        <source>the text would exceed memo capacity</source>
        <translation>der Text würde die Kapazität des Memos überschreiten</translation>
    </message>
    <message>
        <source> was changed after the unsaved text was recorded</source>
        <translation> wurde geändert, nachdem der ungespeicherte Text aufgezeichnet wurde</translation>
    </message>
    <message>
        <source>the recovery file is damaged (</source>
        <translation>die Wiederherstellungsdatei ist beschädigt (</translation>
    </message>
    <message>
        <source>a record is too short</source>
        <translation>ein Eintrag ist zu kurz</translation>
    </message>
    <message>
        <source>a name runs past its record</source>
        <translation>ein Name reicht über seinen Eintrag hinaus</translation>
    </message>
    <message>
        <source>a record is too long</source>
        <translation>ein Eintrag ist zu lang</translation>
    </message>
    <message>
        <source>a record does not match its check sum</source>
        <translation>ein Eintrag passt nicht zu seiner Prüfsumme</translation>
    </message>
    <message>
        <source>it is not a recovery file of this version of Plimo</source>
        <translation>sie ist keine Wiederherstellungsdatei dieser Version von Plimo</translation>
    </message>
    <message>
        <source>its start is missing or repeated</source>
        <translation>ihr Anfang fehlt oder ist doppelt</translation>
    </message>
    <message>
        <source>a flag is neither yes nor no</source>
        <translation>ein Merkmal ist weder ja noch nein</translation>
    </message>
    <message>
        <source>a record of an unknown kind</source>
        <translation>ein Eintrag unbekannter Art</translation>
    </message>
    <message>
        <source>it holds no complete change</source>
        <translation>sie enthält keine vollständige Änderung</translation>
    </message>
    <message>
        <source>an edit lies outside the text</source>
        <translation>eine Änderung liegt außerhalb des Textes</translation>
    </message>
    <message>
        <source>the text&apos;s size does not match</source>
        <translation>die Größe des Textes stimmt nicht</translation>
    </message>
    <message>
        <source>there is not enough memory to rebuild the text</source>
        <translation>es ist nicht genug Speicher frei, um den Text wiederherzustellen</translation>
    </message>
    <message>
        <source>Cannot print: </source>
        <translation>Drucken nicht möglich: </translation>
    </message>
    <message>
        <source>the folder cannot be written</source>
        <translation>in den Ordner kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the printer did not start</source>
        <translation>der Drucker hat nicht begonnen</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>sie kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>a page could not be started</source>
        <translation>eine Seite konnte nicht begonnen werden</translation>
    </message>
    <message>
        <source>it could not be finished</source>
        <translation>sie konnte nicht abgeschlossen werden</translation>
    </message>
    <message>
        <source>it could not take its name</source>
        <translation>sie konnte ihren Namen nicht erhalten</translation>
    </message>
</context>
<context>
    <name>PrintJob</name>
    <message>
        <source>Counting pages...</source>
        <translation>Seiten werden gezählt...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Printing page %1 of %2...</source>
        <translation>Seite %1 von %2 wird gedruckt...</translation>
    </message>
</context>
<context>
    <name>PrintPreview</name>
    <message>
        <source>Print Preview</source>
        <translation>Druckvorschau</translation>
    </message>
    <message>
        <source>&amp;Previous Page</source>
        <translation>&amp;Vorherige Seite</translation>
    </message>
    <message>
        <source>&amp;Next Page</source>
        <translation>&amp;Nächste Seite</translation>
    </message>
    <message>
        <source>P&amp;rint...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>QtDesktop</name>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
</context>
<context>
    <name>ReplacePanel</name>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Text to replace</source>
        <translation>Zu ersetzender Text</translation>
    </message>
    <message>
        <source>Replacement</source>
        <translation>Ersatz</translation>
    </message>
</context>
<context>
    <name>TextPages</name>
    <message>
        <source>page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>TextView</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
</context>
<context>
    <name>TfAbout</name>
    <message>
        <source>Plimo - About</source>
        <translation>Plimo - Über</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>TfC</name>
    <message>
        <source>size - </source>
        <translation>Größe - </translation>
    </message>
    <message>
        <source>Recent files are not kept: </source>
        <translation>Zuletzt geöffnete Dateien werden nicht gespeichert: </translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Ln %1, Col %2</source>
        <translation>Z %1, Sp %2</translation>
    </message>
    <message>
        <source>F&amp;ile</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Recent &amp;Files</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Clear List</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Sa&amp;ve As</source>
        <translation>Speichern &amp;unter</translation>
    </message>
    <message>
        <source>C&amp;lose File</source>
        <translation>Datei s&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Quick Email</source>
        <translation>Schnelle &amp;E-Mail</translation>
    </message>
    <message>
        <source>&amp;Encrypt</source>
        <translation>&amp;Verschlüsseln</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>En&amp;tschlüsseln</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>C&amp;ut</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>&amp;Rückwärts suchen</translation>
    </message>
    <message>
        <source>&amp;Go to Line</source>
        <translation>&amp;Gehe zu Zeile</translation>
    </message>
    <message>
        <source>Sett&amp;ings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>Selec&amp;t Font	Ctrl+T</source>
        <translation>Schrif&amp;t wählen	Ctrl+T</translation>
    </message>
    <message>
        <source>&amp;Type Size</source>
        <translation>Schrift&amp;größe</translation>
    </message>
    <message>
        <source>Level A &amp;Pwd</source>
        <translation>&amp;Passwort Stufe A</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Reset &amp;Zoom</source>
        <translation>&amp;Zoom zurücksetzen</translation>
    </message>
    <message>
        <source>Hel&amp;p</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Korvex Web Site</source>
        <translation>Korvex-Website</translation>
    </message>
    <message>
        <source>Korvex Support Email</source>
        <translation>E-Mail an den Korvex-Support</translation>
    </message>
    <message>
        <source>Korvex Sales Email</source>
        <translation>E-Mail an den Korvex-Vertrieb</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Saving %1 was interrupted. Its previous content is kept in %2.</source>
        <translation>Das Speichern von %1 wurde unterbrochen. Der bisherige Inhalt ist in %2 aufbewahrt.</translation>
    </message>
    <message>
        <source>About </source>
        <translation>Über </translation>
    </message>
    <message>
        <source> (%1 selected)</source>
        <translation> (%1 ausgewählt)</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Print Previe&amp;w</source>
        <translation>Druckvorsc&amp;hau</translation>
    </message>
    <message>
        <source>Line &amp;Numbers</source>
        <translation>Zeilen&amp;nummern</translation>
    </message>
    <message>
        <source>&amp;Keep Recovery Copies</source>
        <translation>&amp;Wiederherstellungskopien behalten</translation>
    </message>
    <message>
        <source>Recovery copies are off for this run: </source>
        <translation>Wiederherstellungskopien sind für diesen Lauf aus: </translation>
    </message>
    <message>
        <source>The unsaved text could not be restored, and is kept in %1: </source>
        <translation>Der ungespeicherte Text konnte nicht wiederhergestellt werden und bleibt in %1: </translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>sie kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Plimo was not closed properly. Restore the unsaved text of %1 (last change %2)?</source>
        <translation>Plimo wurde nicht ordnungsgemäß beendet. Den ungespeicherten Text von %1 wiederherstellen (letzte Änderung %2)?</translation>
    </message>
</context>
<context>
    <name>TfHelpPas</name>
    <message>
        <source>Plimo - Help</source>
        <translation>Plimo - Hilfe</translation>
    </message>
    <message>
        <source>Visit Plimo Help pages online</source>
        <translation>Plimo-Hilfeseiten online besuchen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>TfNote</name>
    <message>
        <source>Plimo - Note</source>
        <translation>Plimo - Hinweis</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>TypePanel</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Type size</source>
        <translation>Schriftgröße</translation>
    </message>
    <message>
        <source>Typeface</source>
        <translation>Schriftart</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
</context>
</TS>
