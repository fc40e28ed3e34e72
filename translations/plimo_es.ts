<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>CipherPanel</name>
    <message>
        <source>Encrypt</source>
        <translation>Cifrar</translation>
    </message>
    <message>
        <source>Encryption level</source>
        <translation>Nivel de cifrado</translation>
    </message>
    <message>
        <source>Encryption password</source>
        <translation>Contraseña de cifrado</translation>
    </message>
    <message>
        <source>Decrypt</source>
        <translation>Descifrar</translation>
    </message>
    <message>
        <source>Decryption level</source>
        <translation>Nivel de descifrado</translation>
    </message>
    <message>
        <source>Decryption password</source>
        <translation>Contraseña de descifrado</translation>
    </message>
    <message>
        <source>Pwd:</source>
        <translation>Contr.:</translation>
    </message>
    <message>
        <source>Again:</source>
        <translation>Otra vez:</translation>
    </message>
    <message>
        <source>Encryption passphrase again</source>
        <translation>Frase de contraseña de cifrado otra vez</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>FindPanel</name>
    <message>
        <source>Match case</source>
        <translation>Mayús./minús.</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Palabra entera</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Texto que buscar</translation>
    </message>
    <message>
        <source>counting hits…</source>
        <translation>contando coincidencias…</translation>
    </message>
    <message>
        <source>hit %1 of %2</source>
        <translation>coincidencia %1 de %2</translation>
    </message>
</context>
<context>
    <name>GoToLinePanel</name>
    <message>
        <source>Line:</source>
        <translation>Línea:</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Ir</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Line number</source>
        <translation>Número de línea</translation>
    </message>
    <message>
        <source>of %1</source>
        <translation>de %1</translation>
    </message>
</context>
<context>
    <name>LevelAPwdPanel</name>
    <message>
        <source>Password change can give you more security. Documents that used previous pwd for Level A encryption will not be able to decrypt with changed password.</source>
        <translation>Cambiar la contraseña puede darle más seguridad. Los documentos cifrados en el nivel A con la contraseña anterior no podrán descifrarse con la nueva.</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Cambiar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>New Level A password</source>
        <translation>Nueva contraseña del nivel A</translation>
    </message>
