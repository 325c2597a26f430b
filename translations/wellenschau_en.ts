<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>EWellenschauError</name>
    <message>
        <source>Der Minimalwert einer Achse muss &lt;= Maximum sein</source>
        <translation>The minimum of an axis must be &lt;= its maximum</translation>
    </message>
    <message>
        <source>Der Maximalwert einer Achse muss &gt;= Minimum sein</source>
        <translation>The maximum of an axis must be &gt;= its minimum</translation>
    </message>
    <message>
        <source>Die Achsensteigung muss &gt;= 0 sein</source>
        <translation>The axis increment must be &gt;= 0</translation>
    </message>
    <message>
        <source>Eine Datum/Zeit-Achse darf nicht logarithmisch sein</source>
        <translation>A date/time axis must not be logarithmic</translation>
    </message>
    <message>
        <source>Min.- und Max.-Werte von log. Achsen sollten &gt;= 0 sein</source>
        <translation>Minimum and maximum of logarithmic axes should be &gt;= 0</translation>
    </message>
    <message>
        <source>Titelseparation % muss größer als 0 sein</source>
        <translation>Label separation % must be greater than 0</translation>
    </message>
    <message>
        <source>Fehler bei Bereichsprüfung</source>
        <translation>Range check error</translation>
    </message>
    <message>
        <source>Integerüberlauf</source>
        <translation>Integer overflow</translation>
    </message>
</context>
<context>
    <name>InputDevices</name>
    <message>
        <source>Keine Eingabegeräte gefunden. Läuft ein Tonserver (PulseAudio oder PipeWire)?</source>
        <translation>No input devices found. Is a sound server (PulseAudio or PipeWire) running?</translation>
    </message>
</context>
<context>
    <name>SystemReason</name>
    <message>
        <source>Kein Platz mehr auf dem Datenträger</source>
        <translation>No space left on the device</translation>
    </message>
    <message>
        <source>Speicherkontingent überschritten</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>Keine Berechtigung</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>Das Dateisystem ist schreibgeschützt</source>
        <translation>The file system is read-only</translation>
    </message>
    <message>
        <source>Ein-/Ausgabefehler</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Verzeichnis nicht gefunden</source>
        <translation>Folder not found</translation>
    </message>
    <message>
        <source>Ein Teil des Pfades ist kein Verzeichnis</source>
        <translation>A part of the path is not a folder</translation>
    </message>
    <message>
        <source>Der Pfad ist ein Verzeichnis</source>
        <translation>The path is a folder</translation>
    </message>
    <message>
        <source>Die Datei existiert bereits</source>
        <translation>The file already exists</translation>
    </message>
    <message>
        <source>Zu viele symbolische Verweise im Pfad</source>
        <translation>Too many symbolic links in the path</translation>
    </message>
    <message>
        <source>Der Name ist zu lang</source>
        <translation>The name is too long</translation>
    </message>
    <message>
        <source>Die Datei ist zu groß</source>
        <translation>The file is too large</translation>
    </message>
</context>
<context>
    <name>TAnalyserViewText</name>
    <message>
        <source>Eingang:</source>
        <translation>Input:</translation>
    </message>
    <message>
        <source>Mittelung des Spektrums und der Klirrwerte (Leistungsmittel)</source>
        <translation>Averaging of the spectrum and the distortion figures (power average)</translation>
    </message>
    <message>
        <source>Mittelung aus</source>
        <translation>No averaging</translation>
    </message>
    <message>
        <source>exponentiell</source>
        <translation>exponential</translation>
    </message>
    <message>
        <source>linear</source>
        <translation>linear</translation>
    </message>
    <message>
        <source>seit Beginn</source>
        <translation>since the start</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Zeitkonstante</source>
        <translation>Time constant</translation>
    </message>
    <message>
        <source> Puffer</source>
        <translation> buffers</translation>
    </message>
    <message>
        <source>Oberschwingungen: </source>
        <translation>Harmonics: </translation>
    </message>
    <message>
        <source>Eingang %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source> (Standard)</source>
        <translation> (default)</translation>
    </message>
    <message>
        <source>Zwei Kanäle</source>
        <translation>Two channels</translation>
    </message>
    <message>
        <source>Die Aufnahmedatei von --record behält ihre Kanalzahl; --channels wählt sie beim Start.</source>
        <translation>The recording file of --record keeps its channel count; --channels chooses it at the start.</translation>
    </message>
    <message>
        <source>Die Datei hat nur einen Kanal.</source>
        <translation>The file has only one channel.</translation>
    </message>
    <message>
        <source>Das Gerät hat nur einen Kanal.</source>
        <translation>The device has only one channel.</translation>
    </message>
    <message>
        <source>Nimmt zwei Kanäle auf: links Kanal A, rechts Kanal B</source>
        <translation>Records two channels: left channel A, right channel B</translation>
    </message>
    <message>
        <source>Verlauf (min)</source>
        <translation>History (min)</translation>
    </message>
    <message>
        <source>So viele Minuten der Aufnahme hält die Analyseansicht zum Zurückblicken</source>
        <translation>So many minutes of the recording the analyser view keeps for looking back</translation>
    </message>
    <message>
        <source>Anhalten</source>
        <translation>Hold</translation>
    </message>
    <message>
        <source>Hält die Diagramme an, während die Aufnahme weiterläuft; der Regler wählt einen gehaltenen Moment</source>
        <translation>Holds the charts while recording goes on; the slider picks a kept moment</translation>
    </message>
    <message>
        <source>Weiter</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>vor %1 s</source>
        <translation>%1 s ago</translation>
    </message>
    <message>
        <source>Speichert den gewählten Abschnitt als WAV mit den Dateien des Exports</source>
        <translation>Saves the selected span as a WAV with the export&apos;s files</translation>
    </message>
    <message>
        <source>Erst einen Abschnitt wählen: im Verlaufsspektrogramm mit gedrückter Umschalttaste ziehen</source>
        <translation>First select a span: drag with Shift held on the history spectrogram</translation>
    </message>
