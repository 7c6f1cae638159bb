// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
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

#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

using namespace clockdeck;

class TestReportOutputs : public QObject
{
    Q_OBJECT

private slots:
    // Middle: nothing; left: an append in the locale's encoding (C); right: the file opened. A click while an append
    // waits for another program's lock joins that wait, and the window runs its events meanwhile (a wait inside the
    // append would never see the lock go): entries go in in click order, and a lock that stays gives one box.
    void eachButtonAndClicksDuringAWait()
    {
        QTemporaryDir dir;
        const std::string file = dir.filePath(QStringLiteral("Results.txt")).toStdString();
        const auto content = [&file] {
            return std::string(std::istreambuf_iterator<char>(std::ifstream(file).rdbuf()), {});
        };
        test::RecordingEditor editor;
        ReportOutputs outputs(editor);
        FieldStore fields;
        QWidget window;
        QStringList boxes;
        int click = 0;
        outputs.setReportSource([&click](const FieldStore&) { return std::to_string(++click) + "\u00b0\r\n"; });
        outputs.setResultsFile(ResultsFile(file));
        outputs.setErrorBox([&](QWidget* parent, const QString& text) { boxes << (parent == &window ? text : "?"); });
        outputs.resultsReleased(fields, Qt::MiddleButton, &window);
        QVERIFY(!std::filesystem::exists(file) && editor.calls.empty());
        const int holder = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const int locked = ::flock(holder, LOCK_EX);
        QCOMPARE(locked, 0);
        QTimer::singleShot(200, [holder] { ::flock(holder, LOCK_UN); });
        for (int i = 0; i < 3; ++i) {
            outputs.resultsReleased(fields, Qt::LeftButton, &window);
        }
        QTRY_COMPARE(content(), std::string("1?\r\n\r\n2?\r\n\r\n3?\r\n\r\n"));
        outputs.resultsReleased(fields, Qt::RightButton, &window); // closes editors, then opens the file
        QCOMPARE(editor.calls.back(), "open " + file);

        const int lockedAgain = ::flock(holder, LOCK_EX); // held to the end of the wait
        QCOMPARE(lockedAgain, 0);
        for (int i = 0; i < 5; ++i) {
            outputs.resultsReleased(fields, Qt::LeftButton, &window);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.isEmpty(), 2 * int(ReportOutputs::LockWait.count()));
        QTest::qWait(200); // the boxes of waits that did not join would come now
        QCOMPARE(boxes, QStringList{QString::fromStdString(file) + " is locked by another program"});
        ::close(holder);
        outputs.resultsReleased(fields, Qt::LeftButton, &window); // a new click after the box starts anew
        QCOMPARE(content(), std::string("1?\r\n\r\n2?\r\n\r\n3?\r\n\r\n9?\r\n\r\n"));

        if (::geteuid() != 0) {
            QSKIP("giving Results.txt to another user (nobody) needs root");
        }
        std::filesystem::remove(file);
        std::filesystem::create_symlink(dir.filePath(QStringLiteral("private.txt")).toStdString(), file);
        const int given = ::lchown(file.c_str(), 65534, 65534);
        QCOMPARE(given, 0);
        editor.calls.clear();
        outputs.resultsReleased(fields, Qt::RightButton, &window);
        QCOMPARE(boxes.last(), QString::fromStdString(file) + " is a symbolic link owned by another user");
        QVERIFY(editor.calls.empty());
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
            {"Clockdeck 3 1 2 0",
             [] { // a failed append's box, as the results button shows it unless told otherwise
                 const QTemporaryDir folder;
                 test::RecordingEditor editor;
                 ReportOutputs outputs(editor);
                 outputs.setResultsFile(ResultsFile(folder.path().toStdString()));
                 outputs.resultsReleased(FieldStore(), Qt::LeftButton, nullptr);
             }},
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
