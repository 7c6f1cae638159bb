// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/fieldstore.h"
#include "shell/reportoutputs.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

using namespace clockdeck;
namespace fs = std::filesystem;

namespace {

// Records what OpenInNotePad asks of the desktop.
struct RecordingEditor final : EditorPlatform
{
    QStringList calls;
    bool closeEditorWindowsShowing(const fs::path& path) override
    {
        calls << QStringLiteral("close ") + QString::fromStdString(path.string());
        return false;
    }
    void processEvents() override {}
    void openInEditor(const fs::path& path) override
    {
        calls << QStringLiteral("open ") + QString::fromStdString(path.string());
    }
};

struct Box
{
    QString title;
    QString text;
};

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A report with the real one's shape; the real text depends on the clock, this one does not.
const std::string FixedReport = [] {
    std::string text;
    for (int line = 1; line <= 25; ++line)
        text += " line " + std::to_string(line) +
                " 50\xc2\xb0"
                "C\r\n";
    return text;
}();

} // namespace

class TestReportOutputs : public QObject
{
    Q_OBJECT

private slots:
    void copyLeavesTheReportAloneOnTheClipboard();
    void appendWritesOneEntryInTheLocaleEncoding();
    void failedAppendShowsTheErrorAndKeepsTheFile_data();
    void failedAppendShowsTheErrorAndKeepsTheFile();
    void criticalBoxLooksAsPromised();
    void eachButtonDoesItsOwnThing();
};

void TestReportOutputs::copyLeavesTheReportAloneOnTheClipboard()
{
    RecordingEditor editor;
    ReportOutputs outputs(editor);
    FieldStore fields;

    // Something rich on the clipboard before: text, HTML and a picture.
    auto* before = new QMimeData;
    before->setText(QStringLiteral("old"));
    before->setHtml(QStringLiteral("<b>old</b>"));
    before->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(before);

    outputs.copy(fields);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});

    // The real report: 25 lines, each ending in CR LF, the processor name on line 2.
    const QString text = QGuiApplication::clipboard()->text();
    QCOMPARE(text.count(QStringLiteral("\r\n")), 25);
    QCOMPARE(text.count(QLatin1Char('\n')), 25);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(text.split(QStringLiteral("\r\n")).at(1),
             QStringLiteral(" ") + QString::fromStdString(fields.text(Field::CPU_Identity)));

    // Non-ASCII text arrives whole: the clipboard speaks Unicode, whatever the locale.
    outputs.setReportSource([](const FieldStore&) { return FixedReport; });
    outputs.copy(fields);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(FixedReport));
}

void TestReportOutputs::appendWritesOneEntryInTheLocaleEncoding()
{
    QTemporaryDir dir;
    RecordingEditor editor;
    ReportOutputs outputs(editor);
    outputs.setReportSource([](const FieldStore&) { return FixedReport; });
    outputs.setResultsFile(ResultsFile(dir.filePath(QStringLiteral("Results.txt")).toStdString()));
    int boxes = 0;
    outputs.setErrorBox([&](QWidget*, const QString&, const QString&) { ++boxes; });

    FieldStore fields;
    QVERIFY(outputs.append(fields, nullptr));
    QVERIFY(outputs.append(fields, nullptr));
    QCOMPARE(boxes, 0);

    // The tests run in the C locale, whose character set is ASCII: the degree sign becomes '?'.
    std::string entry;
    for (int line = 1; line <= 25; ++line)
        entry += " line " + std::to_string(line) + " 50?C\r\n";
    entry += "\r\n";
    QCOMPARE(readAll(outputs.resultsFile().path()), entry + entry);
}

void TestReportOutputs::failedAppendShowsTheErrorAndKeepsTheFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("error");
    QTest::newRow("a folder named Results.txt") << QStringLiteral("folder") << EISDIR;
    QTest::newRow("a full disk") << QStringLiteral("full") << ENOSPC;
    QTest::newRow("a folder that is not there") << QStringLiteral("missing") << ENOENT;
}