</context>
<context>
    <name>TBandPanelText</name>
    <message>
        <source>Bandbreite der Bänder</source>
        <translation>Width of the bands</translation>
    </message>
    <message>
        <source>Oktaven</source>
        <translation>Octaves</translation>
    </message>
    <message>
        <source>Terzen</source>
        <translation>Third octaves</translation>
    </message>
    <message>
        <source>Frequenzbewertung</source>
        <translation>Frequency weighting</translation>
    </message>
    <message>
        <source>A-bewertet</source>
        <translation>A-weighted</translation>
    </message>
    <message>
        <source>C-bewertet</source>
        <translation>C-weighted</translation>
    </message>
    <message>
        <source>Z (unbewertet)</source>
        <translation>Z (unweighted)</translation>
    </message>
    <message>
        <source>Zeitbewertung</source>
        <translation>Time weighting</translation>
    </message>
    <message>
        <source>Fast (125 ms)</source>
        <translation>Fast (125 ms)</translation>
    </message>
    <message>
        <source>Slow (1 s)</source>
        <translation>Slow (1 s)</translation>
    </message>
    <message>
        <source>Leq seit Start</source>
        <translation>Leq since start</translation>
    </message>
    <message>
        <source>Kalibrieren …</source>
        <translation>Calibrate …</translation>
    </message>
    <message>
        <source>Mittenfrequenz (Hz)</source>
        <translation>Midband frequency (Hz)</translation>
    </message>
    <message>
        <source>Pegel (%1)</source>
        <translation>Level (%1)</translation>
    </message>
</context>
<context>
    <name>TCalibrationDialogText</name>
    <message>
        <source>Kalibrierung</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>Eingang:</source>
        <translation>Input:</translation>
    </message>
    <message>
        <source>Einheit:</source>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>Ein Sinus mit Vollaussteuerung entspricht:</source>
        <translation>A full-scale sine corresponds to:</translation>
    </message>
    <message>
        <source>Mit Schallpegelkalibrator</source>
        <translation>With a sound calibrator</translation>
    </message>
    <message>
        <source>Kalibratorton messen</source>
        <translation>Measure calibrator tone</translation>
    </message>
    <message>
        <source>Kalibrator auf das Mikrofon setzen und einschalten, seinen Pegel eintragen, dann messen.</source>
        <translation>Put the calibrator on the microphone and switch it on, enter its level, then measure.</translation>
    </message>
    <message>
        <source>Pegel des Kalibrators:</source>
        <translation>Calibrator level:</translation>
    </message>
    <message>
        <source>Übernehmen</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Kalibrierung entfernen</source>
        <translation>Remove calibration</translation>
    </message>
    <message>
        <source> V (RMS)</source>
        <translation> V (RMS)</translation>
    </message>
    <message>
        <source>Am Eingang ist kein Ton: Kalibrator einschalten, die Aufnahme starten und erneut messen.</source>
        <translation>There is no tone at the input: switch the calibrator on, start recording and measure again.</translation>
    </message>
    <message>
        <source>Der Ton ist mit %1 dBFS zu leise für einen Kalibrator: Eingang und Kalibrator prüfen.</source>
        <translation>At %1 dBFS the tone is too quiet for a calibrator: check the input and the calibrator.</translation>
    </message>
    <message>
        <source>Gemessen: %1 dBFS, also entspricht Vollaussteuerung %2 dB SPL.</source>
        <translation>Measured: %1 dBFS, so full scale corresponds to %2 dB SPL.</translation>
    </message>
