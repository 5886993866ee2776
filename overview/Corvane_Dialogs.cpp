#include "overview/Corvane_Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <unistd.h>

#include "platform/classes/Classes.h"

namespace torvex::overview {

namespace {

TSaveDialogRunner& Runner() {
    static TSaveDialogRunner runner;
    return runner;
}

// The toolkit's own dialog, not the desktop's: it behaves alike on every
// desktop (and under a bare X server), asks before replacing, and adds no
// extension to what the user types.
TSaveDialogAnswer RunFileDialog(const TSaveDialogRequest& request) {
    QFileDialog dialog(request.owner, request.title, request.directory, request.filter);
    dialog.setObjectName("GetFileSaveDlg");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.selectFile(request.suggestedName);
    TSaveDialogAnswer answer;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        answer.accepted = true;
        answer.fileName = dialog.selectedFiles().first();
    } else {
        // The system's buffer keeps what it was given.
        answer.fileName = request.suggestedName;
    }
    return answer;
}

}  // namespace

void SetSaveDialogRunner(TSaveDialogRunner runner) { Runner() = std::move(runner); }

QString& ReportFileName() {
    static QString name;
    return name;
}

QString& ReportDirectory() {
    static QString directory;
    return directory;
}

void ResetReportState() {
    ReportFileName().clear();
    ReportDirectory().clear();
}

QString FirstReportDirectory() {
    QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && ::access(QFile::encodeName(own).constData(), W_OK) == 0) return own;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists()) return documents;
    return QDir::homePath();
}

QString ToolkitFilter(const QString& systemFilter) {
    QStringList parts = systemFilter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p.trimmed() == "*.*") p = "*";
        filters << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

bool GetFileSaveDlg(QWidget* owner, QString& directory, QString& fileName, const QString& title,
                    const QString& filter) {
    TSaveDialogRequest request;
    request.owner = owner;
    request.title = title;
    request.filter = ToolkitFilter(filter);
    if (directory.isEmpty()) directory = FirstReportDirectory();
    request.directory = directory;
    // The system's buffer holds 10240 characters; a longer suggestion is cut.
    request.suggestedName = fileName.left(10239);
    TSaveDialogAnswer answer = Runner() ? Runner()(request) : RunFileDialog(request);
    fileName = answer.fileName;
    // The directory part of the name; a bare name (a cancelled dialog keeps
    // the suggestion) has none, and the next dialog starts afresh.
    int slash = fileName.lastIndexOf('/');
    directory = slash < 0 ? QString() : fileName.left(slash == 0 ? 1 : slash);
    if (!answer.accepted && answer.errorCode != 0)
        throw Exception(Format("GetFileSaveDlg.CommDlgExtendedError = %x", {answer.errorCode}));
    return answer.accepted;
}

}  // namespace torvex::overview
