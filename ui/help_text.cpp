#include "ui/help_text.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/fields.h"

namespace forstrix::ui {

const std::array<std::string_view, 6> Tsys = {
    "     Einsatzbereich: Mindest-BHD: 15 cm, max. Hangneigung: 35 %, min. Hiebsmenge: 30 EFm "
    "gesamt / 10 EFm/ha",
    "     Einsatzbereich: Mindest-BHD: 15 cm, max. Stückvolumen: 1,0 EFm, max. Hangneigung: 35 %, "
    "min. Hiebsmenge: 100 EFm gesamt / 30 EFm/ha",
    "     Einsatzbereich: Mindest-BHD: 12 cm, max. Stückvolumen: 0,7 EFm, max. Hangneigung: 35 %, "
    "min. Hiebsmenge: 300 EFm gesamt / 30 EFm/ha",
    "     Einsatzbereich: Mindest-BHD: 12 cm, max. Stückvolumen: 0,7 EFm, Hangneigung: 36 - 60 %, "
    "min. Hiebsmenge 300 EFm gesamt / 30 EFm/ha",
    "     Einsatzbereich: Mindest-BHD: 15 cm, min. Hiebsmenge: 500 EFm, Mindestvolumenanfall je "
    "Seilline: 70 EFm, max. Hangneigung: 65 %",
    "     Einsatzbereich: BHD: 6 - 18 cm, max. Hangneigung: 35 %,  min. Hiebsmenge: 300 EFm "
    "gesamt / 10 EFm/ha, ausreichend Platz für Hackereinsatz bzw. Container",
};

const std::array<std::string_view, kHelpLineCount> kHelpLines = {
    "Berücksichtigte Arbeitssysteme:",
    "",
    "  I) Konventionelle Holzernte: Motormanueller Holzeinschlag (Basis: EST) und Rücken mit "
    "Seilschlepper",
    Tsys[0],
    "",
    " II) Integrierte Holzernte (Basis: MGV)",
    Tsys[1],
    "",
    "III) Hochmechanisierte Holzernte durch Harvester und Forwarder",
    Tsys[2],
    "",
    "IV) Hochmechanisierte Holzernte durch Hangsysteme (Harvester und Forwarder mit "
    "Traktionshilfswinden)",
    Tsys[3],
    "",
    " V) Rücken von motormanuell gefällten Vollbäumen in unbefahrbaren Lagen (Yarding) und "
    "Processing fertiger Sortimente am Waldweg",
    Tsys[4],
    "     Bedingt durch die Kapazität des Prozessors können sich ab BHD 40 cm Probleme bei der "
    "Vollbaum-Aufarbeitung ergeben.",
    "",
    "VI) Spanholz (Holzernte durch Harvester mit Fäller-Sammler-Aggregat, Rücken durch "
    "Forwarder)",
    "     Einsatzbereich: BHD: 6 - 18 cm, max. Hangneigung: 35 %, min. Hiebsmenge: 300 EFm "
    "gesamt / 10 EFm/ha, ausreichend Platz für Hackereinsatz bzw. Container",
    "",
    "",
    "Hinweise zur Menüleiste:",
    "",
    "Feld \"Datei\":",
    "Hier können eigene Werte zur Kostenkalkulation abgespeichert oder neu geladen werden. "
    "Werden keine eigenen Werte gespeichert oder geladen, so greift das Programm auf "
    "hinterlegte Werte zurück. Ebenso ist hier die Beendigung des Programms möglich.",
    "",
    "Feld \"Dateneingabe\":",
    "Im Fenster \"Eingabe Bestandesdaten\" sind Angaben zum Bestand, in dem Holz geerntet "
    "werden soll, zu machen. Das Programm berechnet damit im Feld \"Ihre Bestandesdaten\" "
    "einige für die weitere Kalkulation notwendigen Daten sowie die Eignung bestimmter "
    "Holzerntesysteme (Feld unten).",
    "",
    "Im Fenster \"Eingabe Kosten\" können Lohnkosten, die Höhe der Lohnnebenkosten sowie "
    "Maschinenkosten vom Nutzer des Programms eingegeben werden. Werden hier keine Kosten "
    "eingegeben und unter dem Feld \"Datei\" abgespeichert, greift das Programm für die "
    "Kostenberechnung auf die im Menü \"Kalkulationsgrundlagen\" hinterlegten Werte zurück. "
    "Man beachte, dass die Zeit für den Maschinenführer aufgrund der Auslastungsquote höher "
    "ist als die Betriebszeit der jeweiligen Maschine.",
    "",
    "Feld \"Kalkulationsgrundlagen\":",
    "Die Werte zur Maschinenkostenkalkulation können ebenfalls über dieses Menü, in je einem "
    "Fenster für die Motorsägen und für jede Maschinenart, vom Nutzer für jede einzelne Maschine "
    "nach individuellen Anforderungen abgeändert und unter dem Feld \"Datei\" abgespeichert "
    "werden. Ebenso ist eine Berechnung mit den hinterlegten Werten möglich (siehe Erklärungen zum Feld "
    "\"Datei\").",
    "",
    "Feld \"Berechnung\":",
    "Das Feld \"Berechnung\" gibt für jedes Arbeitssystem den Zeitbedarf sowie die Kosten der "
    "jeweils eingesetzten Maschinen sowie des eingesetzten Personals in Diagramm- und "
    "Schriftform wieder. Man beachte, dass die Zeit für den Maschinenführer aufgrund der "
    "Auslastungsquote höher ist als die Betriebszeit der jeweiligen Maschine. Ebenso finden "
    "sich Angaben zur Eignung und zum jeweils ausgehaltenen Holzsortiment. So sind Vergleiche "
    "zwischen einzelnen Arbeitssystemen besser möglich. Das Ergebnis kann in einer Textdatei "
    "abgespeichert werden, die in dem Ordner hinterlegt wird, aus dem Forstrix gestartet wurde.",
    "",
    "",
    "Was Forstrix ergänzt:",
    "",
    "Bestandsdateien: Unter \"Datei\" lässt sich ein Bestand mit seinen Eingaben, einer Bezeichnung "
    "und einer Notiz als Bestandsdatei speichern und wieder öffnen; die zuletzt geöffneten stehen "
    "unter \"Zuletzt geöffnet\".",
    "Gründe für \"ungeeignet\": Die Eingabe der Bestandesdaten und das Ergebnis nennen zu jedem "
    "ungeeigneten Arbeitssystem die Bedingungen, die der Bestand nicht erfüllt.",
    "Kostenverlauf: Unter \"Berechnung\" zeigt der Kostenverlauf, wie sich die Kosten je Fm der "
    "Arbeitssysteme ändern, wenn sich eine oder zwei Eingaben ändern, und welches geeignete System "
    "wo am günstigsten ist.",
    "Drucken und PDF: Das Ergebnis lässt sich als Ergebnisblatt drucken oder als PDF speichern. "
    "Das Ergebnis und das Ergebnisblatt nennen oben das günstigste geeignete Arbeitssystem, die "
    "Kosten der ganzen Maßnahme und das zweitgünstigste System; die Zeile unten im Hauptfenster "
    "nennt es nach jeder Änderung.",
    "Kraftstoff und CO2: Zu jedem geeigneten Arbeitssystem nennt das Ergebnis den Kraftstoff und "
    "das CO2 je Fm; die Emissionsfaktoren dazu stehen im Menü \"Kalkulationsgrundlagen\".",
};

std::string mwtext() {
    std::string text;
    for (std::size_t i = 0; i < kHelpLines.size(); ++i) {
        if (i > 0) text += '\n';
        text += kHelpLines[i];
    }
    return text;
}

void build_help_document(QTextDocument* doc) {
    doc->clear();
    QTextCursor cursor(doc);
    const QTextCharFormat plain;
    QTextCharFormat range;
    range.setForeground(kRangeColour);
    QTextCharFormat menu_name;
    menu_name.setForeground(kMenuNameColour);

    for (int line = 1; line <= kHelpLineCount; ++line) {
        if (line > 1) cursor.insertBlock();
        std::string_view text = kHelpLines[static_cast<std::size_t>(line - 1)];

        // A range line shows the system's range in grey, whole.
        bool is_range = false;
        for (std::size_t sys = 0; sys < kRangeLines.size(); ++sys) {
            if (kRangeLines[sys] == line) {
                cursor.insertText(qs(Tsys[sys]), range);
                is_range = true;
            }
        }
        if (is_range) continue;

        // A menu hint shows the menu's name in red where it first occurs.
        std::string_view before = text, marked, after;
        for (const MenuNameMark& mark : kMenuNameMarks) {
            if (mark.line != line) continue;
            const std::size_t at = text.find(mark.words);
            if (at == std::string_view::npos) continue;
            before = text.substr(0, at);
            marked = mark.words;
            after = text.substr(at + mark.words.size());
        }
        cursor.insertText(qs(before), plain);
        if (!marked.empty()) {
            cursor.insertText(qs(marked), menu_name);
            cursor.insertText(qs(after), plain);
        }
    }
}

}  // namespace forstrix::ui