</context>
<context>
    <name>TCaptureRecordingText</name>
    <message>
        <source>Die Aufnahme in „%1“ wurde angehalten: Der Datenträger antwortet nicht.</source>
        <translation>The recording into “%1” was stopped: the disk does not respond.</translation>
    </message>
</context>
<context>
    <name>TCommandLineText</name>
    <message>
        <source>Zeigt diese Hilfe.</source>
        <translation>Shows this help.</translation>
    </message>
    <message>
        <source>Zeigt die Version.</source>
        <translation>Shows the version.</translation>
    </message>
    <message>
        <source>Spielt DATEI (WAV, FLAC, Ogg, AIFF, ...) statt der Soundkarte ab.</source>
        <translation>Plays FILE (WAV, FLAC, Ogg, AIFF, ...) instead of the sound card.</translation>
    </message>
    <message>
        <source>DATEI</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Listet die Eingabegeräte mit Nummern, Namen und Beschreibungen.</source>
        <translation>Lists the input devices with numbers, names and descriptions.</translation>
    </message>
    <message>
        <source>Nimmt vom Eingabegerät GERÄT (Nummer oder Name aus --list-devices) statt vom Standardgerät auf.</source>
        <translation>Records from the input device DEVICE (number or name from --list-devices) instead of the default device.</translation>
    </message>
    <message>
        <source>GERÄT</source>
        <translation>DEVICE</translation>
    </message>
    <message>
        <source>Analysiert die Datei von --input ohne Fenster und schreibt Bilder und Daten nach ORDNER.</source>
        <translation>Analyses the file of --input without a window and writes pictures and data into FOLDER.</translation>
    </message>
    <message>
        <source>ORDNER</source>
        <translation>FOLDER</translation>
    </message>
    <message>
        <source>Beendet den Export nach N Puffern.</source>
        <translation>Ends the export after N buffers.</translation>
    </message>
    <message>
        <source>Farbpalette des Spektrogramms: %1.</source>
        <translation>Colour palette of the spectrogram: %1.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>Schaltet &quot;3x schneller&quot; ein.</source>
        <translation>Switches &quot;3x faster&quot; on.</translation>
    </message>
    <message>
        <source>Schaltet &quot;Auto-Skala&quot; aus.</source>
        <translation>Switches &quot;Auto scale&quot; off.</translation>
    </message>
    <message>
        <source>Schaltet die Spitzenwertanzeige ein.</source>
        <translation>Switches the peak hold on.</translation>
    </message>
    <message>
        <source>Schreibt jedes aufgenommene Sample in eine neue WAV-Datei DATEI; eine vorhandene Datei bleibt ohne --overwrite unberührt.</source>
        <translation>Writes every recorded sample into a new WAV file FILE; an existing file stays untouched without --overwrite.</translation>
    </message>
    <message>
        <source>Erlaubt --record, eine vorhandene Datei zu ersetzen.</source>
        <translation>Allows --record to replace an existing file.</translation>
    </message>
    <message>
        <source>Öffnet die Analyseansicht: Oszilloskop, Bandpegel, Spektrum und Spektrogramm (F2 wechselt).</source>
        <translation>Opens the analyser view: oscilloscope, band levels, spectrum and spectrogram (F2 switches).</translation>
    </message>
    <message>
        <source>Zeigt die Messwertzeile unter dem Oszilloskop (F3 wechselt).</source>
        <translation>Shows the readout line below the oscilloscope (F3 switches).</translation>
    </message>
    <message>
        <source>Schreibt beim Export und mit Strg+S auch Klirrfaktor, Rauschabstand und Oberschwingungen.</source>
        <translation>Also writes distortion, signal-to-noise ratio and harmonics in the export and with Ctrl+S.</translation>
    </message>
    <message>
        <source>Schreibt beim Export auch Schallpegel: A- und C-bewertet, Terzbänder und Mittelungspegel.</source>
        <translation>Also writes sound levels in the export: A- and C-weighted, third-octave bands and equivalent levels.</translation>
    </message>
    <message>
        <source>Kalibriert den Export: ein Vollaussteuerungs-Sinus hat DB dB SPL (setzt --sound-level).</source>
        <translation>Calibrates the export: a full-scale sine has DB dB SPL (sets --sound-level).</translation>
    </message>
    <message>
        <source>Kalibriert den Export: ein Vollaussteuerungs-Sinus hat V Volt effektiv; Pegel in dBV (setzt --sound-level).</source>
        <translation>Calibrates the export: a full-scale sine has V volts RMS; levels in dBV (sets --sound-level).</translation>
    </message>
    <message>
        <source>Sprache der Texte: de (Deutsch) oder en (Englisch); ohne die Option nach dem Gebietsschema (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).</source>
        <translation>Language of the texts: de (German) or en (English); without the option from the locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).</translation>
    </message>
    <message>
        <source>SPRACHE</source>
        <translation>LANGUAGE</translation>
    </message>
    <message>
        <source>Wellenschau: Oszilloskop und Spektrumanalyse für die Soundkarte.</source>
        <translation>Wellenschau: oscilloscope and spectrum analyser for the sound card.</translation>
    </message>
    <message>
        <source>--list-devices lässt sich mit keiner anderen Option verbinden.</source>
        <translation>--list-devices cannot be combined with any other option.</translation>
    </message>
    <message>
        <source>--export braucht --input DATEI.</source>
        <translation>--export needs --input FILE.</translation>
    </message>
    <message>
        <source>--device und --input schließen sich aus.</source>
        <translation>--device and --input exclude each other.</translation>
    </message>
    <message>
        <source>--buffers gilt nur mit --export.</source>
        <translation>--buffers only applies with --export.</translation>
    </message>
    <message>
        <source>--overwrite gilt nur mit --record.</source>
        <translation>--overwrite only applies with --record.</translation>
    </message>
    <message>
        <source>--analyser und --measurements gelten nur für das Fenster.</source>
        <translation>--analyser and --measurements only apply to the window.</translation>
    </message>
    <message>
        <source>--sound-level, --spl-at-full-scale und --volts-at-full-scale gelten nur mit --export.</source>
        <translation>--sound-level, --spl-at-full-scale and --volts-at-full-scale only apply with --export.</translation>
    </message>
    <message>
        <source>--spl-at-full-scale und --volts-at-full-scale schließen sich aus.</source>
        <translation>--spl-at-full-scale and --volts-at-full-scale exclude each other.</translation>
    </message>
    <message>
        <source>--spl-at-full-scale erwartet einen Pegel in dB SPL: &apos;%1&apos;</source>
        <translation>--spl-at-full-scale expects a level in dB SPL: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--volts-at-full-scale erwartet eine Spannung in Volt über 0: &apos;%1&apos;</source>
        <translation>--volts-at-full-scale expects a voltage in volts above 0: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Unerwartetes Argument: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>--device erwartet eine Gerätenummer ab 0: &apos;%1&apos;</source>
        <translation>--device expects a device number from 0: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--buffers erwartet eine ganze Zahl ab 1: &apos;%1&apos;</source>
        <translation>--buffers expects a whole number from 1: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--language erwartet de oder en: &apos;%1&apos;</source>
        <translation>--language expects de or en: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Unbekannte Palette &apos;%1&apos;. Bekannt sind: %2.</source>
        <translation>Unknown palette &apos;%1&apos;. Known are: %2.</translation>
    </message>
    <message>
        <source>--%1 braucht einen Namen.</source>
        <translation>--%1 needs a name.</translation>
    </message>
    <message>
        <source>Nimmt N Kanäle auf: 1 (Vorgabe) oder 2 (links Kanal A, rechts Kanal B, jeder mit eigenen Messwerten).</source>
        <translation>Records N channels: 1 (the default) or 2 (left channel A, right channel B, each with its own measurements).</translation>
    </message>
    <message>
        <source>--channels erwartet 1 oder 2: &apos;%1&apos;</source>
        <translation>--channels expects 1 or 2: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Trigger des Oszilloskops: peak (die Spitze, wie ohne Option) oder edge (eine Flanke).</source>
        <translation>The oscilloscope&apos;s trigger: peak (the peak, as without the option) or edge (an edge).</translation>
    </message>
    <message>
        <source>ART</source>
        <translation>KIND</translation>
    </message>
    <message>
        <source>Pegel der Flanke in Prozent des Vollausschlags, -100 bis 100 (0 ohne Option).</source>
        <translation>Level of the edge in percent of full scale, -100 to 100 (0 without the option).</translation>
    </message>
    <message>
        <source>PROZENT</source>
        <translation>PERCENT</translation>
    </message>
    <message>
        <source>Richtung der Flanke: rising (steigend) oder falling (fallend).</source>
        <translation>Direction of the edge: rising or falling.</translation>
    </message>
    <message>
        <source>RICHTUNG</source>
        <translation>DIRECTION</translation>
    </message>
    <message>
        <source>Kanal, dessen Flanke triggert: A oder B.</source>
        <translation>Channel whose edge triggers: A or B.</translation>
    </message>
    <message>
        <source>KANAL</source>
        <translation>CHANNEL</translation>
    </message>
    <message>
        <source>Anteil des Bildes vor dem Trigger in Prozent, 0 bis 100 (0 ohne Option).</source>
        <translation>Share of the picture before the trigger in percent, 0 to 100 (0 without the option).</translation>
    </message>
    <message>
        <source>--%1 erwartet %2: &apos;%3&apos;</source>
        <translation>--%1 expects %2: &apos;%3&apos;</translation>
    </message>
    <message>
        <source> oder </source>
        <translation> or </translation>
    </message>
    <message>
        <source>--%1 erwartet Prozent von %2 bis %3: &apos;%4&apos;</source>
        <translation>--%1 expects a percentage from %2 to %3: &apos;%4&apos;</translation>
    </message>
    <message>
        <source>--trigger-level, --trigger-slope und --trigger-source gelten nur mit --trigger edge.</source>
        <translation>--trigger-level, --trigger-slope and --trigger-source only apply with --trigger edge.</translation>
    </message>
    <message>
        <source>Die Analyseansicht hält die letzten MINUTEN der Aufnahme zum Zurückblicken, 0.1 bis 60 (10 ohne Option).</source>
        <translation>The analyser view keeps the last MINUTES of the recording for looking back, 0.1 to 60 (10 without the option).</translation>
    </message>
    <message>
        <source>MINUTEN</source>
        <translation>MINUTES</translation>
    </message>
    <message>
        <source>--history erwartet Minuten von 0.1 bis 60: &apos;%1&apos;</source>
        <translation>--history expects minutes from 0.1 to 60: &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>TDeviceLineText</name>
    <message>
        <source>Monitor von %1</source>
        <translation>Monitor of %1</translation>
    </message>
    <message>
        <source>	(Standard)</source>
        <translation>	(default)</translation>
    </message>