void TestReportOutputs::failedAppendShowsTheErrorAndKeepsTheFile()
{
    QFETCH(QString, kind);
    QFETCH(int, error);
    QTemporaryDir dir;
    fs::path file = dir.filePath(QStringLiteral("Results.txt")).toStdString();
    if (kind == QLatin1String("folder"))
        fs::create_directory(file);
    else if (kind == QLatin1String("full"))
        fs::create_symlink("/dev/full", file);
    else
        file = fs::path(dir.path().toStdString()) / "gone" / "Results.txt";
    const auto typeBefore = fs::symlink_status(file).type();

    RecordingEditor editor;
    ReportOutputs outputs(editor);
    outputs.setResultsFile(ResultsFile(file));
    QList<Box> boxes;
    QWidget window;
    QWidget* parentSeen = nullptr;
    outputs.setErrorBox([&](QWidget* parent, const QString& title, const QString& text) {
        parentSeen = parent;
        boxes.append({title, text});
    });

    FieldStore fields;
    QVERIFY(!outputs.append(fields, &window));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Clockdeck"));
    QCOMPARE(boxes[0].text, QString::fromLocal8Bit(std::strerror(error)));
    QCOMPARE(parentSeen, &window);
    QCOMPARE(fs::symlink_status(file).type(), typeBefore);
    if (kind == QLatin1String("folder")) {
        QVERIFY(fs::is_empty(file));
    }
    if (kind == QLatin1String("full")) {
        QCOMPARE(fs::read_symlink(file), fs::path("/dev/full"));
    }
}

void TestReportOutputs::criticalBoxLooksAsPromised()
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    Qt::WindowModality modality = Qt::NonModal;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        modality = box->windowModality();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    ReportOutputs::showCriticalBox(nullptr, QStringLiteral("Clockdeck"), QStringLiteral("No space left on device"));
    QCOMPARE(title, QStringLiteral("Clockdeck"));
    QCOMPARE(text, QStringLiteral("No space left on device"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, 1);
    QCOMPARE(modality, Qt::ApplicationModal);
}

void TestReportOutputs::eachButtonDoesItsOwnThing()
{
    QTemporaryDir dir;
    const fs::path file = dir.filePath(QStringLiteral("Results.txt")).toStdString();
    RecordingEditor editor;
    ReportOutputs outputs(editor);
    outputs.setReportSource([](const FieldStore&) { return FixedReport; });
    outputs.setResultsFile(ResultsFile(file));
    int boxes = 0;
    outputs.setErrorBox([&](QWidget*, const QString&, const QString&) { ++boxes; });
    FieldStore fields;

    // --- middle: nothing at all
    outputs.resultsReleased(fields, Qt::MiddleButton, nullptr);
    QVERIFY(!fs::exists(file));
    QVERIFY(editor.calls.isEmpty());

    // --- right with no file: the editor windows are asked to close, nothing opens
    outputs.resultsReleased(fields, Qt::RightButton, nullptr);
    QVERIFY(!fs::exists(file));
    QCOMPARE(editor.calls, QStringList{QStringLiteral("close ") + QString::fromStdString(file.string())});

    // --- left appends; the editor is not involved
    editor.calls.clear();
    outputs.resultsReleased(fields, Qt::LeftButton, nullptr);
    QVERIFY(fs::file_size(file) > 25 * 2);
    QVERIFY(editor.calls.isEmpty());

    // --- right with the file: closes, then opens the same file
    outputs.resultsReleased(fields, Qt::RightButton, nullptr);
    const QString path = QString::fromStdString(file.string());
    QCOMPARE(editor.calls, (QStringList{QStringLiteral("close ") + path, QStringLiteral("open ") + path}));
    QCOMPARE(boxes, 0);
}

QTEST_MAIN(TestReportOutputs)
#include "test_reportoutputs.moc"
