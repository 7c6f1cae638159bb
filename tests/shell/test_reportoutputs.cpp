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
namespace fs = std::filesystem;

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
        QVERIFY(!fs::exists(file) && editor.calls.empty());
        outputs.resultsReleased(fields, Qt::RightButton, &window); // no file: editors asked to close only
        QCOMPARE(editor.calls, (std::vector<std::string>{"close " + file, "events"}));
        outputs.resultsReleased(fields, Qt::LeftButton, &window); // appends in the locale's encoding (C)
        QFile written(QString::fromStdString(file));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), "50?C\r\n\r\n");
        QCOMPARE(editor.calls.size(), 2u);
        outputs.resultsReleased(fields, Qt::RightButton, &window); // closes editors, then opens the file
        QCOMPARE(editor.calls.back(), "open " + file);

        outputs.setResultsFile(ResultsFile(dir.path().toStdString())); // a failed append: the box names the file
        QVERIFY(!outputs.append(fields, &window));
        QCOMPARE(boxes, QStringList{dir.path() + QStringLiteral(": Is a directory")});
    }

    void aBrowserThatCannotStartIsReported()
    {
        // The script named xdg-open (if any), whether the fallback browser is there, the box's reason (if any).
        const std::tuple<QByteArray, bool, QString> cases[] = {
            {{}, false, QStringLiteral("xdg-open: No such file or directory")},
            {"exit 3", true, {}},
            {"exit 4", false, QStringLiteral("xdg-open: ended with status 4 (the program chosen to open it failed)")},
        };
        for (const auto& [opener, fallback, reason] : cases) {
            const test::ScriptPath bin;
            if (!opener.isEmpty())
                bin.add(QStringLiteral("xdg-open"), opener);
            if (fallback)
                bin.add(QStringLiteral("x-www-browser"), "echo \"$1\" > \"$0.ran\"");
            DesktopLauncher launcher;
            QWidget window;
            QString shown; // the boxes' texts, then what the fallback browser was given
            launcher.setFailureBox(
                [&](QWidget* parent, const QString& text) { shown += parent == &window ? text : "?"; });
            openPage(QUrl(QStringLiteral("https://example.org/forum")), &window, &launcher);
            const QString box =
                QStringLiteral("Cannot open the page https://example.org/forum in a browser:\n") + reason;
            QTRY_COMPARE(shown + bin.ran(QStringLiteral("x-www-browser")),
                         fallback ? QStringLiteral("https://example.org/forum") : box);
        }
    }

    // The boxes as shown: caption, icon, one OK button, application-modal; texts never read as markup.
    void messageBoxes()
    {
        const std::tuple<QString, int, std::function<void(const QString&)>> cases[] = {
            {QStringLiteral("Clockdeck"), QMessageBox::NoIcon,
             [](const QString& text) { MessageBoxes().updateFault(text.toStdString()); }},
            {QStringLiteral("Function Ceil Error!"), QMessageBox::Information,
             [](const QString& text) { MessageBoxes().ceilFault(text.toStdString()); }},
            {QStringLiteral("Clockdeck"), QMessageBox::Critical,
             [](const QString& text) { showCriticalBox(nullptr, text); }},
        };
        for (const auto& [caption, icon, show] : cases) {
            QStringList seen;
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                seen << box->windowTitle() << QString::number(box->icon()) << QString::number(box->buttons().size())
                     << QString::number(box->windowModality()) << QString::number(box->textFormat());
                box->accept();
            });
            show(QStringLiteral("Type <i>mismatch</i>"));
            QCOMPARE(seen, (QStringList{caption, QString::number(icon), QStringLiteral("1"),
                                        QString::number(Qt::ApplicationModal), QString::number(Qt::PlainText)}));
        }
    }
};

QTEST_MAIN(TestReportOutputs)
#include "test_reportoutputs.moc"
