// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
// The results button, the pages the links open, and the message boxes the shell shows.
#include "calc/fieldstore.h"
#include "shell/desktoplauncher.h"
#include "shell/messageboxes.h"
#include "shell/reportoutputs.h"
#include "support/recordingeditor.h"
#include "support/scriptpath.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace clockdeck;

class TestReportOutputs : public QObject
{
    Q_OBJECT

private slots:
    void eachButtonDoesItsOwnThing()
    {
        QTemporaryDir dir;
        const std::string file = dir.filePath(QStringLiteral("Results.txt")).toStdString();
        test::RecordingEditor editor;
        ReportOutputs outputs(editor);
        QCOMPARE(::raise(SIGPIPE), 0); // a reader that went away never ends the program
        FieldStore fields;
        QWidget window;
        QStringList boxes;
        outputs.setReportSource([](const FieldStore&) { return "50\u00b0C\r\n"; });
        outputs.setResultsFile(ResultsFile(file));
        outputs.setErrorBox([&](QWidget* parent, const QString& text) { boxes << (parent == &window ? text : "?"); });

        outputs.resultsReleased(fields, Qt::MiddleButton, &window); // nothing at all
        QVERIFY(!std::filesystem::exists(file) && editor.calls.empty());
        outputs.resultsReleased(fields, Qt::LeftButton, &window);      // appends in the locale's encoding (C)
        QCOMPARE(std::filesystem::file_size(file), std::uintmax_t(8)); // "50?C", CR LF and the empty line
        outputs.resultsReleased(fields, Qt::RightButton, &window);     // closes editors, then opens the file
        QCOMPARE(editor.calls.back(), "open " + file);

        outputs.setResultsFile(ResultsFile(dir.path().toStdString())); // a failed append: the box names the file
        QVERIFY(!outputs.append(fields, &window));
        QCOMPARE(boxes, QStringList{dir.path() + QStringLiteral(": Is a directory")});
    }

    void aBrowserThatCannotStartIsReported()
    {
        const QString page = QStringLiteral("https://example.org/forum");
        const QString box = QStringLiteral("Cannot open the page %1 in a browser:\nxdg-open: ").arg(page);
        const QByteArray browser = "echo \"$1\" > \"$0.ran\"";
        // The xdg-open and x-www-browser scripts (none when empty); what shows: a box, or the page the fallback got.
        const std::tuple<QByteArray, QByteArray, QString> cases[] = {
            {"", "", box + "No such file or directory"},
            {"", browser, page},
            {"exit 3", browser, page},
            {"exit 4", "", box + "ended with status 4 (the program chosen to open it failed)"},
        };
        for (const auto& [opener, fallback, expected] : cases) {
            const test::ScriptPath bin;
            bin.add(QStringLiteral("xdg-open"), opener);
            bin.add(QStringLiteral("x-www-browser"), fallback);
            DesktopLauncher launcher;
            QString shown;
            launcher.setFailureBox([&](QWidget*, const QString& text) { shown += text; });
            openPage(QUrl(page), nullptr, &launcher);
            QTRY_COMPARE(shown + bin.ran(QStringLiteral("x-www-browser")), expected);
        }
    }

    void messageBoxes()
    {
        // Caption, icon (0 none, 1 information, 3 critical), buttons, modality (2 application), format (0 plain).
        const std::pair<QString, std::function<void()>> cases[] = {
            {"Clockdeck 0 1 2 0", [] { MessageBoxes().updateFault("Type <i>mismatch</i>"); }},
            {"Function Ceil Error! 1 1 2 0", [] { MessageBoxes().ceilFault("Type <i>mismatch</i>"); }},
            {"Clockdeck 3 1 2 0", [] { showCriticalBox(nullptr, QStringLiteral("Type <i>mismatch</i>")); }},
        };
        for (const auto& [expected, show] : cases) {
            QString seen;
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                seen = QStringLiteral("%1 %2 %3 %4 %5").arg(box->windowTitle()).arg(box->icon());
                seen = seen.arg(box->buttons().size()).arg(box->windowModality()).arg(box->textFormat());
                box->accept();
            });
            show();
            QCOMPARE(seen, expected);
        }
    }
};

QTEST_MAIN(TestReportOutputs)
#include "test_reportoutputs.moc"
