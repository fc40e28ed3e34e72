<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CipherPanel</name>
    <message>
        <source>Encrypt</source>
        <translation>Chiffrer</translation>
    </message>
    <message>
        <source>Encryption level</source>
        <translation>Niveau de chiffrement</translation>
    </message>
    <message>
        <source>Encryption password</source>
        <translation>Mot de passe de chiffrement</translation>
    </message>
    <message>
        <source>Decrypt</source>
        <translation>Déchiffrer</translation>
    </message>
    <message>
        <source>Decryption level</source>
        <translation>Niveau de déchiffrement</translation>
    </message>
    <message>
        <source>Decryption password</source>
        <translation>Mot de passe de déchiffrement</translation>
    </message>
    <message>
        <source>Pwd:</source>
        <translation>Mdp :</translation>
    </message>
    <message>
        <source>Again:</source>
        <translation>Encore :</translation>
    </message>
    <message>
        <source>Encryption passphrase again</source>
        <translation>Phrase secrète de chiffrement, encore</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>FindPanel</name>
    <message>
        <source>Match case</source>
        <translation>Casse exacte</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Mots entiers</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Chercher</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Texte à chercher</translation>
    </message>
    <message>
        <source>counting hits…</source>
        <translation>comptage des occurrences…</translation>
    </message>
    <message>
        <source>hit %1 of %2</source>
        <translation>occurrence %1 sur %2</translation>
    </message>
</context>
<context>
    <name>GoToLinePanel</name>
    <message>
        <source>Line:</source>
        <translation>Ligne :</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Aller</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Line number</source>
        <translation>Numéro de ligne</translation>
    </message>
    <message>
        <source>of %1</source>
        <translation>sur %1</translation>
    </message>
</context>
<context>
    <name>LevelAPwdPanel</name>
    <message>
        <source>Password change can give you more security. Documents that used previous pwd for Level A encryption will not be able to decrypt with changed password.</source>
        <translation>Changer de mot de passe peut vous donner plus de sécurité. Les documents chiffrés au niveau A avec l’ancien mot de passe ne pourront pas être déchiffrés avec le nouveau.</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>New Level A password</source>
        <translation>Nouveau mot de passe du niveau A</translation>
    </message>
