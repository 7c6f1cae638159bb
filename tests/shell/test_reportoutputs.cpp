// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Where the report goes (clipboard, results file, editor), and the message boxes the shell shows.
#include "calc/fieldstore.h"
#include "shell/messageboxes.h"
#include "shell/reportoutputs.h"
#include "support/recordingeditor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <functional>

using namespace clockdeck;
namespace fs = std::filesystem;

namespace {

using test::RecordingEditor;

// Outputs with a fixed report of the real one's shape (the real text depends on the clock), writing to @p file.
struct Outputs
{
    RecordingEditor editor;
    ReportOutputs outputs{editor};
    FieldStore fields;
    QStringList boxes; // "title: text" of each error box
    QWidget* boxParent = nullptr;
    std::string report;

    explicit Outputs(const fs::path& file)
    {
        for (int line = 1; line <= 25; ++line)
            report += " line " + std::to_string(line) +
                      " 50\xc2\xb0"
                      "C\r\n";
        outputs.setReportSource([this](const FieldStore&) { return report; });
        outputs.setResultsFile(ResultsFile(file));
        outputs.setErrorBox([this](QWidget* parent, const QString& title, const QString& text) {
            boxParent = parent;
            boxes << title + QStringLiteral(": ") + text;
        });
    }
};

} // namespace

class TestReportOutputs : public QObject
{
    Q_OBJECT

private slots:
    void copyLeavesTheReportAloneOnTheClipboard()
    {
        Outputs o("unused");
        auto* before = new QMimeData; // something rich on the clipboard before
        before->setText(QStringLiteral("old"));
        before->setHtml(QStringLiteral("<b>old</b>"));
        before->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(before);

        o.outputs.copy(o.fields);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
        // Non-ASCII text arrives whole: the clipboard speaks Unicode, whatever the locale.
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(o.report));
    }

    void eachButtonDoesItsOwnThing()
    {
        QTemporaryDir dir;
        const fs::path file = dir.filePath(QStringLiteral("Results.txt")).toStdString();
        const QString path = QString::fromStdString(file.string());
        Outputs o(file);

        o.outputs.resultsReleased(o.fields, Qt::MiddleButton, nullptr); // middle: nothing at all
        QVERIFY(!fs::exists(file));
        QVERIFY(o.editor.calls.empty());
        o.outputs.resultsReleased(o.fields, Qt::RightButton, nullptr); // right, no file: editors asked to close only
        QVERIFY(!fs::exists(file));
        QCOMPARE(o.editor.calls, (std::vector<std::string>{"close " + path.toStdString(), "events"}));

        o.outputs.resultsReleased(o.fields, Qt::LeftButton, nullptr); // left appends in the locale's encoding (C)
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().count(" 50?C\r\n"), 25);
        QCOMPARE(o.editor.calls.size(), 2u); // the editor not involved
        o.editor.calls.clear();
        o.outputs.resultsReleased(o.fields, Qt::RightButton, nullptr); // right with the file: close, then open it
        QCOMPARE(o.editor.calls,
                 (std::vector<std::string>{"close " + path.toStdString(), "events", "open " + path.toStdString()}));
        QVERIFY(o.boxes.isEmpty());
    }

    void failedAppendShowsTheErrorAndKeepsTheFile()
    {
        QTemporaryDir dir;
        const fs::path file = dir.filePath(QStringLiteral("Results.txt")).toStdString();
        fs::create_directory(file);
        Outputs o(file);
        QWidget window;
        QVERIFY(!o.outputs.append(o.fields, &window));
        QCOMPARE(o.boxes, QStringList{QStringLiteral("Clockdeck: ") + QString::fromLocal8Bit(std::strerror(EISDIR))});
        QCOMPARE(o.boxParent, &window);
        QVERIFY(fs::is_directory(file) && fs::is_empty(file));
    }

    // The boxes as shown: caption, icon, one OK button, application-modal; calculator text never read as markup.
    void messageBoxes_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("text");
        QTest::newRow("calculator overflow")
            << 0 << "Clockdeck" << int(QMessageBox::NoIcon) << "Overflow Data value error: Sub Update";
        QTest::newRow("ceil fault") << 1 << "Function Ceil Error!" << int(QMessageBox::Information)
                                    << "Type <i>mismatch</i>";
        QTest::newRow("failed append") << 2 << "Clockdeck" << int(QMessageBox::Critical) << "No space left on device";
    }

    void messageBoxes()
    {
        QFETCH(int, which);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(QString, text);

        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen << box->windowTitle() << box->text() << QString::number(box->icon())
                 << QString::number(box->buttons().size()) << QString::number(box->windowModality())
                 << QString::number(box->textFormat() == Qt::PlainText || !Qt::mightBeRichText(box->text()));
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        MessageBoxes boxes;
        if (which == 0)
            boxes.updateFault(text.toStdString());
        else if (which == 1)
            boxes.ceilFault(text.toStdString());
        else
            ReportOutputs::showCriticalBox(nullptr, caption, text);
        QCOMPARE(seen, (QStringList{caption, text, QString::number(icon), QStringLiteral("1"),
                                    QString::number(Qt::ApplicationModal), QStringLiteral("1")}));
    }
};

QTEST_MAIN(TestReportOutputs)
#include "test_reportoutputs.moc"
