// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "report/notepad.h"
#include "report/resultsfile.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace clockdeck {

class FieldStore;

// Where the main window's report goes: the clipboard (Image3) and the results file (Image4, left button appends,
// right button opens it in the text editor).
class ReportOutputs : public QObject
{
    Q_OBJECT

public:
    // Shows a failed append's error; the window shows showCriticalBox().
    using ErrorBox = std::function<void(QWidget* parent, const QString& text)>;
    // The report of what the fields show now; GetData by default.
    using ReportSource = std::function<std::string(const FieldStore&)>;

    // How long an append waits for another program's lock before the "locked" box.
    static constexpr std::chrono::milliseconds LockWait{3000};

    explicit ReportOutputs(EditorPlatform& editor, QObject* parent = nullptr);

    void setResultsFile(ResultsFile file) { m_results = std::move(file); }
    const ResultsFile& resultsFile() const { return m_results; }
    void setErrorBox(ErrorBox box) { m_errorBox = std::move(box); }
    void setReportSource(ReportSource source) { m_report = std::move(source); }

    // Image3: the clipboard holds the report as plain text and nothing else. A clipboard that cannot be written
    // stays as it was; nothing is shown.
    void copy(const FieldStore& fields);

    // Image4's release: left appends, right opens the file in the editor, any other button does nothing.
    // @p window parents the message box of a failed append, and of a results file that is another user's link,
    // which the editor is not given.
    void resultsReleased(const FieldStore& fields, Qt::MouseButton button, QWidget* window);

    /// The left button's append of the report as the fields show it now. True when it went in at once; false
    /// when it failed (after the message box naming the file and the reason) or waits for another program's lock.
    /// That wait runs in the event loop, trying again every few milliseconds for at most LockWait, so the
    /// window keeps answering clicks and signals meanwhile; then the entry goes in, or the "locked" box shows.
    /// An append while another waits joins that wait: its entry goes in after the waiting ones, in the order of
    /// the clicks, or the one box of that wait names the failure for all of them.
    bool append(const FieldStore& fields, QWidget* window);

private:
    // How often a waiting append tries the lock again.
    static constexpr int LockRetryMs = 20;

    // Appends the waiting entries, oldest first, as far as the lock lets; tells whether all went in.
    bool appendWaiting();

    EditorPlatform& m_editor;
    ResultsFile m_results;
    ErrorBox m_errorBox;
    ReportSource m_report;
    // The entries that wait for another program's lock, the window of the first click, and the wait's end.
    std::vector<std::string> m_waiting;
    QPointer<QWidget> m_waitWindow;
    QDeadlineTimer m_waitEnd;
};

} // namespace clockdeck
