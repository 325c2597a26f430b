#include "CommandLine.h"
#include "Language.h"
#include "LookBack.h"

#include "palette/PaletteMemo.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cmath>

namespace wellenschau {

namespace {

constexpr int UsageError = 2;

// The translation context of this file's texts.
struct TCommandLineText {
    Q_DECLARE_TR_FUNCTIONS(TCommandLineText)
};

struct TOptionSet {
    QCommandLineOption Help{{"h", "help"}, TCommandLineText::tr("Zeigt diese Hilfe.")};
    QCommandLineOption Version{{"v", "version"}, TCommandLineText::tr("Zeigt die Version.")};
    QCommandLineOption Input{"input",
                             TCommandLineText::tr("Spielt DATEI (WAV, FLAC, Ogg, AIFF, ...) statt der Soundkarte ab."),
                             TCommandLineText::tr("DATEI")};
    QCommandLineOption ListDevices{
        "list-devices", TCommandLineText::tr("Listet die Eingabegeräte mit Nummern, Namen und Beschreibungen.")};
    QCommandLineOption Device{
        "device",
        TCommandLineText::tr("Nimmt vom Eingabegerät GERÄT (Nummer oder Name aus --list-devices) statt vom "
                             "Standardgerät auf."),
        TCommandLineText::tr("GERÄT")};
    QCommandLineOption Export{
        "export",
        TCommandLineText::tr("Analysiert die Datei von --input ohne Fenster und schreibt Bilder und "
                             "Daten nach ORDNER."),
        TCommandLineText::tr("ORDNER")};
    QCommandLineOption Buffers{"buffers", TCommandLineText::tr("Beendet den Export nach N Puffern."), "N"};
    QCommandLineOption Palette{
        "palette", TCommandLineText::tr("Farbpalette des Spektrogramms: %1.").arg(PaletteNames().join(", ")),
        TCommandLineText::tr("NAME")};
    QCommandLineOption Fast{"fast", TCommandLineText::tr("Schaltet \"3x schneller\" ein.")};
    QCommandLineOption NoAutoScale{"no-auto-scale", TCommandLineText::tr("Schaltet \"Auto-Skala\" aus.")};
    QCommandLineOption PeakHold{"peak-hold", TCommandLineText::tr("Schaltet die Spitzenwertanzeige ein.")};
    QCommandLineOption Channels{"channels",
                                TCommandLineText::tr("Nimmt N Kanäle auf: 1 (Vorgabe) oder 2 (links Kanal A, rechts "
                                                     "Kanal B, jeder mit eigenen Messwerten)."),
                                "N"};
    QCommandLineOption Record{
        "record",
        TCommandLineText::tr(
            "Schreibt jedes aufgenommene Sample in eine neue WAV-Datei DATEI; eine vorhandene Datei bleibt ohne "
            "--overwrite unberührt."),
        TCommandLineText::tr("DATEI")};
    QCommandLineOption Overwrite{"overwrite",
                                 TCommandLineText::tr("Erlaubt --record, eine vorhandene Datei zu ersetzen.")};
    QCommandLineOption Analyser{
        "analyser", TCommandLineText::tr(
                        "Öffnet die Analyseansicht: Oszilloskop, Bandpegel, Spektrum und Spektrogramm (F2 wechselt).")};
    QCommandLineOption History{
        "history",
        TCommandLineText::tr("Die Analyseansicht hält die letzten MINUTEN der Aufnahme zum Zurückblicken, 0.1 bis 60 "
                             "(10 ohne Option)."),
        TCommandLineText::tr("MINUTEN")};
    QCommandLineOption Measurements{
        "measurements", TCommandLineText::tr("Zeigt die Messwertzeile unter dem Oszilloskop (F3 wechselt).")};
    QCommandLineOption Distortion{
        "distortion", TCommandLineText::tr("Schreibt beim Export und mit Strg+S auch Klirrfaktor, Rauschabstand "
                                           "und Oberschwingungen.")};
    QCommandLineOption SoundLevel{
        "sound-level", TCommandLineText::tr("Schreibt beim Export auch Schallpegel: A- und C-bewertet, Terzbänder und "
                                            "Mittelungspegel.")};
    QCommandLineOption SplAtFullScale{
        "spl-at-full-scale",
        TCommandLineText::tr("Kalibriert den Export: ein Vollaussteuerungs-Sinus hat DB dB SPL "
                             "(setzt --sound-level)."),
        "DB"};
    QCommandLineOption VoltsAtFullScale{
        "volts-at-full-scale",
        TCommandLineText::tr("Kalibriert den Export: ein Vollaussteuerungs-Sinus hat V Volt effektiv; "
                             "Pegel in dBV (setzt --sound-level)."),
        "V"};
    QCommandLineOption Language{
        "language",
        TCommandLineText::tr("Sprache der Texte: de (Deutsch) oder en (Englisch); ohne die Option "
                             "nach dem Gebietsschema (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)."),
        TCommandLineText::tr("SPRACHE")};
    QCommandLineOption Trigger{"trigger",
                               TCommandLineText::tr("Trigger des Oszilloskops: peak (die Spitze, wie ohne Option) oder edge (eine "
                                  "Flanke)."),
                               TCommandLineText::tr("ART")};
    QCommandLineOption TriggerLevel{"trigger-level",
                                    TCommandLineText::tr("Pegel der Flanke in Prozent des Vollausschlags, -100 bis 100 (0 ohne "
                                       "Option)."),
                                    TCommandLineText::tr("PROZENT")};
    QCommandLineOption TriggerSlope{"trigger-slope", TCommandLineText::tr("Richtung der Flanke: rising (steigend) oder falling (fallend)."),
                                    TCommandLineText::tr("RICHTUNG")};
    QCommandLineOption TriggerSource{"trigger-source", TCommandLineText::tr("Kanal, dessen Flanke triggert: A oder B."), TCommandLineText::tr("KANAL")};
    QCommandLineOption TriggerPosition{"trigger-position",
                                       TCommandLineText::tr("Anteil des Bildes vor dem Trigger in Prozent, 0 bis 100 (0 ohne Option)."),
                                       TCommandLineText::tr("PROZENT")};
};

TCommandLine Failure(const QString& text) { return {std::nullopt, text, UsageError}; }

// A whole number of at least `least`, or nothing.
std::optional<int> WholeNumber(const QString& text, int least) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < least) return std::nullopt;
    return value;
}