</context>
<context>
    <name>TDisplaySetupText</name>
    <message>
        <source>Frequenz (Hz)</source>
        <translation>Frequency (Hz)</translation>
    </message>
    <message>
        <source>Schallpegel (dB)</source>
        <translation>Sound level (dB)</translation>
    </message>
    <message>
        <source>Zeit(ms)</source>
        <translation>Time(ms)</translation>
    </message>
    <message>
        <source>Zeit (s)</source>
        <translation>Time (s)</translation>
    </message>
</context>
<context>
    <name>TExportFilesText</name>
    <message>
        <source>Die Datei &apos;%1&apos; lässt sich nicht schreiben: %2</source>
        <translation>The file &apos;%1&apos; cannot be written: %2</translation>
    </message>
    <message>
        <source>Der Ordner &apos;%1&apos; lässt sich nicht anlegen: %2.</source>
        <translation>The folder &apos;%1&apos; cannot be created: %2.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; ist eine Datei, kein Ordner</source>
        <translation>&apos;%1&apos; is a file, not a folder</translation>
    </message>
    <message>
        <source>&apos;%1&apos; ist ein Verweis auf ein fehlendes Ziel</source>
        <translation>&apos;%1&apos; is a link to a missing target</translation>
    </message>
    <message>
        <source>Das Bild lässt sich nicht als PNG kodieren</source>
        <translation>The picture cannot be encoded as PNG</translation>
    </message>