</context>
<context>
    <name>Plimo</name>
    <message>
        <source> Character </source>
        <translation> Le caractère </translation>
    </message>
    <message>
        <source> of &apos;</source>
        <translation> de « </translation>
    </message>
    <message>
        <source>&apos; needs to be a digit: a Level B code starts with three digits from 000 to 999.</source>
        <translation> » doit être un chiffre : un code du niveau B commence par trois chiffres de 000 à 999.</translation>
    </message>
    <message>
        <source>first</source>
        <translation>premier</translation>
    </message>
    <message>
        <source>second</source>
        <translation>deuxième</translation>
    </message>
    <message>
        <source>third</source>
        <translation>troisième</translation>
    </message>
    <message>
        <source>&apos; has no </source>
        <translation>&apos; n’a pas de </translation>
    </message>
    <message>
        <source> digit: a Level B code starts with three digits from 000 to 999.</source>
        <translation> chiffre : un code du niveau B commence par trois chiffres de 000 à 999.</translation>
    </message>
    <message>
        <source>Text was not encrypted: the character </source>
        <translation>Le texte n’a pas été chiffré : le caractère </translation>
    </message>
    <message>
        <source>&quot; (code </source>
        <translation>&quot; (code </translation>
    </message>
    <message>
        <source>with code </source>
        <translation>de code </translation>
    </message>
    <message>
        <source> in line </source>
        <translation> à la ligne </translation>
    </message>
    <message>
        <source>, column </source>
        <translation>, colonne </translation>
    </message>
    <message>
        <source> would not come back when decrypted. Nothing has been changed.</source>
        <translation> ne reviendrait pas au déchiffrement. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>Good - Level A</source>
        <translation>Bon - Niveau A</translation>
    </message>
    <message>
        <source>Very Good - Level B</source>
        <translation>Très bon - Niveau B</translation>
    </message>
    <message>
        <source>Secure - Level C</source>
        <translation>Sûr - Niveau C</translation>
    </message>
    <message>
        <source>Your password will be ignored because you have chosen Level A.</source>
        <translation>Votre mot de passe sera ignoré, car vous avez choisi le niveau A.</translation>
    </message>
    <message>
        <source>Password needs to be of 3 numbers and numbers only.</source>
        <translation>Le mot de passe doit compter 3 chiffres, et rien que des chiffres.</translation>
    </message>
    <message>
        <source>Password needs to be only numbers from 000 to 999.</source>
        <translation>Le mot de passe ne doit être qu’un nombre de 000 à 999.</translation>
    </message>
    <message>
        <source>Your password digits need to be from 000 to 999.</source>
        <translation>Les chiffres de votre mot de passe doivent aller de 000 à 999.</translation>
    </message>
    <message>
        <source>Text is too short [A]. Minimum is 8 characters.</source>
        <translation>Le texte est trop court [A]. Le minimum est de 8 caractères.</translation>
    </message>
    <message>
        <source>Text is too short (B). Minimum is 8 characters.</source>
        <translation>Le texte est trop court (B). Le minimum est de 8 caractères.</translation>
    </message>
    <message>
        <source>Text is too short (C). It needs to 8 or more characters long.</source>
        <translation>Le texte est trop court (C). Il doit compter 8 caractères ou plus.</translation>
    </message>
    <message>
        <source>Text is too short. Minimum size is 8 characters.</source>
        <translation>Le texte est trop court. La taille minimale est de 8 caractères.</translation>
    </message>
    <message>
        <source>Text is too short. Minimum is 8 characters.</source>
        <translation>Le texte est trop court. Le minimum est de 8 caractères.</translation>
    </message>
    <message>
        <source>Sorry, password for Level A was not updated. It needs to be made of letters, numbers and 8 characters together.</source>
        <translation>Désolé, le mot de passe du niveau A n’a pas été modifié. Il doit être fait de lettres et de chiffres, 8 caractères en tout.</translation>
    </message>
    <message>
        <source>Password for Level A has been updated!</source>
        <translation>Le mot de passe du niveau A a été modifié !</translation>
    </message>
    <message>
        <source>Please type a passphrase: it cannot be empty. Nothing has been changed.</source>
        <translation>Veuillez taper une phrase secrète : elle ne peut pas être vide. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>This passphrase cannot be used: it may have at most 255 bytes (a character outside ASCII takes two or more) and no NUL character. Nothing has been changed.</source>
        <translation>Cette phrase secrète n’est pas utilisable : elle peut compter au plus 255 octets (un caractère hors ASCII en prend deux ou plus) et aucun caractère NUL. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>The passphrase is wrong: the text was not decrypted. Nothing has been changed.</source>
        <translation>La phrase secrète est fausse : le texte n’a pas été déchiffré. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>The OpenPGP message is damaged or was altered (its integrity check fails, or it is cut short): it was not decrypted. Nothing has been changed.</source>
        <translation>Le message OpenPGP est endommagé ou a été altéré (son contrôle d’intégrité échoue, ou il est tronqué) : il n’a pas été déchiffré. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>This OpenPGP message was encrypted to a public key, not with a passphrase: only the holder of the secret key can decrypt it, with a program such as gpg. Nothing has been changed.</source>
        <translation>Ce message OpenPGP a été chiffré pour une clé publique, et non avec une phrase secrète : seul le détenteur de la clé secrète peut le déchiffrer, avec un programme tel que gpg. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>This OpenPGP message is not encrypted (it is only stored or signed): there is nothing to decrypt. Nothing has been changed.</source>
        <translation>Ce message OpenPGP n’est pas chiffré (il est seulement stocké ou signé) : il n’y a rien à déchiffrer. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>This OpenPGP message is encrypted in a way that is not supported here (an unknown algorithm, or no integrity protection): it was not decrypted. Nothing has been changed.</source>
        <translation>Ce message OpenPGP est chiffré d’une manière qui n’est pas prise en charge ici (un algorithme inconnu, ou aucune protection d’intégrité) : il n’a pas été déchiffré. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>The text is no OpenPGP message: there is nothing to decrypt. Nothing has been changed.</source>
        <translation>Le texte n’est pas un message OpenPGP : il n’y a rien à déchiffrer. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>The input could not be read to its end.</source>
        <translation>L’entrée n’a pas pu être lue jusqu’au bout.</translation>
    </message>
    <message>
        <source>The output could not be written.</source>
        <translation>La sortie n’a pas pu être écrite.</translation>
    </message>
    <message>
        <source>The OpenPGP library could not complete the command. Nothing has been changed.</source>
        <translation>La bibliothèque OpenPGP n’a pas pu mener la commande à bien. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source>This passphrase has </source>
        <translation>Cette phrase secrète compte </translation>
    </message>
    <message>
        <source> character</source>
        <translation> caractère</translation>
    </message>
    <message>
        <source> characters</source>
        <translation> caractères</translation>
    </message>
    <message>
        <source> or more are advised, as a shorter one is easier to guess.</source>
        <translation> ou plus sont conseillés, car une phrase plus courte se devine plus facilement.</translation>
    </message>
    <message>
        <source>Strong - OpenPGP</source>
        <translation>Fort - OpenPGP</translation>
    </message>
    <message>
        <source>The two passphrases differ: please type the same passphrase in both boxes. Nothing has been changed.</source>
        <translation>Les deux phrases secrètes diffèrent : veuillez taper la même phrase secrète dans les deux champs. Rien n’a été modifié.</translation>
    </message>
    <message>
        <source> The text is encrypted with it.</source>
        <translation> Le texte est chiffré avec elle.</translation>
    </message>
    <message>
        <source>Entered text is too short to encrypt.</source>
        <translation>Le texte saisi est trop court pour être chiffré.</translation>
    </message>
    <message>
        <source>Please your password needs to be longer.</source>
        <translation>Votre mot de passe doit être plus long, s’il vous plaît.</translation>
    </message>
    <message>
        <source>Your password needs to be shorter.</source>
        <translation>Votre mot de passe doit être plus court.</translation>
    </message>
    <message>
        <source>Entered text is too short to decrypt.</source>
        <translation>Le texte saisi est trop court pour être déchiffré.</translation>
    </message>
    <message>
        <source>Please your password should be longer.</source>
        <translation>Votre mot de passe devrait être plus long, s’il vous plaît.</translation>
    </message>
    <message>
        <source>&apos; is not a valid integer value.</source>
        <translation>&apos; n’est pas un nombre entier valide.</translation>
    </message>
    <message>
        <source>Level </source>
        <translation>Niveau </translation>
    </message>
    <message>
        <source> passphrase</source>
        <translation> – phrase secrète</translation>
    </message>
    <message>
        <source> code</source>
        <translation> – code</translation>
    </message>
    <message>
        <source> password</source>
        <translation> – mot de passe</translation>
    </message>
    <message>
        <source> again: </source>
        <translation> encore une fois : </translation>
    </message>
    <message>
        <source> exists and was not replaced (--force replaces it)</source>
        <translation> existe et n’a pas été remplacé (--force le remplace)</translation>
    </message>
    <message>
        <source>Try &apos;plimo-cipher --help&apos;.</source>
        <translation>Essayez &apos;plimo-cipher --help&apos;.</translation>
    </message>
    <message>
        <source>Level A takes its password from the editor&apos;s settings file; name it with --settings FILE.</source>
        <translation>Le niveau A prend son mot de passe dans le fichier de réglages de l’éditeur ; indiquez-le avec --settings FICHIER.</translation>
    </message>
    <message>
        <source> needs --password-file FILE: standard input is no terminal to ask on</source>
        <translation> demande --password-file FICHIER : l’entrée standard n’est pas un terminal où le demander</translation>
    </message>
    <message>
        <source>the two entries differ: nothing was encrypted</source>
        <translation>les deux saisies diffèrent : rien n’a été chiffré</translation>
    </message>
    <message>
        <source>nothing was typed: nothing was done</source>
        <translation>rien n’a été tapé : rien n’a été fait</translation>
    </message>
    <message>
        <source>Cannot read standard input</source>
        <translation>Impossible de lire l’entrée standard</translation>
    </message>
    <message>
        <source>: another program changed it while it was read; nothing was written</source>
        <translation> : un autre programme l’a modifié pendant sa lecture ; rien n’a été écrit</translation>
    </message>
    <message>
        <source>Cannot write standard output</source>
        <translation>Impossible d’écrire la sortie standard</translation>
    </message>
    <message>
        <source>warning: </source>
        <translation>avertissement : </translation>
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
        <translation>Usage : plimo-cipher encrypt|decrypt --level A|B|C|P [OPTION...] [FICHIER...]
Chiffre ou déchiffre des textes avec le chiffrement de Plimo, exactement comme l&apos;éditeur.

Sans FICHIER, le texte vient de l&apos;entrée standard et le résultat va à la sortie standard.
Chaque FICHIER est lu en entier et le résultat est écrit à côté sous le nom que l&apos;éditeur
lui donne après la commande : letter.txt chiffré au niveau C devient letter.txc, et
letter.txc déchiffré devient letter.txt. Les sauts de ligne deviennent CR LF, comme quand
l&apos;éditeur ouvre un fichier ; le niveau P garde chaque octet tel quel.

  --level A|B|C|P       A : le mot de passe du niveau A du fichier de réglages de l&apos;éditeur ;
                        B : un code à trois chiffres ; C : un mot de passe de 6 à 12
                        caractères ; P : &quot;Strong - OpenPGP&quot;, une phrase secrète (12
                        caractères ou plus sont conseillés) : un message OpenPGP que gpg
                        déchiffre, écrit en .asc ; le déchiffrement lit les messages .asc
                        et .gpg, ceux de gpg aussi
  --settings FICHIER    niveau A : le fichier de réglages à lire (par défaut : plimo.dat
                        dans le dossier courant s&apos;il y en a un, sinon celui de l&apos;éditeur,
                        ${XDG_DATA_HOME:-~/.local/share}/plimo/plimo.dat)
  --password-file FICHIER
                        niveaux B, C et P : un fichier ordinaire contenant le code, le mot
                        de passe ou la phrase secrète sur une ligne ; un saut de ligne à sa
                        fin n&apos;en fait pas partie. Un fichier que d&apos;autres utilisateurs
                        peuvent lire vaut un avertissement. Sans cette option, il est
                        demandé au terminal sans écho, deux fois pour chiffrer.
  --force               remplacer les fichiers de sortie qui existent (ils ne sont jamais
                        remplacés sinon), mais jamais à travers un lien symbolique vers le
                        fichier lu
  --help                afficher cette aide et quitter
  --version             afficher la version et quitter

Le code ou le mot de passe n&apos;est jamais pris sur la ligne de commande, où d&apos;autres
utilisateurs peuvent le lire. Un texte tapé à l&apos;invite ou contenu dans un fichier de mot de
passe qui est de l&apos;UTF-8 valide devient du Windows-1252, comme dans le champ de mot de passe
de l&apos;éditeur ; tout autre octet est pris tel quel. Une phrase secrète du niveau P est prise
telle que ses octets sont (UTF-8 depuis un terminal), comme gpg la prend.

Code de sortie : 0 quand chaque texte a été traité ; 1 quand l&apos;un a été refusé ou a échoué
(les autres fichiers sont quand même traités) ; 2 quand la ligne de commande ne peut pas
être exécutée.

Exemples :
  plimo-cipher decrypt --level C letters/*.txc
  printf &apos;Dear Ann,\nsee you at eight.\n&apos; | plimo-cipher encrypt --level A &gt; note.txa
  plimo-cipher decrypt --level B --password-file code.txt &lt; report.txb | head -n 5
  plimo-cipher encrypt --level P --password-file pass.txt report.txt
</translation>
    </message>
    <message>
        <source>unknown level &apos;</source>
        <translation>niveau inconnu &apos;</translation>
    </message>
    <message>
        <source>&apos;: use A, B, C or P</source>
        <translation>&apos; : utilisez A, B, C ou P</translation>
    </message>
    <message>
        <source> is given twice</source>
        <translation> est donné deux fois</translation>
    </message>
    <message>
        <source> needs a value</source>
        <translation> demande une valeur</translation>
    </message>
    <message>
        <source>&apos;-&apos; is no file: name no FILE to read standard input</source>
        <translation>&apos;-&apos; n’est pas un fichier : ne nommez aucun FICHIER pour lire l’entrée standard</translation>
    </message>
    <message>
        <source>unknown option &apos;</source>
        <translation>option inconnue &apos;</translation>
    </message>
    <message>
        <source>no command: encrypt or decrypt</source>
        <translation>aucune commande : encrypt ou decrypt</translation>
    </message>
    <message>
        <source>unknown command &apos;</source>
        <translation>commande inconnue &apos;</translation>
    </message>
    <message>
        <source>&apos;: use encrypt or decrypt</source>
        <translation>&apos; : utilisez encrypt ou decrypt</translation>
    </message>
    <message>
        <source>no level: add --level A, B, C or P</source>
        <translation>aucun niveau : ajoutez --level A, B, C ou P</translation>
    </message>
    <message>
        <source>: a password file must be a regular file</source>
        <translation> : un fichier de mot de passe doit être un fichier ordinaire</translation>
    </message>
    <message>
        <source>warning: other users may read the password file </source>
        <translation>avertissement : d’autres utilisateurs peuvent lire le fichier de mot de passe </translation>
    </message>
    <message>
        <source> (chmod go-r makes it yours alone)</source>
        <translation> (chmod go-r le rend à vous seul)</translation>
    </message>
    <message>
        <source>: it is a link to the file being read, which it would replace</source>
        <translation> : c’est un lien vers le fichier en cours de lecture, qu’il remplacerait</translation>
    </message>
    <message>
        <source>: it leads through a link another user made in a shared folder</source>
        <translation> : le chemin passe par un lien qu’un autre utilisateur a créé dans un dossier partagé</translation>
    </message>
    <message>
        <source>Cannot open file </source>
        <translation>Impossible d’ouvrir le fichier </translation>
    </message>
    <message>
        <source>Cannot create file </source>
        <translation>Impossible de créer le fichier </translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>Le texte dépasse la capacité de la zone de texte</translation>
    </message>
    <message>
        <source>Out of memory: the command was not completed.</source>
        <translation>Mémoire épuisée : la commande n’a pas été menée à bien.</translation>
    </message>
    <message>
        <source>This may not be standard text. We do not recommend sending it via email and Plimo may not be capable to do so.</source>
        <translation>Ce texte n’est peut-être pas du texte ordinaire. Nous déconseillons de l’envoyer par e-mail, et Plimo n’en est peut-être pas capable.</translation>
    </message>
    <message>
        <source>The text to email is too short. Consider updating it.</source>
        <translation>Le texte à envoyer est trop court. Pensez à le compléter.</translation>
    </message>
    <message>
        <source>LF and CR</source>
        <translation>LF et CR</translation>
    </message>
    <message>
        <source>Line breaks were </source>
        <translation>Les sauts de ligne étaient </translation>
    </message>
    <message>
        <source>: Save writes CR LF</source>
        <translation> : Enregistrer écrit CR LF</translation>
    </message>
    <message>
        <source>This file looks like UTF-8: letters beyond A-Z show as two or three symbols and are saved unchanged</source>
        <translation>Ce fichier semble être en UTF-8 : les lettres hors de A-Z s’affichent en deux ou trois symboles et sont enregistrées telles quelles</translation>
    </message>
    <message>
        <source>, and Plimo keeps private files only in a folder of your own: </source>
        <translation>, et Plimo ne garde de fichiers privés que dans un dossier à vous : </translation>
    </message>
    <message>
        <source>the folder </source>
        <translation>le dossier </translation>
    </message>
    <message>
        <source>there is no folder for private files: neither XDG_DATA_HOME nor HOME names one</source>
        <translation>il n’y a pas de dossier pour les fichiers privés : ni XDG_DATA_HOME ni HOME n’en nomme un</translation>
    </message>
    <message>
        <source> cannot be made (</source>
        <translation> ne peut pas être créé (</translation>
    </message>
    <message>
        <source>make it with mode 700, or name another folder</source>
        <translation>créez-le avec le mode 700, ou nommez un autre dossier</translation>
    </message>
    <message>
        <source> is a link another user made</source>
        <translation> est un lien créé par un autre utilisateur</translation>
    </message>
    <message>
        <source>remove the link (rm </source>
        <translation>supprimez le lien (rm </translation>
    </message>
    <message>
        <source> cannot be opened as a folder</source>
        <translation> ne peut pas être ouvert comme dossier</translation>
    </message>
    <message>
        <source>remove or rename what has its name</source>
        <translation>supprimez ou renommez ce qui porte son nom</translation>
    </message>
    <message>
        <source> belongs to another user</source>
        <translation> appartient à un autre utilisateur</translation>
    </message>
    <message>
        <source>have it removed (its owner or root can), or name another folder</source>
        <translation>faites-le supprimer (son propriétaire ou root le peut), ou nommez un autre dossier</translation>
    </message>
    <message>
        <source> can be written by other users</source>
        <translation> peut être modifié par d’autres utilisateurs</translation>
    </message>
    <message>
        <source>use a folder of your own</source>
        <translation>utilisez un dossier à vous</translation>
    </message>
    <message>
        <source>make it yours alone (chmod go-w </source>
        <translation>rendez-le à vous seul (chmod go-w </translation>
    </message>
    <message>
        <source>: another program is saving this file</source>
        <translation> : un autre programme enregistre ce fichier</translation>
    </message>
    <message>
        <source>. Its previous content is kept in </source>
        <translation>. Son contenu précédent est conservé dans </translation>
    </message>
    <message>
        <source>The file is left as it is: settings changed in this run are not saved, and Level A uses the factory password until the file can be read.</source>
        <translation>Le fichier est laissé tel quel : les réglages modifiés pendant cette session ne sont pas enregistrés, et le niveau A utilise le mot de passe d’usine jusqu’à ce que le fichier puisse être lu.</translation>
    </message>
    <message>
        <source>Settings are not saved: the settings file </source>
        <translation>Les réglages ne sont pas enregistrés : le fichier de réglages </translation>
    </message>
    <message>
        <source> could not be read at start-up and is left as it is.</source>
        <translation> n’a pas pu être lu au démarrage et est laissé tel quel.</translation>
    </message>
    <message>
        <source>it is larger than 1 MiB, far more than settings take</source>
        <translation>il dépasse 1 Mio, bien plus que ce que prennent des réglages</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c’est un dossier</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>ce n’est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>: it is far too large</source>
        <translation> : il est bien trop grand</translation>
    </message>
    <message>
        <source>: neither XDG_CONFIG_HOME nor HOME names a folder for it</source>
        <translation> : ni XDG_CONFIG_HOME ni HOME ne nomme de dossier pour lui</translation>
    </message>
    <message>
        <source>unknown option </source>
        <translation>option inconnue </translation>
    </message>
    <message>
        <source>only one file can be opened</source>
        <translation>un seul fichier peut être ouvert</translation>
    </message>
    <message>
        <source>the file name is empty</source>
        <translation>le nom de fichier est vide</translation>
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
        <translation>Usage : plimo [FICHIER]
Plimo Text Editor : modifier du texte 8 bits simple (Windows-1252) et le chiffrer au
niveau A, B ou C.

  FICHIER       ouvrir ce fichier au démarrage, comme Fichier &gt; Ouvrir
  -h, --help    afficher cette aide et quitter
  --version     afficher la version et quitter
  --            l&apos;argument suivant est le fichier, même s&apos;il commence par &quot;-&quot;
</translation>
    </message>
    <message>
        <source>File opening was cancelled!</source>
        <translation>L’ouverture du fichier a été annulée !</translation>
    </message>
    <message>
        <source>Saving the file was stopped.</source>
        <translation>L’enregistrement du fichier a été interrompu.</translation>
    </message>
    <message>
        <source>Sorry, we could not save this document, it is empty. Please try Save As.</source>
        <translation>Désolé, ce document n’a pas pu être enregistré, il est vide. Essayez « Enregistrer sous ».</translation>
    </message>
    <message>
        <source>Do you wish to start a new document? The current is not empty! Are you sure?</source>
        <translation>Voulez-vous commencer un nouveau document ? L’actuel n’est pas vide ! En êtes-vous sûr ?</translation>
    </message>
    <message>
        <source>Closing this file - are you sure?</source>
        <translation>Fermer ce fichier - en êtes-vous sûr ?</translation>
    </message>
    <message>
        <source>The file </source>
        <translation>Le fichier </translation>
    </message>
    <message>
        <source> was changed by another program since it was opened. Overwrite it?</source>
        <translation> a été modifié par un autre programme depuis son ouverture. L’écraser ?</translation>
    </message>
    <message>
        <source>The text has changes that are not saved. Exit anyway?</source>
        <translation>Le texte a des modifications non enregistrées. Quitter quand même ?</translation>
    </message>
    <message>
        <source>The text has changes that are not saved. Open </source>
        <translation>Le texte a des modifications non enregistrées. Ouvrir </translation>
    </message>
    <message>
        <source> anyway?</source>
        <translation> quand même ?</translation>
    </message>
    <message>
        <source>Text|*.txt|Encypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg</source>
        <translation>Texte|*.txt|Chiffré A|*.txa|Chiffré B|*.txb|Chiffré C|*.txc|Message OpenPGP|*.asc *.gpg</translation>
    </message>
    <message>
        <source>Text file|*.txt|Encrypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg</source>
        <translation>Fichier texte|*.txt|Chiffré A|*.txa|Chiffré B|*.txb|Chiffré C|*.txc|Message OpenPGP|*.asc *.gpg</translation>
    </message>
    <message>
        <source>Save your file</source>
        <translation>Enregistrer votre fichier</translation>
    </message>
    <message>
        <source>the folder is missing</source>
        <translation>le dossier n&apos;existe pas</translation>
    </message>
    <message>
        <source>the text would exceed memo capacity</source>
        <translation>le texte dépasserait la capacité du mémo</translation>
    </message>
    <message>
        <source> was changed after the unsaved text was recorded</source>
        <translation> a été modifié après l&apos;enregistrement du texte non sauvegardé</translation>
    </message>
    <message>
        <source>the recovery file is damaged (</source>
        <translation>le fichier de secours est endommagé (</translation>
    </message>
    <message>
        <source>a record is too short</source>
        <translation>un enregistrement est trop court</translation>
    </message>
    <message>
        <source>a name runs past its record</source>
        <translation>un nom dépasse de son enregistrement</translation>
    </message>
    <message>
        <source>a record is too long</source>
        <translation>un enregistrement est trop long</translation>
    </message>
    <message>
        <source>a record does not match its check sum</source>
        <translation>un enregistrement ne correspond pas à sa somme de contrôle</translation>
    </message>
    <message>
        <source>it is not a recovery file of this version of Plimo</source>
        <translation>ce n&apos;est pas un fichier de secours de cette version de Plimo</translation>
    </message>
    <message>
        <source>its start is missing or repeated</source>
        <translation>son début manque ou se répète</translation>
    </message>
    <message>
        <source>a flag is neither yes nor no</source>
        <translation>un indicateur n&apos;est ni oui ni non</translation>
    </message>
    <message>
        <source>a record of an unknown kind</source>
        <translation>un enregistrement de type inconnu</translation>
    </message>
    <message>
        <source>it holds no complete change</source>
        <translation>il ne contient aucune modification complète</translation>
    </message>
    <message>
        <source>an edit lies outside the text</source>
        <translation>une modification se trouve hors du texte</translation>
    </message>
    <message>
        <source>the text&apos;s size does not match</source>
        <translation>la taille du texte ne correspond pas</translation>
    </message>
    <message>
        <source>there is not enough memory to rebuild the text</source>
        <translation>la mémoire ne suffit pas pour reconstruire le texte</translation>
    </message>
    <message>
        <source>Cannot print: </source>
        <translation>Impossible d&apos;imprimer : </translation>
    </message>
    <message>
        <source>the folder cannot be written</source>
        <translation>le dossier n&apos;est pas accessible en écriture</translation>
    </message>
    <message>
        <source>the printer did not start</source>
        <translation>l&apos;imprimante n&apos;a pas démarré</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>il ne peut pas être écrit</translation>
    </message>
    <message>
        <source>a page could not be started</source>
        <translation>une page n&apos;a pas pu être commencée</translation>
    </message>
    <message>
        <source>it could not be finished</source>
        <translation>il n&apos;a pas pu être terminé</translation>
    </message>
    <message>
        <source>it could not take its name</source>
        <translation>il n&apos;a pas pu prendre son nom</translation>
    </message>
</context>
<context>
    <name>PrintJob</name>
    <message>
        <source>Counting pages...</source>
        <translation>Comptage des pages...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Imprimer</translation>
    </message>
    <message>
        <source>Printing page %1 of %2...</source>
        <translation>Impression de la page %1 sur %2...</translation>
    </message>
</context>
<context>
    <name>PrintPreview</name>
    <message>
        <source>Print Preview</source>
        <translation>Aperçu avant impression</translation>
    </message>
    <message>
        <source>&amp;Previous Page</source>
        <translation>Page &amp;précédente</translation>
    </message>
    <message>
        <source>&amp;Next Page</source>
        <translation>Page &amp;suivante</translation>
    </message>
    <message>
        <source>P&amp;rint...</source>
        <translation>&amp;Imprimer...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Page %1 sur %2</translation>
    </message>
</context>
<context>
    <name>QtDesktop</name>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Restaurer</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Abandonner</translation>
    </message>
</context>
<context>
    <name>ReplacePanel</name>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Text to replace</source>
        <translation>Texte à remplacer</translation>
    </message>
    <message>
        <source>Replacement</source>
        <translation>Remplacement</translation>
    </message>
</context>
<context>
    <name>TextPages</name>
    <message>
        <source>page %1 of %2</source>
        <translation>page %1 sur %2</translation>
    </message>
</context>
<context>
    <name>TextView</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rétablir</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Tout sélectionner</translation>
    </message>
</context>
<context>
    <name>TfAbout</name>
    <message>
        <source>Plimo - About</source>
        <translation>Plimo - À propos</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>TfC</name>
    <message>
        <source>size - </source>
        <translation>taille - </translation>
    </message>
    <message>
        <source>Recent files are not kept: </source>
        <translation>Les fichiers récents ne sont pas conservés : </translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Ln %1, Col %2</source>
        <translation>Li %1, Col %2</translation>
    </message>
    <message>
        <source>F&amp;ile</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nouveau</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>Recent &amp;Files</source>
        <translation>Fichiers &amp;récents</translation>
    </message>
    <message>
        <source>&amp;Clear List</source>
        <translation>&amp;Vider la liste</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Sa&amp;ve As</source>
        <translation>Enregistrer &amp;sous</translation>
    </message>
    <message>
        <source>C&amp;lose File</source>
        <translation>Fermer &amp;le fichier</translation>
    </message>
    <message>
        <source>&amp;Quick Email</source>
        <translation>E-mail &amp;rapide</translation>
    </message>
    <message>
        <source>&amp;Encrypt</source>
        <translation>C&amp;hiffrer</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Déchiffrer</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>É&amp;dition</translation>
    </message>
    <message>
        <source>C&amp;ut</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Chercher</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Remplacer</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Chercher le sui&amp;vant</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>Chercher le &amp;précédent</translation>
    </message>
    <message>
        <source>&amp;Go to Line</source>
        <translation>&amp;Aller à la ligne</translation>
    </message>
    <message>
        <source>Sett&amp;ings</source>
        <translation>&amp;Réglages</translation>
    </message>
    <message>
        <source>Selec&amp;t Font	Ctrl+T</source>
        <translation>Choisir la &amp;police	Ctrl+T</translation>
    </message>
    <message>
        <source>&amp;Type Size</source>
        <translation>&amp;Taille du texte</translation>
    </message>
    <message>
        <source>Level A &amp;Pwd</source>
        <translation>Mot de &amp;passe niveau A</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Zoom &amp;avant</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Zoom a&amp;rrière</translation>
    </message>
    <message>
        <source>Reset &amp;Zoom</source>
        <translation>Réinitialiser le &amp;zoom</translation>
    </message>
    <message>
        <source>Hel&amp;p</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>Korvex Web Site</source>
        <translation>Site web de Korvex</translation>
    </message>
    <message>
        <source>Korvex Support Email</source>
        <translation>E-mail au support Korvex</translation>
    </message>
    <message>
        <source>Korvex Sales Email</source>
        <translation>E-mail au service commercial Korvex</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Saving %1 was interrupted. Its previous content is kept in %2.</source>
        <translation>L’enregistrement de %1 a été interrompu. Son contenu précédent est conservé dans %2.</translation>
    </message>
    <message>
        <source>About </source>
        <translation>À propos de </translation>
    </message>
    <message>
        <source> (%1 selected)</source>
        <translation> (%1 sélectionnés)</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Print Previe&amp;w</source>
        <translation>&amp;Aperçu avant impression</translation>
    </message>
    <message>
        <source>Line &amp;Numbers</source>
        <translation>&amp;Numéros de ligne</translation>
    </message>
    <message>
        <source>&amp;Keep Recovery Copies</source>
        <translation>&amp;Garder des copies de secours</translation>
    </message>
    <message>
        <source>Recovery copies are off for this run: </source>
        <translation>Copies de secours désactivées pour cette session : </translation>
    </message>
    <message>
        <source>The unsaved text could not be restored, and is kept in %1: </source>
        <translation>Le texte non sauvegardé n&apos;a pas pu être restauré ; il est conservé dans %1 : </translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>il ne peut pas être lu</translation>
    </message>
    <message>
        <source>Plimo was not closed properly. Restore the unsaved text of %1 (last change %2)?</source>
        <translation>Plimo n&apos;a pas été fermé correctement. Restaurer le texte non sauvegardé de %1 (dernière modification %2) ?</translation>
    </message>
</context>
<context>
    <name>TfHelpPas</name>
    <message>
        <source>Plimo - Help</source>
        <translation>Plimo - Aide</translation>
    </message>
    <message>
        <source>Visit Plimo Help pages online</source>
        <translation>Consulter l’aide de Plimo en ligne</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>TfNote</name>
    <message>
        <source>Plimo - Note</source>
        <translation>Plimo - Note</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>TypePanel</name>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Police</translation>
    </message>
    <message>
        <source>Type size</source>
        <translation>Taille du texte</translation>
    </message>
    <message>
        <source>Typeface</source>
        <translation>Police de caractères</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Par défaut</translation>
    </message>
</context>
</TS>