QString HelpText(QCommandLineParser& parser) {
    return TCommandLineText::tr("Wellenschau: Oszilloskop und Spektrumanalyse für die Soundkarte.") + "\n\n" +
           parser.helpText();
}

// Options that only make sense together, or never together.
QString Conflict(const TOptions& o) {
    if (o.ListDevices && (!o.InputFile.isEmpty() || o.Device || !o.ExportDir.isEmpty() || !o.RecordFile.isEmpty()))
        return TCommandLineText::tr("--list-devices lässt sich mit keiner anderen Option verbinden.");
    if (!o.ExportDir.isEmpty() && o.InputFile.isEmpty()) return TCommandLineText::tr("--export braucht --input DATEI.");
    if (o.Device && !o.InputFile.isEmpty()) return TCommandLineText::tr("--device und --input schließen sich aus.");
    if (o.Buffers && o.ExportDir.isEmpty()) return TCommandLineText::tr("--buffers gilt nur mit --export.");
    if (o.Overwrite && o.RecordFile.isEmpty()) return TCommandLineText::tr("--overwrite gilt nur mit --record.");
    if ((o.Analyser || o.Measurements) && (o.ListDevices || !o.ExportDir.isEmpty()))
        return TCommandLineText::tr("--analyser und --measurements gelten nur für das Fenster.");
    if (o.SoundLevel && o.ExportDir.isEmpty())
        return TCommandLineText::tr(
            "--sound-level, --spl-at-full-scale und --volts-at-full-scale gelten nur mit --export.");
    return {};
}