</context>
<context>
    <name>TFileWaveInText</name>
    <message>
        <source>Ende der Datei erreicht</source>
        <translation>End of file reached</translation>
    </message>
    <message>
        <source>Die Datei „%1“ enthält keine Samples.</source>
        <translation>The file “%1” contains no samples.</translation>
    </message>
</context>
<context>
    <name>TForm1Text</name>
    <message>
        <source>Die Aufnahme ließ sich nicht starten: %1</source>
        <translation>The recording could not be started: %1</translation>
    </message>
    <message>
        <source>Die Aufnahme wurde beendet: %1</source>
        <translation>The recording was ended: %1</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>Pau&amp;se</source>
        <translation>Pau&amp;se</translation>
    </message>
    <message>
        <source>S&amp;chnappschuss</source>
        <translation>Snaps&amp;hot</translation>
    </message>
    <message>
        <source>&amp;Löschen</source>
        <translation>&amp;Clear</translation>
    </message>
    <message>
        <source>&amp;Hintergrundsubtraktion</source>
        <translation>&amp;Background subtraction</translation>
    </message>
    <message>
        <source>S&amp;pitzenwertanzeige</source>
        <translation>&amp;Peak hold</translation>
    </message>
    <message>
        <source>Auto-Skala</source>
        <translation>Auto scale</translation>
    </message>
    <message>
        <source>3x schneller</source>
        <translation>3x faster</translation>
    </message>
    <message>
        <source>weißer Hintergrund</source>
        <translation>white background</translation>
    </message>
    <message>
        <source>Select a custom palette</source>
        <translation>Select a custom palette</translation>
    </message>
    <message>
        <source>Ordner für Bilder und Daten wählen</source>
        <translation>Choose a folder for pictures and data</translation>
    </message>