</context>
<context>
    <name>Plimo</name>
    <message>
        <source> Character </source>
        <translation> El carácter </translation>
    </message>
    <message>
        <source> of &apos;</source>
        <translation> de «</translation>
    </message>
    <message>
        <source>&apos; needs to be a digit: a Level B code starts with three digits from 000 to 999.</source>
        <translation>» debe ser una cifra: un código del nivel B empieza por tres cifras de 000 a 999.</translation>
    </message>
    <message>
        <source>first</source>
        <translation>primera</translation>
    </message>
    <message>
        <source>second</source>
        <translation>segunda</translation>
    </message>
    <message>
        <source>third</source>
        <translation>tercera</translation>
    </message>
    <message>
        <source>&apos; has no </source>
        <translation>&apos; no tiene </translation>
    </message>
    <message>
        <source> digit: a Level B code starts with three digits from 000 to 999.</source>
        <translation> cifra: un código del nivel B empieza por tres cifras de 000 a 999.</translation>
    </message>
    <message>
        <source>Text was not encrypted: the character </source>
        <translation>El texto no se ha cifrado: el carácter </translation>
    </message>
    <message>
        <source>&quot; (code </source>
        <translation>&quot; (código </translation>
    </message>
    <message>
        <source>with code </source>
        <translation>con el código </translation>
    </message>
    <message>
        <source> in line </source>
        <translation> en la línea </translation>
    </message>
    <message>
        <source>, column </source>
        <translation>, columna </translation>
    </message>
    <message>
        <source> would not come back when decrypted. Nothing has been changed.</source>
        <translation> no volvería al descifrar. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>Good - Level A</source>
        <translation>Bueno - Nivel A</translation>
    </message>
    <message>
        <source>Very Good - Level B</source>
        <translation>Muy bueno - Nivel B</translation>
    </message>
    <message>
        <source>Secure - Level C</source>
        <translation>Seguro - Nivel C</translation>
    </message>
    <message>
        <source>Your password will be ignored because you have chosen Level A.</source>
        <translation>Su contraseña no se tendrá en cuenta porque ha elegido el nivel A.</translation>
    </message>
    <message>
        <source>Password needs to be of 3 numbers and numbers only.</source>
        <translation>La contraseña debe tener 3 cifras y solo cifras.</translation>
    </message>
    <message>
        <source>Password needs to be only numbers from 000 to 999.</source>
        <translation>La contraseña solo puede ser un número de 000 a 999.</translation>
    </message>
    <message>
        <source>Your password digits need to be from 000 to 999.</source>
        <translation>Las cifras de su contraseña deben estar entre 000 y 999.</translation>
    </message>
    <message>
        <source>Text is too short [A]. Minimum is 8 characters.</source>
        <translation>El texto es demasiado corto [A]. El mínimo es de 8 caracteres.</translation>
    </message>
    <message>
        <source>Text is too short (B). Minimum is 8 characters.</source>
        <translation>El texto es demasiado corto (B). El mínimo es de 8 caracteres.</translation>
    </message>
    <message>
        <source>Text is too short (C). It needs to 8 or more characters long.</source>
        <translation>El texto es demasiado corto (C). Debe tener 8 caracteres o más.</translation>
    </message>
    <message>
        <source>Text is too short. Minimum size is 8 characters.</source>
        <translation>El texto es demasiado corto. El tamaño mínimo es de 8 caracteres.</translation>
    </message>
    <message>
        <source>Text is too short. Minimum is 8 characters.</source>
        <translation>El texto es demasiado corto. El mínimo es de 8 caracteres.</translation>
    </message>
    <message>
        <source>Sorry, password for Level A was not updated. It needs to be made of letters, numbers and 8 characters together.</source>
        <translation>Lo sentimos, la contraseña del nivel A no se ha cambiado. Debe estar hecha de letras y cifras, 8 caracteres en total.</translation>
    </message>
    <message>
        <source>Password for Level A has been updated!</source>
        <translation>¡La contraseña del nivel A se ha cambiado!</translation>
    </message>
    <message>
        <source>Please type a passphrase: it cannot be empty. Nothing has been changed.</source>
        <translation>Escriba una frase de contraseña: no puede estar vacía. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>This passphrase cannot be used: it may have at most 255 bytes (a character outside ASCII takes two or more) and no NUL character. Nothing has been changed.</source>
        <translation>Esta frase de contraseña no se puede usar: puede tener como máximo 255 bytes (un carácter fuera de ASCII ocupa dos o más) y ningún carácter NUL. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>The passphrase is wrong: the text was not decrypted. Nothing has been changed.</source>
        <translation>La frase de contraseña es incorrecta: el texto no se ha descifrado. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>The OpenPGP message is damaged or was altered (its integrity check fails, or it is cut short): it was not decrypted. Nothing has been changed.</source>
        <translation>El mensaje OpenPGP está dañado o se ha alterado (su control de integridad falla, o está cortado): no se ha descifrado. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>This OpenPGP message was encrypted to a public key, not with a passphrase: only the holder of the secret key can decrypt it, with a program such as gpg. Nothing has been changed.</source>
        <translation>Este mensaje OpenPGP se cifró para una clave pública, no con una frase de contraseña: solo el titular de la clave secreta puede descifrarlo, con un programa como gpg. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>This OpenPGP message is not encrypted (it is only stored or signed): there is nothing to decrypt. Nothing has been changed.</source>
        <translation>Este mensaje OpenPGP no está cifrado (solo está almacenado o firmado): no hay nada que descifrar. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>This OpenPGP message is encrypted in a way that is not supported here (an unknown algorithm, or no integrity protection): it was not decrypted. Nothing has been changed.</source>
        <translation>Este mensaje OpenPGP está cifrado de una forma que aquí no se admite (un algoritmo desconocido, o sin protección de integridad): no se ha descifrado. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>The text is no OpenPGP message: there is nothing to decrypt. Nothing has been changed.</source>
        <translation>El texto no es un mensaje OpenPGP: no hay nada que descifrar. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>The input could not be read to its end.</source>
        <translation>No se ha podido leer la entrada hasta el final.</translation>
    </message>
    <message>
        <source>The output could not be written.</source>
        <translation>No se ha podido escribir la salida.</translation>
    </message>
    <message>
        <source>The OpenPGP library could not complete the command. Nothing has been changed.</source>
        <translation>La biblioteca OpenPGP no ha podido completar la orden. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source>This passphrase has </source>
        <translation>Esta frase de contraseña tiene </translation>
    </message>
    <message>
        <source> character</source>
        <translation> carácter</translation>
    </message>
    <message>
        <source> characters</source>
        <translation> caracteres</translation>
    </message>
    <message>
        <source> or more are advised, as a shorter one is easier to guess.</source>
        <translation> o más son recomendables, porque una más corta es más fácil de adivinar.</translation>
    </message>
    <message>
        <source>Strong - OpenPGP</source>
        <translation>Fuerte - OpenPGP</translation>
    </message>
    <message>
        <source>The two passphrases differ: please type the same passphrase in both boxes. Nothing has been changed.</source>
        <translation>Las dos frases de contraseña son distintas: escriba la misma frase en los dos cuadros. No se ha cambiado nada.</translation>
    </message>
    <message>
        <source> The text is encrypted with it.</source>
        <translation> El texto está cifrado con ella.</translation>
    </message>
    <message>
        <source>Entered text is too short to encrypt.</source>
        <translation>El texto introducido es demasiado corto para cifrarlo.</translation>
    </message>
    <message>
        <source>Please your password needs to be longer.</source>
        <translation>Su contraseña tiene que ser más larga, por favor.</translation>
    </message>
    <message>
        <source>Your password needs to be shorter.</source>
        <translation>Su contraseña tiene que ser más corta.</translation>
    </message>
    <message>
        <source>Entered text is too short to decrypt.</source>
        <translation>El texto introducido es demasiado corto para descifrarlo.</translation>
    </message>
    <message>
        <source>Please your password should be longer.</source>
        <translation>Su contraseña debería ser más larga, por favor.</translation>
    </message>
    <message>
        <source>&apos; is not a valid integer value.</source>
        <translation>&apos; no es un número entero válido.</translation>
    </message>
    <message>
        <source>Level </source>
        <translation>Nivel </translation>
    </message>
    <message>
        <source> passphrase</source>
        <translation> – frase de contraseña</translation>
    </message>
    <message>
        <source> code</source>
        <translation> – código</translation>
    </message>
    <message>
        <source> password</source>
        <translation> – contraseña</translation>
    </message>
    <message>
        <source> again: </source>
        <translation> otra vez: </translation>
    </message>
    <message>
        <source> exists and was not replaced (--force replaces it)</source>
        <translation> existe y no se ha sustituido (--force lo sustituye)</translation>
    </message>
    <message>
        <source>Try &apos;plimo-cipher --help&apos;.</source>
        <translation>Pruebe &apos;plimo-cipher --help&apos;.</translation>
    </message>
    <message>
        <source>Level A takes its password from the editor&apos;s settings file; name it with --settings FILE.</source>
        <translation>El nivel A toma su contraseña del archivo de ajustes del editor; indíquelo con --settings ARCHIVO.</translation>
    </message>
    <message>
        <source> needs --password-file FILE: standard input is no terminal to ask on</source>
        <translation> necesita --password-file ARCHIVO: la entrada estándar no es un terminal en el que preguntar</translation>
    </message>
    <message>
        <source>the two entries differ: nothing was encrypted</source>
        <translation>las dos entradas son distintas: no se ha cifrado nada</translation>
    </message>
    <message>
        <source>nothing was typed: nothing was done</source>
        <translation>no se ha escrito nada: no se ha hecho nada</translation>
    </message>
    <message>
        <source>Cannot read standard input</source>
        <translation>No se puede leer la entrada estándar</translation>
    </message>
    <message>
        <source>: another program changed it while it was read; nothing was written</source>
        <translation>: otro programa lo ha cambiado mientras se leía; no se ha escrito nada</translation>
    </message>
    <message>
        <source>Cannot write standard output</source>
        <translation>No se puede escribir la salida estándar</translation>
    </message>
    <message>
        <source>warning: </source>
        <translation>aviso: </translation>
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
        <translation>Uso: plimo-cipher encrypt|decrypt --level A|B|C|P [OPCIÓN...] [ARCHIVO...]
Cifra o descifra textos con el cifrado de Plimo, exactamente como lo hace el editor.

Sin ARCHIVO, el texto viene de la entrada estándar y el resultado va a la salida estándar.
Cada ARCHIVO se lee entero y el resultado se escribe a su lado con el nombre que el editor
le da tras la orden: letter.txt cifrado en el nivel C pasa a ser letter.txc, y letter.txc
descifrado pasa a ser letter.txt. Los saltos de línea pasan a ser CR LF, como cuando el
editor abre un archivo; el nivel P conserva cada byte tal como es.

  --level A|B|C|P       A: la contraseña del nivel A del archivo de ajustes del editor;
                        B: un código de tres cifras; C: una contraseña de 6 a 12
                        caracteres; P: &quot;Strong - OpenPGP&quot;, una frase de contraseña (se
                        recomiendan 12 caracteres o más): un mensaje OpenPGP que gpg
                        descifra, escrito como .asc; el descifrado lee mensajes .asc y
                        .gpg, también los de gpg
  --settings ARCHIVO    nivel A: el archivo de ajustes que leer (por omisión: plimo.dat en
                        la carpeta actual si lo hay, si no el del editor,
                        ${XDG_DATA_HOME:-~/.local/share}/plimo/plimo.dat)
  --password-file ARCHIVO
                        niveles B, C y P: un archivo normal que contiene el código, la
                        contraseña o la frase de contraseña en una línea; un salto de línea
                        al final no forma parte de ella. Si otros usuarios pueden leerlo,
                        se avisa. Sin esta opción se pregunta en el terminal sin eco, dos
                        veces al cifrar.
  --force               sustituir los archivos de salida que existan (si no, nunca se
                        sustituyen), pero nunca a través de un enlace simbólico al archivo
                        que se lee
  --help                mostrar esta ayuda y salir
  --version             mostrar la versión y salir

El código o la contraseña nunca se toman de la línea de órdenes, donde otros usuarios pueden
leerlos. El texto escrito en el indicador o guardado en un archivo de contraseña que sea UTF-8
válido pasa a Windows-1252, como en el cuadro de contraseña del editor; cualquier otro byte se
toma tal como es. Una frase de contraseña del nivel P se toma tal como son sus bytes (UTF-8
desde un terminal), como la toma gpg.

Estado de salida: 0 cuando se ha hecho cada texto; 1 cuando alguno se ha rechazado o ha
fallado (los demás archivos se hacen igualmente); 2 cuando la línea de órdenes no se puede
ejecutar.

Ejemplos:
  plimo-cipher decrypt --level C letters/*.txc
  printf &apos;Dear Ann,\nsee you at eight.\n&apos; | plimo-cipher encrypt --level A &gt; note.txa
  plimo-cipher decrypt --level B --password-file code.txt &lt; report.txb | head -n 5
  plimo-cipher encrypt --level P --password-file pass.txt report.txt
</translation>
    </message>
    <message>
        <source>unknown level &apos;</source>
        <translation>nivel desconocido &apos;</translation>
    </message>
    <message>
        <source>&apos;: use A, B, C or P</source>
        <translation>&apos;: use A, B, C o P</translation>
    </message>
    <message>
        <source> is given twice</source>
        <translation> se ha dado dos veces</translation>
    </message>
    <message>
        <source> needs a value</source>
        <translation> necesita un valor</translation>
    </message>
    <message>
        <source>&apos;-&apos; is no file: name no FILE to read standard input</source>
        <translation>&apos;-&apos; no es un archivo: no indique ningún ARCHIVO para leer la entrada estándar</translation>
    </message>
    <message>
        <source>unknown option &apos;</source>
        <translation>opción desconocida &apos;</translation>
    </message>
    <message>
        <source>no command: encrypt or decrypt</source>
        <translation>ninguna orden: encrypt o decrypt</translation>
    </message>
    <message>
        <source>unknown command &apos;</source>
        <translation>orden desconocida &apos;</translation>
    </message>
    <message>
        <source>&apos;: use encrypt or decrypt</source>
        <translation>&apos;: use encrypt o decrypt</translation>
    </message>
    <message>
        <source>no level: add --level A, B, C or P</source>
        <translation>ningún nivel: añada --level A, B, C o P</translation>
    </message>
    <message>
        <source>: a password file must be a regular file</source>
        <translation>: un archivo de contraseña debe ser un archivo normal</translation>
    </message>
    <message>
        <source>warning: other users may read the password file </source>
        <translation>aviso: otros usuarios pueden leer el archivo de contraseña </translation>
    </message>
    <message>
        <source> (chmod go-r makes it yours alone)</source>
        <translation> (chmod go-r lo hace solo suyo)</translation>
    </message>
    <message>
        <source>: it is a link to the file being read, which it would replace</source>
        <translation>: es un enlace al archivo que se está leyendo, al que sustituiría</translation>
    </message>
    <message>
        <source>: it leads through a link another user made in a shared folder</source>
        <translation>: la ruta pasa por un enlace que otro usuario creó en una carpeta compartida</translation>
    </message>
    <message>
        <source>Cannot open file </source>
        <translation>No se puede abrir el archivo </translation>
    </message>
    <message>
        <source>Cannot create file </source>
        <translation>No se puede crear el archivo </translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>El texto supera la capacidad del área de texto</translation>
    </message>
    <message>
        <source>Out of memory: the command was not completed.</source>
        <translation>Sin memoria: la orden no se ha completado.</translation>
    </message>
    <message>
        <source>This may not be standard text. We do not recommend sending it via email and Plimo may not be capable to do so.</source>
        <translation>Puede que no sea texto normal. No recomendamos enviarlo por correo electrónico y puede que Plimo no sea capaz de hacerlo.</translation>
    </message>
    <message>
        <source>The text to email is too short. Consider updating it.</source>
        <translation>El texto que enviar es demasiado corto. Considere completarlo.</translation>
    </message>
    <message>
        <source>LF and CR</source>
        <translation>LF y CR</translation>
    </message>
    <message>
        <source>Line breaks were </source>
        <translation>Los saltos de línea eran </translation>
    </message>
    <message>
        <source>: Save writes CR LF</source>
        <translation>: Guardar escribe CR LF</translation>
    </message>
    <message>
        <source>This file looks like UTF-8: letters beyond A-Z show as two or three symbols and are saved unchanged</source>
        <translation>Este archivo parece UTF-8: las letras fuera de A-Z se ven como dos o tres símbolos y se guardan sin cambios</translation>
    </message>
    <message>
        <source>, and Plimo keeps private files only in a folder of your own: </source>
        <translation>, y Plimo solo guarda archivos privados en una carpeta propia: </translation>
    </message>
    <message>
        <source>the folder </source>
        <translation>la carpeta </translation>
    </message>
    <message>
        <source>there is no folder for private files: neither XDG_DATA_HOME nor HOME names one</source>
        <translation>no hay carpeta para archivos privados: ni XDG_DATA_HOME ni HOME nombran ninguna</translation>
    </message>
    <message>
        <source> cannot be made (</source>
        <translation> no se puede crear (</translation>
    </message>
    <message>
        <source>make it with mode 700, or name another folder</source>
        <translation>créela con el modo 700, o indique otra carpeta</translation>
    </message>
    <message>
        <source> is a link another user made</source>
        <translation> es un enlace que creó otro usuario</translation>
    </message>
    <message>
        <source>remove the link (rm </source>
        <translation>elimine el enlace (rm </translation>
    </message>
    <message>
        <source> cannot be opened as a folder</source>
        <translation> no se puede abrir como carpeta</translation>
    </message>
    <message>
        <source>remove or rename what has its name</source>
        <translation>elimine o cambie el nombre de lo que lleva su nombre</translation>
    </message>
    <message>
        <source> belongs to another user</source>
        <translation> pertenece a otro usuario</translation>
    </message>
    <message>
        <source>have it removed (its owner or root can), or name another folder</source>
        <translation>pida que la eliminen (su propietario o root pueden), o indique otra carpeta</translation>
    </message>
    <message>
        <source> can be written by other users</source>
        <translation> puede ser modificada por otros usuarios</translation>
    </message>
    <message>
        <source>use a folder of your own</source>
        <translation>use una carpeta propia</translation>
    </message>
    <message>
        <source>make it yours alone (chmod go-w </source>
        <translation>hágala solo suya (chmod go-w </translation>
    </message>
    <message>
        <source>: another program is saving this file</source>
        <translation>: otro programa está guardando este archivo</translation>
    </message>
    <message>
        <source>. Its previous content is kept in </source>
        <translation>. Su contenido anterior se guarda en </translation>
    </message>
    <message>
        <source>The file is left as it is: settings changed in this run are not saved, and Level A uses the factory password until the file can be read.</source>
        <translation>El archivo se deja como está: los ajustes cambiados en esta sesión no se guardan, y el nivel A usa la contraseña de fábrica hasta que el archivo se pueda leer.</translation>
    </message>
    <message>
        <source>Settings are not saved: the settings file </source>
        <translation>Los ajustes no se guardan: el archivo de ajustes </translation>
    </message>
    <message>
        <source> could not be read at start-up and is left as it is.</source>
        <translation> no se pudo leer al iniciar y se deja como está.</translation>
    </message>
    <message>
        <source>it is larger than 1 MiB, far more than settings take</source>
        <translation>ocupa más de 1 MiB, mucho más de lo que ocupan unos ajustes</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es una carpeta</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>no es un archivo normal</translation>
    </message>
    <message>
        <source>: it is far too large</source>
        <translation>: es demasiado grande</translation>
    </message>
    <message>
        <source>: neither XDG_CONFIG_HOME nor HOME names a folder for it</source>
        <translation>: ni XDG_CONFIG_HOME ni HOME indican una carpeta para él</translation>
    </message>
    <message>
        <source>unknown option </source>
        <translation>opción desconocida </translation>
    </message>
    <message>
        <source>only one file can be opened</source>
        <translation>solo se puede abrir un archivo</translation>
    </message>
    <message>
        <source>the file name is empty</source>
        <translation>el nombre de archivo está vacío</translation>
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
        <translation>Uso: plimo [ARCHIVO]
Plimo Text Editor: editar texto simple de 8 bits (Windows-1252) y cifrarlo en el nivel A,
B o C.

  ARCHIVO       abrir este archivo al iniciar, como Archivo &gt; Abrir
  -h, --help    mostrar esta ayuda y salir
  --version     mostrar la versión y salir
  --            el argumento siguiente es el archivo, aunque empiece por &quot;-&quot;
</translation>
    </message>
    <message>
        <source>File opening was cancelled!</source>
        <translation>¡Se ha cancelado la apertura del archivo!</translation>
    </message>
    <message>
        <source>Saving the file was stopped.</source>
        <translation>Se ha detenido el guardado del archivo.</translation>
    </message>
    <message>
        <source>Sorry, we could not save this document, it is empty. Please try Save As.</source>
        <translation>Lo sentimos, no se ha podido guardar este documento, está vacío. Pruebe «Guardar como».</translation>
    </message>
    <message>
        <source>Do you wish to start a new document? The current is not empty! Are you sure?</source>
        <translation>¿Desea empezar un documento nuevo? ¡El actual no está vacío! ¿Está seguro?</translation>
    </message>
    <message>
        <source>Closing this file - are you sure?</source>
        <translation>Cerrar este archivo - ¿está seguro?</translation>
    </message>
    <message>
        <source>The file </source>
        <translation>El archivo </translation>
    </message>
    <message>
        <source> was changed by another program since it was opened. Overwrite it?</source>
        <translation> ha sido cambiado por otro programa desde que se abrió. ¿Sobrescribirlo?</translation>
    </message>
    <message>
        <source>The text has changes that are not saved. Exit anyway?</source>
        <translation>El texto tiene cambios sin guardar. ¿Salir de todos modos?</translation>
    </message>
    <message>
        <source>The text has changes that are not saved. Open </source>
        <translation>El texto tiene cambios sin guardar. ¿Abrir </translation>
    </message>
    <message>
        <source> anyway?</source>
        <translation> de todos modos?</translation>
    </message>
    <message>
        <source>Text|*.txt|Encypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg</source>
        <translation>Texto|*.txt|Cifrado A|*.txa|Cifrado B|*.txb|Cifrado C|*.txc|Mensaje OpenPGP|*.asc *.gpg</translation>
    </message>
    <message>
        <source>Text file|*.txt|Encrypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc|OpenPGP message|*.asc *.gpg</source>
        <translation>Archivo de texto|*.txt|Cifrado A|*.txa|Cifrado B|*.txb|Cifrado C|*.txc|Mensaje OpenPGP|*.asc *.gpg</translation>
    </message>
    <message>
        <source>Save your file</source>
        <translation>Guarde su archivo</translation>
    </message>
    <message>
        <source>the folder is missing</source>
        <translation>falta la carpeta</translation>
    </message>
    <message>
        <source>the text would exceed memo capacity</source>
        <translation>el texto superaría la capacidad del memo</translation>
    </message>
    <message>
        <source> was changed after the unsaved text was recorded</source>
        <translation> se modificó después de registrar el texto sin guardar</translation>
    </message>
    <message>
        <source>the recovery file is damaged (</source>
        <translation>el archivo de recuperación está dañado (</translation>
    </message>
    <message>
        <source>a record is too short</source>
        <translation>un registro es demasiado corto</translation>
    </message>
    <message>
        <source>a name runs past its record</source>
        <translation>un nombre sobrepasa su registro</translation>
    </message>
    <message>
        <source>a record is too long</source>
        <translation>un registro es demasiado largo</translation>
    </message>
    <message>
        <source>a record does not match its check sum</source>
        <translation>un registro no coincide con su suma de comprobación</translation>
    </message>
    <message>
        <source>it is not a recovery file of this version of Plimo</source>
        <translation>no es un archivo de recuperación de esta versión de Plimo</translation>
    </message>
    <message>
        <source>its start is missing or repeated</source>
        <translation>su comienzo falta o está repetido</translation>
    </message>
    <message>
        <source>a flag is neither yes nor no</source>
        <translation>un indicador no es ni sí ni no</translation>
    </message>
    <message>
        <source>a record of an unknown kind</source>
        <translation>un registro de tipo desconocido</translation>
    </message>
    <message>
        <source>it holds no complete change</source>
        <translation>no contiene ningún cambio completo</translation>
    </message>
    <message>
        <source>an edit lies outside the text</source>
        <translation>un cambio queda fuera del texto</translation>
    </message>
    <message>
        <source>the text&apos;s size does not match</source>
        <translation>el tamaño del texto no coincide</translation>
    </message>
    <message>
        <source>there is not enough memory to rebuild the text</source>
        <translation>no hay memoria suficiente para reconstruir el texto</translation>
    </message>
    <message>
        <source>Cannot print: </source>
        <translation>No se puede imprimir: </translation>
    </message>
    <message>
        <source>the folder cannot be written</source>
        <translation>no se puede escribir en la carpeta</translation>
    </message>
    <message>
        <source>the printer did not start</source>
        <translation>la impresora no empezó</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>no se puede escribir</translation>
    </message>
    <message>
        <source>a page could not be started</source>
        <translation>no se pudo empezar una página</translation>
    </message>
    <message>
        <source>it could not be finished</source>
        <translation>no se pudo terminar</translation>
    </message>
    <message>
        <source>it could not take its name</source>
        <translation>no pudo tomar su nombre</translation>
    </message>
</context>
<context>
    <name>PrintJob</name>
    <message>
        <source>Counting pages...</source>
        <translation>Contando páginas...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Imprimir</translation>
    </message>
    <message>
        <source>Printing page %1 of %2...</source>
        <translation>Imprimiendo página %1 de %2...</translation>
    </message>
</context>
<context>
    <name>PrintPreview</name>
    <message>
        <source>Print Preview</source>
        <translation>Vista previa de impresión</translation>
    </message>
    <message>
        <source>&amp;Previous Page</source>
        <translation>Página &amp;anterior</translation>
    </message>
    <message>
        <source>&amp;Next Page</source>
        <translation>Página &amp;siguiente</translation>
    </message>
    <message>
        <source>P&amp;rint...</source>
        <translation>Im&amp;primir...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Página %1 de %2</translation>
    </message>
</context>
<context>
    <name>QtDesktop</name>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Restaurar</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Descartar</translation>
    </message>
</context>
<context>
    <name>ReplacePanel</name>
    <message>
        <source>Replace</source>
        <translation>Sustituir</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Text to replace</source>
        <translation>Texto que sustituir</translation>
    </message>
    <message>
        <source>Replacement</source>
        <translation>Sustitución</translation>
    </message>
</context>
<context>
    <name>TextPages</name>
    <message>
        <source>page %1 of %2</source>
        <translation>página %1 de %2</translation>
    </message>
</context>
<context>
    <name>TextView</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rehacer</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Pegar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Seleccionar todo</translation>
    </message>
</context>
<context>
    <name>TfAbout</name>
    <message>
        <source>Plimo - About</source>
        <translation>Plimo - Acerca de</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>TfC</name>
    <message>
        <source>size - </source>
        <translation>tamaño - </translation>
    </message>
    <message>
        <source>Recent files are not kept: </source>
        <translation>Los archivos recientes no se guardan: </translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texto</translation>
    </message>
    <message>
        <source>Ln %1, Col %2</source>
        <translation>Lín %1, Col %2</translation>
    </message>
    <message>
        <source>F&amp;ile</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nuevo</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Abrir</translation>
    </message>
    <message>
        <source>Recent &amp;Files</source>
        <translation>Archivos &amp;recientes</translation>
    </message>
    <message>
        <source>&amp;Clear List</source>
        <translation>&amp;Vaciar la lista</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>Sa&amp;ve As</source>
        <translation>Guardar &amp;como</translation>
    </message>
    <message>
        <source>C&amp;lose File</source>
        <translation>Cerrar arc&amp;hivo</translation>
    </message>
    <message>
        <source>&amp;Quick Email</source>
        <translation>Correo &amp;rápido</translation>
    </message>
    <message>
        <source>&amp;Encrypt</source>
        <translation>C&amp;ifrar</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Descifrar</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>&amp;Edición</translation>
    </message>
    <message>
        <source>C&amp;ut</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Pegar</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Seleccionar &amp;todo</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Buscar</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Sustituir</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Buscar si&amp;guiente</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>Buscar ant&amp;erior</translation>
    </message>
    <message>
        <source>&amp;Go to Line</source>
        <translation>&amp;Ir a la línea</translation>
    </message>
    <message>
        <source>Sett&amp;ings</source>
        <translation>A&amp;justes</translation>
    </message>
    <message>
        <source>Selec&amp;t Font	Ctrl+T</source>
        <translation>Elegir &amp;tipo de letra	Ctrl+T</translation>
    </message>
    <message>
        <source>&amp;Type Size</source>
        <translation>Tamaño de &amp;letra</translation>
    </message>
    <message>
        <source>Level A &amp;Pwd</source>
        <translation>Con&amp;traseña nivel A</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>&amp;Ampliar</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>&amp;Reducir</translation>
    </message>
    <message>
        <source>Reset &amp;Zoom</source>
        <translation>Restablecer &amp;zoom</translation>
    </message>
    <message>
        <source>Hel&amp;p</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>Korvex Web Site</source>
        <translation>Sitio web de Korvex</translation>
    </message>
    <message>
        <source>Korvex Support Email</source>
        <translation>Correo al soporte de Korvex</translation>
    </message>
    <message>
        <source>Korvex Sales Email</source>
        <translation>Correo a ventas de Korvex</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Saving %1 was interrupted. Its previous content is kept in %2.</source>
        <translation>Se interrumpió el guardado de %1. Su contenido anterior se guarda en %2.</translation>
    </message>
    <message>
        <source>About </source>
        <translation>Acerca de </translation>
    </message>
    <message>
        <source> (%1 selected)</source>
        <translation> (%1 seleccionados)</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>Im&amp;primir</translation>
    </message>
    <message>
        <source>Print Previe&amp;w</source>
        <translation>&amp;Vista previa de impresión</translation>
    </message>
    <message>
        <source>Line &amp;Numbers</source>
        <translation>&amp;Números de línea</translation>
    </message>
    <message>
        <source>&amp;Keep Recovery Copies</source>
        <translation>Guardar &amp;copias de recuperación</translation>
    </message>
    <message>
        <source>Recovery copies are off for this run: </source>
        <translation>Copias de recuperación desactivadas en esta ejecución: </translation>
    </message>
    <message>
        <source>The unsaved text could not be restored, and is kept in %1: </source>
        <translation>El texto sin guardar no se pudo restaurar y se conserva en %1: </translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>no se puede leer</translation>
    </message>
    <message>
        <source>Plimo was not closed properly. Restore the unsaved text of %1 (last change %2)?</source>
        <translation>Plimo no se cerró correctamente. ¿Restaurar el texto sin guardar de %1 (último cambio %2)?</translation>
    </message>
</context>
<context>
    <name>TfHelpPas</name>
    <message>
        <source>Plimo - Help</source>
        <translation>Plimo - Ayuda</translation>
    </message>
    <message>
        <source>Visit Plimo Help pages online</source>
        <translation>Visitar las páginas de ayuda de Plimo en línea</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>TfNote</name>
    <message>
        <source>Plimo - Note</source>
        <translation>Plimo - Aviso</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>TypePanel</name>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Letra</translation>
    </message>
    <message>
        <source>Type size</source>
        <translation>Tamaño de letra</translation>
    </message>
    <message>
        <source>Typeface</source>
        <translation>Tipo de letra</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Predeterminado</translation>
    </message>
</context>
</TS>