// A finite number (a dot as decimal mark), or nothing.
std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// A choice among names given by the option's value; an error text, or
// none.
template <typename TEnum>
QString ReadChoice(const QCommandLineParser& parser, const QCommandLineOption& option,
                   std::initializer_list<std::pair<const char*, TEnum>> names, TEnum& choice) {
    if (!parser.isSet(option)) return {};
    QStringList known;
    for (const auto& [name, value] : names) {
        if (parser.value(option) == name) {
            choice = value;
            return {};
        }
        known << name;
    }
    return TCommandLineText::tr("--%1 erwartet %2: '%3'").arg(option.names().constLast(), known.join(TCommandLineText::tr(" oder ")), parser.value(option));
}

// A percentage of the option's value between least and most; an error
// text, or none.
QString ReadPercent(const QCommandLineParser& parser, const QCommandLineOption& option, double least, double most,
                    double& percent) {
    if (!parser.isSet(option)) return {};
    const std::optional<double> value = Number(parser.value(option));
    if (!value || *value < least || *value > most)
        return TCommandLineText::tr("--%1 erwartet Prozent von %2 bis %3: '%4'")
            .arg(option.names().constLast())
            .arg(least)
            .arg(most)
            .arg(parser.value(option));
    percent = *value;
    return {};
}

// The trigger options; an error text, or none.
QString ReadTrigger(const QCommandLineParser& parser, const TOptionSet& set, TScopeSettings& scope) {
    for (const QString& error :
         {ReadChoice(parser, set.Trigger, {{"peak", TTriggerMode::Peak}, {"edge", TTriggerMode::Edge}}, scope.Trigger),
          ReadPercent(parser, set.TriggerLevel, -100, 100, scope.LevelPercent),
          ReadChoice(parser, set.TriggerSlope, {{"rising", TTriggerSlope::Rising}, {"falling", TTriggerSlope::Falling}},
                     scope.Slope),
          ReadChoice(parser, set.TriggerSource, {{"A", TTriggerSource::A}, {"B", TTriggerSource::B}}, scope.Source),
          ReadPercent(parser, set.TriggerPosition, 0, 100, scope.PositionPercent)})
        if (!error.isEmpty()) return error;
    const bool edgeOptions =
        parser.isSet(set.TriggerLevel) || parser.isSet(set.TriggerSlope) || parser.isSet(set.TriggerSource);
    if (edgeOptions && scope.Trigger != TTriggerMode::Edge)
        return TCommandLineText::tr("--trigger-level, --trigger-slope und --trigger-source gelten nur mit --trigger edge.");
    return {};
}