</context>
<context>
    <name>THistorySpectrogramText</name>
    <message>
        <source>Zeit seit Beginn des Verlaufs (s)</source>
        <translation>Time since the history began (s)</translation>
    </message>
    <message>
        <source>Klick: Zeitpunkt wählen; Umschalt+Ziehen: Abschnitt wählen; Ziehen nach rechts unten: zoomen, nach links oben: zurück; rechte Taste: verschieben</source>
        <translation>Click: pick a moment; Shift+drag: select a span; drag to the lower right: zoom, to the upper left: back; right button: pan</translation>
    </message>
</context>
<context>
    <name>TMomentSaveText</name>
    <message>
        <source>Die Puffer %1 bis %2 sind nicht (mehr) im Verlauf; er hält die Puffer %3 bis %4.</source>
        <translation>Buffers %1 to %2 are not (or no longer) in the history; it holds buffers %3 to %4.</translation>
    </message>
    <message>
        <source>Im Ordner &apos;%1&apos; gibt es schon &apos;%2&apos;; ein Moment ersetzt keine Datei. Bitte einen anderen Ordner wählen.</source>
        <translation>The folder &apos;%1&apos; already holds &apos;%2&apos;; saving a moment replaces no file. Please choose another folder.</translation>
    </message>
    <message>
        <source>Moment speichern …</source>
        <translation>Save moment …</translation>
    </message>
    <message>
        <source>Ordner für den gespeicherten Moment wählen</source>
        <translation>Choose the folder for the saved moment</translation>
    </message>
    <message>
        <source>Der Moment wurde nicht gespeichert: %1</source>
        <translation>The moment was not saved: %1</translation>
    </message>
</context>
<context>
    <name>TPointerValuesText</name>
    <message>
        <source>vor %1 s</source>
        <translation>%1 s ago</translation>
    </message>
</context>
<context>
    <name>TPortAudioWaveInText</name>
    <message>
        <source>Der Aufnahmestrom des Eingabegeräts ist stehen geblieben.</source>
        <translation>The recording stream of the input device has stalled.</translation>
    </message>
    <message>
        <source>Das Eingabegerät liefert keine Daten mehr (Tonserver beendet oder Gerät entfernt?).</source>
        <translation>The input device delivers no more data (sound server ended or device removed?).</translation>
    </message>
    <message>
        <source>Die Quelle &quot;%1&quot; ist verschwunden.</source>
        <translation>The source &quot;%1&quot; has vanished.</translation>
    </message>
</context>
<context>
    <name>TReadoutLineText</name>
    <message>
        <source>   |   Zeiger: </source>
        <translation>   |   Pointer: </translation>
    </message>
</context>
<context>
    <name>TReadoutText</name>
    <message>
        <source>   Übersprungen: %1 Puffer</source>
        <translation>   Skipped: %1 buffers</translation>
    </message>
    <message>
        <source>Frequenz %1%2   Ton %3   RMS %4   Spitze %5%6%7%8</source>
        <translation>Frequency %1%2   Tone %3   RMS %4   Peak %5%6%7%8</translation>
    </message>
    <message>
        <source>Kanal B: %1   Phase B−A %2</source>
        <translation>Channel B: %1   Phase B−A %2</translation>
    </message>
</context>
<context>
    <name>TRecordTargetText</name>
    <message>
        <source>Die Aufnahmedatei „%1“ ist die Eingabedatei „%2“; die Aufnahme würde sie zerstören.</source>
        <translation>The recording file “%1” is the input file “%2”; the recording would destroy it.</translation>
    </message>
    <message>
        <source>Die Aufnahmedatei „%1“ ist die Datei „%2“ des Exports; bitte einen anderen Namen wählen.</source>
        <translation>The recording file “%1” is the export&apos;s file “%2”; please choose another name.</translation>
    </message>
    <message>
        <source>Die Aufnahmedatei „%1“ gibt es schon; --overwrite ersetzt sie.</source>
        <translation>The recording file “%1” already exists; --overwrite replaces it.</translation>
    </message>
