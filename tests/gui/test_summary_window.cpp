// The summary window with its rows: the list shows the builder's rows with
// their icons, the print text is built from the list exactly, copying puts
// the formatted and the plain text on the clipboard, and a print job is one
// document with the edition's title.
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>

#include <cups/cups.h>

#include <filesystem>

#include "tests/gui/GuiSupport.h"

using namespace torvex;
using namespace torvex::guitest;

namespace {

void UseShippedPC(const char* name, const QTemporaryDir& overlay) {
    platform::SetActiveMachine(platform::LoadSimulatedMachine(
        std::filesystem::path(TORVEX_SOURCE_DIR) / "machines" / name, overlay.path().toStdString()));
    platform::PlatformStartup();
}

// The window with the given toggles pressed, rebuilt as a toggle click does.
std::unique_ptr<app::TTorvex> Window(const char* pc, const QTemporaryDir& overlay, bool programmer,
                                     bool partitioner, bool detaljer) {
    UseShippedPC(pc, overlay);
    auto window = StartWindow(app::NorwegianStrings());
    window->Programmer->SetPressed(programmer);
    window->Partitioner->SetPressed(partitioner);
    window->Detaljer->SetPressed(detaljer);
    window->OpdaterClick();
    return window;
}

struct PrintLine {
    QString text;
    int size;
};

std::vector<PrintLine> PrintLines(const QTextEdit& edit) {
    std::vector<PrintLine> lines;
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
        // An empty line carries its size in the paragraph's character format.
        int size = b.begin().atEnd() ? int(b.charFormat().fontPointSize())
                                     : int(b.begin().fragment().charFormat().fontPointSize());
        lines.push_back({b.text(), size});
    }
    return lines;
}

// The newest job of a queue among the ones asked for, as the print server
// lists it; id 0 when there is none.
struct QueuedJob {
    int id = 0;
    QString title;
    int state = 0;
};

QueuedJob NewestJob(const QByteArray& queue, int which) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.constData(), 0, which);
    QueuedJob newest;
    for (int i = 0; i < count; ++i)
        if (jobs[i].id > newest.id) newest = {jobs[i].id, QString::fromUtf8(jobs[i].title), int(jobs[i].state)};
    cupsFreeJobs(count, jobs);
    return newest;
}

}  // namespace

class SummaryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::SetActiveMachine(nullptr); }

    void theListShowsTheRowsWithTheirIcons() {
        QTemporaryDir overlay;
        auto window = Window("winxp-pc", overlay, false, false, false);
        QTreeWidget& list = *window->List;
        // Processor, Frekvens, blank, Minne, Type, blank, Harddiskplass,
        // Plass på nettverksstasjon, blank, Skjermkort, Aktuell
        // skjermoppløsning, blank, Windowsversjon.
        QCOMPARE(list.topLevelItemCount(), 13);
        QCOMPARE(list.topLevelItem(0)->text(0), QString("Processor"));
        QCOMPARE(list.topLevelItem(3)->text(1), QString("512 MB (291 MB ledig)"));
        QCOMPARE(list.topLevelItem(6)->text(1), QString("23 GB ledig av 37 GB"));
        QCOMPARE(list.topLevelItem(9)->text(1), QString("RADEON 9600 Series   "));
        QCOMPARE(list.topLevelItem(12)->text(1), QString("Microsoft Windows XP Service Pack 2 5.1"));
        for (int i : {0, 1, 3, 4, 6, 7, 9, 10, 12})
            QVERIFY2(!list.topLevelItem(i)->icon(0).isNull(), qPrintable(QString::number(i)));
        for (int i : {2, 5, 8, 11}) {
            QVERIFY(list.topLevelItem(i)->icon(0).isNull());
            QVERIFY(list.topLevelItem(i)->text(0).isEmpty());
        }
        // The processor row's picture is the processor icon (9), the
        // memory rows' the memory icon (8).
        QCOMPARE(list.topLevelItem(0)->data(0, Qt::UserRole).toInt(), 9);
        QCOMPARE(list.topLevelItem(4)->data(0, Qt::UserRole).toInt(), 8);
        QCOMPARE(list.topLevelItem(7)->data(0, Qt::UserRole).toInt(), 26);   // the network drives
        QCOMPARE(list.topLevelItem(9)->data(0, Qt::UserRole).toInt(), 1);    // the display
        // A toggle click rebuilds the list from scratch.
        QTest::mouseClick(window->Detaljer, Qt::LeftButton);
        QCOMPARE(list.topLevelItem(0)->text(0), QString("Hovedsystem"));
        QTest::mouseClick(window->Detaljer, Qt::LeftButton);
        QCOMPARE(list.topLevelItemCount(), 13);
    }

    void thePrintTextHasTitleLabelsValuesSeparatorsAndProgramNames() {
        QTemporaryDir overlay;
        auto window = Window("win98-pc", overlay, true, false, false);
        window->BuildPrintText();
        std::vector<PrintLine> lines = PrintLines(*window->Udskrift);
        std::vector<std::pair<QString, int>> expected = {
            {"Datamaskinens spesifikasjoner:", 14},
            {"Processor:", 10}, {"Intel Celeron A", 12},
            {"Frekvens:", 10}, {"400 Mhz", 12},
            {"", 10},
            {"Minne:", 10}, {"64 MB (14 MB ledig)", 12},
            {"", 10},
            {"Harddiskplass:", 10}, {"4.1 GB ledig av 6.0 GB", 12},
            {"", 10},
            {"Skjermkort:", 10}, {"NVIDIA RIVA TNT2 Model 64", 12},
            {"Aktuell skjermoppløsning:", 10}, {"1024 x 768 - 16 bit", 12},
            {"", 10},
            {"Windowsversjon:", 10}, {"Microsoft Windows 98  4.10", 12},
            {"", 10},
            // The programs: the heading and the names, no publishers.
            {"Installerte programmer", 10},
            {"Microsoft Office 97, Professional Edition", 10},
            {"Torvex", 10},
        };
        QCOMPARE(int(lines.size()), int(expected.size()));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            QCOMPARE(lines[i].text, expected[i].first);
            QCOMPARE(lines[i].size, expected[i].second);
        }
        // Rebuilding starts from an empty document.
        window->BuildPrintText();
        QCOMPARE(int(PrintLines(*window->Udskrift).size()), int(expected.size()));
    }

    void copyPutsTheFormattedTextAndItsPlainForm() {
        QTemporaryDir overlay;
        auto window = Window("winxp-pc", overlay, false, false, false);
        QVERIFY(window->Kopier->isHidden());
        QApplication::clipboard()->clear();
        window->KopierClick();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        QVERIFY(data->hasHtml());
        QVERIFY(data->html().contains("Datamaskinens spesifikasjoner:"));
        QVERIFY(data->html().contains("font-size:14pt"));
        const QString plain = data->text();
        QVERIFY(plain.startsWith("Datamaskinens spesifikasjoner:\nProcessor:\n"));
        QVERIFY(plain.contains("Minne:\n512 MB (291 MB ledig)\n"));
    }

    void aPrintJobIsOneDocumentWithTheEditionsTitle() {
        QTemporaryDir overlay;
        auto window = Window("winxp-pc", overlay, true, true, true);
        window->BuildPrintText();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = overlay.filePath("summary.pdf");
        printer.setOutputFileName(pdf);
        window->PrintDocument(printer);
        QCOMPARE(printer.docName(), QString("Systeminformasjon"));
        QVERIFY(QFileInfo(pdf).size() > 1000);
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext is not installed; the PDF's text is not checked");
        QProcess p;
        p.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(30000));
        // The fonts set "fi" as one ligature glyph, which extracts as U+FB01.
        const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
        for (const char* line : {"Datamaskinens spesifikasjoner:", "Hovedsystem:", "System Manufacturer System Name",
                                 "Windowsversjon:", "Microsoft Windows XP Service Pack 2 5.1", "Skjermkort:",
                                 "RADEON 9600 Series", "Standardskriver:", "Canon iP4000", "MAXTOR:",
                                 "Installerte programmer", "Mozilla Firefox (1.0)", "Windows XP Hotfix - KB888302"})
            QVERIFY2(text.contains(QString::fromUtf8(line)), line);
        QVERIFY(!text.contains("GRISOFT"));   // publishers are not printed
    }

    // End to end through a CUPS queue that writes its jobs to a file
    // unchanged (tests/gui/print-through-cups.sh makes one on a print server
    // of its own): TORVEX_TEST_CUPS_PRINTER names the queue (CUPS_SERVER the
    // server), TORVEX_TEST_CUPS_OUTPUT the file its device writes.
    void aPrintJobLandsInACupsQueueWithItsTitleAndText() {
        const QString queue = qEnvironmentVariable("TORVEX_TEST_CUPS_PRINTER");
        const QString output = qEnvironmentVariable("TORVEX_TEST_CUPS_OUTPUT");
        if (queue.isEmpty() || output.isEmpty())
            QSKIP("no CUPS file queue named (TORVEX_TEST_CUPS_PRINTER, TORVEX_TEST_CUPS_OUTPUT); "
                  "ctest's gui.print_through_cups makes one");
        const QByteArray dest = queue.toUtf8();
        const int before = NewestJob(dest, CUPS_WHICHJOBS_ALL).id;
        QFile::remove(output);
        QTemporaryDir overlay;
        auto window = Window("winxp-pc", overlay, true, false, true);
        window->BuildPrintText();
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(queue);
        QVERIFY2(printer.isValid(), "the queue is not known to CUPS");
        window->PrintDocument(printer);
        // The server lists the new job until it has ended; when it has
        // completed, the device has written the file.
        QueuedJob job;
        QDeadlineTimer deadline(60000);
        do {
            job = NewestJob(dest, CUPS_WHICHJOBS_ALL);
            if (job.id > before && job.state >= IPP_JSTATE_CANCELED) break;
            QTest::qWait(100);
        } while (!deadline.hasExpired());
        QVERIFY2(job.id > before, "no job arrived in the queue");
        QVERIFY2(job.state == IPP_JSTATE_COMPLETED, qPrintable("the job did not complete; its state is " +
                                                               QString::number(job.state)));
        QCOMPARE(job.title, QString("Systeminformasjon"));
        QCOMPARE(NewestJob(dest, CUPS_WHICHJOBS_COMPLETED).id, job.id);
        // The queue passes on what the program sent: a PDF, whose text is
        // read back as printed.
        QFile file(output);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(output + " was not written"));
        QVERIFY2(file.read(5) == "%PDF-", qPrintable(output + " is not the PDF the program sent"));
        file.close();
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext is not installed (package poppler-utils)");
        QProcess p;
        p.start(pdftotext, {output, "-"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        // The fonts set "fi" as one ligature glyph, which extracts as U+FB01.
        const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
        // Every line of the list in its order: the title, caption and value
        // of each row, the programs' heading and each program's name.
        QStringList expected = {"Datamaskinens spesifikasjoner:"};
        bool inPrograms = false;
        for (int i = 0; i < window->List->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = window->List->topLevelItem(i);
            inPrograms = inPrograms || row->text(0).trimmed() == "Installerte programmer";
            if (inPrograms) expected << row->text(0);
            else if (!row->text(0).isEmpty()) expected << row->text(0) + ":" << row->text(1);
        }
        QVERIFY(expected.contains("512 MB (291 MB ledig)"));
        QVERIFY(expected.contains("Mozilla Firefox (1.0)"));
        QVERIFY(expected.size() > 60);
        // Runs of blanks and the page break are compared collapsed.
        const QString flat = text.simplified();
        qsizetype at = 0;
        for (const QString& line : expected) {
            const qsizetype found = flat.indexOf(line.simplified(), at);
            QVERIFY2(found >= 0, qPrintable("missing in the printed text, or out of order: " + line + "\n" + text));
            at = found + line.simplified().size();
        }
    }
};

QTEST_MAIN(SummaryWindowTest)
#include "test_summary_window.moc"