// --spl-at-full-scale and --volts-at-full-scale; an error text, or none.
QString ReadCalibration(const QCommandLineParser& parser, const TOptionSet& set, TOptions& o) {
    const bool spl = parser.isSet(set.SplAtFullScale), volts = parser.isSet(set.VoltsAtFullScale);
    if (spl && volts) return TCommandLineText::tr("--spl-at-full-scale und --volts-at-full-scale schließen sich aus.");
    if (spl) {
        const std::optional<double> db = Number(parser.value(set.SplAtFullScale));
        if (!db)
            return TCommandLineText::tr("--spl-at-full-scale erwartet einen Pegel in dB SPL: '%1'")
                .arg(parser.value(set.SplAtFullScale));
        o.Calibration.Unit = TLevelUnit::DbSpl;
        o.Calibration.FullScaleSpl = *db;
    }
    if (volts) {
        const std::optional<double> v = Number(parser.value(set.VoltsAtFullScale));
        if (!v || *v <= 0.0)
            return TCommandLineText::tr("--volts-at-full-scale erwartet eine Spannung in Volt über 0: '%1'")
                .arg(parser.value(set.VoltsAtFullScale));
        o.Calibration.Unit = TLevelUnit::DbV;
        o.Calibration.FullScaleVolts = *v;
    }
    if (spl || volts) o.SoundLevel = true;
    return {};
}

}  // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
    TOptionSet set;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({set.Help, set.Version, set.Input, set.ListDevices, set.Device, set.Export, set.Buffers,
                       set.Palette, set.Fast, set.NoAutoScale, set.PeakHold, set.Channels, set.Record, set.Overwrite,
                       set.Analyser, set.History, set.Measurements, set.Distortion, set.SoundLevel, set.SplAtFullScale,
                       set.VoltsAtFullScale, set.Trigger, set.TriggerLevel, set.TriggerSlope, set.TriggerSource,
                       set.TriggerPosition, set.Language});
    if (!parser.parse(arguments)) return Failure(parser.errorText());
    if (parser.isSet(set.Help)) return {std::nullopt, HelpText(parser), 0};
    if (parser.isSet(set.Version)) return {std::nullopt, QString("Wellenschau %1").arg(WELLENSCHAU_VERSION), 0};
    if (!parser.positionalArguments().isEmpty())
        return Failure(TCommandLineText::tr("Unerwartetes Argument: %1").arg(parser.positionalArguments().first()));

    TOptions o;
    o.InputFile = parser.value(set.Input);
    o.ListDevices = parser.isSet(set.ListDevices);
    o.ExportDir = parser.value(set.Export);
    o.Palette = parser.value(set.Palette);
    o.Fast = parser.isSet(set.Fast);
    o.NoAutoScale = parser.isSet(set.NoAutoScale);
    o.PeakHold = parser.isSet(set.PeakHold);
    o.RecordFile = parser.value(set.Record);
    o.Overwrite = parser.isSet(set.Overwrite);
    o.Analyser = parser.isSet(set.Analyser);
    o.Measurements = parser.isSet(set.Measurements);
    o.Distortion = parser.isSet(set.Distortion);
    o.SoundLevel = parser.isSet(set.SoundLevel);
    if (const QString error = ReadCalibration(parser, set, o); !error.isEmpty()) return Failure(error);
    if (const QString error = ReadTrigger(parser, set, o.Scope); !error.isEmpty()) return Failure(error);
    if (parser.isSet(set.Device)) {
        o.Device = parser.value(set.Device);
        // A name never looks like a number: a negative one is a mistyped number.
        bool number = false;
        if (o.Device->toInt(&number) < 0 && number)
            return Failure(TCommandLineText::tr("--device erwartet eine Gerätenummer ab 0: '%1'").arg(*o.Device));
    }
    if (parser.isSet(set.Buffers)) {
        o.Buffers = WholeNumber(parser.value(set.Buffers), 1);
        if (!o.Buffers)
            return Failure(
                TCommandLineText::tr("--buffers erwartet eine ganze Zahl ab 1: '%1'").arg(parser.value(set.Buffers)));
    }
    if (parser.isSet(set.History)) {
        o.HistoryMinutes = Number(parser.value(set.History));
        if (!o.HistoryMinutes || *o.HistoryMinutes < LeastHistoryMinutes || *o.HistoryMinutes > MostHistoryMinutes)
            return Failure(TCommandLineText::tr("--history erwartet Minuten von 0.1 bis 60: '%1'")
                               .arg(parser.value(set.History)));
    }
    if (parser.isSet(set.Language) && !LanguageNamed(parser.value(set.Language)))
        return Failure(TCommandLineText::tr("--language erwartet de oder en: '%1'").arg(parser.value(set.Language)));
    if (parser.isSet(set.Channels)) {
        const std::optional<int> channels = WholeNumber(parser.value(set.Channels), 1);
        if (!channels || *channels > 2)
            return Failure(TCommandLineText::tr("--channels erwartet 1 oder 2: '%1'").arg(parser.value(set.Channels)));
        o.Channels = *channels;
    }
    if (parser.isSet(set.Palette) && !PaletteNames().contains(o.Palette))
        return Failure(TCommandLineText::tr("Unbekannte Palette '%1'. Bekannt sind: %2.")
                           .arg(o.Palette, PaletteNames().join(", ")));
    for (const QCommandLineOption* named : {&set.Input, &set.Export, &set.Record, &set.Device})
        if (parser.isSet(*named) && parser.value(*named).isEmpty())
            return Failure(TCommandLineText::tr("--%1 braucht einen Namen.").arg(named->names().constLast()));
    if (const QString conflict = Conflict(o); !conflict.isEmpty()) return Failure(conflict);
    return {o, {}, 0};
}

}  // namespace wellenschau