</context>
<context>
    <name>TScopePanelText</name>
    <message>
        <source>Kanal A</source>
        <translation>Channel A</translation>
    </message>
    <message>
        <source>Kanal B</source>
        <translation>Channel B</translation>
    </message>
    <message>
        <source>Trigger:</source>
        <translation>Trigger:</translation>
    </message>
    <message>
        <source>Spitze</source>
        <translation>Peak</translation>
    </message>
    <message>
        <source>Flanke</source>
        <translation>Edge</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>Triggerpegel in % des Vollausschlags</source>
        <translation>Trigger level in % of full scale</translation>
    </message>
    <message>
        <source>steigend</source>
        <translation>rising</translation>
    </message>
    <message>
        <source>fallend</source>
        <translation>falling</translation>
    </message>
    <message>
        <source>von A</source>
        <translation>from A</translation>
    </message>
    <message>
        <source>von B</source>
        <translation>from B</translation>
    </message>
    <message>
        <source> % vorher</source>
        <translation> % before</translation>
    </message>
    <message>
        <source>Triggerposition: Anteil des Bildes vor dem Trigger</source>
        <translation>Trigger position: share of the picture before the trigger</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Einzeln</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>Neu scharf schalten</source>
        <translation>Re-arm</translation>
    </message>
    <message>
        <source>Zeitbasis wie gespeichert</source>
        <translation>Stored time base</translation>
    </message>
    <message>
        <source>%1 ms/Div</source>
        <translation>%1 ms/div</translation>
    </message>
    <message>
        <source>Amplitude automatisch</source>
        <translation>Automatic amplitude</translation>
    </message>
    <message>
        <source>%1 V/Div</source>
        <translation>%1 V/div</translation>
    </message>
    <message>
        <source>%1 %/Div</source>
        <translation>%1 %/div</translation>
    </message>
    <message>
        <source>Cursor</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <source>Zwei senkrechte und zwei waagerechte Messlinien, mit der Maus verschiebbar</source>
        <translation>Two vertical and two horizontal measuring lines, moved with the mouse</translation>
    </message>
    <message>
        <source>X-Y</source>
        <translation>X-Y</translation>
    </message>
    <message>
        <source>Kanal A waagerecht, Kanal B senkrecht: Phase und Lissajous-Figuren</source>
        <translation>Channel A across, channel B up: phase and Lissajous figures</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>t1 = %1 ms   t2 = %2 ms   Δt = %3 ms   1/Δt = %4   A1 = %5 %8   A2 = %6 %8   ΔA = %7 %8</source>
        <translation>t1 = %1 ms   t2 = %2 ms   Δt = %3 ms   1/Δt = %4   A1 = %5 %8   A2 = %6 %8   ΔA = %7 %8</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>–</source>
        <translation>–</translation>
    </message>
    <message>
        <source>Rollen %1 ms/Div</source>
        <translation>Roll %1 ms/div</translation>
    </message>
    <message>
        <source>Rollen %1 s/Div</source>
        <translation>Roll %1 s/div</translation>
    </message>
    <message>
        <source>Rollen braucht den Verlauf der letzten Minuten; er wird nur in der Analyseansicht gehalten.</source>
        <translation>Rolling needs the history of the last minutes; it is kept only in the analyser view.</translation>
    </message>
</context>
<context>
    <name>TScopeTrace</name>
    <message>
        <source>Kanal A (%)</source>
        <translation>Channel A (%)</translation>
    </message>
    <message>
        <source>Kanal B (%)</source>
        <translation>Channel B (%)</translation>
    </message>
</context>
<context>
    <name>TSessionText</name>
    <message>
        <source>Es gibt kein Eingabegerät &quot;%1&quot;. Vorhanden sind:
%2</source>
        <translation>There is no input device &quot;%1&quot;. There are:
