// The general dialogs unit: the save-file routine the report export runs,
// and the export state it keeps for the whole run (the suggested file name
// and the remembered directory).
//
// It lives beside the windows rather than with the platform helpers because
// it shows the toolkit's file dialog, and the platform library does not
// link the toolkit.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

namespace torvex::overview {

// What a save dialog answered: accepted with a file name, cancelled (error
// 0), or failed with the dialog's extended error code.
struct TSaveDialogAnswer {
    bool accepted = false;
    QString fileName;
    unsigned errorCode = 0;
};

// What the routine hands the dialog.
struct TSaveDialogRequest {
    QWidget* owner = nullptr;
    QString title;
    QString filter;          // the toolkit's form: "All Files (*)"
    QString directory;       // the first directory shown
    QString suggestedName;   // the name the file box starts with
};

using TSaveDialogRunner = std::function<TSaveDialogAnswer(const TSaveDialogRequest&)>;
// Replaces the dialog (tests answer in its place); empty restores the
// toolkit's file dialog.
void SetSaveDialogRunner(TSaveDialogRunner runner);

// The export state of the run.
QString& ReportFileName();         // suggested name in, chosen name out
QString& ReportDirectory();        // remembered directory, empty at start
// Forgets the remembered directory and the name (a new run, for tests).
void ResetReportState();

// The directory the first save dialog of a run starts in: the program's own
// folder; when the program may not write there (installed under /usr/bin),
// the user's documents folder, so that the first suggestion can be saved.
QString FirstReportDirectory();

// The save-file routine. The filter is given in the system's form, a
// description and a pattern separated by "|" ("All Files|*.*"). Shows the
// dialog with the title, the remembered directory (FirstReportDirectory()
// when empty) and `fileName` as the suggestion; asks before replacing a
// file; sets no default extension. Whatever the answer, `fileName` becomes
// the dialog's name and `directory` its folder. Returns whether the dialog
// was accepted; a dialog failure raises Exception
// "GetFileSaveDlg.CommDlgExtendedError = %x".
bool GetFileSaveDlg(QWidget* owner, QString& directory, QString& fileName, const QString& title,
                    const QString& filter);

// The toolkit's filter for a filter in the system's form. "*.*" matches
// every file on Windows, dotless names included; the toolkit reads it
// literally, so it becomes "*".
QString ToolkitFilter(const QString& systemFilter);

}  // namespace torvex::overview
