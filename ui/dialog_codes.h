// Result codes with which the dialogs end; the main window chains the next
// dialog from them.
#pragma once

namespace forstrix::ui {

// Stand and cost dialogs.
enum InputResult { InputCancelled = 0, InputOk = 1, InputOtherDialog = 2, InputResults = 3 };
// Results dialog (the close box counts as OK).
enum ResultsResult { ResultsOk = 1, ResultsSave = 2, ResultsChangeStand = 3 };

// Menu commands; the chaining posts them to the main window.
enum Command {
    CmdLoadBasics = 103, CmdSaveBasics = 104, CmdQuit = 199,
    // The stand as a file: Neu, Öffnen..., Speichern, Speichern unter...,
    // Bezeichnung und Notiz... ("Zuletzt geöffnet" is a submenu of files).
    CmdNewStand = 110, CmdOpenStand = 111, CmdSaveStand = 112, CmdSaveStandAs = 113, CmdStandLabel = 114,
    CmdOpenPlan = 115,  // "Hiebsplan öffnen...": a table of many stands in a window of its own
    CmdStand = 201, CmdCosts = 202,
    CmdChainsaw = 301,  // 302..308: the seven machine kinds, see MachineKind::menu_command
                        // 309: the emission factors, kEmissionMenuCommand
    CmdResults = 401,
    CmdCostCurve = 402,  // "Kostenverlauf..."
};

}  // namespace forstrix::ui