%2</translation>
    </message>
    <message>
        <source>Der Ordner &apos;%1&apos; lässt sich nicht anlegen: %2</source>
        <translation>The folder &apos;%1&apos; cannot be created: %2</translation>
    </message>
    <message>
        <source>%1 Samples aufgenommen; die Anzeige hat %2 Puffer übersprungen.</source>
        <translation>%1 samples recorded; the display skipped %2 buffers.</translation>
    </message>
    <message>
        <source>%1 Samples gingen verloren, weil die Datei nicht schnell genug geschrieben wurde.</source>
        <translation>%1 samples were lost because the file was not written fast enough.</translation>
    </message>
    <message>
        <source>%1 Samples ließen sich nicht mehr in die Datei schreiben.</source>
        <translation>%1 samples could no longer be written into the file.</translation>
    </message>
    <message>
        <source>Der Arbeitsspeicher reicht nicht aus; das Programm wurde beendet.</source>
        <translation>Out of memory; the program was ended.</translation>
    </message>
    <message>
        <source>Interner Fehler, das Programm wurde beendet: %1</source>
        <translation>Internal error, the program was ended: %1</translation>
    </message>
    <message>
        <source>Der Export wurde durch Signal %1 abgebrochen; seine Dateien wurden nicht geschrieben.</source>
        <translation>The export was stopped by signal %1; its files were not written.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; enthält keine Samples.</source>
        <translation>&apos;%1&apos; contains no samples.</translation>
    </message>
    <message>
        <source>Das Eingabegerät %1 hat nur einen Kanal; --channels 2 braucht zwei.</source>
        <translation>The input device %1 has only one channel; --channels 2 needs two.</translation>
    </message>
</context>
<context>
    <name>TSoundFileReaderText</name>
    <message>
        <source>Die Datei „%1“ lässt sich nicht lesen: %2</source>
        <translation>The file “%1” cannot be read: %2</translation>
    </message>
    <message>
        <source>Das ist ein Ordner.</source>
        <translation>It is a folder.</translation>
    </message>
    <message>
        <source>Das ist keine gewöhnliche Datei, sondern eine Pipe, ein Socket oder ein Gerät; gelesen werden nur Dateien, in denen sich springen lässt.</source>
        <translation>It is not a regular file but a pipe, a socket or a device; only files that allow seeking are read.</translation>
    </message>
    <message>
        <source>Ihr Kopf gibt eine Abtastrate von 0 Hz (oder darunter) oder keine Kanäle an.</source>
        <translation>Its header states a sample rate of 0 Hz (or below) or no channels.</translation>
    </message>
    <message>
        <source>Die Datei „%1“ lässt sich nicht umrechnen: %2</source>
        <translation>The file “%1” cannot be resampled: %2</translation>
    </message>
    <message>
        <source>Die Datei „%1“ gibt keine gültige Abtastrate oder Kanalzahl an.</source>
        <translation>The file “%1” states no valid sample rate or channel count.</translation>
    </message>
    <message>
        <source>Die Datei „%1“ endet nach %2 s ohne ihre letzte Seite, die ihre Länge angibt; ausgewertet ist, was sich lesen ließ.</source>
        <translation>The file “%1” ends after %2 s without its last page, which states its length; what could be read has been analysed.</translation>
    </message>
    <message>
        <source>Die Datei „%1“ endet nach %2 s, ihr Kopf gibt %3 s an; ausgewertet ist, was sich lesen ließ.</source>
        <translation>The file “%1” ends after %2 s, its header states %3 s; what could be read has been analysed.</translation>
    </message>
    <message>
        <source>Fehler beim Lesen der Datei „%1“ nach %2 s: %3</source>
        <translation>Error reading the file “%1” after %2 s: %3</translation>
    </message>
    <message>
        <source>Die Datei „%1“ hat nur einen Kanal; für zwei Kanäle braucht es eine Datei mit mindestens zwei.</source>
        <translation>The file “%1” has only one channel; two channels need a file with at least two.</translation>
    </message>
</context>
<context>
    <name>TStopSignals</name>
    <message>
        <source>Die Signalbehandlung lässt sich nicht einrichten.</source>
        <translation>The signal handling cannot be set up.</translation>
    </message>
</context>
<context>
    <name>TWavRecorderText</name>
    <message>
        <source>Die Aufnahmedatei „%1“ lässt sich nicht anlegen: %2.</source>
        <translation>The recording file “%1” cannot be created: %2.</translation>
    </message>
    <message>
        <source>Die Aufnahmedatei „%1“ ist eine Pipe oder ein Gerät ohne Positionierung; eine Aufnahme braucht eine gewöhnliche Datei.</source>
        <translation>The recording file “%1” is a pipe or a device without seeking; a recording needs a regular file.</translation>
    </message>
    <message>
        <source>Die Aufnahme in „%1“ wurde angehalten: %2.</source>
        <translation>The recording into “%1” was stopped: %2.</translation>
    </message>
    <message>
        <source>Die Aufnahme in „%1“ ist bereits beendet.</source>
        <translation>The recording into “%1” has already ended.</translation>
    </message>
    <message>
        <source>Die Aufnahmedatei „%1“ ließ sich nicht schließen: %2.</source>
        <translation>The recording file “%1” could not be closed: %2.</translation>
    </message>
</context>
</TS>
